#!/usr/bin/env python3
"""sound.py peak FILE

Prints the peak of a raw recording of signed 16-bit little-endian samples
(what parec --raw --format=s16le writes) as a fraction of full scale, e.g.
0.4213.  A recording of a null sink's monitor while nothing plays is 0.
"""
import array
import sys


def peak(path):
    samples = array.array("h")
    data = open(path, "rb").read()
    samples.frombytes(data[:len(data) - len(data) % 2])
    if sys.byteorder != "little":
        samples.byteswap()
    return max((abs(s) for s in samples), default=0) / 32768


def main():
    if len(sys.argv) != 3 or sys.argv[1] != "peak":
        print(__doc__, file=sys.stderr)
        return 2
    print(f"{peak(sys.argv[2]):.4f}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
