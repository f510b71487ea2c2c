#!/usr/bin/env python3
"""Regenerate res/icons/*.ico from the pixel art below.

Run by hand after changing the art and commit the output; the build only
consumes the .ico files.  Standard library only, so it runs anywhere.
"""

import struct
import sys
from pathlib import Path

ICON_DIR = Path(__file__).resolve().parent / "icons"

# Standard 16-colour VGA palette as RGB.  4 bpp with this palette renders the
# same on every Windows version and colour depth.
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]

# One character per pixel.  None means transparent.
INK = {
    ".": None,
    "K": 0,   # outline, black
    "R": 1,   # stalk, maroon
    "g": 2,   # midrib and veins, dark green
    "G": 10,  # leaf, green
    "W": 15,  # eyeball, white
    "s": 8,   # shadow under the eyes, dark grey
}

LEAF_32 = [
    "................................",
    "................................",
    "..........................KKK...",
    "......................KKKKGGgK..",
    "...................KKKGGGGGgGK..",
    "................KKKGGGGGGGgGGK..",
    "..............KKGGGGGGGgGgGGK...",
    ".............KGGGGGGGGGggGGGK...",
    "...........KKGGGGGGGGGGgggGGK...",
    "..........KGGGGGGGGgGGgGGGGGK...",
    ".........KGGGGGGGGGgGgGGGGGK....",
    "........KGGGGGGGGGGggGGGGGGK....",
    "........KGGGGGGgGGGggggGGGGK....",
    ".......KGGGGGGGgGGgGGGGGGGK.....",
    "......KGGGGGGGGgGgGGGGGGGGK.....",
    "......KGGGGGGGGggGGGGGGGGGK.....",
    ".....KGGGGGgGGGgggggGGGGGK......",
    ".....KGGGGGgGGgGGGGGGGGGGK......",
    ".....KGGGGGgGgGGGGGGGGGGK.......",
    ".....KGGGGGggGGGGGGGGGGK........",
    ".....KGGGGGgggggGGGGGGGK........",
    ".....KGGGGgGGGGGGGGGGGK.........",
    ".....KGGGgGGGGGGGGGGGK..........",
    ".....KGGgGGGGGGGGGGKK...........",
    "......KgGGGGGGGGGGK.............",
    ".....KRKGGGGGGGGKK..............",
    "....KRRKKKKKKKKK................",
    "...KRRK.........................",
    "..KRRK..........................",
    ".KRRK...........................",
    "KRRK............................",
    "RRK.............................",
]

LEAF_16 = [
    "................",
    "............KKK.",
    ".........KKKGGK.",
    ".......KKGGGGGK.",
    ".....KKGGGGgGK..",
    "....KGGGGGgGGK..",
    "...KGGGGGgGGGK..",
    "...KGGGGgGGGK...",
    "..KGGGGgGGGGK...",
    "..KGGGgGGGGK....",
    "..KGGgGGGGGK....",
    "...KgGGGGGK.....",
    "...RKGGGKK......",
    "..R..KKK........",
    ".R..............",
    "R...............",
]

# The About box paints its pupils over these eyes, straight onto the screen,
# anywhere within six pixels of (8.5, 8.5) and (22.5, 8.5): that whole area
# must be plain white, since the old pupils are wiped with white.
EYES_32 = [
    "................................",
    "................................",
    ".....KKKKKKKK......KKKKKKKK.....",
    "....KKWWWWWWKK....KKWWWWWWKK....",
    "...KKWWWWWWWWKK..KKWWWWWWWWKK...",
    "...KWWWWWWWWWWKs.KWWWWWWWWWWKs..",
    "..KWWWWWWWWWWWWKKWWWWWWWWWWWWK..",
    "..KWWWWWWWWWWWWKKWWWWWWWWWWWWKs.",
    "..KWWWWWWWWWWWWKKWWWWWWWWWWWWKs.",
    "..KWWWWWWWWWWWWKKWWWWWWWWWWWWKs.",
    "..KWWWWWWWWWWWWKKWWWWWWWWWWWWKs.",
    "..KWWWWWWWWWWWWKKWWWWWWWWWWWWKs.",
    "..KWWWWWWWWWWWWKKWWWWWWWWWWWWKs.",
    "...KWWWWWWWWWWKssKWWWWWWWWWWKss.",
    "...KKWWWWWWWWKKs.KKWWWWWWWWKKs..",
    "....KKWWWWWWKKss..KKWWWWWWKKss..",
    ".....KKKKKKKKss....KKKKKKKKss...",
    "......ssssssss......ssssssss....",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
]

EYES_16 = [
    "................",
    "................",
    "................",
    "..KKKKK..KKKKK..",
    ".KKWWWKKKKWWWKK.",
    ".KWWWWWKKWWWWWKs",
    ".KWWWWWKKWWWWWKs",
    ".KWWWWWKKWWWWWKs",
    ".KWWWWWKKWWWWWKs",
    ".KKWWWKKKKWWWKKs",
    "..KKKKKssKKKKKss",
    "...sssss..sssss.",
    "................",
    "................",
    "................",
    "................",
]

ICONS = {
    "app.ico": [LEAF_32, LEAF_16],
    "idle.ico": [LEAF_16],
    "about.ico": [EYES_32, EYES_16],
}


def _stride(bits):
    # BMP rows are padded to whole DWORDs.
    return (bits + 31) // 32 * 4


def encode_image(art):
    size = len(art)
    if any(len(row) != size for row in art):
        raise ValueError("art must be square")

    xor_stride = _stride(size * 4)
    and_stride = _stride(size)
    xor_data = bytearray()
    and_data = bytearray()
    # Bottom-up, as in any BMP.
    for row in reversed(art):
        xor_row = bytearray(xor_stride)
        and_row = bytearray(and_stride)
        for x, ch in enumerate(row):
            index = INK[ch]
            if index is None:
                and_row[x // 8] |= 0x80 >> (x % 8)
                index = 0  # black under the mask so nothing shows through
            xor_row[x // 2] |= index << (4 if x % 2 == 0 else 0)
        xor_data += xor_row
        and_data += and_row

    # Icon headers describe the XOR and AND bitmaps stacked, hence 2 * size.
    header = struct.pack(
        "<IiiHHIIiiII",
        40, size, size * 2, 1, 4, 0,
        len(xor_data) + len(and_data), 0, 0, 0, 0,
    )
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in PALETTE)
    return header + palette + bytes(xor_data) + bytes(and_data)


def build_ico(arts):
    images = [encode_image(art) for art in arts]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for art, data in zip(arts, images):
        size = len(art)
        # A width or height of 0 in the directory means 256.
        out += struct.pack(
            "<BBBBHHII",
            size % 256, size % 256, 16, 0, 1, 4, len(data), offset,
        )
        offset += len(data)
    return out + b"".join(images)


def check_ico(data, arts):
    """Decode the file again, so a packing mistake fails here rather than
    showing up later as a blank or garbled icon."""
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    assert (reserved, kind, count) == (0, 1, len(arts))
    end = 6 + 16 * count
    for i, art in enumerate(arts):
        size = len(art)
        w, h, colors, res, planes, bits, nbytes, offset = struct.unpack_from(
            "<BBBBHHII", data, 6 + 16 * i)
        assert (w, h, colors, res, planes, bits) == (size, size, 16, 0, 1, 4)
        assert offset == end and offset + nbytes <= len(data)
        end = offset + nbytes

        hdr = struct.unpack_from("<IiiHHIIiiII", data, offset)
        assert hdr[:6] == (40, size, size * 2, 1, 4, 0)
        xor_len = _stride(size * 4) * size
        and_len = _stride(size) * size
        assert hdr[6] == xor_len + and_len
        assert nbytes == 40 + 16 * 4 + xor_len + and_len

        xor_at = offset + 40 + 16 * 4
        and_at = xor_at + xor_len
        for y, row in enumerate(art):
            by = size - 1 - y
            for x, ch in enumerate(row):
                byte = data[xor_at + by * _stride(size * 4) + x // 2]
                index = byte >> 4 if x % 2 == 0 else byte & 0x0F
                masked = data[and_at + by * _stride(size) + x // 8] >> (7 - x % 8) & 1
                want = INK[ch]
                assert (index, masked) == ((0, 1) if want is None else (want, 0))
    assert end == len(data)


def main():
    ICON_DIR.mkdir(parents=True, exist_ok=True)
    for name, arts in ICONS.items():
        data = build_ico(arts)
        check_ico(data, arts)
        path = ICON_DIR / name
        path.write_bytes(data)
        check_ico(path.read_bytes(), arts)
        print(f"wrote {path} ({len(data)} bytes)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
