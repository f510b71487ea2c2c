#!/usr/bin/env python3
"""Regenerate res/bitmaps/balloon_eyes.bmp, the eyes of the reminder balloon.

Run by hand after changing the drawing and commit the output; the build only
consumes the .bmp.  Standard library only.

The balloon keys out magenta, so every pixel is exactly one of magenta, green
or black: edges are hard, never blended towards the key, or the desktop would
show a pink fringe around the eyes.
"""

import math
import struct
import sys
from pathlib import Path

OUT = Path(__file__).resolve().parent / "bitmaps" / "balloon_eyes.bmp"

WIDTH, HEIGHT = 200, 104

# Standard 16-colour VGA palette as RGB, as in the icons.
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, GREEN, KEY = 0, 10, 13

# One eye, in the eye's own coordinates (origin at the eyeball's centre).
OUTER_RX, OUTER_RY = 43.0, 45.0   # outline, outer edge
INNER_RX, INNER_RY = 37.5, 39.5   # outline, inner edge: the see-through white
INNER_DY = 1.5                    # the outline is a little heavier on top
LID_SIDE, LID_SAG = -24.0, 10.0   # lid edge at the corners, and its sag
LID_LINE = 2.5                    # black line under the lid
PUPIL_R = 19.0
PUPIL_Y = 3.5
GLINT = (-7.5, -5.0, 5.5)         # big highlight: dx, dy, radius
SPARK = (7.5, 8.0, 2.3)           # small highlight


def ellipse(x, y, rx, ry):
    return (x / rx) ** 2 + (y / ry) ** 2 <= 1.0


def lid_edge(x):
    u = min(1.0, abs(x) / INNER_RX)
    return LID_SIDE + LID_SAG * (1.0 - u * u)


def eye_pixel(x, y, mirror, look):
    """Colour of one sample of one eye; None where the eye does not reach."""
    if not ellipse(x, y, OUTER_RX, OUTER_RY):
        return None
    if not ellipse(x, y - INNER_DY, INNER_RX, INNER_RY):
        return GREEN
    edge = lid_edge(x)
    if y < edge:
        return GREEN
    if y < edge + LID_LINE:
        return BLACK
    # Both pupils look a little towards the nose; the light comes from the
    # same side for both, so the highlights are not mirrored.
    px, py = x - (-look if mirror else look), y - PUPIL_Y
    if px * px + py * py <= PUPIL_R * PUPIL_R:
        for gx, gy, gr in (GLINT, SPARK):
            if (px - gx) ** 2 + (py - gy) ** 2 <= gr * gr:
                return KEY
        return GREEN
    return KEY


def draw():
    eyes = [
        # centre x, centre y, mirrored, how far the pupil looks towards the nose
        (51.5, 57.0, False, 4.0),
        (148.5, 57.0, True, 4.0),
    ]
    pixels = [[KEY] * WIDTH for _ in range(HEIGHT)]
    for y in range(HEIGHT):
        for x in range(WIDTH):
            for cx, cy, mirror, look in eyes:
                ink = eye_pixel(x + 0.5 - cx, y + 0.5 - cy, mirror, look)
                if ink is not None:
                    pixels[y][x] = ink
                    break

    # A one-pixel black edge right of and below the green, like the shadow of
    # the balloon's letters, so the eyes stay visible on a green desktop.
    shadowed = [row[:] for row in pixels]
    for y in range(1, HEIGHT):
        for x in range(1, WIDTH):
            if pixels[y][x] == KEY and GREEN in (pixels[y - 1][x], pixels[y][x - 1]):
                shadowed[y][x] = BLACK
    return shadowed


def encode_bmp(pixels):
    stride = (WIDTH * 4 + 31) // 32 * 4
    data = bytearray()
    for row in reversed(pixels):  # bottom-up
        line = bytearray(stride)
        for x, index in enumerate(row):
            line[x // 2] |= index << (4 if x % 2 == 0 else 0)
        data += line
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in PALETTE)
    offset = 14 + 40 + len(palette)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 4, 0, len(data),
                       2835, 2835, 16, 0)
    head = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    return head + info + palette + bytes(data)


def check_bmp(data, pixels):
    """Decode the file again and compare, so a packing mistake fails here."""
    magic, size, _, _, offset = struct.unpack_from("<2sIHHI", data, 0)
    assert magic == b"BM" and size == len(data)
    hdr = struct.unpack_from("<IiiHHIIiiII", data, 14)
    assert hdr[:6] == (40, WIDTH, HEIGHT, 1, 4, 0) and hdr[9] == 16
    stride = (WIDTH * 4 + 31) // 32 * 4
    assert offset + stride * HEIGHT == len(data)
    for y, row in enumerate(pixels):
        at = offset + (HEIGHT - 1 - y) * stride
        for x, want in enumerate(row):
            byte = data[at + x // 2]
            assert (byte >> 4 if x % 2 == 0 else byte & 0x0F) == want
    used = {index for row in pixels for index in row}
    assert used <= {BLACK, GREEN, KEY}, used
    # The key must surround the picture so the eyes stand free.
    assert all(i == KEY for i in pixels[0] + pixels[-1])
    assert all(row[0] == KEY and row[-1] == KEY for row in pixels)


def main():
    pixels = draw()
    data = encode_bmp(pixels)
    check_bmp(data, pixels)
    OUT.parent.mkdir(parents=True, exist_ok=True)
    OUT.write_bytes(data)
    print(f"wrote {OUT} ({len(data)} bytes)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
