#!/usr/bin/env python3
"""The status line as a screen reader meets it: the updater on the X server in DISPLAY, its
accessibility tree walked over AT-SPI with pyatspi, on the session bus this runs in (start it
under dbus-run-session). The program sees only /dev/ttyS0, so after a while (5 s, here the
QZ7_TEST_TIMES the environment gives, 1 s unless it names another) the status line says so; that
text must reach the bus both as a name change event and in the tree.

Usage: atspi_status.py UPDATER
Exit status: 0 heard, 1 not, 77 the accessibility bus could not start (the test skips)."""
import os
import subprocess
import sys
import time

EXPECTED = "No USB serial adapter found. Seen: /dev/ttyS0, not a USB adapter."


def a11y_bus_address():
    reply = subprocess.run(["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus", "/org/a11y/bus",
                            "org.a11y.Bus.GetAddress"], capture_output=True, text=True)
    return reply.returncode == 0 and "unix:" in reply.stdout


def walk(node, depth=0):
    yield node
    if depth > 20:
        return
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield from walk(child, depth + 1)


def main():
    children = []
    try:
        children.append(subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"],
                                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        deadline = time.monotonic() + 10
        while not a11y_bus_address():
            if time.monotonic() > deadline or children[0].poll() is not None:
                print("the accessibility bus did not start")
                return 77
            time.sleep(0.1)
        import pyatspi
        from gi.repository import GLib

        heard = []

        def on_name(event):
            try:
                if event.source.getRoleName() == "label" and event.source.name == EXPECTED:
                    heard.append(event.source.name)
                    pyatspi.Registry.stop()
            except Exception:
                pass

        pyatspi.Registry.registerEventListener(on_name, "object:property-change:accessible-name")
        env = dict(os.environ, QZ7_SERIAL_PORTS="ttyS0=/dev/ttyS0", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                   QT_QPA_PLATFORM="xcb", QT_ACCESSIBILITY="1")
        env.setdefault("QZ7_TEST_TIMES", "no-adapter=1s")
        children.append(subprocess.Popen([sys.argv[1]], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        GLib.timeout_add_seconds(20, lambda: pyatspi.Registry.stop())
        pyatspi.Registry.start()
        if not heard:
            print("no name change to the status line's text reached the bus")
            return 1

        desktop = pyatspi.Registry.getDesktop(0)
        apps = [a for a in (desktop.getChildAtIndex(i) for i in range(desktop.childCount))
                if a is not None and a.name in ("QZ7 Updater", "qz7-updater")]
        if not apps:
            print("the updater is not on the bus; applications:",
                  [desktop.getChildAtIndex(i).name for i in range(desktop.childCount)])
            return 1
        found = [n for n in walk(apps[0]) if n.getRoleName() == "label" and n.name == EXPECTED]
        if not found:
            print("the tree holds no label named", repr(EXPECTED), "; labels:",
                  [(n.name, n.description) for n in walk(apps[0]) if n.getRoleName() == "label"])
            return 1
        frames = [n for n in walk(apps[0]) if n.getRoleName() == "frame"]
        print("heard:", heard[0], "| in the tree under", [f.name for f in frames])
        return 0
    finally:
        for child in reversed(children):
            child.terminate()
            try:
                child.wait(5)
            except subprocess.TimeoutExpired:
                child.kill()


if __name__ == "__main__":
    sys.exit(main())
