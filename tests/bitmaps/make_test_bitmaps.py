#!/usr/bin/env python3
"""Writes the small .bmp files of the drawing tests (resources 500 up).

key4.bmp   20 x 10, 4 bits, the standard 16 colours: magenta background,
           green where (x + y) % 3 == 0, black on the diagonal x == y.
rgb24.bmp  7 x 5, 24 bits (rows padded): pixel (x, y) is
           RGB(30 x, 40 y, 200).
short8.bmp 6 x 3, 8 bits with a table of only 4 colours (biClrUsed 4):
           red, green, blue, magenta; pixel (x, y) has index (x + y) % 4.
The tests recompute the same patterns; run this again after changing one.
"""
import struct
from pathlib import Path

COLORS16 = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
            (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
            (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]


def stride(bits, width):
    return (bits * width + 31) // 32 * 4


def bmp(width, height, bits, table, rows_top_down, clr_used=0):
    """rows_top_down: one bytes object per picture line, unpadded."""
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in table)
    pixels = b"".join(row.ljust(stride(bits, width), b"\0") for row in reversed(rows_top_down))
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(pixels), 2835, 2835,
                       clr_used, 0)
    offset = 14 + len(info) + len(palette)
    head = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return head + info + palette + pixels


def key4():
    rows = []
    for y in range(10):
        idx = [0 if x == y else 10 if (x + y) % 3 == 0 else 13 for x in range(20)]
        rows.append(bytes((idx[i] << 4) | idx[i + 1] for i in range(0, 20, 2)))
    return bmp(20, 10, 4, COLORS16, rows)


def rgb24():
    rows = [b"".join(struct.pack("<BBB", 200, 40 * y, 30 * x) for x in range(7)) for y in range(5)]
    return bmp(7, 5, 24, [], rows)


def short8():
    table = [(255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 0, 255)]
    rows = [bytes((x + y) % 4 for x in range(6)) for y in range(3)]
    return bmp(6, 3, 8, table, rows, clr_used=4)


if __name__ == "__main__":
    here = Path(__file__).resolve().parent
    for name, data in (("key4.bmp", key4()), ("rgb24.bmp", rgb24()), ("short8.bmp", short8())):
        (here / name).write_bytes(data)
