#!/usr/bin/env python3
"""Writes the firmware image that ships inside the QZ7 Updater, deterministically.

48 KiB of code-like bytes (a vector table, then pseudo Thumb-2 instruction streams built from a
fixed-seed generator) placed at 0x08000000, as Intel HEX: an extended linear address record,
16-byte data records, a start linear address record and the end-of-file record, every line
ended with CR LF. Run with no argument to print the image, or with a path to write it.
"""
import sys

BASE = 0x08000000
SIZE = 48 * 1024
SEED = 0x5A7E2007


class XorShift32:
    def __init__(self, seed):
        self.state = seed & 0xFFFFFFFF

    def next(self):
        x = self.state
        x ^= (x << 13) & 0xFFFFFFFF
        x ^= x >> 17
        x ^= (x << 5) & 0xFFFFFFFF
        self.state = x
        return x


def code_bytes():
    rng = XorShift32(SEED)
    out = bytearray()
    # Vector table: initial stack pointer, then handler addresses (odd: Thumb).
    out += (0x20005000).to_bytes(4, "little")
    for i in range(47):
        out += (BASE + 0x200 + 8 * (i % 12) + 1).to_bytes(4, "little")
    # Instruction-like halfwords: moves, loads, stores, adds, compares, branches, pushes, pops.
    templates = [0x2000, 0x6800, 0x6000, 0x1800, 0x2800, 0xD000, 0xB500, 0xBD00, 0x4600, 0xE000]
    while len(out) < SIZE - 256:
        t = templates[rng.next() % len(templates)]
        operand = rng.next() & 0xFF
        if t in (0xB500, 0xBD00):
            operand &= 0xF0 | 0x0F
        out += (t | operand).to_bytes(2, "little")
        if rng.next() % 23 == 0:  # a literal word now and then
            out += rng.next().to_bytes(4, "little")
    del out[SIZE - 256:]
    # Unused flash at the end of the image reads as erased.
    out += b"\xff" * (SIZE - len(out))
    return bytes(out)


def record(address, rtype, data):
    body = bytes([len(data), (address >> 8) & 0xFF, address & 0xFF, rtype]) + data
    checksum = (-sum(body)) & 0xFF
    return ":" + (body + bytes([checksum])).hex().upper() + "\r\n"


def image():
    lines = [record(0, 0x04, (BASE >> 16).to_bytes(2, "big"))]
    data = code_bytes()
    for offset in range(0, len(data), 16):
        lines.append(record((BASE + offset) & 0xFFFF, 0x00, data[offset:offset + 16]))
    lines.append(record(0, 0x05, (BASE + 0x201).to_bytes(4, "big")))
    lines.append(record(0, 0x01, b""))
    return "".join(lines)


if __name__ == "__main__":
    text = image().encode("ascii")
    if len(sys.argv) > 1:
        with open(sys.argv[1], "wb") as f:
            f.write(text)
    else:
        sys.stdout.buffer.write(text)
