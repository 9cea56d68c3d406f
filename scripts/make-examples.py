#!/usr/bin/env python3
"""Draws the demo's pictures into examples/: our own drawings, with real
alpha (soft shadows, round shapes, translucent glass), as PNG files.

    scripts/make-examples.py [OUTPUT_DIRECTORY]

Every picture is computed from signed distances, so edges are smooth at any
size; shadows are blurred copies of the shape's coverage.
"""
import math
import os
import struct
import sys
import zlib

SIZE = 320


def smooth(edge0, edge1, value):
    t = min(1.0, max(0.0, (value - edge0) / (edge1 - edge0)))
    return t * t * (3 - 2 * t)


def coverage(distance, softness=1.0):
    # Inside for negative distances; a one-pixel anti-aliased edge.
    return min(1.0, max(0.0, 0.5 - distance / softness))


def over(top, bottom):
    # Straight-alpha "over" of two (r, g, b, a) colours, channels 0..1.
    tr, tg, tb, ta = top
    br, bg, bb, ba = bottom
    a = ta + ba * (1 - ta)
    if a <= 0:
        return (0.0, 0.0, 0.0, 0.0)
    mix = lambda t, b: (t * ta + b * ba * (1 - ta)) / a
    return (mix(tr, br), mix(tg, bg), mix(tb, bb), a)


def orb(x, y):
    """A glossy sphere floating over its soft shadow."""
    cx, cy, radius = SIZE * 0.5, SIZE * 0.45, SIZE * 0.33
    dx, dy = x - cx, y - cy
    distance = math.hypot(dx, dy) - radius
    shadow_d = math.hypot((x - cx) / 1.3, (y - SIZE * 0.86) / 0.35) - radius * 0.7
    shadow = (0.05, 0.05, 0.1, 0.45 * (1 - smooth(-radius * 0.5, radius * 0.25, shadow_d)))
    inside = coverage(distance)
    if inside <= 0:
        return shadow
    nz = math.sqrt(max(0.0, 1 - (dx * dx + dy * dy) / (radius * radius)))
    nx, ny = dx / radius, dy / radius
    light = max(0.0, -0.45 * nx - 0.6 * ny + 0.66 * nz)
    base = (0.16 + 0.5 * light, 0.42 + 0.45 * light, 0.78 + 0.22 * light)
    highlight = smooth(0.86, 0.99, -0.4 * nx - 0.55 * ny + 0.73 * nz) * 0.85
    rim = smooth(0.0, 0.35, 1 - nz) * 0.25
    colour = tuple(min(1.0, c + highlight + rim * 0.4) for c in base)
    return over((colour[0], colour[1], colour[2], inside), shadow)


def ring(x, y):
    """A ring with a warm gradient and a soft glow around it."""
    cx = cy = SIZE / 2
    r = math.hypot(x - cx, y - cy)
    angle = math.atan2(y - cy, x - cx)
    outer, inner = SIZE * 0.40, SIZE * 0.28
    distance = max(r - outer, inner - r)
    glow = (1.0, 0.75, 0.35, 0.5 * math.exp(-max(0.0, distance) / (SIZE * 0.025)) * (distance > 0))
    body = coverage(distance)
    t = 0.5 + 0.5 * math.sin(angle * 3)
    colour = (0.95, 0.45 + 0.35 * t, 0.15 + 0.2 * t, body)
    return over(colour, glow)


def flower(x, y):
    """Six soft petals round a golden heart, over a shadow."""
    cx = cy = SIZE / 2
    dx, dy = x - cx, y - cy
    r = math.hypot(dx, dy)
    angle = math.atan2(dy, dx)
    petal_edge = SIZE * (0.22 + 0.14 * abs(math.cos(3 * angle)))
    petals = coverage(r - petal_edge, 1.5)
    shadow_r = math.hypot(dx - SIZE * 0.03, dy - SIZE * 0.04)
    shadow = (0.1, 0.0, 0.1, 0.35 * (1 - smooth(-SIZE * 0.05, SIZE * 0.08, shadow_r - petal_edge)))
    shade = 0.55 + 0.45 * (r / max(petal_edge, 1))
    petal = (0.95 * shade + 0.05, 0.55 * shade, 0.75 * shade + 0.15, petals)
    heart = coverage(r - SIZE * 0.1)
    centre = (1.0, 0.82 - 0.3 * (r / (SIZE * 0.1)) ** 2, 0.2, heart)
    return over(centre, over(petal, shadow))


def panel(x, y):
    """A rounded glass panel: translucent, lighter at the top, a bright rim."""
    half_w, half_h, radius = SIZE * 0.44, SIZE * 0.30, SIZE * 0.08
    dx = max(abs(x - SIZE / 2) - (half_w - radius), 0.0)
    dy = max(abs(y - SIZE / 2) - (half_h - radius), 0.0)
    distance = math.hypot(dx, dy) - radius
    inside = coverage(distance)
    if inside <= 0:
        return (0.0, 0.0, 0.0, 0.0)
    top = (y - (SIZE / 2 - half_h)) / (2 * half_h)
    rim = 1 - smooth(-3.0, 0.0, distance)
    alpha = (0.35 + 0.3 * (1 - top) + 0.35 * (1 - rim)) * inside
    return (0.75 + 0.25 * (1 - top), 0.9, 1.0, min(1.0, alpha))


def write_png(path, draw):
    rows = bytearray()
    for y in range(SIZE):
        rows.append(0)  # no filter
        for x in range(SIZE):
            r, g, b, a = draw(x + 0.5, y + 0.5)
            rows.extend(int(round(255 * min(1.0, max(0.0, c)))) for c in (r, g, b, a))
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)
    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0)  # 8-bit RGBA
    with open(path, "wb") as file:
        file.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(rows), 9)) +
                   chunk(b"IEND", b""))


def main():
    directory = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "examples")
    for name, draw in (("orb", orb), ("ring", ring), ("flower", flower), ("panel", panel)):
        write_png(os.path.join(directory, name + ".png"), draw)


if __name__ == "__main__":
    main()
