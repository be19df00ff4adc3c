"""The scenarios of make hil: updates through the FTDI and CDC-ACM adapters (discovery, hot-plug,
unplug, faults, signals), each recorded as one line with its figures."""
import os
import queue
import re
import subprocess
import threading
import time

from vm import BUILD, HilError, log

UPDATER = os.path.join(BUILD, "qz7-updater")
SIM = os.path.join(BUILD, "qz7-bootsim")
IMAGE = os.path.join(BUILD, "firmware.hex")  # the build's copy of the image it compiled in
UDC = "/sys/kernel/config/usb_gadget/hil/UDC"  # the gadget is plugged while bound to a controller
# The transcript with the time of each line, so that the guest's figures come from one clock.
# The operator's power-on after the program showed its directions: a banner that came before them
# would be dropped with the rest of what arrived before (as it would be from a real device).
POWER_ON_MS = "700"
LOG_ENV = {"QT_LOGGING_RULES": "qz7.*.info=true", "QT_MESSAGE_PATTERN": "%{time boot} %{message}"}


class HostSim:
    """A simulator on a pseudo-terminal of this machine (the FTDI adapter's far end, or the
    pseudo-terminal runs that the guest's figures are compared with)."""

    def __init__(self, *args):
        self.proc = subprocess.Popen([SIM, "--expect", IMAGE, "--events", *args], stdout=subprocess.PIPE, text=True)
        self.pty = self.proc.stdout.readline().strip()
        self.lines = queue.Queue()
        self.reader = threading.Thread(target=lambda: [self.lines.put(line.strip()) for line in self.proc.stdout],
                                       daemon=True)
        self.reader.start()

    def until(self, word, timeout):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            try:
                if word in self.lines.get(timeout=deadline - time.monotonic()):
                    return True
            except queue.Empty:
                break
        return False

    def finish(self, timeout=10):
        try:
            self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            self.proc.terminate()
            self.proc.wait()
        self.reader.join(5)  # the last lines may still be on their way
        summary = []
        while not self.lines.empty():
            summary.append(self.lines.get())
        return next((s for s in reversed(summary) if s.startswith("qz7-bootsim:")), "")


def host_update(args, sim_args):
    """One update on a pseudo-terminal here: (exit status, seconds from "P" to "Done")."""
    sim = HostSim(*sim_args)
    p = subprocess.run([UPDATER, "--cli", "--yes", "--wait", "60", "--port", sim.pty, *args], capture_output=True, text=True,
                       timeout=120, env=dict(os.environ, **LOG_ENV))
    summary = sim.finish()
    m = re.search(r"in ([0-9.]+) s", summary)
    return p.returncode, float(m.group(1)) if m else None


class Run:
    """The scenarios, one guest."""

    FAULTS = [  # name, simulator options; the expected status is the one a pseudo-terminal gives
        ("hang-up", ["--hang-up-after", "200"]),
        ("Not Erased", ["--fail-erase"]),
        ("unexpected reply", ["--reply", "erase=Eraser fault"]),
        ("Not Done", ["--reply", "done=Not Done"]),
        ("restart", ["--restart-after", "200"]),
    ]

    def __init__(self, guest):
        self.g = guest
        self.results = []
        self.serial = 0
        self.udevd = False

    def record(self, name, ok, figures):
        self.results.append((name, ok))
        log(f"{'PASS' if ok else 'FAIL'}  {name:<50} {figures}")

    def scenario(self, name, fn):
        try:
            ok, figures = fn()
        except Exception as e:  # noqa: BLE001 -- any fault of a scenario is its failure, not the run's end
            ok, figures = False, f"error: {type(e).__name__}: {e}"
            self.reset()
        self.record(name, ok, figures)

    def reset(self):
        """After a scenario failed half-way: both adapters unplugged, so that the next one starts
        as it should."""
        for step in (lambda: self.unplug("acm"), lambda: self.unplug("ftdi") if getattr(self, "ftdi", None) else None):
            try:
                step()
            except Exception:  # noqa: BLE001 -- it may well not have been plugged
                pass

    def udev(self, running):
        if running != self.udevd:
            self.g.agent.request({"op": "udevd", "action": "start" if running else "stop"}, 60)
            self.udevd = running

    # The two adapters: plug() returns the time of the plug, unplug() that of the unplug.
    def plug(self, kind, sim=None):
        if kind == "acm":
            at = time.monotonic()
            self.g.write(UDC, "dummy_udc.0")
            return at
        self.serial += 1
        self.ftdi = f"ftdi{self.serial}"
        self.g.qmp.execute("chardev-add", id=f"c{self.ftdi}", backend={"type": "serial", "data": {"device": sim.pty}})
        at = time.monotonic()
        self.g.qmp.execute("device_add", driver="usb-serial", id=self.ftdi, chardev=f"c{self.ftdi}", bus="xhci.0")
        return at

    def unplug(self, kind):
        if kind == "acm":
            at = time.monotonic()
            try:
                self.g.write(UDC, "\n")
            except HilError:
                pass  # the simulator has unplugged it already (a hang-up)
            return at
        at = time.monotonic()
        self.g.qmp.execute("device_del", id=self.ftdi)
        self.g.qmp.event(lambda m: m.get("event") == "DEVICE_DELETED" and m.get("data", {}).get("device") == self.ftdi, 10)
        self.g.qmp.execute("chardev-remove", id=f"c{self.ftdi}")
        return at

    def wait_node(self, node, present, timeout=15):
        test = "-e" if present else "! -e"
        r = self.g.run(f"for i in $(seq 300); do [ {test} {node} ] && exit 0; sleep 0.05; done; exit 1", timeout)
        if r.get("rc") != 0:
            raise HilError(f"{node} did not {'appear' if present else 'go'}")

    def updater(self, name, kind, port=True, extra=()):
        node = "/dev/ttyUSB0" if kind == "ftdi" else "/dev/ttyACM0"
        argv = [UPDATER, "--cli", "--yes", "--wait", "90", *(["--port", node] if port else []), *extra]
        return self.g.spawn(name, argv, watch=["opened", "closed"], env=LOG_ENV)

    def guest_sim(self, name, args):
        """The simulator on the gadget side, started once the updater holds the port."""
        self.g.spawn(name, [SIM, "--device", "/dev/ttyGS0", "--unplug", UDC, "--expect", IMAGE, "--events",
                            "--power-on-ms", POWER_ON_MS, *args], watch=["event: line 300"])

    def stop_guest_sim(self, name):
        """The guest's simulator's summary line; it is stopped if the update did not end it."""
        r = self.g.wait(name, 1.5)
        if r["rc"] is None:
            self.g.signal(name, "SIGTERM")
            r = self.g.wait(name, 5)
        return next((s for s in reversed(r["out"].splitlines()) if s.startswith("qz7-bootsim:")), "")

    def update(self, kind, port=True, sim_args=(), hotplug=False):
        """A whole update (or a fault) through one adapter; returns the updater's and simulator's
        results, the plug-to-open time and the status lines."""
        self.serial += 1
        name = f"u{self.serial}"
        host_sim = HostSim("--power-on-ms", POWER_ON_MS, *sim_args) if kind == "ftdi" else None
        plugged = None
        timer = []  # the FTDI latency timer before, while open and after
        listing = ""
        if not hotplug:
            self.plug(kind, host_sim)
            self.wait_node("/dev/ttyUSB0" if kind == "ftdi" else "/dev/ttyACM0", True)
            if kind == "ftdi":
                timer.append(self.latency())
            listing = self.g.run(f"{UPDATER} --list", 30)["out"] if not port else ""
        self.updater(name, kind, port)
        if hotplug:
            time.sleep(1.0)  # the program is waiting for an adapter
            plugged = self.plug(kind, host_sim)
        opened = self.g.watch(name, "opened", 60)
        if kind == "acm" and opened:
            self.guest_sim(f"s{name}", sim_args)
        if timer and opened:
            timer.append(self.latency())
        done = self.g.wait(name, 90)
        if timer:
            timer.append(self.latency())
        if host_sim:
            sim_summary = host_sim.finish()
        else:
            sim_summary = self.stop_guest_sim(f"s{name}") if opened else ""
        self.unplug(kind)
        self.wait_node("/dev/ttyUSB0" if kind == "ftdi" else "/dev/ttyACM0", False)
        statuses = [line.split("status: ", 1)[1] for line in done["out"].splitlines() if "status: Adapter" in line]
        m = re.search(r"in ([0-9.]+) s", sim_summary)
        return {"rc": done["rc"], "secs": done["secs"], "sim": sim_summary, "statuses": statuses,
                "sim_s": float(m.group(1)) if m else None,
                "open_s": (opened - plugged) if opened and plugged else None, "out": done["out"], "timer": timer,
                "listing": listing}

    def latency(self):
        return self.g.run("cat /sys/bus/usb-serial/devices/ttyUSB0/latency_timer")["out"].strip()


def facts_ok(kind, statuses):
    want = "USB 0403:6001" if kind == "ftdi" else "USB 0525:a4a7"
    return bool(statuses) and want in statuses[-1] and want in statuses[0]


def figures(r, *extra):
    parts = [f"status {r['rc']}", f"{r['secs']:.1f} s"]
    if not intact(r):
        parts.append(f"simulator: {r['sim'] or 'no summary'}")
    if r["statuses"]:
        parts.append(f"\"{r['statuses'][-1]}\"")
    return ", ".join(parts + [e for e in extra if e])


def intact(r):
    return "image intact" in r["sim"]


def timer_ok(timer):
    """The FTDI latency timer: 1 while the program holds the port, as before once it let go."""
    return len(timer) == 3 and timer[1] == "1" and timer[2] == timer[0] != "1"


def scenarios(run, kinds, pty_faults):
    g = run.g
    rate_pty = host_update([], ["--power-on-ms", POWER_ON_MS, "--baud", "57600"])
    # The guest starts without udevd; it is started once, after the scenarios that want none.
    for kind in kinds:
        def discovery():
            r = run.update(kind, port=False)
            # --list marks the adapter and describes it with the same facts.
            marked = next((line for line in r["listing"].splitlines() if line.startswith("*")), "")
            vidpid = "0403:6001" if kind == "ftdi" else "0525:a4a7"
            return (r["rc"] == 0 and intact(r) and facts_ok(kind, r["statuses"]) and vidpid in marked,
                    figures(r, f"--list: \"{' '.join(marked.split())}\""))
        run.scenario(f"{kind}: whole update, discovery, no udevd", discovery)
    run.udev(True)
    for kind in kinds:
        def whole_port():
            r = run.update(kind, sim_args=["--baud", "57600"])
            ratio = r["sim_s"] / rate_pty[1] if r["sim_s"] and rate_pty[1] else None
            timer = f"latency timer {' -> '.join(r['timer'])}" if kind == "ftdi" else ""
            return (r["rc"] == 0 and intact(r) and (kind != "ftdi" or timer_ok(r["timer"])),
                    figures(r, f"transfer {r['sim_s'] or 0:.1f} s at 57600 vs {rate_pty[1]:.1f} s on a pty"
                            + (f" (x{ratio:.2f})" if ratio else ""), timer))
        run.scenario(f"{kind}: whole update, --port, 57600 baud", whole_port)


        def hotplug():
            r = run.update(kind, port=False, hotplug=True)
            open_s = r["open_s"]
            return (r["rc"] == 0 and intact(r) and facts_ok(kind, r["statuses"]) and open_s is not None and open_s < 3,
                    figures(r, f"plug to open {open_s:.2f} s" if open_s is not None else "never opened"))
        run.scenario(f"{kind}: whole update, discovery, udevd, hot-plug", hotplug)
        def unplug():
            run.serial += 1
            name = f"u{run.serial}"
            host_sim = HostSim("--power-on-ms", POWER_ON_MS, "--line-delay-us", "3000") if kind == "ftdi" else None
            run.plug(kind, host_sim)
            node = "/dev/ttyUSB0" if kind == "ftdi" else "/dev/ttyACM0"
            run.wait_node(node, True)
            run.updater(name, kind)
            if not g.watch(name, "opened", 60):
                raise HilError("the port was not opened")
            if kind == "acm":
                run.guest_sim(f"s{name}", ["--line-delay-us", "3000"])
                reached = g.watch(f"s{name}", "event: line 300", 60) is not None
            else:
                reached = host_sim.until("event: line 300", 60)
            if not reached:
                raise HilError("the transfer did not reach line 300")
            at = run.unplug(kind)
            done = g.wait(name, 10)
            took = time.monotonic() - at
            if host_sim:
                host_sim.finish(2)
            else:
                run.stop_guest_sim(f"s{name}")
            run.wait_node(node, False)
            closes = done["out"].count(" closed ")
            return (done["rc"] == 5 and took < 1.0 and closes == 1,
                    f"status {done['rc']}, exited {took:.2f} s after the unplug, "
                    f"close logged {closes}x")
        run.scenario(f"{kind}: unplug mid-transfer", unplug)

        for fault, args in Run.FAULTS:
            def one_fault():
                r = run.update(kind, sim_args=args)
                return r["rc"] == pty_faults[fault], f"status {r['rc']} (pty {pty_faults[fault]}), {r['secs']:.1f} s"
            run.scenario(f"{kind}: fault: {fault}", one_fault)

        if kind == "ftdi":
            for sig in ("SIGTERM", "SIGINT"):
                def signalled():
                    run.serial += 1
                    name = f"u{run.serial}"
                    host_sim = HostSim("--power-on-ms", "30000")  # the program waits for the banner
                    run.plug(kind, host_sim)
                    run.wait_node("/dev/ttyUSB0", True)
                    timer = [run.latency()]
                    run.updater(name, kind)
                    if not g.watch(name, "opened", 60):
                        raise HilError("the port was not opened")
                    timer.append(run.latency())
                    g.signal(name, sig)
                    done = g.wait(name, 10)
                    timer.append(run.latency())
                    host_sim.finish(1)
                    run.unplug(kind)
                    run.wait_node("/dev/ttyUSB0", False)
                    return (done["rc"] == 130 and timer_ok(timer),
                            f"status {done['rc']}, latency timer {' -> '.join(timer)}")
                run.scenario(f"ftdi: latency timer, {sig}", signalled)
