"""The PL2303 USB serial chip (067b:2303) as its Linux driver, pl2303, sees it: a vendor
interface with interrupt IN, bulk IN and bulk OUT endpoints. USB 2.0 with release 3.00 and an
answer to the status read 0x8080 make the driver take it for a PL2303TA, which it drives the way
it drives the PL2303HX.

  01 (c0)  vendor read     value = register; one byte (what was written there, else 0)
  01 (40)  vendor write    value = register, index = its value; register 0 bits 4-7 are the
                           flow control (0x40 or 0x60 RTS/CTS, 0xc0 XON/XOFF, 0 none)
  21       get line        7 bytes, the line as last set (9600 8N1 at first)
  20       set line        7 bytes: baud rate (little-endian; with bit 31 set, a divisor
                           384 MHz / (mantissa * 4^exponent)), stop bits (0 one, 1 one and a
                           half, 2 two), parity (0 none, 1 odd, 2 even, 3 mark, 4 space), data bits
  22       set control     value: bit 0 DTR, bit 1 RTS
  23       break           accepted
Not modelled: timing, the interrupt endpoint's status reports (none are sent).
"""
import struct

VID_PID = (0x067b, 0x2303)
BCD_DEVICE = 0x0300
MAKER, PRODUCT, SERIAL = "HIL", "USB-Serial Controller", "HIL-PL2303"
INTERFACE_CLASS = (0xff, 0x00, 0x00)
INTERRUPT_IN = 10
NAMES = {0x20: "set line", 0x21: "get line", 0x22: "set control", 0x23: "break"}


class Model:
    def __init__(self):
        self.regs = {}
        self.line = struct.pack("<IBBB", 9600, 0, 0, 8)
        self.control = 0

    def plugged(self):
        pass

    def name(self, rtype, request, value, index):
        if request == 0x01 and rtype & 0x60 == 0x40:
            return f"vendor {'read' if rtype & 0x80 else 'write'} {value:04x}"
        return NAMES.get(request, f"request {request:02x}")

    def control_in(self, rtype, request, value, index, length):
        if request == 0x01:
            return bytes([self.regs.get(value & 0x7f if value < 0x100 else value, 0)])
        if request == 0x21:
            return self.line
        return bytes(length)

    def control_out(self, rtype, request, value, index, data):
        if request == 0x01:
            self.regs[value] = index
        elif request == 0x20 and len(data) >= 7:
            self.line = bytes(data[:7])
        elif request == 0x22:
            self.control = value

    def settings(self):
        raw, stop, parity, bits = struct.unpack("<IBBB", self.line)
        baud = raw
        if raw & 0x80000000:
            exponent, mantissa = (raw >> 9) & 0x7, ((raw >> 8) & 1) << 8 | (raw & 0xff)
            baud = round(384_000_000 / (mantissa * 4 ** exponent)) if mantissa else None
        flow = {0x40: "rts/cts", 0x60: "rts/cts", 0xc0: "xon/xoff"}.get(self.regs.get(0, 0) & 0xf0, "none")
        return {"baud": baud, "format": f"{bits}{'NOEMS'[parity] if parity < 5 else '?'}{('1', '1.5', '2')[stop] if stop < 3 else '?'}",
                "flow": flow, "dtr": bool(self.control & 1), "rts": bool(self.control & 2)}
