#!/usr/bin/env python3
"""Draws the program icon (a waveform over spectrum bars on a dark rounded
square) and writes it as an .ico with 16, 24, 32, 48, 64, 128 and 256 pixel
images: 32-bit DIBs up to 64 pixels, PNG above.

usage: MakeIcon.py OUTPUT.ico
"""
import math
import struct
import sys
import zlib

SIZES = (16, 24, 32, 48, 64, 128, 256)
SUPERSAMPLE = 4


def colour_at(u, v):
    """Colour (r, g, b, a) of the point (u, v) in the unit square, y down."""
    # Rounded square with a small margin.
    m, r = 0.04, 0.18
    dx = max(abs(u - 0.5) - (0.5 - m - r), 0)
    dy = max(abs(v - 0.5) - (0.5 - m - r), 0)
    if dx * dx + dy * dy > r * r:
        return (0, 0, 0, 0)
    # Frame.
    inner = 0.5 - m - 0.035
    if abs(u - 0.5) > inner or abs(v - 0.5) > inner:
        return (96, 110, 130, 255)
    # Spectrum bars in the lower half, falling off to the right.
    if v > 0.55:
        column = int((u - 0.1) / 0.8 * 8)
        if 0 <= column < 8 and ((u - 0.1) / 0.8 * 8) % 1 < 0.7:
            height = 0.36 * math.exp(-0.28 * column) + 0.04
            if v > 0.92 - height:
                return (40, 200, 230, 255)
    # The waveform in the upper half.
    if 0.1 < u < 0.9:
        wave = 0.33 - 0.2 * math.sin((u - 0.1) / 0.8 * 2 * math.pi * 1.5)
        if abs(v - wave) < 0.045:
            return (120, 240, 90, 255)
    return (18, 24, 40, 255)


def render(size):
    pixels = []
    n = SUPERSAMPLE
    for y in range(size):
        row = []
        for x in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(n):
                for sx in range(n):
                    c = colour_at((x + (sx + 0.5) / n) / size, (y + (sy + 0.5) / n) / size)
                    a = c[3]
                    for i in range(3):
                        acc[i] += c[i] * a
                    acc[3] += a
            a = acc[3]
            if a == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(round(acc[i] / a) for i in range(3)) + (round(a / (n * n)),))
        pixels.append(row)
    return pixels


def dib(pixels):
    size = len(pixels)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = bytearray()
    for row in reversed(pixels):  # bottom-up
        for r, g, b, a in row:
            xor += bytes((b, g, r, a))
    mask_row = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(pixels):
        bits = bytearray(mask_row)
        for x, p in enumerate(row):
            if p[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(xor) + bytes(mask)


def png(pixels):
    size = len(pixels)
    raw = b"".join(b"\x00" + bytes(c for p in row for c in p) for row in pixels)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    images = [(s, png(render(s)) if s > 64 else dib(render(s))) for s in SIZES]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, data in images:
        out += struct.pack("<BBBBHHII", s % 256, s % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(sys.argv[1], "wb") as f:
        f.write(out + b"".join(d for _, d in images))


if __name__ == "__main__":
    main()
