#!/usr/bin/env python3
"""Idle soak: the real program left waiting for a long time in two places at once.

  searching  at "Connect USB adapter", its one listed adapter path does not exist;
  question   at the version question, opposite the simulator, which has sent its banner and
             version and now waits for the operator.

Every minute it samples each program's open descriptors, threads and resident memory (through
psutil). The first sample is taken one minute in, once start-up is over. The run fails when a
program ends early, when descriptors or threads are ever above that first sample, or when
resident memory ends more than 1 MiB above it (the allocator may round a page or two either way;
a leak of one allocation a minute grows well past that in an hour).

Usage: soak_idle.py [MINUTES]   (default 60; make soak-idle SOAK_MINUTES=N)
Prints one line per minute and a summary with first, last and maximum of each figure.
"""
import os
import signal
import subprocess
import sys
import time

import psutil

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = os.environ.get("BUILD", os.path.join(ROOT, "build"))
UPDATER = os.path.join(BUILD, "qz7-updater")
BOOTSIM = os.path.join(BUILD, "qz7-bootsim")
RSS_SLACK_KIB = 1024


def sample(pid):
    process = psutil.Process(pid)
    with process.oneshot():
        return {"fds": process.num_fds(), "threads": process.num_threads(),
                "rss_kib": process.memory_info().rss // 1024}


def start_updater(ports):
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", QZ7_SERIAL_PORTS=ports)
    env.setdefault("XDG_RUNTIME_DIR", "/tmp")
    return subprocess.Popen([UPDATER], env=env, stdout=subprocess.DEVNULL)


def main():
    # Stopped from outside, it still ends the programs and the simulator it started.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
    minutes = int(sys.argv[1]) if len(sys.argv) > 1 else 60
    # The operator's power-on comes well after the program has taken the port.
    sim = subprocess.Popen([BOOTSIM, "--power-on-ms", "1500", "--events"], stdout=subprocess.PIPE, text=True)
    slave = sim.stdout.readline().strip()
    if not slave.startswith("/dev/"):
        print(f"soak-idle: the simulator gave no port ({slave!r})", file=sys.stderr)
        return 2
    cases = {
        "searching": start_updater("usbserial-gone=/nonexistent/ttyUSB9"),
        "question": start_updater(f"usbserial-sim={slave}"),
    }
    # The question case only counts once the simulator has answered the version request.
    for line in sim.stdout:
        if line.strip() == "event: version":
            break
    else:
        print("soak-idle: the simulator ended before the version question", file=sys.stderr)
        return 2
    samples = {name: [] for name in cases}
    failed = []
    try:
        for minute in range(1, minutes + 1):
            time.sleep(60)
            for name, proc in cases.items():
                if proc.poll() is not None:
                    failed.append(f"{name}: the program ended at minute {minute} (status {proc.returncode})")
                    raise StopIteration
                s = sample(proc.pid)
                samples[name].append(s)
                print(f"soak-idle: minute {minute:3d} {name:9s} fds {s['fds']:3d} threads {s['threads']:2d} "
                      f"rss {s['rss_kib']} KiB", flush=True)
    except StopIteration:
        pass
    finally:
        for proc in cases.values():
            if proc.poll() is None:
                proc.terminate()
                try:
                    proc.wait(5)
                except subprocess.TimeoutExpired:
                    proc.kill()
                    failed.append("a program did not end within 5 s of SIGTERM")
        sim.terminate()
        sim.wait(5)

    for name, rows in samples.items():
        if not rows:
            failed.append(f"{name}: no sample")
            continue
        first, last = rows[0], rows[-1]
        figures = []
        for key in ("fds", "threads", "rss_kib"):
            top = max(r[key] for r in rows)
            figures.append(f"{key} first {first[key]} last {last[key]} max {top}")
        print(f"soak-idle: {name}: {len(rows)} samples; " + "; ".join(figures))
        for key in ("fds", "threads"):
            if max(r[key] for r in rows) > first[key]:
                failed.append(f"{name}: {key} grew above the first sample {first[key]}")
        if last["rss_kib"] > first["rss_kib"] + RSS_SLACK_KIB:
            failed.append(f"{name}: resident memory grew from {first['rss_kib']} to {last['rss_kib']} KiB")
    for why in failed:
        print(f"soak-idle: FAILED: {why}", file=sys.stderr)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
