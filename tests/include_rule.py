#!/usr/bin/env python3
"""Fails when a file includes from a layer above its own (or from a layer beside it), or when a
file of a layer that is to stay without Qt includes a Qt header. Run by ctest; the one argument is
the top of the source tree."""
import pathlib
import re
import sys

# Each folder's layer: a file may include from its own folder and from folders of a lower layer.
LAYERS = {"hex": 0, "serial": 1, "sim": 1, "core": 2, "controller": 3, "run": 4, "window": 5, "terminal": 5, "app": 6}
WITHOUT_QT = {"hex", "core", "sim"}

OURS = re.compile(r'^\s*#\s*include\s*"([^/"]+)/[^"]+"')
QT = re.compile(r"^\s*#\s*include\s*<(Q[A-Za-z]*|Qt[A-Za-z]*/[^>]*)>")


def faults(top):
    for folder, layer in LAYERS.items():
        for path in sorted((top / folder).rglob("*")):
            if path.suffix not in (".h", ".cpp"):
                continue
            for number, line in enumerate(path.read_text(errors="replace").splitlines(), 1):
                where = f"{path.relative_to(top)}:{number}"
                ours = OURS.match(line)
                if ours and ours.group(1) in LAYERS and ours.group(1) != folder \
                        and LAYERS[ours.group(1)] >= layer:
                    yield f"{where}: {folder}/ includes from {ours.group(1)}/, which is not below it"
                if folder in WITHOUT_QT and QT.match(line):
                    yield f"{where}: {folder}/ is to build without Qt but includes {line.strip()}"


if __name__ == "__main__":
    found = list(faults(pathlib.Path(sys.argv[1])))
    print("\n".join(found) if found else "every include comes from the same layer or one below it")
    sys.exit(1 if found else 0)
