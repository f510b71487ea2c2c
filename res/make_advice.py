#!/usr/bin/env python3
"""Regenerate res/bitmaps/advice.bmp, the picture of the Advice window.

Run by hand after changing the text or the drawing and commit the output; the
build only consumes the .bmp.  Needs ImageMagick's `convert` and the IPA
Gothic font (Debian: imagemagick, fonts-ipafont-gothic).

The window shows the picture at its own size, so everything is laid out for
1:1 viewing: 12-pixel text, shapes on whole pixels, 256 colours.
"""

import subprocess
import sys
import unicodedata
from pathlib import Path

OUT = Path(__file__).resolve().parent / "bitmaps" / "advice.bmp"
FONT = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf"

WIDTH, HEIGHT = 200, 368
MARGIN = 6

PAPER = "#FBFAF3"
INK = "#2B2B2B"
ACCENT = "#3D8B5A"      # the heading band and the paragraph numbers
GUIDE = "#D2691E"       # line of sight and the distance to the screen

HEADING = "パソコン作業の正しい姿勢"
HEADING_SIZE = 14

TEXT_SIZE = 12
LINE_HEIGHT = 15
PARAGRAPH_GAP = 5
TEXT_LEFT = MARGIN + 17  # room for the number
# Line breaks are placed by hand where the phrase allows; wrap() only checks
# that each line fits and breaks anything that does not.
ADVICE = [
    "背すじをまっすぐに伸ばし、\n視線は水平より10度ほど\n下に向けましょう。",
    "画面から60cm以上離れ、\n近づきすぎないように。",
    "腕は机の上に軽くのせると、\n肩がこりにくくなります。",
    "長時間画面に向かっていると、\nドライアイや肩こりの原因に。\n"
    "1時間に1回は画面から目を\n離し、軽い体操をしましょう。",
]

# Characters that may not begin a line, and that may not end one.
NO_START = set("、。，．・：；？！ー）」』】〕ゃゅょっぁぃぅぇぉャュョッァィゥェォ"
               "度%")
NO_END = set("（「『【〔")


def advance(ch, size):
    """Horizontal advance in IPA Gothic, a monospaced font: full width for
    Japanese characters, half width for ASCII."""
    return size if unicodedata.east_asian_width(ch) in "WFA" else size / 2


def wrap(text, size, width):
    """Break Japanese text into lines no wider than width, keeping runs of
    ASCII (numbers, units) together and honouring the usual line-start and
    line-end rules.  A line feed forces a break."""
    if "\n" in text:
        return [line for part in text.split("\n") for line in wrap(part, size, width)]
    # Units that must stay whole: an ASCII run, or one Japanese character.
    units = []
    for ch in text:
        if units and ch.isascii() and units[-1][-1].isascii():
            units[-1] += ch
        else:
            units.append(ch)

    def span(seq):
        return sum(advance(ch, size) for unit in seq for ch in unit)

    lines, line = [], []
    for unit in units:
        if line and span(line) + span([unit]) > width:
            # Push units over until the new line starts, and this one ends,
            # with a character allowed there.
            carry = [unit]
            while line and (carry[0][0] in NO_START or line[-1][-1] in NO_END):
                carry.insert(0, line.pop())
            if not line:
                raise ValueError(f"cannot break {text!r}")
            lines.append("".join(line))
            line = carry[:-1]
        line.append(unit)
    lines.append("".join(line))
    for made in lines:
        if sum(advance(ch, size) for ch in made) > width:
            raise ValueError(f"line too wide: {made!r}")
    return lines


class Picture:
    """Collects ImageMagick drawing arguments."""

    def __init__(self):
        self.args = ["-size", f"{WIDTH}x{HEIGHT}", f"xc:{PAPER}"]

    def draw(self, primitive, fill="none", stroke="none", width=1.0, antialias=True):
        self.args += [
            "+antialias" if not antialias else "-antialias",
            "-fill", fill, "-stroke", stroke, "-strokewidth", str(width),
            "-draw", primitive,
        ]

    def text(self, x, baseline, text, size, colour, font=FONT):
        self.args += [
            "+antialias", "-stroke", "none", "-fill", colour,
            "-font", font, "-pointsize", str(size), "-density", "72",
            "-annotate", f"+{x}+{baseline}", text,
        ]

    def write(self, path):
        # Run-length encoded: the picture is mostly flat paper and ink, and
        # a quarter of the size in the program that maps it all day.
        cmd = ["convert", *self.args, "+dither", "-type", "Palette",
               "-colors", "256", "-compress", "RLE", f"BMP3:{path}"]
        subprocess.run(cmd, check=True)


def heading(pic):
    top, bottom = MARGIN, MARGIN + 22
    pic.draw(f"roundrectangle {MARGIN},{top} {WIDTH - 1 - MARGIN},{bottom} 4,4", fill=ACCENT)
    width = sum(advance(ch, HEADING_SIZE) for ch in HEADING)
    x = round((WIDTH - width) / 2)
    pic.text(x, top + 16, HEADING, HEADING_SIZE, "white")
    return bottom


def paragraphs(pic, top):
    y = top
    width = WIDTH - MARGIN - TEXT_LEFT
    for number, text in enumerate(ADVICE, 1):
        cx, cy = MARGIN + 6, y + 8
        pic.draw(f"circle {cx},{cy} {cx + 6},{cy}", fill=ACCENT)
        pic.text(cx - 3, cy + 4, str(number), 11, "white",
                 font="DejaVu-Sans-Bold")
        for line in wrap(text, TEXT_SIZE, width):
            pic.text(TEXT_LEFT, y + 12, line, TEXT_SIZE, INK)
            y += LINE_HEIGHT
        y += PARAGRAPH_GAP
    return y


def figure(pic, top):
    """A person sitting upright at a desk, seen from the side, facing right."""
    floor = HEIGHT - MARGIN - 2
    # Floor.
    pic.draw(f"line {MARGIN + 4},{floor} {WIDTH - 1 - MARGIN - 4},{floor}",
             stroke="#B8B2A0", width=2)

    # Chair: backrest, seat, column, base on castors.
    chair = "#6E7784"
    pic.draw(f"roundrectangle 35,{floor - 100} 42,{floor - 58} 3,3", fill=chair)
    pic.draw(f"line 39,{floor - 58} 45,{floor - 47}", stroke=chair, width=4)
    pic.draw(f"roundrectangle 38,{floor - 50} 82,{floor - 44} 3,3", fill=chair)
    pic.draw(f"line 60,{floor - 44} 60,{floor - 12}", stroke=chair, width=4)
    pic.draw(f"line 42,{floor - 10} 78,{floor - 10}", stroke=chair, width=3)
    for x in (43, 77):
        pic.draw(f"circle {x},{floor - 5} {x + 3},{floor - 5}", fill="#4A4F57")

    # Desk.
    desk_top = floor - 72
    wood = "#B98A56"
    pic.draw(f"rectangle 98,{desk_top} 192,{desk_top + 5}", fill=wood)
    pic.draw(f"rectangle 184,{desk_top + 5} 189,{floor - 1}", fill="#A07444")

    # Monitor on its stand, the top of the screen at eye level.
    pic.draw(f"rectangle 148,{desk_top - 3} 176,{desk_top - 1}", fill="#55595F")
    pic.draw(f"rectangle 160,{desk_top - 14} 164,{desk_top - 3}", fill="#55595F")
    pic.draw(f"polygon 156,{desk_top - 52} 164,{desk_top - 52} 166,{desk_top - 14} "
             f"158,{desk_top - 14}", fill="#3F4449")
    pic.draw(f"line 156,{desk_top - 50} 158,{desk_top - 16}", stroke="#8EC8F0", width=2)

    # Keyboard.
    pic.draw(f"rectangle 112,{desk_top - 3} 136,{desk_top - 1}", fill="#55595F")

    # The person.
    skin, shirt, trousers, hair, shoe = "#F1C7A0", "#4F86C6", "#3E4A61", "#4A3626", "#2F2F2F"
    hip = (56, floor - 54)
    knee = (100, floor - 54)
    ankle = (100, floor - 8)
    shoulder = (56, floor - 92)
    elbow = (62, desk_top - 8)
    hand = (118, desk_top - 5)
    head = (58, floor - 110)

    def limb(a, b, colour, width):
        pic.draw(f"line {a[0]},{a[1]} {b[0]},{b[1]}", stroke=colour, width=width)
        for x, y in (a, b):
            r = width / 2 - 0.5
            pic.draw(f"circle {x},{y} {x + r},{y}", fill=colour)

    limb(knee, ankle, trousers, 10)
    pic.draw(f"roundrectangle {ankle[0] - 5},{floor - 6} {ankle[0] + 12},{floor - 1} 2,2",
             fill=shoe)
    limb(hip, knee, trousers, 13)
    limb(hip, shoulder, shirt, 16)
    pic.draw(f"rectangle {head[0] - 2},{head[1] + 6} {head[0] + 3},{shoulder[1] - 4}",
             fill=skin)
    limb(shoulder, elbow, shirt, 8)
    limb(elbow, (hand[0] - 6, hand[1]), shirt, 7)
    pic.draw(f"circle {hand[0] - 2},{hand[1]} {hand[0] + 2},{hand[1]}", fill=skin)
    pic.draw(f"circle {head[0]},{head[1]} {head[0] + 10},{head[1]}", fill=skin)
    pic.draw(f"polygon {head[0] + 9},{head[1] - 1} {head[0] + 12},{head[1] + 3} "
             f"{head[0] + 9},{head[1] + 4}", fill=skin)
    pic.draw(f"ellipse {head[0] - 3},{head[1] - 4} 9,7 150,330", fill=hair)
    eye = (head[0] + 6, head[1] - 1)
    pic.draw(f"point {eye[0]},{eye[1]}", fill=INK, antialias=False)

    # Line of sight, ten degrees below the horizontal, to the screen.
    screen = (156, eye[1] + 16)
    pic.draw(f"line {eye[0] + 3},{eye[1]} {screen[0] - 2},{eye[1]}",
             stroke="#C8C2B0", width=1, antialias=False)
    pic.draw(f"line {eye[0] + 3},{eye[1] + 1} {screen[0] - 2},{screen[1]}",
             stroke=GUIDE, width=1)
    pic.text(eye[0] + 22, eye[1] + 16, "10°", 10, GUIDE, font="DejaVu-Sans")

    # Distance to the screen.
    y = top + 7
    pic.draw(f"line {eye[0]},{y} {screen[0]},{y}", stroke=GUIDE, width=1, antialias=False)
    for x, d in ((eye[0], 1), (screen[0], -1)):
        pic.draw(f"polygon {x},{y} {x + 5 * d},{y - 3} {x + 5 * d},{y + 3}", fill=GUIDE,
                 antialias=False)
        pic.draw(f"line {x},{y - 5} {x},{y + 5}", stroke=GUIDE, antialias=False)
    label = "60cm以上"
    width = sum(advance(ch, TEXT_SIZE) for ch in label)
    x = round((eye[0] + screen[0] - width) / 2)
    pic.draw(f"rectangle {x - 2},{y - 7} {x + width + 1},{y + 7}", fill=PAPER)
    pic.text(x, y + 5, label, TEXT_SIZE, GUIDE)


def main():
    pic = Picture()
    bottom = heading(pic)
    end = paragraphs(pic, bottom + 8)
    figure(pic, end)
    OUT.parent.mkdir(parents=True, exist_ok=True)
    pic.write(OUT)
    info = subprocess.run(["identify", "-format", "%m %w %h %z %C %k", str(OUT)],
                          check=True, capture_output=True, text=True).stdout.split()
    if info[:5] != ["BMP3", str(WIDTH), str(HEIGHT), "8", "RLE"]:
        raise SystemExit(f"unexpected picture: {info}")
    print(f"wrote {OUT} ({info[5]} colours)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
