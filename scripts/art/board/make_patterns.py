#!/usr/bin/env python3
"""Writes patterns.svg: 21 square cells in one row, the pictures of the board's patterns.

Cell 0 is the mark of a claimed pattern, cells 1..18 the pattern pictures by pattern id,
cells 19 and 20 are never shown and hold the plain ground. Every cell is opaque: a grey
tile that darkens from top to bottom, with a faint bevel. Motifs are light shaded greys
with a dark outline and a soft drop shadow; figures and signs are near-black in a light rim,
so they read at 31 pixels. Only the colour patterns (which also carry their colour's shape
mark) and the claimed mark carry colour. The program frames each cell with one black
pixel, so motifs keep a small margin.
"""

import math
import random
import sys

import artkit as ak
import marks
import paint

CELL = 100
OUTLINE = (46, 44, 42)
INK = (28, 26, 24)
RIM = (246, 243, 236)
CARD = [(255, 117, 120), (128, 255, 128), (33, 209, 255), (192, 128, 255)]

DEFS = """<defs>
<linearGradient id="ground" gradientUnits="userSpaceOnUse" x1="0" y1="0" x2="0" y2="100">
<stop offset="0" stop-color="#c9c6bf"/><stop offset="1" stop-color="#77746e"/>
</linearGradient>
<linearGradient id="light" x1="0" y1="0" x2="0.35" y2="1">
<stop offset="0" stop-color="#f6f4ee"/><stop offset="0.5" stop-color="#d8d4cc"/>
<stop offset="1" stop-color="#a39f97"/>
</linearGradient>
<linearGradient id="dark" x1="0" y1="0" x2="0.35" y2="1">
<stop offset="0" stop-color="#8d8a84"/><stop offset="1" stop-color="#4a4844"/>
</linearGradient>
<linearGradient id="red" x1="0" y1="0" x2="0.3" y2="1">
<stop offset="0" stop-color="#ff6a55"/><stop offset="1" stop-color="#c0201a"/>
</linearGradient>
</defs>"""


def moved(rings, dx, dy):
    return [[(x + dx, y + dy) for x, y in r] for r in rings]


class Cell:
    def __init__(self, index):
        self.x0 = index * CELL
        self.els = []

    def add(self, el):
        self.els.append(el)

    def shaded(self, rings, fill="url(#light)", outline=OUTLINE, shadow=3.0,
               outline_rings=None):
        """A filled shape with a drop shadow and a dark outline. `outline_rings` is the same
        shape grown by the outline's width; without it the outline is stroked."""
        r = moved(rings, self.x0, 0)
        if outline_rings is not None:
            o = moved(outline_rings, self.x0, 0)
            self.add('<path fill="#000000" fill-opacity="0.3" d="%s"/>'
                     % ak.path_d(moved(o, shadow, shadow)))
            self.add('<path fill="%s" d="%s"/>' % (ak.rgb(outline), ak.path_d(o)))
            self.add('<path fill="%s" d="%s"/>' % (fill, ak.path_d(r)))
        else:
            self.add('<path fill="#000000" fill-opacity="0.3" d="%s"/>'
                     % ak.path_d(moved(r, shadow + 0.5, shadow + 0.5)))
            self.add('<path fill="%s" stroke="%s" stroke-width="3.2" stroke-linejoin="round" '
                     'd="%s"/>' % (fill, ak.rgb(outline), ak.path_d(r)))

    def strokes(self, strokes, width, fill="url(#light)", outline=3.2, shadow=3.0, nib=0.0,
                taper=0.0):
        inner = ak.stroke_rings(strokes, width, nib=nib, taper=taper)
        outer = ak.stroke_rings(strokes, width + 2 * outline, nib=nib, taper=taper * 0.5)
        self.shaded(inner, fill, shadow=shadow, outline_rings=outer)

    def square(self, x, y, size, fill="url(#light)"):
        self.shaded([[(x, y), (x + size, y), (x + size, y + size), (x, y + size)]], fill)

    def text(self, text, height, cx, cy, width, spacing=0.1):
        self.strokes(ak.text_strokes(text, height, cx, cy, spacing=spacing), width)

    def ink(self, strokes, width, rim=3.6, shadow=2.2):
        """Figures and signs that must be read at 31 pixels: near-black strokes in a light rim,
        the strongest contrast the grey tile allows."""
        inner = ak.stroke_rings(strokes, width)
        outer = ak.stroke_rings(strokes, width + 2 * rim)
        self.shaded(inner, ak.rgb(INK), outline=RIM, shadow=shadow, outline_rings=outer)

    def ink_text(self, text, height, cx, cy, width, spacing=0.1):
        self.ink(ak.text_strokes(text, height, cx, cy, spacing=spacing), width)


def ground(cell):
    x0 = cell.x0
    cell.add('<rect x="%d" y="0" width="100" height="100" fill="url(#ground)"/>' % x0)
    # A faint bevel two units in, so every cell reads as a small tile.
    cell.add('<path fill="none" stroke="#ffffff" stroke-opacity="0.4" stroke-width="2.4" '
             'd="M%d 96V3.5H96.5"/>' % (x0 + 3.5))
    cell.add('<path fill="none" stroke="#000000" stroke-opacity="0.22" stroke-width="2.4" '
             'd="M%d 96.5H96.5V4"/>' % (x0 + 4))


def chevron(up, top=12, bottom=32):
    """A chevron between heights top and bottom, pointing up or down."""
    if up:
        pts = [(31, bottom), (50, top), (69, bottom)]
    else:
        pts = [(31, top), (50, bottom), (69, top)]
    return [("open", ak.line(pts[0], pts[1])), ("open", ak.line(pts[1], pts[2]))]


def times(cx, cy, arm):
    return [("open", ak.line((cx - arm, cy - arm), (cx + arm, cy + arm))),
            ("open", ak.line((cx + arm, cy - arm), (cx - arm, cy + arm)))]


def spiral(cx, cy, r0, r1, turns, start, n):
    pts = []
    for i in range(n):
        t = i / (n - 1)
        a = math.radians(start) + t * turns * 2 * math.pi
        r = r0 + (r1 - r0) * t
        pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return [("open", pts)]


def claimed(cell, rng):
    # A brushed red cross: this one is done.
    strokes = [("open", ak.line((22, 21), (78, 79))), ("open", ak.line((79, 22), (21, 78)))]
    inner = []
    outer = []
    for s in strokes:
        inner += ak.stroke_rings([s], 14, nib=4, taper=0.3)
        outer += ak.stroke_rings([s], 19.5, nib=4, taper=0.15)
    cell.shaded(inner, "url(#red)", outline=(110, 16, 12), shadow=3.5, outline_rings=outer)
    hi = ak.ribbon("open", ak.line((26, 24), (60, 58)), 3.0, taper=0.9)
    cell.add('<path fill="#ffffff" fill-opacity="0.45" d="%s"/>' % ak.path_d(moved(hi, cell.x0, 0)))


def picture(cell, pid, rng):
    if 1 <= pid <= 4:
        cell.els += paint.painted_patch(rng, cell.x0 + 17, 16, cell.x0 + 79, 78, CARD[pid - 1],
                                        shadow=5.0)
        # The colour's own shape, as on the cards, for eyes that do not tell the colours apart.
        cell.els += marks.svg(pid - 1, cell.x0 + 48, 47, 17, CARD[pid - 1], halo=2.2)
    elif pid == 5:
        for k in range(2):
            cell.square(12 + 28 * k, 12 + 28 * k, 48)
    elif pid == 6:
        for k in range(3):
            cell.square(9 + 22 * k, 9 + 22 * k, 38)
    elif pid == 7:
        for k in range(2):
            cell.square(9 + 14 * k, 9 + 14 * k, 28)
        for k in range(2):
            cell.square(49 + 14 * k, 49 + 14 * k, 28, "url(#dark)")
    elif pid == 8:
        for k in range(4):
            cell.square(9 + 18 * k, 9 + 18 * k, 28)
    elif pid == 9:
        cell.strokes(chevron(True, 9, 23), 9)
        cell.ink_text("44", 48, 50, 67, 11.5, spacing=0.06)
    elif pid == 10:
        pts = [(15 + 70 * t / 60, 50 - 19 * math.sin(t / 60 * 3 * math.pi)) for t in range(61)]
        cell.strokes([("open", pts)], 11, nib=3, taper=0.25)
    elif pid == 11:
        cell.strokes(chevron(False, 9, 23), 9)
        cell.ink_text("14", 48, 50, 67, 11.5, spacing=0.06)
    elif pid in (12, 14, 17):
        cell.ink(times(25, 56, 11), 8.5)
        cell.ink_text(str({12: 2, 14: 3, 17: 4}[pid]), 64, 65, 51, 13)
    elif pid == 13:
        steps = [(12, 88), (12, 70), (31, 70), (31, 51), (50, 51), (50, 32), (69, 32), (69, 13),
                 (88, 13), (88, 88)]
        cell.shaded([steps])
        for k in range(1, 4):
            x = 12 + 19 * k
            cell.add('<path fill="none" stroke="#000000" stroke-opacity="0.25" '
                     'stroke-width="2" d="M%s %dV86"/>' % (ak.fmt(cell.x0 + x), 70 - 19 * (k - 1)))
    elif pid == 15:
        cell.strokes(spiral(50, 50, 3, 37, 2.3, 200, 120), 8.5, nib=2, taper=0.35)
    elif pid == 16:
        cell.ink_text("11", 58, 37, 59, 12.5, spacing=0.2)
        cell.ink(ak.text_strokes("1", 34, 78, 26), 9.5)
    elif pid == 18:
        cell.ink_text("4", 78, 50, 50, 15)


def build():
    rng = random.Random(2024)
    out = ['<svg xmlns="http://www.w3.org/2000/svg" version="1.2" baseProfile="tiny" '
           'width="2100" height="100" viewBox="0 0 2100 100">', DEFS]
    for k in range(21):
        cell = Cell(k)
        ground(cell)
        if k == 0:
            claimed(cell, rng)
        elif k <= 18:
            picture(cell, k, rng)
        # A group per cell: the game renders a cell from its group alone.
        out += ["<g>"] + cell.els + ["</g>"]
    out.append("</svg>")
    return "\n".join(out) + "\n"


if __name__ == "__main__":
    path = sys.argv[1] if len(sys.argv) > 1 else "patterns.svg"
    with open(path, "w") as f:
        f.write(build())
