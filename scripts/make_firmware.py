#!/usr/bin/env python3
"""Writes a firmware image for the QZ7 Updater to build in, deterministically.

KiB kilobytes of code-like bytes (a vector table, then pseudo Thumb-2 instruction streams built
from a fixed-seed generator) placed at 0x08000000, as Intel HEX: an extended linear address
record, 16-byte data records, a start linear address record and the end-of-file record, every
line ended with CR LF.

    make_firmware.py [--version M.mmm] [--kib N] [--seed N] [PATH]

PATH is the file to write; its name, QZ-7-<major>_<minor>.hex, gives the version, as the build
reads it. A folder as PATH takes the file name from --version; without PATH the image is printed.
The seed, unless given, is 0x5A7E0000 plus the version's digits read as hex (version 3.012 gives
0x5A7E3012), so each version's image holds other data. `make firmware` rewrites the image in
resources/ from its own name, with the defaults; a test checks that the two agree.
"""
import argparse
import os
import re
import sys

BASE = 0x08000000
NAME = re.compile(r"QZ-7-([0-9]+)_([0-9]+)\.hex")


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


def code_bytes(size, seed):
    rng = XorShift32(seed)
    out = bytearray()
    # Vector table: initial stack pointer, then handler addresses (odd: Thumb).
    out += (0x20005000).to_bytes(4, "little")
    for i in range(47):
        out += (BASE + 0x200 + 8 * (i % 12) + 1).to_bytes(4, "little")
    # Instruction-like halfwords: moves, loads, stores, adds, compares, branches, pushes, pops.
    templates = [0x2000, 0x6800, 0x6000, 0x1800, 0x2800, 0xD000, 0xB500, 0xBD00, 0x4600, 0xE000]
    while len(out) < size - 256:
        t = templates[rng.next() % len(templates)]
        operand = rng.next() & 0xFF
        if t in (0xB500, 0xBD00):
            operand &= 0xF0 | 0x0F
        out += (t | operand).to_bytes(2, "little")
        if rng.next() % 23 == 0:  # a literal word now and then
            out += rng.next().to_bytes(4, "little")
    del out[size - 256:]
    # Unused flash at the end of the image reads as erased.
    out += b"\xff" * (size - len(out))
    return bytes(out)


def record(address, rtype, data):
    body = bytes([len(data), (address >> 8) & 0xFF, address & 0xFF, rtype]) + data
    checksum = (-sum(body)) & 0xFF
    return ":" + (body + bytes([checksum])).hex().upper() + "\r\n"


def image(size, seed):
    lines = [record(0, 0x04, (BASE >> 16).to_bytes(2, "big"))]
    data = code_bytes(size, seed)
    for offset in range(0, len(data), 16):
        lines.append(record((BASE + offset) & 0xFFFF, 0x00, data[offset:offset + 16]))
    lines.append(record(0, 0x05, (BASE + 0x201).to_bytes(4, "big")))
    lines.append(record(0, 0x01, b""))
    return "".join(lines)


def main():
    parser = argparse.ArgumentParser(description="Writes a QZ7 firmware image (Intel HEX).")
    parser.add_argument("path", nargs="?", help="the file QZ-7-<major>_<minor>.hex, or a folder for it")
    parser.add_argument("--version", help="MAJOR.MINOR, as 2.008 (default: from the file's name)")
    parser.add_argument("--kib", type=int, default=48, help="the image's size in KiB (default 48)")
    parser.add_argument("--seed", type=lambda s: int(s, 0), help="the data's seed (default: from the version)")
    args = parser.parse_args()
    if args.kib < 1 or args.kib > 4096:
        parser.error("--kib must be 1 to 4096")
    if args.seed is not None and args.seed % 2**32 == 0:
        parser.error("--seed must not be 0 (the generator would only ever give 0)")
    path = args.path
    if path and os.path.isdir(path):
        if not args.version:
            parser.error("a folder as PATH needs --version")
        path = os.path.join(path, "QZ-7-" + args.version.replace(".", "_") + ".hex")
    version = args.version
    if not version and path:
        named = NAME.fullmatch(os.path.basename(path))
        if not named:
            parser.error(f"{path}: the name must be QZ-7-<major>_<minor>.hex, or give --version")
        version = named.group(1) + "." + named.group(2)
    if not version or not re.fullmatch(r"[0-9]+\.[0-9]+", version):
        parser.error("give the version (--version MAJOR.MINOR) or a file named for it")
    seed = args.seed if args.seed is not None else 0x5A7E0000 + int(version.replace(".", ""), 16)
    text = image(args.kib * 1024, seed).encode("ascii")
    if path:
        with open(path, "wb") as f:
            f.write(text)
        print(path)
    else:
        sys.stdout.buffer.write(text)


if __name__ == "__main__":
    main()
