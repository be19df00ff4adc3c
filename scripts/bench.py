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

  bench-capture: the updater with --capture against the same without, taking turns, at line rate
               and unthrottled (--capture-only runs this case alone; it is not in the default run).

  bench-multi: eight simulated units at line rate through one `qz7-updater --cli --yes --all`,
               against one unit alone in the same run: wall time, processor time and peak
               resident memory of the whole process (--multi-only runs this case alone).

bench_probe.py reads the processes and finds the window, bench_runs.py makes the runs, and this
file puts them together and reports.
"""
import json
import os
import statistics
import sys
import time

from bench_probe import BenchError, loadavg, machine, start_xvfb
from bench_runs import BAUD, BUILD, bench_multi, one_run

RUNS = max(3, int(os.environ.get("BENCH_RUNS", "3")))  # at line rate; three times as many unthrottled

TARGETS = {  # name: (test, text)
    "throughput_vs_floor": (lambda v: v >= 0.97, ">= 0.97"),
    "linerate_vs_floor": (lambda v: v <= 1.01, "<= 1.01"),
    "cpu_over_wall": (lambda v: v <= 0.01, "<= 0.01"),
    "cpu_per_line_vs_floor": (lambda v: v <= 2.0, "<= 2"),
    "rss_mb": (lambda v: v < 40, "< 40"),
    "startup_ms": (lambda v: v <= 300, "<= 300"),
}


def describe(values):
    return {"median": statistics.median(values), "min": min(values), "max": max(values)}


def summarise(runs):
    keys = [k for k, v in runs[0].items() if isinstance(v, (int, float)) and not isinstance(v, bool)]
    out = {k: describe([r[k] for r in runs if r.get(k) is not None]) for k in keys}
    out["intact"] = sum(r["intact"] for r in runs)
    out["count"] = len(runs)
    out["runs"] = runs
    return out


def bench_capture():
    """The window's update with --capture against the same without, taking turns through the same
    simulator options: the ratios of the medians, and the size of a whole update's capture."""
    xvfb, display = start_xvfb()
    env = dict(os.environ, DISPLAY=display)
    env.pop("WAYLAND_DISPLAY", None)
    path = os.path.join(BUILD, "bench", "capture.jsonl")
    results, sizes = {}, []
    try:
        for mode, baud, count in (("line_rate", BAUD, RUNS), ("unthrottled", 0, 3 * RUNS)):
            runs = {"plain": [], "capture": []}
            for _ in range(count):
                for kind in ("plain", "capture"):
                    if os.path.exists(path):
                        os.unlink(path)
                    r = one_run("updater", baud, env, xvfb, capture=path if kind == "capture" else None)
                    if kind == "capture":
                        sizes.append(os.path.getsize(path))
                    runs[kind].append(r)
                    print(f"  {mode} {kind} {len(runs[kind])}/{count}: {r['lines_per_s']:.0f} lines/s, "
                          f"P to Done {r['p_to_done_s']:.3f} s, {r['threads_us_per_line']:.1f} us/line, "
                          f"load {r['loadavg_before'][0]:.2f}", file=sys.stderr, flush=True)
            results[mode] = {kind: summarise(r) for kind, r in runs.items()}
    except BenchError as e:
        print(e, file=sys.stderr)
        return 1
    finally:
        xvfb.terminate()
        xvfb.wait()

    def med(mode, kind, key):
        return results[mode][kind][key]["median"]

    headline = {
        "linerate_capture_vs_plain": med("line_rate", "capture", "p_to_done_s") / med("line_rate", "plain", "p_to_done_s"),
        "throughput_capture_vs_plain": med("unthrottled", "capture", "lines_per_s") / med("unthrottled", "plain", "lines_per_s"),
        "cpu_per_line_capture_vs_plain": med("unthrottled", "capture", "threads_us_per_line")
        / med("unthrottled", "plain", "threads_us_per_line"),
        "cpu_over_wall_capture": med("line_rate", "capture", "cpu_over_wall"),
        "cpu_over_wall_plain": med("line_rate", "plain", "cpu_over_wall"),
        "capture_bytes": statistics.median(sizes),
    }
    for mode in results:
        for kind in results[mode]:
            m = results[mode][kind]
            print(f"{mode} {kind}: lines/s {m['lines_per_s']['median']:.0f} ({m['lines_per_s']['min']:.0f}-{m['lines_per_s']['max']:.0f}), "
                  f"P to Done {m['p_to_done_s']['median']:.3f} s, cpu/line {m['threads_us_per_line']['median']:.1f} us, "
                  f"intact {m['intact']} of {m['count']}")
    with open(os.path.join(BUILD, "bench", "capture.json"), "w") as f:
        json.dump({"date": time.strftime("%Y-%m-%d %H:%M"), "machine": machine(), "headline": headline, **results}, f, indent=2)
    h = headline
    print(f"bench-capture: linerate_capture_vs_plain={h['linerate_capture_vs_plain']:.4f} "
          f"throughput_capture_vs_plain={h['throughput_capture_vs_plain']:.4f} "
          f"cpu_per_line_capture_vs_plain={h['cpu_per_line_capture_vs_plain']:.3f} "
          f"cpu/wall={h['cpu_over_wall_capture']:.4f}/{h['cpu_over_wall_plain']:.4f} capture_bytes={h['capture_bytes']:.0f}")
    intact = all(r["intact"] for m in results.values() for k in m.values() for r in k["runs"])
    return 0 if intact else 1


def main():
    os.makedirs(os.path.join(BUILD, "bench"), exist_ok=True)
    if "--multi-only" in sys.argv[1:]:
        multi = bench_multi()
        with open(os.path.join(BUILD, "bench", "multi.json"), "w") as f:
            json.dump(multi, f, indent=2)
        return 0 if multi["intact"] else 1
    if "--capture-only" in sys.argv[1:]:
        return bench_capture()
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
    # The one-minute load average before and after every unthrottled run, lowest and highest.
    loads = [r[k][0] for kind in ("updater", "floor") for r in results["unthrottled"][kind]["runs"]
             for k in ("loadavg_before", "loadavg_after")]
    headline["unthrottled_load"] = [min(loads), max(loads)]
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
    # The unthrottled figures side by side: what a line costs each program, in wall time and in
    # processor time, and the load the machine was under meanwhile.
    loads = headline["unthrottled_load"]
    print(f"unthrottled: updater {med('unthrottled', 'updater', 'lines_per_s'):.0f} lines/s, "
          f"{med('unthrottled', 'updater', 'threads_us_per_line'):.1f} us/line; "
          f"floor {med('unthrottled', 'floor', 'lines_per_s'):.0f} lines/s, "
          f"{med('unthrottled', 'floor', 'threads_us_per_line'):.1f} us/line; "
          f"throughput {h['throughput_vs_floor']:.3f} of the floor's, processor time per line "
          f"{h['cpu_per_line_vs_floor']:.2f} times the floor's; load average {loads[0]:.2f}-{loads[1]:.2f}")
    print(f"bench: throughput_vs_floor={h['throughput_vs_floor']:.4f} linerate_vs_floor={h['linerate_vs_floor']:.4f} "
          f"cpu/wall={h['cpu_over_wall']:.4f} cpu_per_line_vs_floor={h['cpu_per_line_vs_floor']:.2f} turnaround_p99_ms={h['turnaround_p99_ms']:.3f} "
          f"floor_p99_ms={h['floor_p99_ms']:.3f} rss_mb={h['rss_mb']:.1f} startup_ms={h['startup_ms']:.0f} "
          f"load={loads[0]:.2f}-{loads[1]:.2f}")
    intact = all(r["intact"] for m in results.values() for k in m.values() for r in k["runs"])
    return 0 if intact and multi["intact"] else 1


if __name__ == "__main__":
    sys.exit(main())
