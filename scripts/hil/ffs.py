"""A USB serial chip played in userspace, for make hil: runs inside the guest as
    python3 scripts/hil/ffs.py CHIP
where CHIP names a model beside this file (chip_ch341.py, chip_cp210x.py, chip_pl2303.py).

It makes a configfs gadget /sys/kernel/config/usb_gadget/CHIP with the chip's vendor:product and
one FunctionFS function, mounts that function at /run/hil/ffs-CHIP and writes the chip's
interface and endpoint descriptors to it, asking for every control request whatever its
recipient (FUNCTIONFS_ALL_CTRL_RECIP): the chips' drivers send theirs to the device. The gadget
is plugged by writing the dummy controller's name to its UDC file, which the harness does.

Each control request is answered by the model and recorded, one JSON object a line, in
/run/hil/CHIP.log: the request, its data, the answer, and the line settings it left the chip
with (decoded by the model) whenever they changed. The bulk endpoints are joined to a
pseudo-terminal whose slave is linked at /run/hil/CHIP.tty, where the simulator plays
(qz7-bootsim --device). "ready" is printed once the gadget can be plugged.
"""
import importlib
import json
import os
import struct
import sys
import termios
import threading
import time
import tty

HERE = os.path.dirname(os.path.abspath(__file__))
RUN = "/run/hil"
GADGETS = "/sys/kernel/config/usb_gadget"

# FunctionFS (include/uapi/linux/usb/functionfs.h).
DESCRIPTORS_MAGIC_V2 = 3
STRINGS_MAGIC = 2
HAS_FS_DESC, HAS_HS_DESC, ALL_CTRL_RECIP = 1, 2, 64
EVENT_SIZE = 12
EVENTS = {0: "bind", 1: "unbind", 2: "enable", 3: "disable", 4: "setup", 5: "suspend", 6: "resume"}
BULK, INTERRUPT = 2, 3


def endpoint(address, kind, packet, interval=0):
    return struct.pack("<BBBBHB", 7, 5, address, kind, packet, interval)


def descriptors(chip):
    """The interface with a bulk IN, a bulk OUT and (where the chip has one) an interrupt IN
    endpoint, at full and at high speed (the dummy controller runs at high speed); the endpoint
    files are ep1, ep2 (and ep3) in this order."""
    def speed(bulk, interval):
        eps = [endpoint(0x81, BULK, bulk), endpoint(0x02, BULK, bulk)]
        if chip.INTERRUPT_IN:
            eps.append(endpoint(0x83, INTERRUPT, chip.INTERRUPT_IN, interval))
        intf = struct.pack("<BBBBBBBBB", 9, 4, 0, 0, len(eps), *chip.INTERFACE_CLASS, 1)
        return len(eps) + 1, intf + b"".join(eps)
    fs_count, fs = speed(64, 1)
    hs_count, hs = speed(512, 4)
    body = struct.pack("<II", fs_count, hs_count) + fs + hs
    return struct.pack("<III", DESCRIPTORS_MAGIC_V2, 12 + len(body), HAS_FS_DESC | HAS_HS_DESC | ALL_CTRL_RECIP) + body


def strings(chip):
    body = struct.pack("<H", 0x0409) + chip.PRODUCT.encode() + b"\0"
    return struct.pack("<IIII", STRINGS_MAGIC, 16 + len(body), 1, 1) + body


def write(path, text):
    with open(path, "w") as f:
        f.write(text)


def make_gadget(name, chip):
    """The configfs gadget with the chip's device descriptor and one FunctionFS function."""
    gadget = f"{GADGETS}/{name}"
    for d in ("", "/strings/0x409", f"/functions/ffs.{name}", "/configs/c.1"):
        os.makedirs(gadget + d, exist_ok=True)
    vid, pid = chip.VID_PID
    for attr, value in (("idVendor", f"0x{vid:04x}"), ("idProduct", f"0x{pid:04x}"),
                        ("bcdDevice", f"0x{chip.BCD_DEVICE:04x}"), ("bcdUSB", "0x0200"),
                        ("strings/0x409/manufacturer", chip.MAKER), ("strings/0x409/product", chip.PRODUCT),
                        ("strings/0x409/serialnumber", chip.SERIAL), ("configs/c.1/MaxPower", "100")):
        write(f"{gadget}/{attr}", value)
    link = f"{gadget}/configs/c.1/ffs.{name}"
    if not os.path.islink(link):
        os.symlink(f"{gadget}/functions/ffs.{name}", link)
    mount = f"{RUN}/ffs-{name}"
    os.makedirs(mount, exist_ok=True)
    if not os.path.exists(f"{mount}/ep0"):
        if os.system(f"mount -t functionfs {name} {mount}") != 0:
            raise SystemExit(f"ffs: cannot mount functionfs {name}")
    return mount


class Device:
    def __init__(self, name, chip):
        self.name = name
        self.model = chip.Model()
        self.lock = threading.Lock()
        self.record = open(f"{RUN}/{name}.log", "a", buffering=1)
        self.count = 0
        self.line = None
        mount = make_gadget(name, chip)
        self.ep0 = os.open(f"{mount}/ep0", os.O_RDWR)
        os.write(self.ep0, descriptors(chip))
        os.write(self.ep0, strings(chip))
        self.ep_in = os.open(f"{mount}/ep1", os.O_RDWR)
        self.ep_out = os.open(f"{mount}/ep2", os.O_RDWR)
        # The simulator's side: a pseudo-terminal, raw from the start so that nothing is echoed
        # before the simulator opens it. This end keeps the slave open too, so that the master
        # never sees a hang-up between simulators.
        self.master, self.slave = os.openpty()
        tty.setraw(self.slave)
        link = f"{RUN}/{name}.tty"
        if os.path.lexists(link):
            os.unlink(link)
        os.symlink(os.ttyname(self.slave), link)

    def log(self, entry):
        with self.lock:
            self.count += 1
            entry = dict(n=self.count, t=round(time.monotonic(), 3), **entry)
            self.record.write(json.dumps(entry) + "\n")

    def control(self, setup):
        rtype, request, value, index, length = struct.unpack("<BBHHH", setup)
        entry = {"setup": f"{rtype:02x} {request:02x} {value:04x} {index:04x} {length}"}
        if rtype & 0x80:
            reply = self.model.control_in(rtype, request, value, index, length)
            name = self.model.name(rtype, request, value, index)
            if reply is None:
                entry.update(name=name, answer="stall")
                try:
                    os.read(self.ep0, 0)  # a read on an IN request stalls it
                except OSError:
                    pass
            else:
                reply = bytes(reply[:length])
                entry.update(name=name, answer=reply.hex())
                os.write(self.ep0, reply)
        else:
            data = os.read(self.ep0, length) if length else (os.read(self.ep0, 0) or b"")
            name = self.model.name(rtype, request, value, index)
            self.model.control_out(rtype, request, value, index, data)
            entry.update(name=name, data=data.hex() if data else None)
        line = self.model.settings()
        if line != self.line:
            self.line = line
            entry["line"] = line
        self.log(entry)

    def serve(self):
        threading.Thread(target=self.to_host, daemon=True).start()
        threading.Thread(target=self.from_host, daemon=True).start()
        print("ready", flush=True)
        while True:
            try:
                chunk = os.read(self.ep0, EVENT_SIZE * 4)
            except OSError as e:
                self.log({"event": f"ep0 error {e.errno}"})
                time.sleep(0.05)
                continue
            for at in range(0, len(chunk) - EVENT_SIZE + 1, EVENT_SIZE):
                event = chunk[at:at + EVENT_SIZE]
                kind = EVENTS.get(event[8], str(event[8]))
                if kind == "setup":
                    try:
                        self.control(event[:8])
                    except OSError as e:  # the host gave up on it, or the gadget went away
                        self.log({"setup": event[:8].hex(), "error": e.errno})
                    continue
                if kind == "enable":  # plugged: nothing from before reaches the new connection
                    termios.tcflush(self.master, termios.TCIOFLUSH)
                    self.model.plugged()
                self.log({"event": kind})

    def from_host(self):
        """Bulk OUT: what the driver sends goes to the simulator."""
        while True:
            try:
                data = os.read(self.ep_out, 4096)
            except OSError:
                time.sleep(0.01)  # unplugged: the next read waits for the endpoint's return
                continue
            while data:
                data = data[os.write(self.master, data):]

    def to_host(self):
        """Bulk IN: what the simulator sends goes to the driver. A write waits until the host
        takes it; at an unplug it fails and the bytes are lost, as in a chip that loses power."""
        while True:
            data = os.read(self.master, 4096)
            try:
                while data:
                    data = data[os.write(self.ep_in, data):]
            except OSError:
                time.sleep(0.01)

def main():
    name = sys.argv[1]
    sys.path.insert(0, HERE)
    chip = importlib.import_module(f"chip_{name}")
    os.makedirs(RUN, exist_ok=True)
    Device(name, chip).serve()


if __name__ == "__main__":
    main()
