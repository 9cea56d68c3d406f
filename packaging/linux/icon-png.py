#!/usr/bin/env python3
"""Writes the program's icon as a PNG for the desktop's icon theme.

    icon-png.py GAMEICON.ico OUT.png

Takes the first image of the .ico: a PNG image is copied as it is; a
BMP-format image must have 32 bits per pixel (GAMEICON has), whose alpha is
kept. Built at build time so the icon has one source, the .ico.
"""
import struct
import sys
import zlib


def fail(message):
    sys.exit("icon-png: " + message)


def png(width, height, rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    raw = b"".join(b"\0" + row for row in rows)  # filter type 0 on each row
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main(source, target):
    data = open(source, "rb").read()
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    if reserved != 0 or kind != 1 or count < 1:
        fail(f"{source} is not an icon file")
    size, offset = struct.unpack_from("<II", data, 6 + 8)
    image = data[offset:offset + size]
    if image.startswith(b"\x89PNG"):
        open(target, "wb").write(image)
        return
    header_size, width, double_height, _, bits = struct.unpack_from("<IiiHH", image, 0)
    if bits != 32:
        fail(f"{source}: {bits} bits per pixel, only 32 are read")
    height = double_height // 2  # the image and its AND mask
    stride = width * 4
    pixels = image[header_size:header_size + stride * height]
    rows = []
    for y in range(height - 1, -1, -1):  # stored bottom-up
        bgra = pixels[y * stride:(y + 1) * stride]
        row = bytearray(stride)
        row[0::4], row[1::4], row[2::4], row[3::4] = bgra[2::4], bgra[1::4], bgra[0::4], bgra[3::4]
        rows.append(bytes(row))
    open(target, "wb").write(png(width, height, rows))


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit("usage: icon-png.py ICON.ico OUT.png")
    main(sys.argv[1], sys.argv[2])
