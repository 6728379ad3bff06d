#!/usr/bin/env python3
"""Writes the program's bitmap font "KP1" as a raster font file in the
version-2 layout: face "KP1", fixed pitch, 6x12 cells, ascent 10, 9 points at
96 dpi, weight 400, character set 255 (OEM), characters 0-255, default and
break character 32.

The glyphs come from a PCF bitmap font with 6x12 cells (the public-domain
misc-fixed 6x12 font of the X distribution). Character codes are those of the
OEM code page 437, which Windows uses to show text in an OEM-charset font;
codes without a glyph (the control codes) are blank.

usage: MakeKp1Font.py SOURCE.pcf[.gz] OUTPUT.fnt
"""
import gzip
import struct
import sys

CELL_WIDTH, CELL_HEIGHT, ASCENT = 6, 12, 10
FIRST_CHAR, LAST_CHAR, DEFAULT_CHAR, BREAK_CHAR = 0, 255, 32, 32
FACE = b"KP1"
COPYRIGHT = b"KP1: glyphs of the public-domain misc-fixed 6x12 font"

PCF_ACCELERATORS, PCF_METRICS, PCF_BITMAPS, PCF_BDF_ENCODINGS = 1 << 1, 1 << 2, 1 << 3, 1 << 5
PCF_BDF_ACCELERATORS = 1 << 8


class Pcf:
    """The glyph bitmaps of a PCF font, by code point."""

    def __init__(self, data):
        if data[:4] != b"\x01fcp":
            raise ValueError("not a PCF font")
        (count,) = struct.unpack_from("<i", data, 4)
        self.tables = {}
        for i in range(count):
            kind, fmt, size, offset = struct.unpack_from("<iiii", data, 8 + 16 * i)
            self.tables[kind] = (fmt, offset)
        self.data = data
        self._read_metrics()
        self._read_bitmaps()
        self._read_encodings()
        self._read_ascent()

    def _table(self, kind):
        fmt, offset = self.tables[kind]
        (own,) = struct.unpack_from("<i", self.data, offset)
        big = bool(own & 4)
        return own, offset + 4, (">" if big else "<")

    def _read_metrics(self):
        fmt, pos, e = self._table(PCF_METRICS)
        self.metrics = []
        if fmt & 0x100:  # compressed: bytes biased by 0x80
            (n,) = struct.unpack_from(e + "h", self.data, pos)
            pos += 2
            for i in range(n):
                lsb, rsb, width, asc, desc = (b - 0x80 for b in self.data[pos : pos + 5])
                self.metrics.append((lsb, rsb, width, asc, desc))
                pos += 5
        else:
            (n,) = struct.unpack_from(e + "i", self.data, pos)
            pos += 4
            for i in range(n):
                self.metrics.append(struct.unpack_from(e + "hhhhh", self.data, pos))
                pos += 12

    def _read_bitmaps(self):
        fmt, pos, e = self._table(PCF_BITMAPS)
        (n,) = struct.unpack_from(e + "i", self.data, pos)
        pos += 4
        self.offsets = struct.unpack_from(e + "%di" % n, self.data, pos)
        pos += 4 * n + 16
        self.bits = pos
        self.pad = 1 << (fmt & 3)
        self.msb_bit = bool(fmt & 8)

    def _read_encodings(self):
        fmt, pos, e = self._table(PCF_BDF_ENCODINGS)
        min2, max2, min1, max1, self.default = struct.unpack_from(e + "hhhhh", self.data, pos)
        pos += 10
        self.index = {}
        cols = max2 - min2 + 1
        for b1 in range(min1, max1 + 1):
            for b2 in range(min2, max2 + 1):
                i = (b1 - min1) * cols + (b2 - min2)
                (g,) = struct.unpack_from(e + "H", self.data, pos + 2 * i)
                if g != 0xFFFF:
                    self.index[(b1 << 8) | b2] = g

    def _read_ascent(self):
        kind = PCF_BDF_ACCELERATORS if PCF_BDF_ACCELERATORS in self.tables else PCF_ACCELERATORS
        fmt, pos, e = self._table(kind)
        self.ascent, self.descent = struct.unpack_from(e + "ii", self.data, pos + 8)

    def cell(self, code):
        """The glyph of a code point as CELL_HEIGHT rows of CELL_WIDTH pixels, or None."""
        g = self.index.get(code)
        if g is None:
            return None
        lsb, rsb, width, asc, desc = self.metrics[g]
        row_bytes = ((rsb - lsb + 7) // 8 + self.pad - 1) // self.pad * self.pad
        rows = [[0] * CELL_WIDTH for _ in range(CELL_HEIGHT)]
        start = self.bits + self.offsets[g]
        for r in range(asc + desc):
            y = self.ascent - asc + r
            line = self.data[start + r * row_bytes : start + (r + 1) * row_bytes]
            for c in range(rsb - lsb):
                byte = line[c // 8]
                bit = (byte >> (7 - c % 8)) if self.msb_bit else (byte >> (c % 8))
                x = lsb + c
                if bit & 1 and 0 <= x < CELL_WIDTH and 0 <= y < CELL_HEIGHT:
                    rows[y][x] = 1
        return rows


def glyph_for(pcf, code):
    if code < 0x20 or code == 0x7F:
        return None
    return pcf.cell(ord(bytes([code]).decode("cp437")))


def fnt(pcf):
    count = LAST_CHAR - FIRST_CHAR + 1
    header_size = 118
    table_size = (count + 1) * 4  # one entry per character and the blank after the last
    bits_offset = header_size + table_size
    glyph_bytes = CELL_HEIGHT  # one byte column of 12 rows
    bitmaps = bytearray()
    table = bytearray()
    for code in list(range(FIRST_CHAR, LAST_CHAR + 1)) + [None]:
        rows = glyph_for(pcf, code) if code is not None else None
        table += struct.pack("<HH", CELL_WIDTH, bits_offset + len(bitmaps))
        for y in range(CELL_HEIGHT):
            byte = 0
            if rows:
                for x in range(CELL_WIDTH):
                    byte |= rows[y][x] << (7 - x)
            bitmaps.append(byte)
    face_offset = bits_offset + len(bitmaps)
    size = face_offset + len(FACE) + 1
    header = struct.pack(
        "<HI60sHHHHHHHBBBHBHHBHHBBBBHIIII",
        0x0200, size, COPYRIGHT, 0,  # version, size, copyright, raster type
        9, 96, 96,  # points, vertical and horizontal resolution
        ASCENT, 0, 0,  # ascent, internal and external leading
        0, 0, 0, 400, 255,  # italic, underline, strike-out, weight, OEM character set
        CELL_WIDTH, CELL_HEIGHT,
        0x30,  # fixed pitch (low bit clear), modern family
        CELL_WIDTH, CELL_WIDTH,  # average and maximum width
        FIRST_CHAR, LAST_CHAR, DEFAULT_CHAR - FIRST_CHAR, BREAK_CHAR - FIRST_CHAR,
        count * 1 + (count & 1),  # bytes per bitmap row of all glyphs, even
        0, face_offset, 0, bits_offset,
    ) + b"\x00"
    assert len(header) == header_size
    assert glyph_bytes * (count + 1) == len(bitmaps)
    return header + bytes(table) + bytes(bitmaps) + FACE + b"\x00"


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    raw = open(sys.argv[1], "rb").read()
    if raw[:2] == b"\x1f\x8b":
        raw = gzip.decompress(raw)
    pcf = Pcf(raw)
    if pcf.ascent != ASCENT or pcf.ascent + pcf.descent != CELL_HEIGHT:
        sys.exit("%s: not a font of %d-pixel cells with ascent %d" % (sys.argv[1], CELL_HEIGHT, ASCENT))
    with open(sys.argv[2], "wb") as out:
        out.write(fnt(pcf))


if __name__ == "__main__":
    main()
