#!/usr/bin/env python3
"""Benchmark: whole updates of the shipped image by build/qz7-updater (a separate process, in a
window under Xvfb, Update pressed from the keyboard) against build/qz7-bootsim.

  line rate:   the simulator emulates 57600 baud both ways; wall time from "P" to "Done"
               against the bound the bytes on the wire allow.
  unthrottled: the pseudo-terminal as fast as it goes; lines per second and the turnaround per
               line as the simulator sees it.

In both: the updater's processor time (user + system) over the wall time of the transfer, its
peak resident memory, and the time from its start to its window being shown.
"""
import json
import os
import re
import signal
import statistics
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = os.environ.get("BUILD", os.path.join(ROOT, "build"))
IMAGE = os.path.join(ROOT, "resources", "QZ-7-2_007.hex")
RUNS = int(os.environ.get("BENCH_RUNS", "3"))
BAUD = 57600
CLK_TCK = os.sysconf("SC_CLK_TCK")


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / CLK_TCK


def peak_rss_mb(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmHWM:"):
                return int(line.split()[1]) / 1024.0
    return 0.0


def window_shown(env):
    r = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "QZ7 Updater"],
                       env=env, capture_output=True, text=True)
    return r.stdout.split()[0] if r.returncode == 0 and r.stdout.split() else None


class Sim:
    def __init__(self, baud):
        args = [os.path.join(BUILD, "qz7-bootsim"), "--events", "--stats", "--power-on-ms", "300",
                "--erase-ms", "100", "--expect", IMAGE]
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
        raise RuntimeError(f"bench: no '{pattern}' from the simulator; it said: {self.lines[-5:]}")


def one_run(baud, display_env):
    sim = Sim(baud)
    env = dict(display_env, QZ7_SERIAL_PORTS=f"usbserial-bench={sim.path}")
    started = time.monotonic()
    updater = subprocess.Popen([os.path.join(BUILD, "qz7-updater")], env=env,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        return measure(sim, updater, env, started)
    finally:
        for proc in (updater, sim.proc):
            if proc.poll() is None:
                proc.kill()
                proc.wait()


def measure(sim, updater, env, started):
    win = None
    while win is None and time.monotonic() - started < 10:
        win = window_shown(env)
    startup_ms = (time.monotonic() - started) * 1000.0
    if win is None:
        raise RuntimeError("bench: the window did not show")
    sim.wait_for(r"^event: version", 20)
    time.sleep(0.2)
    subprocess.run(["xdotool", "windowfocus", "--sync", win, "key", "space"], env=env, check=True)
    marks = {}

    def mark(line):
        if line.startswith("event: programming"):
            marks["start"] = (time.monotonic(), cpu_seconds(updater.pid))
        elif line.startswith("event: done"):
            marks["end"] = (time.monotonic(), cpu_seconds(updater.pid))
            marks["rss"] = peak_rss_mb(updater.pid)

    sim.wait_for(r"^event: done", 120, mark)
    sim.wait_for(r"^qz7-bootsim: image", 20)
    rc = sim.proc.wait(10)
    updater.send_signal(signal.SIGTERM)
    updater.wait(5)
    summary = sim.lines[-1]
    stats = next(l for l in sim.lines if l.startswith("qz7-bootsim: turnaround_us"))
    m = re.search(r"(\d+) lines, (\d+) bytes in ([\d.]+) s", summary)
    lines, nbytes, seconds = int(m.group(1)), int(m.group(2)), float(m.group(3))
    t = dict(re.findall(r"(median|p99|max)=([\d.]+)", stats))
    wall = marks["end"][0] - marks["start"][0]
    cpu = marks["end"][1] - marks["start"][1]
    bound = (nbytes + lines) * 10.0 / BAUD  # every image byte and every asterisk, 10 bit times each
    return {
        "intact": rc == 0,
        "lines": lines,
        "bytes": nbytes,
        "p_to_done_s": seconds,
        "bound_s": bound,
        "wall_over_bound": seconds / bound,
        "lines_per_s": lines / seconds,
        "turnaround_median_ms": float(t["median"]) / 1000.0,
        "turnaround_p99_ms": float(t["p99"]) / 1000.0,
        "turnaround_max_ms": float(t["max"]) / 1000.0,
        "cpu_over_wall": cpu / wall if wall > 0 else 0.0,
        "rss_mb": marks["rss"],
        "startup_ms": startup_ms,
    }


def describe(values):
    return {"median": statistics.median(values), "min": min(values), "max": max(values)}


def main():
    display = ":79"
    xvfb = subprocess.Popen(["Xvfb", display, "-screen", "0", "640x560x24", "-nolisten", "tcp"],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    env = dict(os.environ, DISPLAY=display)
    env.pop("WAYLAND_DISPLAY", None)
    for _ in range(100):
        if subprocess.run(["xdotool", "getdisplaygeometry"], env=env, capture_output=True).returncode == 0:
            break
        time.sleep(0.05)
    results = {}
    try:
        for mode, baud in (("line_rate", BAUD), ("unthrottled", 0)):
            runs = [one_run(baud, env) for _ in range(RUNS)]
            results[mode] = {"runs": runs, **{k: describe([r[k] for r in runs]) for k in runs[0] if k != "intact"}}
            results[mode]["intact"] = sum(r["intact"] for r in runs)
    finally:
        xvfb.terminate()

    rows = [
        ("wall / bound (line rate)", "line_rate", "wall_over_bound", "{:.4f}"),
        ("P to Done, s (line rate)", "line_rate", "p_to_done_s", "{:.2f}"),
        ("bound, s (line rate)", "line_rate", "bound_s", "{:.2f}"),
        ("cpu / wall (line rate)", "line_rate", "cpu_over_wall", "{:.4f}"),
        ("cpu / wall (unthrottled)", "unthrottled", "cpu_over_wall", "{:.3f}"),
        ("lines per s (unthrottled)", "unthrottled", "lines_per_s", "{:.0f}"),
        ("turnaround median, ms (unthrottled)", "unthrottled", "turnaround_median_ms", "{:.3f}"),
        ("turnaround p99, ms (unthrottled)", "unthrottled", "turnaround_p99_ms", "{:.3f}"),
        ("turnaround max, ms (unthrottled)", "unthrottled", "turnaround_max_ms", "{:.3f}"),
        ("peak RSS, MB (line rate)", "line_rate", "rss_mb", "{:.1f}"),
        ("start to window, ms", "line_rate", "startup_ms", "{:.0f}"),
    ]
    print(f"{'measure':40} {'median':>10} {'min':>10} {'max':>10}   ({RUNS} runs a mode)")
    for label, mode, key, fmt in rows:
        d = results[mode][key]
        print(f"{label:40} {fmt.format(d['median']):>10} {fmt.format(d['min']):>10} {fmt.format(d['max']):>10}")
    for mode in results:
        print(f"images intact ({mode}): {results[mode]['intact']} of {RUNS}")
    os.makedirs(os.path.join(BUILD, "bench"), exist_ok=True)
    with open(os.path.join(BUILD, "bench", "results.json"), "w") as f:
        json.dump({"date": time.strftime("%Y-%m-%d"), "runs_per_mode": RUNS, **results}, f, indent=2)
    lr, un = results["line_rate"], results["unthrottled"]
    startup = statistics.median([r["startup_ms"] for m in results.values() for r in m["runs"]])
    rss = max(r["rss_mb"] for m in results.values() for r in m["runs"])
    print(f"bench: wall/bound={lr['wall_over_bound']['median']:.4f} cpu/wall={lr['cpu_over_wall']['median']:.4f} "
          f"turnaround_p99_ms={un['turnaround_p99_ms']['median']:.3f} lines_per_s={un['lines_per_s']['median']:.0f} "
          f"rss_mb={rss:.1f} startup_ms={startup:.0f}")
    return 0 if all(r["intact"] for m in results.values() for r in m["runs"]) else 1


if __name__ == "__main__":
    sys.exit(main())
