#!/usr/bin/env python3
"""Writes scorefont.png: the score digits, 11 cells of 20 x 27 in two rows (220 x 54).

Cell order: minus sign, then 0..9. The upper row is the picture (yellow on pure black), the
lower row the mask (black glyph on pure white). The game ANDs the mask onto the band and
then ORs the picture, so:
  - wherever the mask is white, the picture is exactly black (the band shows through);
  - the mask is black wherever the picture has any colour.
The mask is the glyph grown by a rim, so each digit stands in a thin dark outline that keeps
it readable over any texture. Digits are slanted and heavy, like a scoreboard's, and fill
their cells so that a number reads as one.

With --scale 2 it writes the same digits drawn at twice the resolution (40 x 54 cells, 440 x
108), for screens that show two pixels for every pixel of the board.
"""

import sys

import artkit as ak

CW, CH = 20, 27
CHARS = "-0123456789"
HEIGHT = 21.0     # digit height in pixels
STROKE = 3.3      # stroke width in pixels
RIM = 0.9         # outline width on each side, in pixels
SLANT = 0.14
FIT = 19.2        # the widest digit with its rim, in pixels: one pixel apart from the next
TOP = (255, 246, 150)     # warm yellow at the top of a digit
BOTTOM = (255, 178, 0)    # deep golden yellow at the bottom

# The board copies exact 20-pixel cells side by side, so a number only reads as one when
# every glyph fills its cell: a "1" with a foot, a minus as wide as a digit, and the digits
# as broad as the cell allows. Their counters stay wide enough for the rim not to close
# them (an open 0, 6, 8 and 9).
SCORE_GLYPHS = dict(ak.DIGITS)
SCORE_GLYPHS["1"] = [("open", ak.line((0.12, 0.25), (0.36, 0.03), 6)),
                     ("open", ak.line((0.36, 0.03), (0.36, 0.97))),
                     ("open", ak.line((0.1, 0.97), (0.58, 0.97)))]
SCORE_GLYPHS["0"] = [("closed", ak.arc(0.3, 0.5, 0.29, 0.46, -90, 270, 52)[:-1])]
SCORE_GLYPHS["-"] = [("open", ak.line((0.04, 0.55), (0.54, 0.55)))]


def strokes_of(ch, squeeze):
    """The glyph's centre lines in pixels, centred on x = 0, slanted and squeezed."""
    pts_list = []
    for kind, pts in SCORE_GLYPHS[ch]:
        moved = ak.transform(pts, HEIGHT, HEIGHT, -0.3 * HEIGHT, CH / 2 - HEIGHT / 2, SLANT)
        pts_list.append((kind, [(x * squeeze, y) for x, y in moved]))
    return pts_list


def extent(strokes):
    outer = ak.stroke_rings(strokes, STROKE + 2 * RIM, nib=0.6)
    xs = [x for r in outer for x, _ in r]
    return max(xs) - min(xs)


def squeeze_to_fit():
    """One horizontal scale for every glyph: the widest digit just fits FIT pixels."""
    widest = max(extent(strokes_of(ch, 1.0)) for ch in "0123456789")
    # The stroke does not scale with the squeeze, so solve for the centre lines' width.
    return (FIT - (STROKE + 2 * RIM)) / (widest - (STROKE + 2 * RIM))


SQUEEZE = squeeze_to_fit()


def glyph_rings(ch, cell_x):
    """The glyph's fill and rim rings, centred in its cell by the rim's extent (in cell pixels
    of the picture at scale 1)."""
    strokes = strokes_of(ch, SQUEEZE)
    inner = ak.stroke_rings(strokes, STROKE, nib=0.6)
    outer = ak.stroke_rings(strokes, STROKE + 2 * RIM, nib=0.6)
    xs = [x for r in outer for x, _ in r]
    ys = [y for r in outer for _, y in r]
    dx = cell_x + CW / 2 - (min(xs) + max(xs)) / 2
    # Nothing may reach the neighbouring cell: the game copies exact 20-pixel cells.
    assert max(xs) - min(xs) <= CW - 0.4, (ch, max(xs) - min(xs))
    assert min(ys) >= 0.3 and max(ys) <= CH - 0.3, ch
    return ([[(x + dx, y) for x, y in r] for r in inner],
            [[(x + dx, y) for x, y in r] for r in outer])


def build(scale=1):
    w, h = CW * len(CHARS) * scale, CH * scale
    inner_rings, outer_rings = [], []
    for i, ch in enumerate(CHARS):
        inner, outer = glyph_rings(ch, CW * i)
        inner_rings += [[(x * scale, y * scale) for x, y in r] for r in inner]
        outer_rings += [[(x * scale, y * scale) for x, y in r] for r in outer]
    inner = ak.coverage(w, h, inner_rings, ss=8)
    outer = ak.coverage(w, h, outer_rings, ss=8)
    image_rows, mask_rows = [], []
    for y in range(h):
        img = bytearray()
        msk = bytearray()
        t = min(1.0, max(0.0, ((y + 0.5) / scale - 0.5 - (CH - HEIGHT) / 2) / HEIGHT))
        base = ak.mix(TOP, BOTTOM, t)
        for x in range(w):
            solid = outer[y][x] >= 0.3 or inner[y][x] > 0.0
            if solid:
                a = min(1.0, inner[y][x] * 1.15)
                img += bytes(int(round(c * a)) for c in base)
                msk += b"\x00\x00\x00"
            else:
                img += b"\x00\x00\x00"
                msk += b"\xff\xff\xff"
        image_rows.append(img)
        mask_rows.append(msk)
    return w, 2 * h, image_rows + mask_rows


if __name__ == "__main__":
    args = sys.argv[1:]
    scale = 1
    if args[:1] == ["--scale"]:
        scale = int(args[1])
        args = args[2:]
    path = args[0] if args else "scorefont.png"
    w, h, rows = build(scale)
    ak.write_png_rgb(path, w, h, rows)
