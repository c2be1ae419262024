#!/usr/bin/env python3
"""picture.py find SHOT.rgb WIDTH HEIGHT PICTURE.rgb PICTURE_WIDTH PICTURE_HEIGHT

Finds the picture, pixel for pixel and unscaled, in a raw RGB screenshot
(ImageMagick's rgb: format) and prints the top-left corner where it stands
as "X Y".  Exits 1 when it is not there.  Used to find the view's origin
under a menu bar whose height depends on the font.
"""
import sys


def find(shot, width, height, picture, pwidth, pheight):
    stride, pstride = width * 3, pwidth * 3
    first = picture[:pstride]
    for y in range(0, height - pheight + 1):
        row = shot[y * stride:(y + 1) * stride]
        x = row.find(first)
        while x >= 0:
            if x % 3 == 0 and x // 3 + pwidth <= width:
                left = x
                if all(shot[(y + r) * stride + left:(y + r) * stride + left + pstride]
                       == picture[r * pstride:(r + 1) * pstride] for r in range(pheight)):
                    return left // 3, y
            x = row.find(first, x + 1)
    return None


def main():
    if len(sys.argv) != 8 or sys.argv[1] != "find":
        print(__doc__, file=sys.stderr)
        return 2
    shot = open(sys.argv[2], "rb").read()
    width, height = int(sys.argv[3]), int(sys.argv[4])
    picture = open(sys.argv[5], "rb").read()
    pwidth, pheight = int(sys.argv[6]), int(sys.argv[7])
    if len(shot) != width * height * 3 or len(picture) != pwidth * pheight * 3:
        print("picture.py: the raw sizes do not match the given dimensions", file=sys.stderr)
        return 2
    found = find(shot, width, height, picture, pwidth, pheight)
    if found is None:
        return 1
    print(*found)
    return 0


if __name__ == "__main__":
    sys.exit(main())
