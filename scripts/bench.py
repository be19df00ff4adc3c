#!/usr/bin/env python3
"""Benchmark: whole updates of the shipped image by build/qz7-updater (a separate process, in a
window under Xvfb, Update pressed from the keyboard) and by build/qz7-floor (the least any program
must do: one poll loop, no window), taking turns against the same build/qz7-bootsim.

  line rate:   the simulator emulates 57600 baud both ways; wall time from "P" to "Done".
  unthrottled: the pseudo-terminal as fast as it goes; lines per second and the turnaround per
               line as the simulator sees it.

The headline figures are ratios of the updater's median to the floor's median in the same run,
so they carry from one machine to another; the absolute figures stand beside them. Also: the
updater's processor time over the wall time of the transfer, its peak resident memory, the time
from its start to its window being shown, and the simulator's own processor time per line from
the first lines to the last. Each run records the load average, since the machine may be shared.

  bench-multi: eight simulated units at line rate through one `qz7-updater --cli --yes --all`,
               against one unit alone in the same run: wall time, processor time and peak
               resident memory of the whole process (--multi-only runs this case alone).
"""
import json
import os
import platform
import re
import select
import signal
import statistics
import subprocess
import sys
import tempfile
import time

import psutil

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = os.environ.get("BUILD", os.path.join(ROOT, "build"))
IMAGE = os.path.join(ROOT, "resources", "QZ-7-2_007.hex")
RUNS = max(3, int(os.environ.get("BENCH_RUNS", "3")))  # at line rate; three times as many unthrottled
BAUD = 57600
WINDOW_LIMIT_S = 30  # a first start on a loaded machine can take seconds; a hung one never shows
SEGMENT = 250  # the simulator reports every 250 lines

TARGETS = {  # name: (test, text)
    "throughput_vs_floor": (lambda v: v >= 0.97, ">= 0.97"),
    "linerate_vs_floor": (lambda v: v <= 1.01, "<= 1.01"),
    "cpu_over_wall": (lambda v: v <= 0.01, "<= 0.01"),
    "cpu_per_line_vs_floor": (lambda v: v <= 2.0, "<= 2"),
    "rss_mb": (lambda v: v < 40, "< 40"),
    "startup_ms": (lambda v: v <= 300, "<= 300"),
}


class BenchError(RuntimeError):
    pass


def cpu_seconds(pid):
    """User + system time of the whole process, threads that have ended included."""
    times = psutil.Process(pid).cpu_times()
    return times.user + times.system


# psutil counts a thread's time in clock ticks and has no thread names; per line of the image that
# is too coarse, so these take the scheduler's clock (nanoseconds) and the name of each thread
# that psutil lists from the thread's own files.
def _task_file(pid, tid, name):
    with open(f"/proc/{pid}/task/{tid}/{name}") as f:
        return f.read()


def run_ns(pid):
    """Time on the processor of the process's live threads, in nanoseconds (scheduler clock)."""
    return sum(thread_ns(pid).values())


def thread_ns(pid):
    """Time on the processor of each live thread, by thread name, in nanoseconds."""
    out = {}
    for thread in psutil.Process(pid).threads():
        tid = thread.id
        try:
            name = "main" if tid == pid else f"{_task_file(pid, tid, 'comm').strip()}/{tid}"
            out[name] = int(_task_file(pid, tid, "schedstat").split()[0])
        except (FileNotFoundError, ProcessLookupError):
            pass  # the thread ended since the listing
    return out


def peak_rss_mb(pid):
    """Peak resident memory of the process as the kernel keeps it (VmHWM), which psutil does not
    offer. Not wait4's figure: that one counts the forking bench's own memory too."""
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmHWM:"):
                return int(line.split()[1]) / 1024.0
    return 0.0


def loadavg():
    return list(psutil.getloadavg())


def machine():
    model = "unknown"
    with open("/proc/cpuinfo") as f:
        for line in f:
            if line.startswith("model name"):
                model = line.split(":", 1)[1].strip()
                break
    return {"cores": psutil.cpu_count(), "model": model, "memory_gib": round(psutil.virtual_memory().total / 2**30, 1),
            "kernel": platform.release(), "nice": os.nice(0)}


def start_xvfb():
    """Starts Xvfb on a display number it picks itself, so that a stale lock or another
    benchmark on the same machine cannot take it, and that does not reset whenever its last
    client leaves (between two runs, or between two of xdotool's searches); returns once the
    server answers a request."""
    log = tempfile.TemporaryFile()
    r, w = os.pipe()
    proc = subprocess.Popen(["Xvfb", "-displayfd", str(w), "-noreset", "-screen", "0", "640x560x24", "-nolisten", "tcp"],
                            pass_fds=(w,), stdout=subprocess.DEVNULL, stderr=log)
    os.close(w)
    number = b""
    deadline = time.monotonic() + 30
    while not number.endswith(b"\n") and time.monotonic() < deadline:
        ready, _, _ = select.select([r], [], [], 0.1)
        if ready:
            chunk = os.read(r, 16)
            if not chunk:
                break
            number += chunk
    os.close(r)
    if not number.strip():
        proc.kill()
        proc.wait()
        log.seek(0)
        raise BenchError("bench: Xvfb did not start; it said:\n" + log.read().decode(errors="replace")[-2000:])
    proc.log = log
    display = ":" + number.decode().strip()
    env = dict(os.environ, DISPLAY=display)
    while xdotool(env, "getdisplaygeometry").returncode != 0:
        if proc.poll() is not None or time.monotonic() > deadline:
            raise BenchError(f"bench: Xvfb on {display} does not answer: {xvfb_state(proc)}")
        time.sleep(0.05)
    return proc, display


def xvfb_state(xvfb):
    status = xvfb.poll()
    xvfb.log.seek(0)
    said = xvfb.log.read().decode(errors="replace").strip()[-1500:]
    return ("running" if status is None else f"ended with status {status}") + (f"; it said:\n{said}" if said else "")


def xdotool(env, *args):
    return subprocess.run(["xdotool", *args], env=env, capture_output=True, text=True)


def wait_window(updater, env, started, stderr_file, xvfb):
    """Polls for the updater's window until it is visible; returns its id and how long the
    search that found it took (the start-up time is known to within that). Fails with the
    updater's standard error and what xdotool saw when it ends first or the window never shows."""
    last = None
    while time.monotonic() - started < WINDOW_LIMIT_S:
        asked = time.monotonic()
        # By the updater's own process: a title is anybody's to share.
        last = xdotool(env, "search", "--onlyvisible", "--pid", str(updater.pid))
        ids = last.stdout.split()
        if last.returncode == 0 and ids:
            return ids[0], (time.monotonic() - asked) * 1000.0
        if updater.poll() is not None:
            break
        time.sleep(0.003)
    status = updater.poll()
    why = (f"the updater ended (status {status}) before its window showed" if status is not None
           else f"the window did not show within {WINDOW_LIMIT_S} s")
    named = xdotool(env, "search", "--name", ".")
    names = [f"{w} {xdotool(env, 'getwindowname', w).stdout.strip()!r}" for w in named.stdout.split()[:20]]
    stderr_file.seek(0)
    raise BenchError(
        f"bench: {why}.\n"
        f"  xdotool search: status {last.returncode if last else '-'}, out {last.stdout.strip() if last else ''!r}, "
        f"err {last.stderr.strip() if last else ''!r}\n"
        f"  named windows on {env['DISPLAY']}: {names or 'none'}\n"
        f"  Xvfb: {xvfb_state(xvfb)}\n"
        f"  the updater's standard error:\n{stderr_file.read().decode(errors='replace')[-3000:]}")


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


def one_run(kind, baud, display_env, xvfb):
    sim = Sim(baud)
    load = loadavg()
    stderr_file = tempfile.TemporaryFile()
    if kind == "updater":
        env = dict(display_env, QZ7_SERIAL_PORTS=f"usbserial-bench={sim.path}")
        cmd = [os.path.join(BUILD, "qz7-updater")]
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
    env = dict(os.environ, QZ7_SERIAL_PORTS=ports)
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


def describe(values):
    return {"median": statistics.median(values), "min": min(values), "max": max(values)}


def summarise(runs):
    keys = [k for k, v in runs[0].items() if isinstance(v, (int, float)) and not isinstance(v, bool)]
    out = {k: describe([r[k] for r in runs if r.get(k) is not None]) for k in keys}
    out["intact"] = sum(r["intact"] for r in runs)
    out["count"] = len(runs)
    out["runs"] = runs
    return out


def main():
    os.makedirs(os.path.join(BUILD, "bench"), exist_ok=True)
    if "--multi-only" in sys.argv[1:]:
        multi = bench_multi()
        with open(os.path.join(BUILD, "bench", "multi.json"), "w") as f:
            json.dump(multi, f, indent=2)
        return 0 if multi["intact"] else 1
    xvfb, display = start_xvfb()
    env = dict(os.environ, DISPLAY=display)
    env.pop("WAYLAND_DISPLAY", None)
    results = {}
    try:
        for mode, baud, count in (("line_rate", BAUD, RUNS), ("unthrottled", 0, 3 * RUNS)):
            runs = {"updater": [], "floor": []}
            for _ in range(count):  # taking turns, so that a change in the machine's load hits both
                for kind in ("updater", "floor"):
                    r = one_run(kind, baud, env, xvfb)
                    runs[kind].append(r)
                    print(f"  {mode} {kind} {len(runs[kind])}/{count}: {r['lines_per_s']:.0f} lines/s, "
                          f"P to Done {r['p_to_done_s']:.3f} s, load {r['loadavg_before'][0]:.2f}", file=sys.stderr, flush=True)
            results[mode] = {kind: summarise(r) for kind, r in runs.items()}
    except BenchError as e:
        print(e, file=sys.stderr)
        return 1
    finally:
        xvfb.terminate()
        xvfb.wait()

    lr, un = results["line_rate"], results["unthrottled"]

    def med(mode, kind, key):
        return results[mode][kind][key]["median"]

    ratios = {
        "throughput_vs_floor": med("unthrottled", "updater", "lines_per_s") / med("unthrottled", "floor", "lines_per_s"),
        "linerate_vs_floor": med("line_rate", "updater", "p_to_done_s") / med("line_rate", "floor", "p_to_done_s"),
    }
    headline = {
        **ratios,
        "cpu_over_wall": med("line_rate", "updater", "cpu_over_wall"),
        "cpu_per_line_vs_floor": med("unthrottled", "updater", "threads_us_per_line")
        / med("unthrottled", "floor", "threads_us_per_line"),
        "turnaround_p99_ms": med("unthrottled", "updater", "turnaround_p99_ms"),
        "floor_p99_ms": med("unthrottled", "floor", "turnaround_p99_ms"),
        "rss_mb": max(r["rss_mb"] for m in results.values() for r in m["updater"]["runs"]),
        "startup_ms": statistics.median([r["startup_ms"] for m in results.values() for r in m["updater"]["runs"]]),
    }
    targets = {k: {"value": headline[k], "target": text, "met": test(headline[k])} for k, (test, text) in TARGETS.items()}

    rows = [  # label, mode, key, format
        ("lines per s (unthrottled)", "unthrottled", "lines_per_s", "{:.0f}"),
        ("P to Done, s (line rate)", "line_rate", "p_to_done_s", "{:.3f}"),
        ("wall / bound (line rate)", "line_rate", "wall_over_bound", "{:.4f}"),
        ("cpu / wall (line rate)", "line_rate", "cpu_over_wall", "{:.4f}"),
        ("cpu / wall (unthrottled)", "unthrottled", "cpu_over_wall", "{:.3f}"),
        ("cpu per line, threads, us (unthrottled)", "unthrottled", "threads_us_per_line", "{:.1f}"),
        ("cpu per line, us (line rate)", "line_rate", "cpu_us_per_line", "{:.1f}"),
        ("  main thread, us (line rate)", "line_rate", "main_us_per_line", "{:.1f}"),
        ("  other threads, us (line rate)", "line_rate", "others_us_per_line", "{:.1f}"),
        ("turnaround median, ms (unthrottled)", "unthrottled", "turnaround_median_ms", "{:.3f}"),
        ("turnaround p99, ms (unthrottled)", "unthrottled", "turnaround_p99_ms", "{:.3f}"),
        ("turnaround max, ms (unthrottled)", "unthrottled", "turnaround_max_ms", "{:.3f}"),
        ("sim cpu/line last/first (unthrottled)", "unthrottled", "sim_last_over_first", "{:.2f}"),
        ("sim cpu/line last/first (line rate)", "line_rate", "sim_last_over_first", "{:.2f}"),
        ("peak RSS, MB", "line_rate", "rss_mb", "{:.1f}"),
        ("start to window, ms", "line_rate", "startup_ms", "{:.0f}"),
        ("  processor time by then, ms", "line_rate", "startup_cpu_ms", "{:.0f}"),
        ("  the search that saw it, ms", "line_rate", "startup_search_ms", "{:.0f}"),
    ]
    mach = machine()
    print(f"machine: {mach['cores']} cores, {mach['model']}; load average now {loadavg()}; "
          f"{RUNS} runs each at line rate, {3 * RUNS} unthrottled, taking turns")
    print(f"{'measure':40} {'updater':>10} {'(min-max)':>19} {'floor':>10} {'ratio':>8}")
    for label, mode, key, fmt in rows:
        u = results[mode]["updater"].get(key)
        f = results[mode]["floor"].get(key)
        if not u:
            continue
        spread = f"{fmt.format(u['min'])}-{fmt.format(u['max'])}"
        floor_text = fmt.format(f["median"]) if f else ""
        ratio = f"{u['median'] / f['median']:.4f}" if f and f["median"] else ""
        print(f"{label:40} {fmt.format(u['median']):>10} {spread:>19} {floor_text:>10} {ratio:>8}")
    for k, t in targets.items():
        print(f"target {k} {t['target']}: {t['value']:.4g} {'met' if t['met'] else 'MISSED'}")
    for mode in results:
        for kind in ("updater", "floor"):
            print(f"images intact ({mode}, {kind}): {results[mode][kind]['intact']} of {results[mode][kind]['count']}")
    with open(os.path.join(BUILD, "bench", "results.json"), "w") as f:
        json.dump({"date": time.strftime("%Y-%m-%d %H:%M"), "machine": mach, "runs_per_mode": RUNS,
                   "headline": headline, "targets": targets, **results}, f, indent=2)
    multi = bench_multi()
    with open(os.path.join(BUILD, "bench", "multi.json"), "w") as f:
        json.dump(multi, f, indent=2)
    h = headline
    print(f"bench: throughput_vs_floor={h['throughput_vs_floor']:.4f} linerate_vs_floor={h['linerate_vs_floor']:.4f} "
          f"cpu/wall={h['cpu_over_wall']:.4f} cpu_per_line_vs_floor={h['cpu_per_line_vs_floor']:.2f} turnaround_p99_ms={h['turnaround_p99_ms']:.3f} "
          f"floor_p99_ms={h['floor_p99_ms']:.3f} rss_mb={h['rss_mb']:.1f} startup_ms={h['startup_ms']:.0f}")
    intact = all(r["intact"] for m in results.values() for k in m.values() for r in k["runs"])
    return 0 if intact and multi["intact"] else 1


if __name__ == "__main__":
    sys.exit(main())
