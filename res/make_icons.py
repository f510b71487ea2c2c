#!/usr/bin/env python3
"""Regenerate res/icons/*.ico from the pixel art below and res/eye_shape.txt.

Run by hand after changing the art and commit the output; the build only
consumes the .ico files.  Standard library only, so it runs anywhere.
"""

import struct
import sys
from pathlib import Path

from resource_ids import read_ids

RES_DIR = Path(__file__).resolve().parent
ICON_DIR = RES_DIR / "icons"
EYE_SHAPE = RES_DIR / "eye_shape.txt"

BLACK = (0x00, 0x00, 0x00)
MAROON = (0x80, 0x00, 0x00)
DARK_GREEN = (0x00, 0x80, 0x00)
GREY = (0x80, 0x80, 0x80)
LIGHT_GREY = (0xC0, 0xC0, 0xC0)
GREEN = (0x00, 0xFF, 0x00)
YELLOW = (0xFF, 0xFF, 0x00)
BLUE = (0x00, 0x00, 0xFF)
WHITE = (0xFF, 0xFF, 0xFF)
# The eye's black in its 256-colour frames.
NEAR_BLACK = (0x04, 0x04, 0x04)

# Standard 16-colour VGA palette as RGB.  4 bpp with this palette renders the
# same on every Windows version and colour depth.
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]

# 256-colour images: the same 16, the eye's black, and unused black entries
# (a full table, which every reader of icons understands).
PALETTE_256 = PALETTE + [NEAR_BLACK] + [BLACK] * 239

PALETTES = {4: PALETTE, 8: PALETTE_256}

# One character per pixel.  None means transparent.
INK = {
    ".": None,
    "K": BLACK,       # outline
    "R": MAROON,      # stalk
    "g": DARK_GREEN,  # midrib and veins
    "G": GREEN,       # leaf
    "W": WHITE,       # eyeball
    "s": GREY,        # shadow under the eyes
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

LEAF_ICONS = {
    "app.ico": [LEAF_32, LEAF_16],
    "idle.ico": [LEAF_16],
    "about.ico": [EYES_32, EYES_16],
}


# The tray eye.  Every frame starts from the shape in res/eye_shape.txt; the
# frames differ in colour depth, the colour inside the eyes, the lids and
# pupils, and what is drawn around the eyes.

SHAPE_CHARS = set(".Klrpm")
INSIDE_CHARS = set("lrp")
OUTLINE_CHARS = set("Km")

IDS = read_ids()

# Upper lid edge per closing frame: one row lower each time, down to the
# lower rim.
LID_ROWS = {IDS[f"IDI_EYE_LID{n}"]: 3 + n for n in range(1, 7)}

# The search pattern of the markers down the 'm' column, top to bottom.
MARKER_PATTERNS = {
    IDS["IDI_MARKER_A"]: (BLACK, BLUE, BLACK),
    IDS["IDI_MARKER_B"]: (BLUE, BLACK, BLUE),
}

# Drawn over the transparent pixels only, so the eye itself never changes.
EXTRA_INK = {".": None, "W": WHITE, "g": LIGHT_GREY, "Y": YELLOW}

# Sleeping bubble under the right eye, rows 11 to 15, growing from one pixel
# to a blob seven wide cut off by the bottom edge.  Light grey marks the
# upper edge of every column of it.
BUBBLE_TOP = 11
BUBBLES = {
    IDS["IDI_EYE_BUBBLE1"]: [
        "...........W....",
    ],
    IDS["IDI_EYE_BUBBLE2"]: [
        "...........g....",
        "..........gWg...",
    ],
    IDS["IDI_EYE_BUBBLE3"]: [
        "..........ggg...",
        ".........gWWWg..",
        "..........WWW...",
    ],
    IDS["IDI_EYE_BUBBLE4"]: [
        "..........ggg...",
        ".........gWWWg..",
        ".........WWWWW..",
        "..........WWW...",
    ],
    IDS["IDI_EYE_BUBBLE5"]: [
        "..........ggg...",
        ".........gWWWg..",
        "........gWWWWWg.",
        ".........WWWWW..",
    ],
    IDS["IDI_EYE_BUBBLE6"]: [
        "..........ggg...",
        ".........gWWWg..",
        "........gWWWWWg.",
        "........WWWWWWW.",
        "........WWWWWWW.",
    ],
}

# Startled awake: strokes fly up from the right eye and down from both.
BURST = [
    "........Y..W..Y.",
    ".........Y.W.Y..",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "...Y...W...Y....",
    "..Y....W....Y...",
    ".Y...........Y..",
    "................",
]


def read_eye_shape(path=EYE_SHAPE):
    rows = [line for line in path.read_text(encoding="ascii").splitlines()
            if line and not line.startswith("#")]
    if len(rows) != 16 or any(len(row) != 16 or not set(row) <= SHAPE_CHARS
                              for row in rows):
        raise ValueError(f"{path}: want 16 rows of 16 of {''.join(sorted(SHAPE_CHARS))}")
    return rows


def eye_frame(shape, bits, inside, lid_row=None, pupils=False, marker=None, extra=None):
    """One frame as (bits, rows of RGB or None)."""
    black = BLACK if bits == 4 else NEAR_BLACK
    marker_colours = iter(marker or ())
    pixels = []
    for y, row in enumerate(shape):
        out = []
        for ch in row:
            if ch == ".":
                colour = None
            elif ch in OUTLINE_CHARS:
                colour = next(marker_colours) if ch == "m" and marker else black
            elif lid_row is not None and y < lid_row:
                colour = GREY
            elif y == lid_row or (ch == "p" and pupils):
                colour = black
            else:
                colour = inside
            out.append(colour)
        pixels.append(out)
    if marker and next(marker_colours, None) is not None:
        raise ValueError("the marker pattern is longer than the 'm' column")

    for y, row in enumerate(extra or ()):
        for x, ch in enumerate(row):
            colour = EXTRA_INK[ch]
            if colour is None:
                continue
            if shape[y][x] != ".":
                raise ValueError(f"extra ink on the eye at ({x}, {y})")
            pixels[y][x] = colour
    return bits, pixels


def eye_icons(shape):
    frames = {
        IDS["IDI_EYE_OPEN"]: eye_frame(shape, 8, WHITE),
        IDS["IDI_EYE_SHUT"]: eye_frame(shape, 4, GREY),
        IDS["IDI_EYE_STARE"]: eye_frame(shape, 8, WHITE, pupils=True),
        IDS["IDI_EYE_SLEEP"]: eye_frame(shape, 8, GREY),
        IDS["IDI_EYE_STARTLED"]: eye_frame(shape, 8, GREY, extra=BURST),
    }
    for ident, lid_row in LID_ROWS.items():
        frames[ident] = eye_frame(shape, 8, WHITE, lid_row=lid_row, pupils=True)
    for ident, art in BUBBLES.items():
        frames[ident] = eye_frame(shape, 8, GREY, extra=[""] * BUBBLE_TOP + art)
    for ident, pattern in MARKER_PATTERNS.items():
        frames[ident] = eye_frame(shape, 4, GREY, marker=pattern)

    # The tray search looks for pure blue: only the markers may have it.
    for ident, (bits, pixels) in frames.items():
        if ident not in MARKER_PATTERNS and any(BLUE in row for row in pixels):
            raise ValueError(f"eye frame {ident} contains the markers' blue")
    return {f"eye_{ident}.ico": [frames[ident]] for ident in sorted(frames)}


def from_art(art):
    return 4, [[INK[ch] for ch in row] for row in art]


def _stride(bits):
    # BMP rows are padded to whole DWORDs.
    return (bits + 31) // 32 * 4


def _shift(bits, x):
    # Leftmost pixel in the high bits of each byte.
    return 8 - bits - x * bits % 8


def encode_image(image):
    bits, pixels = image
    size = len(pixels)
    if any(len(row) != size for row in pixels):
        raise ValueError("image must be square")
    palette = PALETTES[bits]

    xor_stride = _stride(size * bits)
    and_stride = _stride(size)
    xor_data = bytearray()
    and_data = bytearray()
    # Bottom-up, as in any BMP.
    for row in reversed(pixels):
        xor_row = bytearray(xor_stride)
        and_row = bytearray(and_stride)
        for x, colour in enumerate(row):
            if colour is None:
                and_row[x // 8] |= 0x80 >> (x % 8)
                index = 0  # black under the mask so nothing shows through
            else:
                index = palette.index(colour)
            xor_row[x * bits // 8] |= index << _shift(bits, x)
        xor_data += xor_row
        and_data += and_row

    # Icon headers describe the XOR and AND bitmaps stacked, hence 2 * size.
    header = struct.pack(
        "<IiiHHIIiiII",
        40, size, size * 2, 1, bits, 0,
        len(xor_data) + len(and_data), 0, 0, 0, 0,
    )
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    return header + table + bytes(xor_data) + bytes(and_data)


def build_ico(images):
    encoded = [encode_image(image) for image in images]
    out = struct.pack("<HHH", 0, 1, len(encoded))
    offset = 6 + 16 * len(encoded)
    for (bits, pixels), data in zip(images, encoded):
        size = len(pixels)
        # A width, height or colour count of 0 in the directory means 256.
        out += struct.pack(
            "<BBBBHHII",
            size % 256, size % 256, (1 << bits) % 256, 0, 1, bits, len(data), offset,
        )
        offset += len(data)
    return out + b"".join(encoded)


def check_ico(data, images):
    """Decode the file again, so a packing mistake fails here rather than
    showing up later as a blank or garbled icon."""
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    assert (reserved, kind, count) == (0, 1, len(images))
    end = 6 + 16 * count
    for i, (bits, pixels) in enumerate(images):
        size = len(pixels)
        palette = PALETTES[bits]
        w, h, colors, res, planes, dir_bits, nbytes, offset = struct.unpack_from(
            "<BBBBHHII", data, 6 + 16 * i)
        assert (w, h, colors, res, planes, dir_bits) == (size, size, len(palette) % 256, 0, 1, bits)
        assert offset == end and offset + nbytes <= len(data)
        end = offset + nbytes

        hdr = struct.unpack_from("<IiiHHIIiiII", data, offset)
        assert hdr[:6] == (40, size, size * 2, 1, bits, 0)
        xor_len = _stride(size * bits) * size
        and_len = _stride(size) * size
        assert hdr[6] == xor_len + and_len
        assert nbytes == 40 + len(palette) * 4 + xor_len + and_len

        table_at = offset + 40
        xor_at = table_at + len(palette) * 4
        and_at = xor_at + xor_len
        for y, row in enumerate(pixels):
            by = size - 1 - y
            for x, want in enumerate(row):
                byte = data[xor_at + by * _stride(size * bits) + x * bits // 8]
                index = byte >> _shift(bits, x) & ((1 << bits) - 1)
                b, g, r, _ = data[table_at + 4 * index:table_at + 4 * index + 4]
                masked = data[and_at + by * _stride(size) + x // 8] >> (7 - x % 8) & 1
                if want is None:
                    assert (index, masked) == (0, 1)
                else:
                    assert ((r, g, b), masked) == (want, 0)
    assert end == len(data)


def main():
    icons = {name: [from_art(art) for art in arts] for name, arts in LEAF_ICONS.items()}
    icons.update(eye_icons(read_eye_shape()))
    ICON_DIR.mkdir(parents=True, exist_ok=True)
    for name, images in icons.items():
        data = build_ico(images)
        check_ico(data, images)
        path = ICON_DIR / name
        path.write_bytes(data)
        check_ico(path.read_bytes(), images)
        print(f"wrote {path} ({len(data)} bytes)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
