"""Hand-painted shapes for SVG: rough squares with ragged brush ends, brush streaks, and a
painted patch (face, shadow, streaks) used by the card faces and the colour patterns.

QSvgRenderer has no filters, so all roughness is geometry: jittered outlines and thin
semi-transparent streak polygons.
"""

import math

import artkit as ak


def _smooth_noise(rng, n, amp, smooth=3):
    """n values of a gentle random wobble, wrapping around (for closed outlines)."""
    raw = [rng.uniform(-1, 1) for _ in range(n)]
    for _ in range(smooth):
        raw = [(raw[i - 1] + 2 * raw[i] + raw[(i + 1) % n]) / 4 for i in range(n)]
    peak = max(abs(v) for v in raw) or 1.0
    return [amp * v / peak for v in raw]


def rough_square(rng, x0, y0, x1, y1, wobble=1.1, ragged=2.2, corner=3.0):
    """The outline of a square painted with horizontal strokes: top and bottom edges wave
    gently, the left and right edges are ragged where the brush set down and lifted off."""
    pts = []
    step = 2.0

    def run(p, q):
        n = max(2, int(math.hypot(q[0] - p[0], q[1] - p[1]) / step))
        return [(p[0] + (q[0] - p[0]) * i / n, p[1] + (q[1] - p[1]) * i / n) for i in range(n)]

    c = corner
    # Clockwise from the top-left, corners cut a little so they read as brushed, not ruled.
    sides = [
        ("top", run((x0 + c, y0), (x1 - c, y0))),
        ("c", run((x1 - c, y0), (x1, y0 + c))),
        ("right", run((x1, y0 + c), (x1, y1 - c))),
        ("c", run((x1, y1 - c), (x1 - c, y1))),
        ("bottom", run((x1 - c, y1), (x0 + c, y1))),
        ("c", run((x0 + c, y1), (x0, y1 - c))),
        ("left", run((x0, y1 - c), (x0, y0 + c))),
        ("c", run((x0, y0 + c), (x0 + c, y0))),
    ]
    kinds = []
    for kind, run_pts in sides:
        pts += run_pts
        kinds += [kind] * len(run_pts)
    n = len(pts)
    soft = _smooth_noise(rng, n, wobble, 3)
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    out = []
    for i, ((x, y), kind) in enumerate(zip(pts, kinds)):
        dx, dy = x - cx, y - cy
        ln = math.hypot(dx, dy) or 1.0
        # Push along the side's own normal rather than radially, so sides stay straight-ish.
        if kind in ("left", "right"):
            nx, ny = (1 if kind == "right" else -1), 0
            off = soft[i] + rng.uniform(-ragged, ragged * 0.6)
        elif kind in ("top", "bottom"):
            nx, ny = 0, (1 if kind == "bottom" else -1)
            off = soft[i]
        else:
            nx, ny = dx / ln, dy / ln
            off = soft[i] * 0.5
        out.append((x + nx * off, y + ny * off))
    return out


def streak(rng, x0, x1, y, thick, wave=0.6):
    """A thin horizontal brush streak from x0 to x1 around height y, tapering at both ends."""
    n = max(4, int((x1 - x0) / 3))
    top, bot = [], []
    ph = rng.uniform(0, 6.3)
    for i in range(n + 1):
        t = i / n
        x = x0 + (x1 - x0) * t
        w = thick * math.sin(math.pi * min(1.0, 0.08 + t * 0.92)) ** 0.5
        yc = y + wave * math.sin(ph + t * 5.0)
        top.append((x, yc - w / 2))
        bot.append((x, yc + w / 2))
    return top + list(reversed(bot))


def painted_patch(rng, x0, y0, x1, y1, colour, shadow=5.0, streaks=True, calm=(0.0, 0.0)):
    """SVG elements of a painted square in `colour` with its darker drop shadow.

    calm: a vertical band (as fractions 0..1 of the height) where the streaks are faint,
    so a numeral printed there stays easy to read."""
    els = []
    shade = ak.mix(ak.scale(colour, 0.6), (70, 55, 50), 0.1)
    # A soft outer shadow first, then the firm one: the face seems to lie on the ground.
    soft = rough_square(rng, x0 + shadow + 1.2, y0 + shadow + 1.2, x1 + shadow + 1.2,
                        y1 + shadow + 1.2, 1.0, 1.6)
    els.append('<path fill="%s" fill-opacity="0.35" d="%s"/>'
               % (ak.rgb(shade), ak.path_d([soft])))
    sh = rough_square(rng, x0 + shadow, y0 + shadow, x1 + shadow, y1 + shadow, 1.0, 1.8)
    els.append('<path fill="%s" d="%s"/>' % (ak.rgb(shade), ak.path_d([sh])))
    face = rough_square(rng, x0, y0, x1, y1)
    els.append('<path fill="%s" d="%s"/>' % (ak.rgb(colour), ak.path_d([face])))
    if streaks:
        light = ak.mix(colour, (255, 255, 255), 0.55)
        dark = ak.scale(colour, 0.72)
        h = y1 - y0
        y = y0 + 2.5
        while y < y1 - 2.5:
            frac = (y - y0) / h
            in_calm = calm[0] <= frac <= calm[1]
            a = x0 + rng.uniform(-1.5, 9)
            b = x1 - rng.uniform(-1.5, 9)
            thick = rng.uniform(0.9, 2.6)
            tone = light if rng.random() < 0.55 else dark
            op = rng.uniform(0.22, 0.42) * (0.35 if in_calm else 1.0)
            els.append('<path fill="%s" fill-opacity="%.2f" d="%s"/>'
                       % (ak.rgb(tone), op, ak.path_d([streak(rng, a, b, y, thick)])))
            y += rng.uniform(2.2, 5.0)
        # Brighter paint where the brush was first pressed down: a sheen along the top-left.
        sheen = [(x0 + 2, y0 + 3), (x1 - 10, y0 + 2.2), (x1 - 16, y0 + 6.5), (x0 + 6, y0 + 8),
                 (x0 + 4.5, y1 - 14), (x0 + 2.2, y1 - 8)]
        els.append('<path fill="#ffffff" fill-opacity="0.22" d="%s"/>' % ak.path_d([sheen]))
    return els
