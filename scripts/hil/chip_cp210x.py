"""The CP2102 USB serial chip (10c4:ea60) as its Linux driver, cp210x, sees it: a vendor
interface with bulk IN and OUT, and requests to the interface (and one to the device).

  00  enable interface  value 1 on, 0 off
  1e  set baud rate     4 bytes, little-endian; 1d reads it back
  03  set line control  value: bits 0-3 stop bits (0 one, 1 one and a half, 2 two), bits 4-7
                        parity (0 none, 1 odd, 2 even, 3 mark, 4 space), bits 8-15 data bits;
                        04 reads it back (two bytes)
  13  set flow          16 bytes: control handshake (bit 3 CTS handshake), flow replace (bits
                        0-1 XON/XOFF out and in, bits 6-7 RTS control); 14 reads it back
  07  set modem lines   value: bit 0 DTR, bit 1 RTS, bits 8 and 9 which of them to change
  08  modem status      one byte, nothing asserted
  10  comm status       19 bytes, all zero: nothing queued, no errors
  12  purge             accepted
  ff  vendor (device)   value 0x370b, the part number: 0x02, a CP2102
Other reads are answered with zeros. Not modelled: timing, the chip's queues, break, events.
"""
import struct

VID_PID = (0x10c4, 0xea60)
BCD_DEVICE = 0x0100
MAKER, PRODUCT, SERIAL = "HIL", "CP2102 USB to UART Bridge Controller", "HIL-CP210X"
INTERFACE_CLASS = (0xff, 0x00, 0x00)
INTERRUPT_IN = 0
NAMES = {0x00: "enable interface", 0x01: "set baud divisor", 0x02: "get baud divisor", 0x03: "set line control",
         0x04: "get line control", 0x05: "set break", 0x07: "set modem lines", 0x08: "modem status",
         0x0b: "set event mask", 0x0f: "get properties", 0x10: "comm status", 0x12: "purge", 0x13: "set flow",
         0x14: "get flow", 0x19: "set special characters", 0x1d: "get baud rate", 0x1e: "set baud rate",
         0xff: "vendor"}


class Model:
    def __init__(self):
        self.baud = 9600
        self.line_ctl = 0x0800
        self.flow = bytes(16)
        self.lines = 0
        self.enabled = False

    def plugged(self):
        pass

    def name(self, rtype, request, value, index):
        text = NAMES.get(request, f"request {request:02x}")
        if request == 0x00:
            text += " on" if value else " off"
        if request == 0xff:
            text += f" {value:04x}"
        return text

    def control_in(self, rtype, request, value, index, length):
        if request == 0x1d:
            return struct.pack("<I", self.baud)
        if request == 0x04:
            return struct.pack("<H", self.line_ctl)
        if request == 0x14:
            return self.flow
        if request == 0xff and value == 0x370b:
            return bytes([0x02])
        return bytes(length)

    def control_out(self, rtype, request, value, index, data):
        if request == 0x00:
            self.enabled = bool(value)
        elif request == 0x1e and len(data) >= 4:
            self.baud = struct.unpack("<I", data[:4])[0]
        elif request == 0x03:
            self.line_ctl = value
        elif request == 0x13 and len(data) >= 16:
            self.flow = bytes(data[:16])
        elif request == 0x07:
            mask = value >> 8
            self.lines = (self.lines & ~mask) | (value & mask & 3)

    def settings(self):
        stop = {0: "1", 1: "1.5", 2: "2"}.get(self.line_ctl & 0xf, "?")
        parity = "NOEMS"[(self.line_ctl >> 4) & 0xf] if (self.line_ctl >> 4) & 0xf < 5 else "?"
        handshake, replace = struct.unpack("<II", self.flow[:8])
        flow = [name for name, on in (("rts/cts", handshake & 0x08), ("xon/xoff", replace & 0x03)) if on]
        return {"baud": self.baud, "format": f"{self.line_ctl >> 8}{parity}{stop}", "flow": "+".join(flow) or "none",
                "dtr": bool(self.lines & 1), "rts": bool(self.lines & 2)}
