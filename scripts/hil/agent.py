"""The guest's half of make hil: runs inside the virtual machine, in the host's root (read-only),
and does what the host's harness asks over a virtio serial port, one JSON object a line.

Requests carry an "id" that the reply repeats; "op" is one of
  run     run "argv" (or "sh") to the end, within "timeout" seconds: rc, out, secs
  spawn   start "argv" as "name" in the background, standard output and error into one log; each
          line that holds one of "watch" is reported at once as {"event": ..., "name", "line"}
  wait    wait for "name" to end, within "timeout": rc (None if it did not end), out, secs
          (since the spawn)
  signal  send "sig" to "name"
  read    the whole of the file "path": text
  write   write "text" to the file "path" (sysfs, mostly)
  udevd   "start" or "stop" the udev daemon
The guest's clock is used only for durations inside one process; the host times everything else.
"""
import json
import os
import signal
import subprocess
import sys
import threading
import time

ROOT = sys.argv[1]
lock = threading.Lock()
procs = {}


def modprobe(*names):
    for name in names:
        subprocess.run(["modprobe", name], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def find_port():
    for _ in range(200):
        for entry in sorted(os.listdir("/sys/class/virtio-ports") if os.path.isdir("/sys/class/virtio-ports") else []):
            try:
                with open(f"/sys/class/virtio-ports/{entry}/name") as f:
                    if f.read().strip() == "hil":
                        return f"/dev/{entry}"
            except OSError:
                pass
        time.sleep(0.05)
    raise SystemExit("agent: no virtio port named hil")


modprobe("virtio_console")
port = find_port()
out_fd = os.open(port, os.O_RDWR)
reader = os.fdopen(os.dup(out_fd), "rb", buffering=0)


def send(obj):
    data = (json.dumps(obj) + "\n").encode()
    with lock:
        while data:
            n = os.write(out_fd, data)
            data = data[n:]


class Proc:
    def __init__(self, name, argv, watch, env):
        self.name = name
        self.started = time.monotonic()
        self.log = []
        self.popen = subprocess.Popen(argv, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL,
                                      env=env, cwd=ROOT, start_new_session=True)
        self.watch = watch
        self.ended = None
        self.pump = threading.Thread(target=self.read, daemon=True)
        self.pump.start()

    def read(self):
        for raw in self.popen.stdout:
            line = raw.decode(errors="replace").rstrip("\n")
            self.log.append(line)
            for w in self.watch:
                if w in line:
                    send({"event": w, "name": self.name, "line": line})

    def wait(self, timeout):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            rc = self.popen.poll()
            if rc is not None:
                self.pump.join(2)
                self.ended = self.ended or time.monotonic()
                return rc
            time.sleep(0.01)
        return None


def environment(extra):
    env = {"PATH": "/usr/sbin:/usr/bin:/sbin:/bin", "HOME": "/tmp", "LANG": "C.UTF-8"}
    env.update(extra or {})
    return env


def handle(req):
    op = req["op"]
    if op == "run":
        argv = req.get("argv") or ["sh", "-c", req["sh"]]
        t0 = time.monotonic()
        try:
            p = subprocess.run(argv, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=req.get("timeout", 60),
                               env=environment(req.get("env")), cwd=ROOT)
            return {"rc": p.returncode, "out": p.stdout.decode(errors="replace")[-4000:], "secs": time.monotonic() - t0}
        except subprocess.TimeoutExpired as e:
            return {"rc": None, "out": (e.stdout or b"").decode(errors="replace")[-4000:], "secs": time.monotonic() - t0}
    if op == "spawn":
        procs[req["name"]] = Proc(req["name"], req["argv"], req.get("watch", []), environment(req.get("env")))
        return {"pid": procs[req["name"]].popen.pid}
    if op == "wait":
        p = procs[req["name"]]
        rc = p.wait(req.get("timeout", 60))
        ended = p.ended or time.monotonic()
        return {"rc": rc, "out": "\n".join(p.log)[-200000:], "secs": ended - p.started}
    if op == "signal":
        p = procs[req["name"]]
        if p.popen.poll() is None:
            p.popen.send_signal(getattr(signal, req["sig"]))
        return {"sent": time.monotonic() - p.started}
    if op == "read":
        with open(req["path"]) as f:
            return {"text": f.read()}
    if op == "write":
        with open(req["path"], "w") as f:
            f.write(req["text"])
        return {}
    if op == "udevd":
        if req["action"] == "start":
            subprocess.run(["sh", "-c", "/lib/systemd/systemd-udevd --daemon && udevadm trigger --action=add "
                            "&& udevadm settle -t 20"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        else:
            subprocess.run(["udevadm", "control", "--exit"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            subprocess.run(["sh", "-c", "rm -rf /run/udev /dev/serial"], stdout=subprocess.DEVNULL)
        return {}
    return {"error": f"unknown op {op}"}


def serve(req):
    try:
        reply = handle(req)
    except Exception as e:  # the host reports it as the scenario's failure
        reply = {"error": f"{type(e).__name__}: {e}"}
    reply["id"] = req.get("id")
    send(reply)


# The USB side of the guest: a host controller for QEMU's adapters, the serial drivers, FunctionFS
# for the chips that scripts/hil/ffs.py plays, and a CDC-ACM gadget (configfs) for the dummy
# gadget controller, unbound until a scenario binds it.
# The kernel's own module requests run outside this root and find no modules, so everything is
# loaded here.
modprobe("xhci_pci", "usbserial", "ftdi_sio", "cdc_acm", "ch341", "cp210x", "pl2303", "dummy_hcd", "libcomposite",
         "usb_f_acm", "usb_f_fs")
subprocess.run(["mount", "-t", "configfs", "none", "/sys/kernel/config"], stderr=subprocess.DEVNULL)
gadget = "/sys/kernel/config/usb_gadget/hil"
for d in ("", "/strings/0x409", "/functions/acm.usb0", "/configs/c.1"):
    os.makedirs(gadget + d, exist_ok=True)
for name, text in (("idVendor", "0x0525"), ("idProduct", "0xa4a7"), ("strings/0x409/manufacturer", "Linux"),
                   ("strings/0x409/product", "Gadget Serial"), ("strings/0x409/serialnumber", "HIL0001")):
    with open(f"{gadget}/{name}", "w") as f:
        f.write(text)
os.symlink(f"{gadget}/functions/acm.usb0", f"{gadget}/configs/c.1/acm.usb0")
send({"event": "ready", "kernel": os.uname().release})
buffer = b""
while True:
    chunk = reader.read(4096)
    if not chunk:
        time.sleep(0.05)
        continue
    buffer += chunk
    while b"\n" in buffer:
        line, buffer = buffer.split(b"\n", 1)
        if not line.strip():
            continue
        req = json.loads(line)
        if req.get("op") == "exit":
            send({"id": req.get("id"), "bye": True})
            os.sync()
            sys.exit(0)
        # Each request on a thread of its own, so a long wait does not hold the others.
        threading.Thread(target=serve, args=(req,), daemon=True).start()
