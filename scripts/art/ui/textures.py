"""Procedural textures that tile without a seam.

Every noise here lives on a lattice that wraps around the picture's edges, so the right
column continues into the left one and the bottom row into the top one. Sizes must be
divisible by the lattice periods used; the callers pick periods that divide 160 x 120.
"""

import math
import random

from pngio import Image


def _smooth(t):
    return t * t * (3 - 2 * t)


def wrapped_noise(width, height, cells_x, cells_y, rng):
    """Value noise in 0..1 on a cells_x x cells_y lattice that wraps at the edges."""
    lattice = [[rng.random() for _ in range(cells_x)] for _ in range(cells_y)]
    out = [[0.0] * width for _ in range(height)]
    for y in range(height):
        fy = y * cells_y / height
        iy = int(fy)
        ty = _smooth(fy - iy)
        row0, row1 = lattice[iy % cells_y], lattice[(iy + 1) % cells_y]
        for x in range(width):
            fx = x * cells_x / width
            ix = int(fx)
            tx = _smooth(fx - ix)
            a = row0[ix % cells_x] + (row0[(ix + 1) % cells_x] - row0[ix % cells_x]) * tx
            b = row1[ix % cells_x] + (row1[(ix + 1) % cells_x] - row1[ix % cells_x]) * tx
            out[y][x] = a + (b - a) * ty
    return out


def fractal(width, height, periods, rng, falloff=0.55):
    """Sums octaves of wrapped noise; `periods` lists (cells_x, cells_y) from coarse to fine.
    The result is scaled to 0..1."""
    total = [[0.0] * width for _ in range(height)]
    amp, norm = 1.0, 0.0
    for cx, cy in periods:
        layer = wrapped_noise(width, height, cx, cy, rng)
        for y in range(height):
            for x in range(width):
                total[y][x] += amp * layer[y][x]
        norm += amp
        amp *= falloff
    lo = min(min(r) for r in total)
    hi = max(max(r) for r in total)
    return [[(v - lo) / (hi - lo) for v in r] for r in total]


def _clamp(v):
    return max(0, min(255, int(round(v))))


# Lattice periods that divide 160 x 120 evenly, from coarse to fine.
PERIODS_160x120 = [(4, 3), (8, 6), (16, 12), (32, 24), (40, 30), (80, 60)]


def _grain_source(rng, seed, scale, draws):
    """The random numbers for the per-pixel grain. At scale 1 they come from rng itself, as
    they always have. At a finer scale there are more pixels than draws at scale 1, so the grain
    takes a stream of its own and rng skips exactly what scale 1 drew: whatever rng places after
    the grain (the pores) lands where it does at scale 1."""
    if scale == 1:
        return rng
    for _ in range(draws):
        rng.random()
    return random.Random(seed * 1000 + scale)


def dialog_face(scale=1, seed=7):
    """A warm, light sandstone: soft clouds of tone with a fine grain and a few darker pores.
    At scale 2 the same stone twice as finely: the same clouds and pores, a grain of its own."""
    width, height = 160 * scale, 120 * scale
    rng = random.Random(seed)
    # No lattice coarser than 8 x 6: big blobs would make the repeat obvious on a dialog.
    clouds = fractal(width, height, PERIODS_160x120[1:], rng, 0.72)
    tint = fractal(width, height, [(8, 6), (16, 12)], rng)
    grain_rng = _grain_source(rng, seed, scale, 160 * 120)
    img = Image(width, height)
    for y in range(height):
        for x in range(width):
            c = clouds[y][x] - 0.5
            t = tint[y][x] - 0.5
            grain = grain_rng.uniform(-4.5, 4.5)
            light = 194 + 28 * c + grain
            r = light + 16 + 6 * t
            g = light - 4
            b = light - 40 - 7 * t
            img.put(x, y, (_clamp(r), _clamp(g), _clamp(b), 255))
    # Pores: small dark specks, each a soft dot that wraps around the edges like the rest.
    for _ in range(30):
        px, py = rng.uniform(0, 160) * scale, rng.uniform(0, 120) * scale
        radius = rng.uniform(0.5, 1.2) * scale
        depth = rng.uniform(0.06, 0.14)
        _dent(img, px, py, radius, depth, scale)
    return img


def stone(scale=1, seed=11):
    """A dark grey stone with mottled tone, faint light veins and fine speckle; dark enough
    for white text everywhere. At scale 2 the same stone twice as finely."""
    width, height = 160 * scale, 120 * scale
    rng = random.Random(seed)
    mottle = fractal(width, height, PERIODS_160x120[1:6], rng, 0.7)
    vein_src = fractal(width, height, [(8, 6), (16, 12), (32, 24)], rng, 0.6)
    img = Image(width, height)
    for y in range(height):
        for x in range(width):
            m = mottle[y][x] - 0.5
            # A ridge where the noise crosses its middle: thin, branching lines.
            ridge = max(0.0, 1 - abs(vein_src[y][x] - 0.5) * 18)
            speck = rng.uniform(-7, 7)
            if rng.random() < 0.05:
                speck += rng.choice((-16, 14))
            elif rng.random() < 0.012:
                speck += 26
            light = 62 + 22 * m + 7 * ridge + speck
            img.put(x, y, (_clamp(light - 1), _clamp(light), _clamp(light + 3), 255))
    return img


def _dent(img, cx, cy, radius, depth, scale=1):
    w, h = img.width, img.height
    reach = int(math.ceil(radius + scale))
    for dy in range(-reach, reach + 1):
        for dx in range(-reach, reach + 1):
            x, y = int(cx) + dx, int(cy) + dy
            d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
            k = depth * max(0.0, 1 - d / (radius + 0.8 * scale))
            if k <= 0:
                continue
            r, g, b, a = img.get(x % w, y % h)
            img.put(x % w, y % h, (_clamp(r * (1 - k)), _clamp(g * (1 - k)), _clamp(b * (1 - k)), a))


def wood_patch(size, base, seed, scale=1):
    """A small square of wood grain in the colour `base` (r, g, b), for the background icon;
    `size` in pixels at `scale`, the grain the same at every scale."""
    rng = random.Random(seed)
    wobble = wrapped_noise(size, size, 3, 3, rng)
    img = Image(size, size)
    for y in range(size):
        for x in range(size):
            grain = math.sin((y / scale + 5 * wobble[y][x]) * 1.25 + x / scale * 0.12)
            k = 1 + 0.16 * grain + rng.uniform(-0.05, 0.05)
            img.put(x, y, tuple(_clamp(c * k) for c in base) + (255,))
    return img
