"""The shape mark of each card colour, so that the colour is never the only thing that tells
the four suits apart: red a disc, green a triangle, blue a square, violet a diamond. Red and
green, and blue and violet, are the pairs that look alike to a red-green colour-blind eye,
so each pair gets two shapes that differ most (round against pointed, upright against
turned). Used on the card faces, the stack stripes (the faces' bottom band), the colour
patterns and the help's pictures.
"""

import math

import artkit as ak

KINDS = ["disc", "triangle", "square", "diamond"]
NAMES = {"de": ["Kreis", "Dreieck", "Quadrat", "Raute"],
         "en": ["disc", "triangle", "square", "diamond"]}


def ring(kind, cx, cy, r):
    """One closed ring of the mark, of about the same visual weight for every kind; r is
    half the mark's height."""
    if kind == "disc":
        return ak.disc(cx, cy, r * 0.98, 24)
    if kind == "triangle":
        return [(cx, cy - r * 1.08), (cx + r * 1.12, cy + r * 0.92), (cx - r * 1.12, cy + r * 0.92)]
    if kind == "square":
        h = r * 0.86
        return [(cx - h, cy - h), (cx + h, cy - h), (cx + h, cy + h), (cx - h, cy + h)]
    if kind == "diamond":
        h = r * 1.3
        return [(cx, cy - h), (cx + h * 0.92, cy), (cx, cy + h), (cx - h * 0.92, cy)]
    raise ValueError(kind)


def dark(colour):
    """The mark's ink: the colour itself, so dark that it reads on every face and in grey."""
    return ak.mix(ak.scale(colour, 0.28), (20, 16, 24), 0.35)


def svg(colour_index, cx, cy, r, colour, halo=None):
    """SVG elements of one mark; an optional light halo keeps it apart from a busy ground."""
    kind = KINDS[colour_index]
    els = []
    if halo is not None:
        grown = ring(kind, cx, cy, r + halo)
        els.append('<path fill="#fffbe8" fill-opacity="0.85" d="%s"/>' % ak.path_d([grown]))
    els.append('<path fill="%s" d="%s"/>' % (ak.rgb(dark(colour)), ak.path_d([ring(kind, cx, cy, r)])))
    return els
