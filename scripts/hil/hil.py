"""make hil: the updater against real USB serial drivers, in a virtual machine.

One guest boots the Debian kernel with a small busybox initramfs that mounts this machine's root
read-only over 9p and runs scripts/hil/agent.py in it; so the guest runs build/qz7-updater and
build/qz7-bootsim from this tree. The adapters:
  ftdi  QEMU's FTDI model (0403:6001), driven by ftdi_sio as /dev/ttyUSB0; its other end is the
        pseudo-terminal of a simulator running here, plugged and unplugged on QEMU's monitor.
  acm   the guest's own CDC-ACM gadget (configfs, on dummy_hcd): the simulator plays on
        /dev/ttyGS0 inside the guest, the updater opens /dev/ttyACM0; plugged and unplugged by
        binding the gadget to the dummy controller and unbinding it.
  ch341, cp210x, pl2303
        those chips played in userspace (scripts/hil/ffs.py and chip_*.py, FunctionFS on
        dummy_hcd) and driven by their own drivers as /dev/ttyUSB0; plugged and unplugged as the
        CDC-ACM gadget is. Each model records the control requests it gets.
One line per scenario with its figures; then for each adapter the kernel's attach line, the
chip's requests on open and its scenarios as a table; a summary line; the exit status is 1 on any failure.
Everything it makes stays in build/hil. vm.py boots the guest and talks to it, scenarios.py
plugs the adapters and runs the updates, and this file runs them in turn and sums them up.
"""
import os
import sys
import threading
import time

from scenarios import ADAPTERS, POWER_ON_MS, SIM, UPDATER, Run, host_update, scenarios
from vm import OUT, Guest, log


def main():
    only = sys.argv[1:]
    os.makedirs(OUT, exist_ok=True)
    for binary in (UPDATER, SIM):
        if not os.access(binary, os.X_OK):
            raise SystemExit(f"hil: {binary} is missing (make hil builds it)")
    kinds = [k for k in ADAPTERS if not only or k in only]
    load = os.getloadavg()[0]
    started = time.monotonic()
    # The faults' statuses on a pseudo-terminal here, while the guest boots (nothing is timed).
    pty_faults = {}
    reference = threading.Thread(target=lambda: pty_faults.update(
        {name: host_update([], ["--power-on-ms", POWER_ON_MS, *args])[0] for name, args in Run.FAULTS}))
    reference.start()
    guest = Guest()
    reference.join()
    log(f"hil: guest {guest.kver} up in {guest.boot_s:.1f} s under {guest.accel.upper()}"
        f"{' (KVM did not work here)' if guest.accel == 'tcg' and 'kvm' in Guest.accelerators() else ''}; "
        f"load average {load:.2f} at the start")
    run = Run(guest)
    try:
        scenarios(run, kinds, pty_faults)
    finally:
        guest.quit()
    tables(run, kinds)
    failed = [name for name, ok, _ in run.results if not ok]
    log(f"hil: {len(run.results) - len(failed)} of {len(run.results)} scenarios passed in "
        f"{time.monotonic() - started:.0f} s under {guest.accel.upper()}, load average {os.getloadavg()[0]:.2f} at the end"
        + (f"; failed: {', '.join(failed)}" if failed else "")
        + (f"; QEMU ended under {len(run.lost)} and they ran again on a new guest: {', '.join(run.lost)}" if run.lost else ""))
    return 1 if failed else 0


def tables(run, kinds):
    """Each adapter's scenarios together, under the kernel's line on its attach."""
    for kind in kinds:
        rows = [(name.split(": ", 1)[1], ok, figures) for name, ok, figures in run.results if name.startswith(f"{kind}: ")]
        log("")
        log(f"{kind}: {run.attach.get(kind, '(never attached)')}")
        if kind in run.on_open:
            log(f"  requests from the open to 57600 8N1: {run.on_open[kind]}")
        log(f"  {'scenario':<44} {'result':<6} figures")
        for name, ok, figures in rows:
            log(f"  {name:<44} {'pass' if ok else 'FAIL':<6} {figures}")
    log("")


if __name__ == "__main__":
    sys.exit(main())
