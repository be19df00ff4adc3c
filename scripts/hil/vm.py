"""The virtual machine of make hil: the Debian kernel and the guest's initramfs, the guest booted
under KVM or TCG, its QMP monitor and the agent that runs programs in it (scripts/hil/agent.py,
over a virtio serial port)."""
import glob
import json
import os
import queue
import socket
import subprocess
import threading
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
BUILD = os.path.abspath(os.environ.get("BUILD", os.path.join(ROOT, "build")))
OUT = os.path.join(BUILD, "hil")
KVM_BOOT_S = 8    # a guest under KVM is up in seconds; one that is not up by then never will be
TCG_BOOT_S = 90


class HilError(RuntimeError):
    pass


def log(text):
    print(text, flush=True)


def kernel():
    kernels = sorted(glob.glob("/boot/vmlinuz-*-amd64"), key=os.path.getmtime)
    if not kernels:
        raise HilError("no Debian kernel in /boot (scripts/deps.sh hil installs linux-image-amd64)")
    path = kernels[-1]
    return path, os.path.basename(path)[len("vmlinuz-"):]


def initramfs(kver):
    out = os.path.join(OUT, f"initramfs-{kver}.cpio.gz")
    script = os.path.join(ROOT, "scripts", "hil", "initramfs.sh")
    if not os.path.exists(out) or os.path.getmtime(out) < os.path.getmtime(script):
        subprocess.run([script, kver, out], check=True)
    return out


class Channel:
    """A line-based JSON peer on a Unix socket; replies are matched by id, the rest are events."""

    def __init__(self, path, deadline):
        while True:
            try:
                self.sock = socket.socket(socket.AF_UNIX)
                self.sock.connect(path)
                break
            except OSError:
                self.sock.close()
                if time.monotonic() > deadline:
                    raise HilError(f"cannot connect to {path}")
                time.sleep(0.05)
        self.events = queue.Queue()
        self.replies = {}
        self.cond = threading.Condition()
        self.closed = False
        self.next_id = 1
        threading.Thread(target=self.pump, daemon=True).start()

    def pump(self):
        buffer = b""
        while True:
            try:
                chunk = self.sock.recv(65536)
            except OSError:
                chunk = b""
            if not chunk:
                with self.cond:
                    self.closed = True
                    self.cond.notify_all()
                self.events.put(({"event": "eof"}, time.monotonic()))
                return
            buffer += chunk
            while b"\n" in buffer:
                line, buffer = buffer.split(b"\n", 1)
                if not line.strip():
                    continue
                msg = json.loads(line)
                self.route(msg, time.monotonic())

    def route(self, msg, at):
        if "id" in msg and msg["id"] is not None:
            with self.cond:
                self.replies[msg["id"]] = msg
                self.cond.notify_all()
        else:
            self.events.put((msg, at))

    def request(self, obj, timeout=120):
        with self.cond:
            ident = self.next_id
            self.next_id += 1
        obj = dict(obj, id=ident)
        what = obj.get('op') or obj.get('execute')
        try:
            self.sock.sendall((json.dumps(obj) + "\n").encode())
        except OSError as e:
            raise HilError(f"cannot send {what}: {e.strerror} (the guest is gone)") from None
        deadline = time.monotonic() + timeout
        with self.cond:
            while ident not in self.replies:
                if self.closed:
                    raise HilError(f"no reply to {what}: the channel closed (the guest is gone)")
                left = deadline - time.monotonic()
                if left <= 0:
                    raise HilError(f"no reply to {what} within {timeout} s")
                self.cond.wait(left)
            return self.replies.pop(ident)

    def event(self, match, timeout):
        """The first event for which match(msg) holds, with its arrival time; None on timeout."""
        deadline = time.monotonic() + timeout
        while True:
            left = deadline - time.monotonic()
            if left <= 0:
                return None, None
            try:
                msg, at = self.events.get(timeout=left)
            except queue.Empty:
                return None, None
            if match(msg):
                return msg, at


class Qmp(Channel):
    def __init__(self, path, deadline):
        super().__init__(path, deadline)
        self.execute("qmp_capabilities")

    def route(self, msg, at):
        if "QMP" in msg:
            return
        if "event" in msg:
            self.events.put((msg, at))
        else:
            with self.cond:
                self.replies[msg.get("id")] = msg
                self.cond.notify_all()

    def execute(self, command, **arguments):
        reply = self.request({"execute": command, "arguments": arguments})
        if "error" in reply:
            raise HilError(f"{command}: {reply['error'].get('desc')}")
        return reply.get("return")


class Guest:
    def __init__(self):
        path, kver = kernel()
        self.kver = kver
        image = initramfs(kver)
        self.path, self.image = path, image
        self.accel = None
        self.losses = 0
        for accel in self.accelerators():
            if self.boot(path, image, accel):
                self.accel = accel
                return
        raise HilError(f"the guest did not boot; see {self.console}")

    def gone(self):
        """None while QEMU runs; once it has exited, how it ended with the last lines it wrote."""
        rc = self.qemu.poll()
        if rc is None:
            return None
        how = f"killed by signal {-rc}" if rc < 0 else f"exit status {rc}"
        with open(self.stderr_path, errors="replace") as f:
            tail = " | ".join(line.strip() for line in f.read().splitlines()[-3:] if line.strip())
        return f"QEMU ended ({how}){': ' + tail if tail else ', writing nothing'}"

    def reboot(self):
        """A new guest in place of one whose QEMU has ended; the ended one's logs are kept
        beside it, numbered."""
        self.losses += 1
        self.stop()
        for channel in (self.qmp, self.agent):
            channel.sock.close()
        for path in (self.stderr_path, self.console):
            base, ext = os.path.splitext(path)
            os.replace(path, f"{base}-lost{self.losses}{ext}")
        if not self.boot(self.path, self.image, self.accel):
            raise HilError(f"the guest did not boot again; see {self.console}")

    @staticmethod
    def accelerators():
        try:
            os.close(os.open("/dev/kvm", os.O_RDWR))
            return ["kvm", "tcg"]
        except OSError:
            return ["tcg"]

    def boot(self, path, image, accel):
        for f in ("qmp.sock", "agent.sock"):
            try:
                os.unlink(os.path.join(OUT, f))
            except FileNotFoundError:
                pass
        self.console = os.path.join(OUT, f"console-{accel}.log")
        cpu = ["-accel", "kvm"] if accel == "kvm" else ["-accel", "tcg,thread=multi", "-cpu", "max"]
        argv = ["qemu-system-x86_64", "-nodefaults", "-no-user-config", "-nographic", "-m", "1024", "-smp", "2", *cpu,
                "-kernel", path, "-initrd", image,
                "-append", f"console=ttyS0 quiet panic=-1 hil.root={ROOT}",
                "-no-reboot", "-serial", f"file:{self.console}",
                "-virtfs", "local,path=/,mount_tag=hostroot,security_model=none,readonly=on,multidevs=remap",
                "-device", "virtio-serial-pci",
                "-chardev", f"socket,id=agent,path={OUT}/agent.sock,server=on,wait=off",
                "-device", "virtserialport,chardev=agent,name=hil",
                "-device", "qemu-xhci,id=xhci",
                "-qmp", f"unix:{OUT}/qmp.sock,server=on,wait=off"]
        started = time.monotonic()
        self.stderr_path = os.path.join(OUT, f"qemu-{accel}.log")
        with open(self.stderr_path, "w") as stderr:
            self.qemu = subprocess.Popen(argv, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=stderr)
        limit = started + (KVM_BOOT_S if accel == "kvm" else TCG_BOOT_S)
        try:
            self.qmp = Qmp(f"{OUT}/qmp.sock", limit)
            self.agent = Channel(f"{OUT}/agent.sock", limit)
            ready, _ = self.agent.event(lambda m: m.get("event") in ("ready", "eof"), limit - time.monotonic())
            if ready and ready.get("event") == "ready":
                self.boot_s = time.monotonic() - started
                return True
        except HilError:
            pass
        log(f"hil: no guest under {accel.upper()} within {limit - started:.0f} s; trying the next accelerator"
            if accel == "kvm" else f"hil: no guest under {accel.upper()}")
        self.stop()
        return False

    def stop(self):
        if self.qemu.poll() is None:
            self.qemu.kill()
        self.qemu.wait()

    def quit(self):
        try:
            if self.gone() is None:
                self.agent.request({"op": "exit"}, timeout=10)
        except HilError:
            pass
        try:
            self.qemu.wait(10)
        except subprocess.TimeoutExpired:
            pass
        self.stop()

    # The agent's operations.
    def run(self, sh, timeout=60, env=None):
        return self.agent.request({"op": "run", "sh": sh, "timeout": timeout, "env": env}, timeout + 30)

    def spawn(self, name, argv, watch=(), env=None):
        reply = self.agent.request({"op": "spawn", "name": name, "argv": argv, "watch": list(watch), "env": env})
        if "error" in reply:
            raise HilError(reply["error"])
        return time.monotonic()

    def wait(self, name, timeout):
        return self.agent.request({"op": "wait", "name": name, "timeout": timeout}, timeout + 30)

    def signal(self, name, sig):
        return self.agent.request({"op": "signal", "name": name, "sig": sig})

    def read(self, path):
        reply = self.agent.request({"op": "read", "path": path}, 60)
        if "error" in reply:
            raise HilError(reply["error"])
        return reply["text"]

    def write(self, path, text):
        reply = self.agent.request({"op": "write", "path": path, "text": text})
        if "error" in reply:
            raise HilError(reply["error"])

    def watch(self, name, word, timeout):
        msg, at = self.agent.event(lambda m: m.get("name") == name and m.get("event") == word, timeout)
        return at
