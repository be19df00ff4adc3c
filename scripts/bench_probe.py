"""The benchmark's view of processes and of the window: processor time, threads and peak memory
of a running process, the machine it runs on, and an Xvfb display on which the updater's window
is found and driven with xdotool."""
import os
import platform
import select
import subprocess
import tempfile
import time

import psutil

WINDOW_LIMIT_S = 30  # a first start on a loaded machine can take seconds; a hung one never shows


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
