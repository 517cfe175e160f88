#!/usr/bin/env python3
"""Writes glyphs.svg: the card numerals 1..13, one per square cell in a single column.

The program ANDs a cell over a card face, so the numerals are pure black on pure white and
nothing else: white leaves the face as painted, black prints the value on it. They are
drawn with a broad brush (thick across, a little thinner along the pen's edge) to match the
painted faces, and sit on the centre of the face, which is a little up and left of the
cell's centre because of the face's drop shadow.
"""

import math
import random
import sys

import artkit as ak
from layout import FACE_CX, FACE_CY

CELL = 100
HEIGHT = 50.0      # numeral height in cell units
WIDTH = 9.8        # stroke width across the direction of travel
NIB = 2.6          # extra width where the brush moves across its edge
TWO_DIGIT_SQUEEZE = 0.86  # two-digit values are drawn a little narrower


def numeral_rings(value, cx, cy, rng):
    text = str(value)
    strokes = ak.text_strokes(text, HEIGHT, cx, cy, spacing=0.12)
    if len(text) == 2:
        strokes = [(k, [(cx + (x - cx) * TWO_DIGIT_SQUEEZE, y) for x, y in pts])
                   for k, pts in strokes]
    phase = rng.uniform(0, 6.28)

    def wobble(i):
        # A slow swell along each stroke, as paint runs out and is pressed again.
        return 1.0 + 0.05 * math.sin(phase + i * 0.45)

    return ak.stroke_rings(strokes, WIDTH, nib=NIB, nib_angle=-35, taper=0.18,
                           wobble=wobble)


def build():
    rng = random.Random(1307)
    out = ['<svg xmlns="http://www.w3.org/2000/svg" version="1.2" baseProfile="tiny" '
           'width="100" height="1300" viewBox="0 0 100 1300">',
           '<rect x="0" y="0" width="100" height="1300" fill="#ffffff"/>']
    for v in range(1, 14):
        y0 = (v - 1) * CELL
        rings = numeral_rings(v, FACE_CX, y0 + FACE_CY, rng)
        # A group per numeral: the game renders a cell from its group (and the ground) alone.
        out += ["<g>", '<path fill="#000000" d="%s"/>' % ak.path_d(rings), "</g>"]
    out.append("</svg>")
    return "\n".join(out) + "\n"


if __name__ == "__main__":
    path = sys.argv[1] if len(sys.argv) > 1 else "glyphs.svg"
    with open(path, "w") as f:
        f.write(build())
