#!/usr/bin/env python3
"""Reads and writes the settings file noises.hwt as readable lines.

  hwt.py show FILE     prints the file, one line per record
  hwt.py write FILE    writes the file from such lines read on standard input

The lines:
  noises 2
  noise 1: name="Dog barking" path="/x/dog-barking.wav"
  slot 1: name="Dog barking" path="/x/dog-barking.wav" every=90 mode=random repeat=2 due=unscheduled
  quiet: from=23 to=7

mode is random (0), exact (1) or the stored number; due is "unscheduled"
for the program's no-due-time mark (1 January 2020 01:01:01 local time),
else the stored seconds.  Strings are written as UTF-8; bytes that are not
print as \\xNN.  A file that ends early or runs on past the last field is
reported and the exit status is 1.
"""
import shlex
import struct
import sys
import time

ROWS = 5
UNSCHEDULED = int(time.mktime((2020, 1, 1, 1, 1, 1, 0, 0, -1)))
MODES = {0: "random", 1: "exact"}


class Reader:
    def __init__(self, data):
        self.data, self.at = data, 0

    def take(self, n):
        if self.at + n > len(self.data):
            raise ValueError(f"file ends at byte {len(self.data)}, needed {n} more at byte {self.at}")
        chunk = self.data[self.at:self.at + n]
        self.at += n
        return chunk

    def int32(self):
        return struct.unpack("<i", self.take(4))[0]

    def uint32(self):
        return struct.unpack("<I", self.take(4))[0]

    def string(self):
        n = self.take(1)[0]
        if n == 0xFF:
            n = struct.unpack("<H", self.take(2))[0]
            if n == 0xFFFF:
                n = self.uint32()
        return self.take(n)


def quote(raw):
    text = raw.decode("utf-8", "backslashreplace")
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


def show(path):
    r = Reader(open(path, "rb").read())
    lines = []
    count = r.int32()
    lines.append(f"noises {count}")
    if not 0 <= count <= 100:
        raise ValueError(f"noise count {count} is outside 0..100")
    for i in range(count):
        name, where = r.string(), r.string()
        lines.append(f"noise {i + 1}: name={quote(name)} path={quote(where)}")
    for s in range(ROWS):
        name, where = r.string(), r.string()
        every, mode, repeat, due = r.int32(), r.int32(), r.int32(), r.uint32()
        due_text = "unscheduled" if due == UNSCHEDULED else str(due)
        lines.append(f"slot {s + 1}: name={quote(name)} path={quote(where)} every={every} "
                     f"mode={MODES.get(mode, mode)} repeat={repeat} due={due_text}")
    quiet_from, quiet_to = r.int32(), r.int32()
    lines.append(f"quiet: from={quiet_from} to={quiet_to}")
    if r.at != len(r.data):
        raise ValueError(f"{len(r.data) - r.at} bytes follow the last field")
    return lines


def pack_string(text):
    raw = text.encode("utf-8")
    n = len(raw)
    if n < 255:
        head = bytes([n])
    elif n < 0xFFFF:
        head = b"\xff" + struct.pack("<H", n)
    else:
        head = b"\xff\xff\xff" + struct.pack("<I", n)
    return head + raw


def fields(line):
    words = shlex.split(line)
    return words[0], dict(w.split("=", 1) for w in words[1:] if "=" in w)


def write(path, lines):
    noises, slots, quiet = [], [], (0, 0)
    for line in lines:
        if not line.strip() or line.startswith("#") or line.startswith("noises "):
            continue
        kind, f = fields(line)
        if kind == "noise":
            noises.append((f["name"], f["path"]))
        elif kind == "slot":
            mode = {v: k for k, v in MODES.items()}.get(f.get("mode", "random"))
            mode = int(f["mode"]) if mode is None else mode
            due = f.get("due", "unscheduled")
            slots.append((f.get("name", "NOTHING"), f.get("path", "None"), int(f.get("every", 60)),
                          mode, int(f.get("repeat", 1)), UNSCHEDULED if due == "unscheduled" else int(due)))
        elif kind == "quiet:":
            quiet = (int(f["from"]), int(f["to"]))
        else:
            raise ValueError(f"cannot read the line: {line!r}")
    while len(slots) < ROWS:
        slots.append(("NOTHING", "None", 60, 0, 1, UNSCHEDULED))
    data = struct.pack("<i", len(noises))
    data += b"".join(pack_string(n) + pack_string(p) for n, p in noises)
    for name, where, every, mode, repeat, due in slots[:ROWS]:
        data += pack_string(name) + pack_string(where) + struct.pack("<iiiI", every, mode, repeat, due)
    data += struct.pack("<ii", *quiet)
    with open(path, "wb") as out:
        out.write(data)


def main():
    if len(sys.argv) != 3 or sys.argv[1] not in ("show", "write"):
        print(__doc__, file=sys.stderr)
        return 2
    try:
        if sys.argv[1] == "show":
            print("\n".join(show(sys.argv[2])))
        else:
            write(sys.argv[2], sys.stdin.read().splitlines())
    except (ValueError, KeyError, OSError) as problem:
        print(f"hwt.py: {sys.argv[2]}: {problem}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
