#!/usr/bin/env python3
"""Draws the program's icon, GAMEICON: one 32x32 image at 32 bits per pixel.

A rounded teal tile holding a two-by-two mosaic of lighter diamonds, with a
soft anti-aliased edge. Writes an .ico file (BMP-format image with alpha).
"""
import math
import struct
import sys

SIZE = 32


def coverage_rounded_square(x, y, radius=7.0, inset=1.0):
    # Distance from the pixel centre to the rounded square, as coverage 0..1.
    cx, cy = x + 0.5, y + 0.5
    lo, hi = inset + radius, SIZE - inset - radius
    dx = max(lo - cx, 0.0, cx - hi)
    dy = max(lo - cy, 0.0, cy - hi)
    distance = math.hypot(dx, dy) - radius
    return min(1.0, max(0.0, 0.5 - distance))


def diamond(x, y):
    # Four diamonds on a 16-pixel grid inside the tile.
    cx, cy = (x + 0.5) % 16 - 8, (y + 0.5) % 16 - 8
    d = abs(cx) + abs(cy)
    return min(1.0, max(0.0, 5.5 - d))


def pixel(x, y):
    alpha = coverage_rounded_square(x, y)
    shade = 1.0 - 0.35 * (y / SIZE)
    base = (28 * shade, 128 * shade, 140 * shade)
    light = (236, 214, 150)
    mix = diamond(x, y)
    r, g, b = (base[i] * (1 - mix) + light[i] * mix for i in range(3))
    return int(b), int(g), int(r), int(round(alpha * 255))


def ico_bytes():
    rows = []
    for y in reversed(range(SIZE)):  # BMP rows are stored bottom-up
        rows.append(b"".join(struct.pack("<BBBB", *pixel(x, y)) for x in range(SIZE)))
    xor = b"".join(rows)
    and_mask = bytes(SIZE * 4)  # alpha decides; the mask stays clear
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, len(xor) + len(and_mask), 0, 0, 0, 0)
    image = header + xor + and_mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 6 + 16)
    return directory + entry + image


if __name__ == "__main__":
    out = sys.argv[1] if len(sys.argv) > 1 else "src/resources/GAMEICON.ico"
    with open(out, "wb") as f:
        f.write(ico_bytes())
