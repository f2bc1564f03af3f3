#!/usr/bin/env python3
"""Draws resources/image1.png: the 64 x 64 tile behind the field side, the grid's
heading row and the tool bar. A fine linen weave in the window's lavender grey;
only the standard library is used, so anyone can redraw it."""
import math
import struct
import sys
import zlib

SIZE = 64
BASE = (214, 212, 220)


def pixel(x, y):
    # Two crossing sets of threads, each slightly wavy, plus a soft seeded grain.
    warp = math.sin((x + 0.35 * math.sin(y * math.pi / 16)) * math.pi / 2) * 5
    weft = math.sin((y + 0.35 * math.sin(x * math.pi / 16)) * math.pi / 2) * 4
    grain = ((x * 73 + y * 151 + (x * y) % 17) % 11) - 5
    shade = warp + weft + grain * 0.8
    return tuple(max(0, min(255, int(c + shade))) for c in BASE)


def png(width, height, rows):
    def chunk(tag, data):
        body = tag + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)
    raw = b"".join(b"\x00" + bytes(c for p in row for c in p) for row in rows)
    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


if __name__ == "__main__":
    out = sys.argv[1] if len(sys.argv) > 1 else "resources/image1.png"
    rows = [[pixel(x, y) for x in range(SIZE)] for y in range(SIZE)]
    with open(out, "wb") as f:
        f.write(png(SIZE, SIZE, rows))
