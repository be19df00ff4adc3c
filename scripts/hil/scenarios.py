"""The scenarios of make hil: updates through the FTDI and CDC-ACM adapters and the CH341, CP210x
and PL2303 chips played by scripts/hil/ffs.py (discovery, hot-plug, unplug, faults, signals), each
recorded as one line with its figures."""
import json
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
GADGETS = "/sys/kernel/config/usb_gadget"  # a gadget is plugged while bound to the dummy controller
CHIPS = ("ch341", "cp210x", "pl2303")
# Each adapter: its tty in the guest, its vendor:product, and for a gadget its UDC file and the tty
# where the simulator plays its far end.
ADAPTERS = {
    "ftdi": {"node": "/dev/ttyUSB0", "vidpid": "0403:6001"},
    "acm": {"node": "/dev/ttyACM0", "vidpid": "0525:a4a7", "udc": f"{GADGETS}/hil/UDC", "far": "/dev/ttyGS0"},
    "ch341": {"node": "/dev/ttyUSB0", "vidpid": "1a86:7523"},
    "cp210x": {"node": "/dev/ttyUSB0", "vidpid": "10c4:ea60"},
    "pl2303": {"node": "/dev/ttyUSB0", "vidpid": "067b:2303"},
}
for _chip in CHIPS:
    ADAPTERS[_chip].update(udc=f"{GADGETS}/{_chip}/UDC", far=f"/run/hil/{_chip}.tty", record=f"/run/hil/{_chip}.log")
# The transcript with the time of each line, so that the guest's figures come from one clock.
# The operator's power-on after the program showed its directions, as at a real bench (a banner
# that came before them is kept from the drained input, but that is not what these runs show).
POWER_ON_MS = "700"
LOG_ENV = {"QT_LOGGING_RULES": "qz7.*.info=true", "QT_MESSAGE_PATTERN": "%{time boot} %{message}"}
# The updaters run here keep their history in the build tree and send no test unit to this
# machine's journal.
HOST_ENV = dict(os.environ, QZ7_JOURNAL="off", XDG_STATE_HOME=os.path.join(BUILD, "hil", "state"), **LOG_ENV)


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
                       timeout=120, env=HOST_ENV)
    summary = sim.finish()
    m = re.search(r"in ([0-9.]+) s", summary)
    return p.returncode, float(m.group(1)) if m else None


def replay(path):
    """Plays the capture at `path` to an updater on a pseudo-terminal here, four times as fast:
    (whether the replay matched and the updater ended with the captured outcome and status,
    figures)."""
    with open(path) as f:
        events = [json.loads(line) for line in f if line.strip()]
    end = next((e for e in reversed(events) if e.get("ev") == "end"), {})
    sim = subprocess.Popen([SIM, "--replay", path, "--speed", "4", "--timeout-s", "120"], stdout=subprocess.PIPE, text=True)
    pty = sim.stdout.readline().strip()
    json_path = path + ".replayed.json"
    with open(json_path, "w") as out:
        p = subprocess.run([UPDATER, "--cli", "--yes", "--json", "--port", pty], stdout=out, stderr=subprocess.DEVNULL,
                           timeout=180, env=HOST_ENV)
    try:
        said = sim.communicate(timeout=30)[0]
    except subprocess.TimeoutExpired:
        sim.kill()
        said = sim.communicate()[0]
    with open(json_path) as f:
        ends = [e for e in (json.loads(line) for line in f if line.strip()) if e.get("event") == "end"]
    outcome = ends[-1].get("outcome") if ends else None
    last = next((s for s in reversed(said.splitlines()) if s.startswith("qz7-bootsim:")), "no summary")
    ok = sim.returncode == 0 and "matched" in last and p.returncode == end.get("exit") and outcome == end.get("outcome")
    return ok, (f"{len(events)} events, {os.path.getsize(path)} bytes; replayed: status {p.returncode} "
                f"(captured {end.get('exit')}), {outcome} (captured {end.get('outcome')}), \"{last}\"")


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
        self.lost = []  # the scenarios under which QEMU ended once
        self.serial = 0
        self.udevd = False
        self.attach = {}  # the kernel's line on each adapter's first attach
        self.models = set()
        self.on_open = {}  # each chip's requests from the open to 57600 8N1, as the driver sent them
        self.captures = {}  # each adapter's capture of its whole update, kept here
        self.last_log = None  # the last guest updater's output, as kept in the build tree

    def record(self, name, ok, figures):
        # A failed scenario names the output of the updater it ran last, kept in the build tree.
        if not ok and self.last_log:
            figures = f"{figures}; the updater's output: {os.path.relpath(self.last_log)}"
        self.results.append((name, ok, figures))
        log(f"{'PASS' if ok else 'FAIL'}  {name:<50} {figures}")

    def scenario(self, name, fn):
        self.last_log = None
        lost = self.attempt(fn)
        if lost is None:
            return self.record(name, *self.outcome)
        # QEMU itself ended under the scenario (seen once, in a device_del mid-transfer): that says
        # nothing of the updater, so the guest is booted again and the scenario run once more on it.
        # The loss is printed, counted in the summary and its logs kept; a second loss fails it.
        log(f"hil: {lost} during \"{name}\"; logs kept as build/hil/*-lost{self.g.losses + 1}.log; "
            "booting a new guest to run the scenario again")
        self.lost.append(name)
        self.g.reboot()
        self.after_reboot()
        again = self.attempt(fn)
        ok, figures = self.outcome
        self.record(name, ok and again is None, f"{figures}; on a second guest, the first lost ({lost})")
        if again is not None:
            self.g.reboot()
            self.after_reboot()

    def attempt(self, fn):
        """Runs one scenario into self.outcome; returns how QEMU ended if it did under it."""
        try:
            self.outcome = fn()
        except Exception as e:  # noqa: BLE001 -- any fault of a scenario is its failure, not the run's end
            self.outcome = False, f"error: {type(e).__name__}: {e}"
            lost = self.g.gone()
            if lost is not None:
                return lost
            self.reset()
        return self.g.gone()

    def after_reboot(self):
        """A new guest has no chip models, no adapter plugged and no udevd."""
        self.models = set()
        self.ftdi = None
        wanted, self.udevd = self.udevd, False
        self.udev(wanted)

    def reset(self):
        """After a scenario failed half-way: every adapter unplugged, so that the next one starts
        as it should."""
        steps = [lambda k=k: self.unplug(k) for k in ("acm", *self.models)]
        steps.append(lambda: self.unplug("ftdi") if getattr(self, "ftdi", None) else None)
        for step in steps:
            try:
                step()
            except Exception:  # noqa: BLE001 -- it may well not have been plugged
                pass

    def model(self, kind):
        """Starts the chip's model (scripts/hil/ffs.py) once; it serves every plug after."""
        if kind in CHIPS and kind not in self.models:
            ffs = os.path.join(os.path.dirname(os.path.abspath(__file__)), "ffs.py")
            self.g.spawn(f"model-{kind}", ["python3", ffs, kind], watch=["ready"])
            if not self.g.watch(f"model-{kind}", "ready", 30):
                raise HilError(f"the {kind} model did not start: {self.g.wait(f'model-{kind}', 1)['out'][-500:]}")
            self.models.add(kind)

    def requests(self, kind, since=0):
        """The chip's record from entry `since` on (the model numbers its entries from 1)."""
        reply = self.g.agent.request({"op": "read", "path": ADAPTERS[kind]["record"]}, 30)
        if "error" in reply:
            raise HilError(reply["error"])
        out = reply["text"]
        entries = [json.loads(line) for line in out.splitlines() if line.startswith("{")]
        return [e for e in entries if e["n"] > since]

    def line_before(self, kind, first):
        """The chip's line settings as they stood before entry `first` of its record."""
        line = None
        for e in self.requests(kind):
            if first is not None and e["n"] >= first:
                break
            line = e.get("line", line)
        return line

    def mark(self, kind):
        entries = self.requests(kind)
        return entries[-1]["n"] if entries else 0

    def note_attach(self, kind):
        if kind not in self.attach:
            out = self.g.run("dmesg | grep -E 'now attached to tty(USB|ACM)|ttyACM0: USB ACM device' | tail -1")["out"]
            self.attach[kind] = " ".join(out.split("]", 1)[-1].split()) if out.strip() else "(no attach line)"

    def udev(self, running):
        if running != self.udevd:
            self.g.agent.request({"op": "udevd", "action": "start" if running else "stop"}, 60)
            self.udevd = running

    # The two adapters: plug() returns the time of the plug, unplug() that of the unplug.
    def plug(self, kind, sim=None):
        if kind != "ftdi":
            self.model(kind)
            at = time.monotonic()
            self.g.write(ADAPTERS[kind]["udc"], "dummy_udc.0")
            return at
        self.serial += 1
        self.ftdi = f"ftdi{self.serial}"
        self.g.qmp.execute("chardev-add", id=f"c{self.ftdi}", backend={"type": "serial", "data": {"device": sim.pty}})
        at = time.monotonic()
        self.g.qmp.execute("device_add", driver="usb-serial", id=self.ftdi, chardev=f"c{self.ftdi}", bus="xhci.0")
        return at

    def unplug(self, kind):
        if kind != "ftdi":
            at = time.monotonic()
            try:
                self.g.write(ADAPTERS[kind]["udc"], "\n")
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
        node = ADAPTERS[kind]["node"]
        argv = [UPDATER, "--cli", "--yes", "--wait", "90", *(["--port", node] if port else []), *extra]
        return self.g.spawn(name, argv, watch=["opened", "closed"], env=LOG_ENV)

    def guest_sim(self, name, kind, args):
        """The simulator on the gadget side, started once the updater holds the port."""
        self.g.spawn(name, [SIM, "--device", ADAPTERS[kind]["far"], "--unplug", ADAPTERS[kind]["udc"], "--expect",
                            IMAGE, "--events",
                            "--power-on-ms", POWER_ON_MS, *args], watch=["event: line 300"])

    def stop_guest_sim(self, name):
        """The guest's simulator's summary line; it is stopped if the update did not end it."""
        r = self.g.wait(name, 1.5)
        if r["rc"] is None:
            self.g.signal(name, "SIGTERM")
            r = self.g.wait(name, 5)
        return next((s for s in reversed(r["out"].splitlines()) if s.startswith("qz7-bootsim:")), "")

    def update(self, kind, port=True, sim_args=(), hotplug=False, extra=()):
        """A whole update (or a fault) through one adapter; returns the updater's and simulator's
        results, the plug-to-open time and the status lines, and for a chip the tty's settings
        before and after (stty -g) and the control requests the chip got meanwhile."""
        self.serial += 1
        name = f"u{self.serial}"
        self.last_log = None
        node = ADAPTERS[kind]["node"]
        host_sim = HostSim("--power-on-ms", POWER_ON_MS, *sim_args) if kind == "ftdi" else None
        plugged = None
        timer = []  # the FTDI latency timer before, while open and after
        stty = []
        listing = ""
        if not hotplug:
            self.plug(kind, host_sim)
            self.wait_node(node, True)
            self.note_attach(kind)
            if kind == "ftdi":
                timer.append(self.latency())
            if kind in CHIPS:
                stty.append(self.stty(node))
            listing = self.g.run(f"{UPDATER} --list", 30)["out"] if not port else ""
        since = self.mark(kind) if kind in CHIPS else 0
        self.updater(name, kind, port, extra)
        if hotplug:
            time.sleep(1.0)  # the program is waiting for an adapter
            plugged = self.plug(kind, host_sim)
        opened = self.g.watch(name, "opened", 60)
        if kind != "ftdi" and opened:
            self.guest_sim(f"s{name}", kind, sim_args)
        if timer and opened:
            timer.append(self.latency())
        done = self.g.wait(name, 240)  # a bound only: under TCG on a busy machine a transfer is slow
        if timer:
            timer.append(self.latency())
        if stty:
            stty.append(self.stty(node))
        if host_sim:
            sim_summary = host_sim.finish()
        else:
            sim_summary = self.stop_guest_sim(f"s{name}") if opened else ""
        requests = self.requests(kind, since) if kind in CHIPS else []
        self.unplug(kind)
        self.wait_node(node, False)
        if hotplug:
            self.note_attach(kind)
        self.last_log = os.path.join(BUILD, "hil", f"{name}.log")
        with open(self.last_log, "w") as f:
            f.write(f"status {done['rc']}\n{done['out']}")
        statuses = [line.split("status: ", 1)[1] for line in done["out"].splitlines() if "status: Adapter" in line]
        m = re.search(r"in ([0-9.]+) s", sim_summary)
        return {"rc": done["rc"], "secs": done["secs"], "sim": sim_summary, "statuses": statuses,
                "sim_s": float(m.group(1)) if m else None,
                "open_s": (opened - plugged) if opened and plugged else None, "out": done["out"], "timer": timer,
                "listing": listing, "stty": stty, "requests": requests}

    def stty(self, node):
        return self.g.run(f"stty -g -F {node}", 30)["out"].strip()

    def latency(self):
        return self.g.run("cat /sys/bus/usb-serial/devices/ttyUSB0/latency_timer")["out"].strip()


def facts_ok(kind, statuses):
    want = f"USB {ADAPTERS[kind]['vidpid']}"
    return bool(statuses) and want in statuses[-1] and want in statuses[0]


def figures(r, *extra, image=True):
    parts = [f"status {r['rc']}", f"{r['secs']:.1f} s"]
    if image and not intact(r):
        parts.append(f"simulator: {r['sim'] or 'no summary'}")
    if r["statuses"]:
        parts.append(f"\"{r['statuses'][-1]}\"")
    return ", ".join(parts + [e for e in extra if e])


def intact(r):
    return "image intact" in r["sim"]


def timer_ok(timer):
    """The FTDI latency timer: 1 while the program holds the port, as before once it let go."""
    return len(timer) == 3 and timer[1] == "1" and timer[2] == timer[0] != "1"


def describe(line):
    flow = "" if line["flow"] == "none" else f" {line['flow']}"
    return f"{line['baud']} {line['format']}{flow}"


def compact(names):
    """Request names in order, a run of the same one counted once ("get line x2")."""
    out = []
    for name in names:
        if out and out[-1][0] == name:
            out[-1][1] += 1
        else:
            out.append([name, 1])
    return ", ".join(n if c == 1 else f"{n} x{c}" for n, c in out)


def chip_line(run, kind, r):
    """What the chip was told during one update: whether 57600 8N1 without flow control reached it
    while the program held the port, and whether its line was put back as it was found. Returns
    (ok, figures) and keeps the requests up to that setting as the driver's open sequence."""
    requests = r["requests"]
    before = run.line_before(kind, requests[0]["n"] if requests else None)
    lines = [e["line"] for e in requests if "line" in e]
    # The rate the chip runs at, from its divisor: within 1 % of 57600 (a UART's tolerance is more).
    # The last settings at that rate are those the program's configuring ended with (a driver may
    # send the rate, the format and the flow control in separate requests).
    wanted = next((i for i, e in reversed(list(enumerate(requests))) if "line" in e and e["line"]["baud"]
                   and abs(e["line"]["baud"] - 57600) <= 576 and e["line"]["format"] == "8N1"), None)
    reached = wanted is not None and requests[wanted]["line"]["flow"] == "none"
    if wanted is not None and kind not in run.on_open:
        run.on_open[kind] = compact(e.get("name", e.get("event", "?")) for e in requests[:wanted + 1])
    last = lines[-1] if lines else before
    put_back = bool(before) and bool(last) and describe(last) == describe(before)
    stty_same = len(r["stty"]) == 2 and r["stty"][0] == r["stty"][1] and r["stty"][0] != ""
    return (reached and put_back and stty_same,
            f"chip: {describe(before) if before else '?'} -> "
            f"{describe(requests[wanted]['line']) if wanted is not None else 'never 57600 8N1'} -> "
            f"{describe(last) if last else '?'} ({len(requests)} requests), "
            f"stty {'same after' if stty_same else 'CHANGED'}")


def scenarios(run, kinds, pty_faults):
    g = run.g
    rate_pty = host_update([], ["--power-on-ms", POWER_ON_MS, "--baud", "57600"])
    # The guest starts without udevd; it is started once, after the scenarios that want none.
    for kind in kinds:
        def discovery():
            # A chip's discovery reads the version only (--check): its whole update is the --port one.
            check = kind in CHIPS
            r = run.update(kind, port=False, extra=["--check"] if check else [])
            # --list marks the adapter and describes it with the same facts.
            marked = next((line for line in r["listing"].splitlines() if line.startswith("*")), "")
            return (r["rc"] == 0 and (check or intact(r)) and facts_ok(kind, r["statuses"])
                    and ADAPTERS[kind]["vidpid"] in marked,
                    figures(r, f"--list: \"{' '.join(marked.split())}\"", image=not check))
        run.scenario(f"{kind}: {'version' if kind in CHIPS else 'whole update'}, discovery, no udevd", discovery)
    run.udev(True)
    for kind in kinds:
        def whole_port():
            capture = f"/run/qz7-{kind}.capture.jsonl"
            r = run.update(kind, sim_args=["--baud", "57600"], extra=["--capture", capture])
            ratio = r["sim_s"] / rate_pty[1] if r["sim_s"] and rate_pty[1] else None
            timer = f"latency timer {' -> '.join(r['timer'])}" if kind == "ftdi" else ""
            chip_ok, chip = chip_line(run, kind, r) if kind in CHIPS else (True, "")
            # The driver's answer to the low-latency request, as the program logged it at the open.
            low = re.search(r"low latency: [^;\n]*", r["out"])
            # The capture the driver's splits went into, kept in the build tree and replayed here.
            kept = os.path.join(BUILD, "hil", f"{kind}.capture.jsonl")
            with open(kept, "w") as f:
                f.write(g.read(capture))
            run.captures[kind] = kept
            return (r["rc"] == 0 and intact(r) and (kind != "ftdi" or timer_ok(r["timer"])) and chip_ok and low is not None,
                    figures(r, f"transfer {r['sim_s'] or 0:.1f} s at 57600 vs {rate_pty[1]:.1f} s on a pty"
                            + (f" (x{ratio:.2f})" if ratio else ""), timer, chip,
                            low.group(0) if low else "low latency not logged"))
        run.scenario(f"{kind}: whole update, --port, 57600 baud", whole_port)

        def replayed():
            if kind not in run.captures:
                return False, "no capture was made"
            return replay(run.captures[kind])
        run.scenario(f"{kind}: its capture replayed on a pty", replayed)

        def hotplug():
            check = kind in CHIPS
            r = run.update(kind, port=False, hotplug=True, extra=["--check"] if check else [])
            open_s = r["open_s"]
            return (r["rc"] == 0 and (check or intact(r)) and facts_ok(kind, r["statuses"]) and open_s is not None
                    and open_s < 3,
                    figures(r, f"plug to open {open_s:.2f} s" if open_s is not None else "never opened", image=not check))
        run.scenario(f"{kind}: {'version' if kind in CHIPS else 'whole update'}, discovery, udevd, hot-plug", hotplug)

        def unplug():
            run.serial += 1
            name = f"u{run.serial}"
            host_sim = HostSim("--power-on-ms", POWER_ON_MS, "--line-delay-us", "3000") if kind == "ftdi" else None
            run.plug(kind, host_sim)
            node = ADAPTERS[kind]["node"]
            run.wait_node(node, True)
            run.updater(name, kind)
            if not g.watch(name, "opened", 60):
                raise HilError("the port was not opened")
            if kind != "ftdi":
                run.guest_sim(f"s{name}", kind, ["--line-delay-us", "3000"])
                reached = g.watch(f"s{name}", "event: line 300", 90) is not None
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
