"""The benchmark's runs: one whole update by the updater or by the floor against one simulator
(with the figures read while it goes), and eight units through one `--cli --all` process against
one unit alone."""
import os
import re
import signal
import statistics
import subprocess
import sys
import tempfile
import time

from bench_probe import BenchError, cpu_seconds, loadavg, peak_rss_mb, run_ns, thread_ns, wait_window

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = os.environ.get("BUILD", os.path.join(ROOT, "build"))
IMAGE = os.path.join(BUILD, "firmware.hex")  # the build's copy of the image it compiled in
BAUD = 57600
SEGMENT = 250  # the simulator reports every 250 lines


class Sim:
    def __init__(self, baud):
        args = [os.path.join(BUILD, "qz7-bootsim"), "--events", "--stats", "--power-on-ms", "300",
                "--erase-ms", "100", "--timeout-s", "180", "--expect", IMAGE]
        if baud:
            args += ["--baud", str(baud)]
        self.proc = subprocess.Popen(args, stdout=subprocess.PIPE, text=True, bufsize=1)
        self.path = self.proc.stdout.readline().strip()
        self.lines = []

    def wait_for(self, pattern, timeout, on_line=None):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            line = self.proc.stdout.readline()
            if not line:
                break
            self.lines.append(line.rstrip("\n"))
            if on_line:
                on_line(line)
            if re.search(pattern, line):
                return True
        raise BenchError(f"bench: no '{pattern}' from the simulator; it said: {self.lines[-5:]}")


# The simulated units' records stay in the build tree, out of the machine's history and journal.
RECORDS_ENV = {"XDG_STATE_HOME": os.path.join(os.path.abspath(BUILD), "bench", "state"), "QZ7_JOURNAL": "off"}


def one_run(kind, baud, display_env, xvfb, capture=None):
    sim = Sim(baud)
    load = loadavg()
    stderr_file = tempfile.TemporaryFile()
    if kind == "updater":
        env = dict(display_env, QZ7_SERIAL_PORTS=f"usbserial-bench={sim.path}", **RECORDS_ENV)
        cmd = [os.path.join(BUILD, "qz7-updater")]
        if capture:
            cmd += ["--capture", capture]
    else:
        env = display_env
        cmd = [os.path.join(BUILD, "qz7-floor"), sim.path, IMAGE, "180"]
    started = time.monotonic()
    proc = subprocess.Popen(cmd, env=env, stdout=subprocess.DEVNULL, stderr=stderr_file)
    try:
        extra = {}
        if kind == "updater":
            win, search_ms = wait_window(proc, env, started, stderr_file, xvfb)
            extra["startup_ms"] = (time.monotonic() - started) * 1000.0
            extra["startup_search_ms"] = search_ms
            extra["startup_cpu_ms"] = run_ns(proc.pid) / 1e6
            sim.wait_for(r"^event: version", 20)
            time.sleep(0.2)
            subprocess.run(["xdotool", "windowfocus", "--sync", win, "key", "space"], env=env, check=True)
        result = measure(sim, proc, baud)
        result.update(extra)
        result["loadavg_before"] = load
        result["loadavg_after"] = loadavg()
        return result
    finally:
        for p in (proc, sim.proc):
            if p.poll() is None:
                p.kill()
                p.wait()


def measure(sim, proc, baud):
    marks = {}
    sim_ns = []  # the simulator's processor time at "P" and at every 250th line
    threads = []  # the program's threads' processor time at "P" and at the last 250th line

    def mark(line):
        if line.startswith("event: programming"):
            marks["start"] = (time.monotonic(), cpu_seconds(proc.pid))
            sim_ns.append(run_ns(sim.proc.pid))
            threads[:] = [(0, thread_ns(proc.pid))]
        elif line.startswith("event: line"):
            sim_ns.append(run_ns(sim.proc.pid))
            threads[1:] = [(int(line.split()[-1]), thread_ns(proc.pid))]
        elif line.startswith("event: done"):
            marks["end"] = (time.monotonic(), cpu_seconds(proc.pid))
            marks["rss"] = peak_rss_mb(proc.pid)

    sim.wait_for(r"^event: done", 150, mark)
    sim.wait_for(r"^qz7-bootsim: image", 20)
    rc = sim.proc.wait(10)
    if proc.poll() is None:
        proc.send_signal(signal.SIGTERM)
    proc.wait(5)
    summary = sim.lines[-1]
    stats = next(l for l in sim.lines if l.startswith("qz7-bootsim: turnaround_us"))
    m = re.search(r"(\d+) lines, (\d+) bytes in ([\d.]+) s", summary)
    lines, nbytes, seconds = int(m.group(1)), int(m.group(2)), float(m.group(3))
    t = dict(re.findall(r"(median|p99|max)=([\d.]+)", stats))
    wall = marks["end"][0] - marks["start"][0]
    cpu = marks["end"][1] - marks["start"][1]
    per_line = [(b - a) / 1000.0 / SEGMENT for a, b in zip(sim_ns, sim_ns[1:])]
    # Processor time per line of each thread that lived from "P" to the last 250th line, and
    # of those that came and went meanwhile (their time is only in the process's total).
    thread_us = {}
    if len(threads) == 2 and threads[1][0] > 0:
        (_, a), (n, b) = threads
        thread_us = {k: (b[k] - a[k]) / 1000.0 / n for k in b if k in a}
    result = {
        "intact": rc == 0,
        "lines": lines,
        "bytes": nbytes,
        "p_to_done_s": seconds,
        "lines_per_s": lines / seconds,
        "turnaround_median_ms": float(t["median"]) / 1000.0,
        "turnaround_p99_ms": float(t["p99"]) / 1000.0,
        "turnaround_max_ms": float(t["max"]) / 1000.0,
        "cpu_over_wall": cpu / wall if wall > 0 else 0.0,
        "rss_mb": marks["rss"],
        "sim_us_per_line": per_line,
        "thread_us_per_line": thread_us,
        "cpu_us_per_line": cpu * 1e6 / lines,
        "main_us_per_line": thread_us.get("main", 0.0),
        "others_us_per_line": sum(v for k, v in thread_us.items() if k != "main"),
        # every thread's time per line, read in nanoseconds (the process total above counts in
        # clock ticks, a tenth of a millisecond or more per unthrottled run)
        "threads_us_per_line": sum(thread_us.values()),
        # the simulator's processor time per line over its last 750 lines against its first 750
        "sim_last_over_first": statistics.mean(per_line[-3:]) / statistics.mean(per_line[:3]) if len(per_line) >= 6 else None,
    }
    if baud:
        bound = (nbytes + lines) * 10.0 / baud  # every image byte and every asterisk, 10 bit times each
        result["bound_s"] = bound
        result["wall_over_bound"] = seconds / bound
    return result


MULTI_UNITS = 8
MULTI_RUNS = max(1, int(os.environ.get("BENCH_MULTI_RUNS", "2")))
MULTI_TARGETS = {
    "wall_vs_single": (lambda v: v <= 1.05, "<= 1.05"),
    "cpu_vs_8x_single": (lambda v: v <= 1.1, "<= 1.1"),
    "rss_mb": (lambda v: v <= 60, "<= 60"),
}


def bench_run(units):
    """One `qz7-updater --cli --yes --all` over `units` simulators at 57600 baud: the wall time
    from its start to its exit, its processor time and peak resident memory (from wait4), and
    whether every image arrived intact."""
    sims = [Sim(BAUD) for _ in range(units)]
    ports = ",".join(f"usbserial-bench{i}={s.path}" for i, s in enumerate(sims))
    env = dict(os.environ, QZ7_SERIAL_PORTS=ports, **RECORDS_ENV)
    load = loadavg()
    started = time.monotonic()
    proc = subprocess.Popen([os.path.join(BUILD, "qz7-updater"), "--cli", "--yes", "--all", "--timeout", "180"],
                            env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(proc.pid, 0)
    proc.returncode = os.waitstatus_to_exitcode(status)
    wall = time.monotonic() - started
    intact = 0
    for s in sims:
        try:
            intact += s.proc.wait(20) == 0
        except subprocess.TimeoutExpired:
            s.proc.kill()
            s.proc.wait()
    return {"units": units, "wall_s": wall, "cpu_s": usage.ru_utime + usage.ru_stime,
            "rss_mb": usage.ru_maxrss / 1024.0, "exit": proc.returncode, "intact": intact, "loadavg_before": load}


def bench_multi():
    """Eight units side by side in one process against one unit alone, taking turns."""
    single, multi = [], []
    for i in range(MULTI_RUNS):
        for units, runs in ((1, single), (MULTI_UNITS, multi)):
            r = bench_run(units)
            runs.append(r)
            print(f"  multi {units} unit(s) {i + 1}/{MULTI_RUNS}: {r['wall_s']:.2f} s, cpu {r['cpu_s']:.2f} s, "
                  f"rss {r['rss_mb']:.1f} MB, exit {r['exit']}, intact {r['intact']}/{units}, "
                  f"load {r['loadavg_before'][0]:.2f}", file=sys.stderr, flush=True)
    med = lambda runs, k: statistics.median(r[k] for r in runs)
    headline = {
        "wall_vs_single": med(multi, "wall_s") / med(single, "wall_s"),
        "cpu_vs_8x_single": med(multi, "cpu_s") / (MULTI_UNITS * med(single, "cpu_s")),
        "rss_mb": max(r["rss_mb"] for r in multi),
    }
    ok = all(r["exit"] == 0 and r["intact"] == r["units"] for r in single + multi)
    targets = {k: {"value": headline[k], "target": t, "met": f(headline[k])} for k, (f, t) in MULTI_TARGETS.items()}
    for k, t in targets.items():
        print(f"target multi {k} {t['target']}: {t['value']:.4g} {'met' if t['met'] else 'MISSED'}")
    print(f"single unit: wall {med(single, 'wall_s'):.2f} s, cpu {med(single, 'cpu_s'):.3f} s; "
          f"{MULTI_UNITS} units: wall {med(multi, 'wall_s'):.2f} s, cpu {med(multi, 'cpu_s'):.3f} s; all intact: {ok}")
    print(f"bench-multi: units={MULTI_UNITS} wall_vs_single={headline['wall_vs_single']:.4f} "
          f"cpu_vs_8x_single={headline['cpu_vs_8x_single']:.3f} rss_mb={headline['rss_mb']:.1f}")
    return {"headline": headline, "targets": targets, "single": single, "multi": multi, "intact": ok}
