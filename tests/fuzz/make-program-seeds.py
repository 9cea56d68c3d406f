#!/usr/bin/env python3
"""Writes the seed inputs of fuzz_program into tests/fuzz/corpus/program/:
a settings file, then each picture after the separator, as the fuzzer
splits them. The pictures are tiny PNG, BMP and GIF files of our own.

    tests/fuzz/make-program-seeds.py
"""
import os
import struct
import zlib

SEPARATOR = b"\n--picture--\n"
HERE = os.path.dirname(os.path.abspath(__file__))
OUTPUT = os.path.join(HERE, "corpus", "program")


def png(width, height, rgba):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    rows = b"".join(b"\0" + bytes(rgba) * width for _ in range(height))
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows, 9)) +
            chunk(b"IEND", b""))


def bmp(width, height, bgr):
    stride = (width * 3 + 3) & ~3
    row = bytes(bgr) * width + b"\0" * (stride - width * 3)
    pixels = row * height
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return b"BM" + struct.pack("<IHHI", 14 + len(info) + len(pixels), 0, 0, 14 + len(info)) + info + pixels


def gif(rgb):
    # One pixel of colour index 0: LZW code size 2, codes clear, 0, end.
    screen = struct.pack("<HHBBB", 1, 1, 0x80, 0, 0) + bytes(rgb) + b"\0\0\0"
    image = b"\x2c" + struct.pack("<HHHHB", 0, 0, 1, 1, 0) + b"\x02\x02\x44\x01\x00"
    return b"GIF89a" + screen + image + b"\x3b"


def settings(body):
    return b'<?xml version="1.0" encoding="UTF-8"?>\n<system>\n' + body + b"</system>\n"


LAUNCHER = (b'  <launcher>\n    <folder name="Tools"><file name="Editor" path="C:\\Windows\\notepad.exe"/></folder>\n'
            b'    <file path="C:\\Users"/>\n  </launcher>\n')

SEEDS = {
    "one-png": [settings(LAUNCHER + b'  <image x="10" y="20" path="0.png"/>\n'), png(4, 4, (255, 0, 0, 255))],
    "three-formats": [
        settings(LAUNCHER + b'  <image x="10" y="20" w="8" h="8" path="0.png"/>\n'
                 b'  <image x="0x40" y="30" color="0x80ff00ff" path="1.png"/>\n'
                 b'  <image x="-2" y="100" w="3" path="2.png"/>\n'),
        png(2, 2, (0, 128, 255, 200)), bmp(3, 2, (0, 255, 0)), gif((0, 0, 255))],
    "missing-picture": [settings(b'  <image x="5" y="5" path="0.png"/>\n  <image path="9.png"/>\n'),
                        bmp(2, 2, (10, 20, 30))],
    "overlapping": [settings(LAUNCHER + b'  <image x="100" y="100" w="40" h="40" path="0.png"/>\n'
                             b'  <image x="110" y="110" w="40" h="40" color="0x40ffffff" path="0.png"/>\n'),
                    png(1, 1, (255, 255, 255, 128))],
    "no-root": [b'<?xml version="1.0"?>\n'],
}


def main():
    os.makedirs(OUTPUT, exist_ok=True)
    for name, parts in SEEDS.items():
        with open(os.path.join(OUTPUT, name), "wb") as seed:
            seed.write(SEPARATOR.join(parts))


if __name__ == "__main__":
    main()
