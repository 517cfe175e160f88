"""Shared pieces of the board artwork generators: a PNG writer, a small polygon rasteriser,
SVG text helpers, and the hand-drawn numerals used on the cards, the pattern pictures and
the score digits.

Everything here is plain Python 3 with the standard library only. Randomness always comes
from a seeded `random.Random`, so running a generator twice gives byte-identical files.
"""

import math
import struct
import zlib

# ---------------------------------------------------------------------------------------
# PNG


def _chunk(kind, data):
    return (struct.pack(">I", len(data)) + kind + data
            + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))


def write_png_rgb(path, width, height, rows):
    """Writes an 8-bit RGB PNG without alpha. `rows` holds `height` bytes-like rows of
    3 * `width` bytes each."""
    raw = bytearray()
    for row in rows:
        assert len(row) == 3 * width
        raw.append(0)
        raw += row
    data = b"\x89PNG\r\n\x1a\n"
    data += _chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
    data += _chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    data += _chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(data)


# ---------------------------------------------------------------------------------------
# Coverage rasteriser: polygons (lists of rings) filled with the non-zero rule, sampled on a
# sub-pixel grid. Small and slow, which is fine for a 220 x 54 font strip.


def coverage(width, height, rings, ss=6):
    """Returns a `height` x `width` list of floats 0..1: how much of each pixel the rings
    cover (non-zero winding), measured with ss x ss samples per pixel."""
    edges = []
    for ring in rings:
        n = len(ring)
        for i in range(n):
            x0, y0 = ring[i]
            x1, y1 = ring[(i + 1) % n]
            if y0 == y1:
                continue
            d = 1 if y1 > y0 else -1
            if y0 > y1:
                x0, y0, x1, y1 = x1, y1, x0, y0
            edges.append((y0, y1, x0, (x1 - x0) / (y1 - y0), d))
    cov = [[0.0] * width for _ in range(height)]
    step = 1.0 / ss
    w = 1.0 / (ss * ss)
    for py in range(height):
        row = cov[py]
        for sy in range(ss):
            y = py + (sy + 0.5) * step
            xs = [(x0 + (y - y0) * k, d) for (y0, y1, x0, k, d) in edges if y0 <= y < y1]
            if not xs:
                continue
            xs.sort()
            wind = 0
            for i, (x, d) in enumerate(xs[:-1]):
                wind += d
                if wind == 0:
                    continue
                xa, xb = x, xs[i + 1][0]
                # Count the sample columns whose centres lie in [xa, xb).
                sa = math.ceil(xa * ss - 0.5)
                sb = math.ceil(xb * ss - 0.5)
                for s in range(max(sa, 0), min(sb, width * ss)):
                    row[s // ss] += w
    return cov


# ---------------------------------------------------------------------------------------
# SVG helpers


def fmt(v):
    """A compact number for SVG text: one decimal is plenty for a 100-unit cell."""
    s = "%.1f" % v
    if s.endswith(".0"):
        s = s[:-2]
    if s == "-0":
        s = "0"
    return s


def path_d(rings):
    """SVG path data for closed polygon rings."""
    parts = []
    for ring in rings:
        if len(ring) < 3:
            continue
        p = ["M" + fmt(ring[0][0]) + " " + fmt(ring[0][1])]
        p.append("L" + " ".join(fmt(x) + " " + fmt(y) for x, y in ring[1:]))
        p.append("Z")
        parts.append("".join(p))
    return "".join(parts)


def rgb(c):
    return "#%02x%02x%02x" % tuple(max(0, min(255, int(round(v)))) for v in c)


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def scale(c, f):
    return tuple(v * f for v in c)


# ---------------------------------------------------------------------------------------
# Geometry


def line(p, q, n=None):
    """Points from p to q (both included)."""
    if n is None:
        n = max(2, min(24, int(math.hypot(q[0] - p[0], q[1] - p[1]) / 0.03) + 1))
    return [(p[0] + (q[0] - p[0]) * i / (n - 1), p[1] + (q[1] - p[1]) * i / (n - 1))
            for i in range(n)]


def arc(cx, cy, rx, ry, a0, a1, n=None):
    """Points along an elliptic arc; angles in degrees, 0 to the right, 90 downwards."""
    if n is None:
        n = max(3, int(abs(a1 - a0) / 7) + 1)
    pts = []
    for i in range(n):
        a = math.radians(a0 + (a1 - a0) * i / (n - 1))
        pts.append((cx + rx * math.cos(a), cy + ry * math.sin(a)))
    return pts


def join(*parts):
    """Concatenates point runs, dropping a point that repeats the previous one."""
    out = []
    for part in parts:
        for p in part:
            if out and abs(out[-1][0] - p[0]) < 1e-9 and abs(out[-1][1] - p[1]) < 1e-9:
                continue
            out.append(p)
    return out


def transform(pts, sx, sy, dx, dy, slant=0.0):
    """Scales, slants (x moves right by slant * distance above the baseline) and moves."""
    return [(dx + sx * x + slant * sy * (1.0 - y), dy + sy * y) for x, y in pts]


# ---------------------------------------------------------------------------------------
# Numerals. Each digit is drawn in a box 0.6 wide and 1.0 high (y downwards) as strokes:
# lists of centre-line points. Strokes marked closed are loops.


def _digit_strokes():
    d = {}
    d["0"] = [("closed", arc(0.3, 0.5, 0.26, 0.46, -90, 270, 52)[:-1])]
    d["1"] = [("open", join(line((0.1, 0.22), (0.36, 0.03), 6))),
              ("open", line((0.36, 0.03), (0.36, 0.97)))]
    d["2"] = [("open", join(arc(0.3, 0.29, 0.25, 0.25, 195, 385),
                            line((0.3 + 0.25 * math.cos(math.radians(25)),
                                  0.29 + 0.25 * math.sin(math.radians(25))),
                                 (0.04, 0.97)))),
              ("open", line((0.04, 0.97), (0.58, 0.97)))]
    d["3"] = [("open", join(arc(0.29, 0.27, 0.24, 0.23, 205, 445))),
              ("open", join(arc(0.29, 0.725, 0.27, 0.245, -95, 160)))]
    d["4"] = [("open", line((0.45, 0.97), (0.45, 0.03))),
              ("open", line((0.45, 0.03), (0.02, 0.68))),
              ("open", line((0.02, 0.68), (0.6, 0.68)))]
    d["5"] = [("open", line((0.55, 0.03), (0.11, 0.03))),
              ("open", line((0.11, 0.03), (0.07, 0.47))),
              ("open", join(arc(0.3, 0.66, 0.27, 0.3, 218, 485)))]
    d["6"] = [("closed", arc(0.31, 0.69, 0.26, 0.27, 0, 360, 44)[:-1]),
              ("open", arc(0.52, 0.7, 0.47, 0.66, 262, 176))]
    nine = []
    for kind, pts in d["6"]:
        nine.append((kind, [(0.6 - x, 1.0 - y) for x, y in pts]))
    d["9"] = nine
    d["7"] = [("open", line((0.03, 0.03), (0.58, 0.03))),
              ("open", join(line((0.58, 0.03), (0.36, 0.45)), arc(0.75, 0.97, 0.6, 0.52, 206, 180, 6)[1:]))]
    d["8"] = [("closed", arc(0.3, 0.26, 0.22, 0.225, -90, 270, 40)[:-1]),
              ("closed", arc(0.3, 0.72, 0.27, 0.25, -90, 270, 44)[:-1])]
    d["-"] = [("open", line((0.08, 0.55), (0.52, 0.55)))]
    return d


DIGITS = _digit_strokes()

# Width of each character's box; the "1" is narrow so that 11 and 13 sit well together.
ADVANCE = {"1": 0.44, "-": 0.6}


def text_strokes(text, height, cx, cy, spacing=0.1, slant=0.0, one_shift=-0.06):
    """The strokes of `text` centred on (cx, cy), `height` units tall. A narrow "1" is moved
    so that its stem sits in the middle of its narrower box."""
    widths = [ADVANCE.get(ch, 0.6) for ch in text]
    total = (sum(widths) + spacing * (len(text) - 1)) * height
    x = cx - total / 2
    out = []
    for ch, w in zip(text, widths):
        dx = x + (one_shift * height if ch == "1" else 0.0)
        for kind, pts in DIGITS[ch]:
            out.append((kind, transform(pts, height, height, dx, cy - height / 2, slant)))
        x += (w + spacing) * height
    return out


def _normals(pts, closed):
    n = len(pts)
    res = []
    for i in range(n):
        if closed:
            a, b = pts[(i - 1) % n], pts[(i + 1) % n]
        else:
            a, b = pts[max(i - 1, 0)], pts[min(i + 1, n - 1)]
        dx, dy = b[0] - a[0], b[1] - a[1]
        ln = math.hypot(dx, dy) or 1.0
        res.append((dx / ln, dy / ln))
    return res


def ribbon(kind, pts, width, nib=0.0, nib_angle=-40.0, taper=0.0, wobble=None):
    """Outline rings of a brush stroke along `pts`.

    width: the stroke width across the direction of travel. nib: extra width added in the
    direction of `nib_angle` as with a broad pen (0 gives an even stroke). taper: how much
    the width shrinks at the two ends of an open stroke (0..1). wobble: optional function
    of the running index returning a width factor, for a hand-made look. A closed stroke
    gives an outer ring and a reversed inner ring, so the hole stays open under the
    non-zero rule."""
    closed = kind == "closed"
    dirs = _normals(pts, closed)
    na = math.radians(nib_angle)
    nx, ny = math.cos(na), math.sin(na)
    left, right = [], []
    n = len(pts)
    for i, ((x, y), (dx, dy)) in enumerate(zip(pts, dirs)):
        # The broad pen is widest when it moves across its own edge.
        across = abs(dx * ny - dy * nx)
        w = width + nib * across
        if not closed and taper > 0 and n > 1:
            t = i / (n - 1)
            w *= 1.0 - taper * (1.0 - math.sin(math.pi * t)) ** 2
        if wobble is not None:
            w *= wobble(i)
        h = w / 2
        left.append((x - dy * h, y + dx * h))
        right.append((x + dy * h, y - dx * h))
    if closed:
        return [left, list(reversed(right))]
    return [left + list(reversed(right))]


def disc(cx, cy, r, n=16):
    return [(cx + r * math.cos(2 * math.pi * i / n), cy + r * math.sin(2 * math.pi * i / n))
            for i in range(n)]


def signed_area(ring):
    a = 0.0
    for i in range(len(ring)):
        x0, y0 = ring[i - 1]
        x1, y1 = ring[i]
        a += x0 * y1 - x1 * y0
    return a / 2


def oriented(ring, positive=True):
    """The ring turned so that its signed area has the wanted sign. All filled parts of a
    glyph must wind the same way, or overlapping parts cancel under the non-zero rule."""
    if (signed_area(ring) > 0) != positive:
        return list(reversed(ring))
    return ring


def stroke_rings(strokes, width, nib=0.0, nib_angle=-40.0, taper=0.0, round_joins=True,
                 wobble=None):
    """Rings of a whole glyph: a ribbon per stroke and a small disc where strokes meet or
    end, which rounds the corners of 4, 7 and 1 the way a brush would."""
    rings = []
    for kind, pts in strokes:
        parts = ribbon(kind, pts, width, nib, nib_angle, taper, wobble)
        if kind == "closed":
            outer, inner = sorted(parts, key=lambda r: -abs(signed_area(r)))
            rings += [oriented(outer, True), oriented(inner, False)]
        else:
            rings += [oriented(r, True) for r in parts]
    if round_joins:
        ends = []
        for kind, pts in strokes:
            if kind == "open":
                ends += [pts[0], pts[-1]]
        for i, p in enumerate(ends):
            shared = any(j != i and math.hypot(p[0] - q[0], p[1] - q[1]) < 1e-6
                         for j, q in enumerate(ends))
            if shared:
                rings.append(oriented(disc(p[0], p[1], width * 0.5 + nib * 0.15, 18)))
    return rings
