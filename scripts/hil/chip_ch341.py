"""The CH340/CH341 USB serial chip (1a86:7523) as its Linux driver, ch341, sees it: a vendor
interface with bulk IN, bulk OUT and interrupt IN endpoints, and vendor requests to the device.

  5f  read version      answered 0x31 (a chip that takes its line settings in register 0x18)
  a1  serial init       accepted
  9a  write registers   value = register pair (second << 8 | first), index = their values;
                        0x12/0x13 prescaler and divisor (the baud rate), 0x18 line control
  95  read registers    the two registers named by value; 0x06/0x07 the modem inputs
                        (inverted: all high, nothing asserted)
  a4  modem control     value = the complement of the outputs (DTR 0x20, RTS 0x40)

The baud rate is 48 MHz / (2^(12 - 3 * prescale - factor) * (256 - divisor register)), with
prescale in bits 0-1 and factor in bit 2 of the prescaler register. Line control: bits 0-1 the
data bits - 5, bit 2 two stop bits, bit 3 parity on, bits 4-5 its kind, bits 6-7 transmitter
and receiver on. The chip has no flow control of its own. Not modelled: timing, the interrupt
endpoint's modem-status reports (none are sent), break.
"""
VID_PID = (0x1a86, 0x7523)
BCD_DEVICE = 0x0264
MAKER, PRODUCT, SERIAL = "HIL", "USB Serial", "HIL-CH341"
INTERFACE_CLASS = (0xff, 0x01, 0x02)
INTERRUPT_IN = 8
NAMES = {0x5f: "read version", 0xa1: "serial init", 0x9a: "write registers", 0x95: "read registers",
         0xa4: "modem control"}


class Model:
    def __init__(self):
        self.regs = {0x06: 0xff, 0x07: 0xee, 0x05: 0xff, 0x18: 0xc3, 0x25: 0x00, 0x12: 0x82, 0x13: 0xb2}
        self.outputs = 0

    def plugged(self):
        pass

    def name(self, rtype, request, value, index):
        text = NAMES.get(request, f"request {request:02x}")
        if request in (0x9a, 0x95):
            text += f" {value & 0xff:02x}/{value >> 8:02x}"
        return text

    def control_in(self, rtype, request, value, index, length):
        if request == 0x5f:
            return bytes([0x31, 0x00])
        if request == 0x95:
            return bytes([self.regs.get(value & 0xff, 0), self.regs.get(value >> 8, 0)])
        return bytes(length)

    def control_out(self, rtype, request, value, index, data):
        if request == 0x9a:
            self.regs[value & 0xff] = index & 0xff
            self.regs[value >> 8] = index >> 8
        elif request == 0xa4:
            self.outputs = ~value & 0x60

    def settings(self):
        prescaler, divisor = self.regs.get(0x12, 0), self.regs.get(0x13, 0)
        ps, fact = prescaler & 3, (prescaler >> 2) & 1
        baud = round(48_000_000 / ((1 << (12 - 3 * ps - fact)) * (256 - divisor))) if divisor < 256 else None
        lcr = self.regs.get(0x18, 0)
        parity = "N" if not lcr & 0x08 else "OEMS"[(lcr >> 4) & 3]
        return {"baud": baud, "format": f"{5 + (lcr & 3)}{parity}{2 if lcr & 0x04 else 1}", "flow": "none",
                "dtr": bool(self.outputs & 0x20), "rts": bool(self.outputs & 0x40)}
