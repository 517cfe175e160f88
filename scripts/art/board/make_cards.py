#!/usr/bin/env python3
"""Writes cards.svg: five square card faces in one row, red, green, blue, violet, joker.

Every cell is covered by the cream ground, so the stretched picture has no transparent
pixel. The program prints the numeral over the middle of a face and draws a one-pixel black
frame around the cell, so the faces keep clear of the cell's outermost units and keep their
middle calm. Along the bottom runs a band of the colour's shape marks (see marks.py): a stack
shows only that band of each covered card.
"""

import math
import random
import sys

import artkit as ak
import paint
import marks
from layout import BAND_BOTTOM, BAND_TOP, FACE_BOTTOM, FACE_CX, FACE_CY, FACE_HI, FACE_LO, SHADOW

CREAM = (255, 254, 230)
FACES = [(255, 117, 120), (128, 255, 128), (33, 209, 255), (192, 128, 255)]
GOLD = (255, 192, 0)


def ground(rng, x0):
    """The cream ground of one cell, with a few faint paper fibres near the edges."""
    els = ['<rect x="%d" y="0" width="100" height="100" fill="%s"/>' % (x0, ak.rgb(CREAM))]
    for _ in range(10):
        side = rng.random()
        if side < 0.5:
            y = rng.choice([rng.uniform(2, 7), rng.uniform(93, 98)])
            a = x0 + rng.uniform(2, 70)
            pts = paint.streak(rng, a, a + rng.uniform(8, 24), y, 0.7, 0.4)
        else:
            x = x0 + rng.choice([rng.uniform(2, 7), rng.uniform(93, 98)])
            a = rng.uniform(2, 70)
            pts = [(x + (py - a) * 0.02 + 0.35 * (1 if i < 2 else -1), py)
                   for i, py in enumerate([a, a + 16, a + 16, a])]
        els.append('<path fill="#c8b48a" fill-opacity="0.18" d="%s"/>' % ak.path_d([pts]))
    return els


def spiral_points(cx, cy, r0, r1, turns, start_deg, n):
    pts = []
    for i in range(n):
        t = i / (n - 1)
        a = math.radians(start_deg) + t * turns * 2 * math.pi
        r = r0 + (r1 - r0) * t
        pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return pts


def joker(rng, x0):
    """The joker: a gold spiral brushed in one sweep from the middle outwards."""
    els = []
    cx, cy = x0 + FACE_CX, FACE_CY
    pts = spiral_points(cx, cy, 2.0, 35.0, 2.35, 200, 140)

    def swell(i):
        return 0.55 + 0.45 * min(1.0, i / 25.0)

    body = ak.ribbon("open", pts, 10.5, nib=2.5, nib_angle=-35, taper=0.35, wobble=swell)
    shadow = [[(x + SHADOW * 0.8, y + SHADOW * 0.8) for x, y in r] for r in body]
    els.append('<path fill="#8a5a00" fill-opacity="0.45" d="%s"/>'
               % ak.path_d([[(x + 1.2, y + 1.2) for x, y in r] for r in shadow]))
    els.append('<path fill="#a86e00" d="%s"/>' % ak.path_d(shadow))
    els.append('<path fill="%s" d="%s"/>' % (ak.rgb(GOLD), ak.path_d(body)))
    els.append('<path fill="none" stroke="#9a6400" stroke-width="1.2" stroke-opacity="0.7" '
               'stroke-linejoin="round" d="%s"/>' % ak.path_d(body))
    # A light streak riding on the stroke: wet paint catching the light.
    hi = [(x - 1.3, y - 1.3) for x, y in pts[18:-6]]
    els.append('<path fill="#fff3b0" fill-opacity="0.75" d="%s"/>'
               % ak.path_d(ak.ribbon("open", hi, 2.2, taper=0.8)))
    # Small sparkles in the corners make it read as a card, and as the special one.
    for (dx, dy, r) in ((15, 15, 6.0), (81, 14, 4.5), (14, 81, 4.5), (81, 81, 6.0)):
        cx, cy = x0 + dx + rng.uniform(-0.6, 0.6), dy + rng.uniform(-0.6, 0.6)
        star = []
        for i in range(8):
            a = math.radians(i * 45 - 90 + rng.uniform(-4, 4))
            rr = r if i % 2 == 0 else r * 0.3
            star.append((cx + rr * math.cos(a), cy + rr * math.sin(a)))
        els.append('<path fill="#a86e00" d="%s"/>'
                   % ak.path_d([[(x + 1.2, y + 1.2) for x, y in star]]))
        els.append('<path fill="%s" d="%s"/>' % (ak.rgb(GOLD), ak.path_d([star])))
    return els


def mark_band(rng, x0, k):
    """The colour's band along the bottom of the card with five of its shape marks. It is
    what a stack shows of every covered card, so it carries both the colour and the shape."""
    colour = FACES[k]
    band = paint.rough_square(rng, x0 + 4.5, BAND_TOP, x0 + 95.5, BAND_BOTTOM, wobble=0.35,
                              ragged=0.9, corner=1.6)
    els = ['<path fill="%s" stroke="%s" stroke-width="0.9" stroke-linejoin="round" d="%s"/>'
           % (ak.rgb(colour), ak.rgb(ak.scale(colour, 0.6)), ak.path_d([band]))]
    cy = (BAND_TOP + BAND_BOTTOM) / 2
    r = (BAND_BOTTOM - BAND_TOP) / 2 - 0.8
    for i in range(5):
        els += marks.svg(k, x0 + 14 + 18 * i, cy, r, colour)
    return els


def build():
    rng = random.Random(5101)
    out = ['<svg xmlns="http://www.w3.org/2000/svg" version="1.2" baseProfile="tiny" '
           'width="500" height="100" viewBox="0 0 500 100">']
    # Each face in a group of its own: the game renders a cell from its group alone.
    for k in range(5):
        x0 = 100 * k
        out.append("<g>")
        out += ground(rng, x0)
        if k < 4:
            out += paint.painted_patch(rng, x0 + FACE_LO, FACE_LO, x0 + FACE_HI, FACE_BOTTOM,
                                       FACES[k], SHADOW, calm=(0.2, 0.8))
            out += mark_band(rng, x0, k)
        else:
            out += joker(rng, x0)
        out.append("</g>")
    out.append("</svg>")
    return "\n".join(out) + "\n"


if __name__ == "__main__":
    path = sys.argv[1] if len(sys.argv) > 1 else "cards.svg"
    with open(path, "w") as f:
        f.write(build())
