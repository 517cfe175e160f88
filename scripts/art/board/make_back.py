#!/usr/bin/env python3
"""Writes back.jpg: the board textures, 2 columns x 5 rows of 160 x 120 tiles (320 x 600).

Row r is background colour r: 0 grey stone, 1 brown wood, 2 green felt, 3 blue felt,
4 red felt. Column 0 is the board texture, column 1 the same texture darker (toolbar band
and the two recessed panels). The game repeats a tile across the whole board, so every tile
is built to repeat seamlessly: all noise lives on lattices that wrap around the tile, and
fibres that leave one side come back in on the other.

The picture is first written as a PNG, then turned into a baseline RGB JPEG by
ImageMagick's convert (set CONVERT to use another one). Chroma is kept at full resolution:
with the usual 2 x 2 subsampling the 120-pixel rows would share colour blocks across the
border between two colours.
"""

import math
import os
import random
import subprocess
import sys
import tempfile

import artkit as ak

TW, TH = 160, 120
DARKEN = 0.6


class WrapNoise:
    """Value noise on a cx x cy lattice stretched over the tile, wrapping at its edges."""

    def __init__(self, rng, cx, cy):
        self.cx, self.cy = cx, cy
        self.v = [[rng.uniform(-1, 1) for _ in range(cx)] for _ in range(cy)]

    def at(self, x, y):
        gx = x / TW * self.cx
        gy = y / TH * self.cy
        ix, iy = math.floor(gx), math.floor(gy)
        fx, fy = gx - ix, gy - iy
        fx = fx * fx * (3 - 2 * fx)
        fy = fy * fy * (3 - 2 * fy)
        x0, x1 = ix % self.cx, (ix + 1) % self.cx
        y0, y1 = iy % self.cy, (iy + 1) % self.cy
        a = self.v[y0][x0] + (self.v[y0][x1] - self.v[y0][x0]) * fx
        b = self.v[y1][x0] + (self.v[y1][x1] - self.v[y1][x0]) * fx
        return a + (b - a) * fy


def fbm(rng, lattices):
    """A field of summed noises; `lattices` lists (cx, cy, weight)."""
    layers = [(WrapNoise(rng, cx, cy), w) for cx, cy, w in lattices]
    return [[sum(n.at(x, y) * w for n, w in layers) for x in range(TW)] for y in range(TH)]


def fibres(rng, count, length, strength):
    """A field of short curly fibres (felt, cloth): each a wandering line, splatted with
    bilinear weights so it stays smooth, wrapping around the tile."""
    f = [[0.0] * TW for _ in range(TH)]
    for _ in range(count):
        x, y = rng.uniform(0, TW), rng.uniform(0, TH)
        a = rng.uniform(0, 2 * math.pi)
        s = strength * rng.choice((1, -1)) * rng.uniform(0.5, 1.0)
        for _ in range(int(rng.uniform(0.5, 1.0) * length * 2)):
            a += rng.uniform(-0.35, 0.35)
            x += 0.5 * math.cos(a)
            y += 0.5 * math.sin(a)
            ix, iy = math.floor(x), math.floor(y)
            fx, fy = x - ix, y - iy
            for dx, dy, w in ((0, 0, (1 - fx) * (1 - fy)), (1, 0, fx * (1 - fy)),
                              (0, 1, (1 - fx) * fy), (1, 1, fx * fy)):
                f[(iy + dy) % TH][(ix + dx) % TW] += s * w * 0.5
    return f


def grain(rng, amount):
    return [[rng.uniform(-amount, amount) for _ in range(TW)] for _ in range(TH)]


def felt(rng, colour):
    mottle = fbm(rng, [(4, 3, 0.55), (8, 6, 0.3), (16, 12, 0.15)])
    fine = fbm(rng, [(40, 30, 0.6), (80, 60, 0.4)])
    fib = fibres(rng, 1300, 9, 0.22)
    g = grain(rng, 0.025)
    tile = []
    for y in range(TH):
        row = []
        for x in range(TW):
            k = 1.0 + 0.07 * mottle[y][x] + 0.035 * fine[y][x] + fib[y][x] + g[y][x]
            row.append(ak.scale(colour, k))
        tile.append(row)
    return tile


def wood(rng, light, dark):
    # The grain is a set of lines along x at irregular heights, bent by a gentle warp that
    # wraps around the tile; a line leaving at the bottom comes back at the top, so the tile
    # repeats without a seam. A few strong lines are the latewood of the growth rings, many
    # faint ones the fine grain between them.
    warp = fbm(rng, [(2, 1, 0.6), (3, 2, 0.3), (8, 3, 0.1)])
    pores = fbm(rng, [(4, 60, 0.6), (8, 120, 0.4)])
    figure = fbm(rng, [(3, 2, 0.6), (6, 4, 0.4)])
    g = grain(rng, 0.018)
    lines = []
    for _ in range(7):
        lines.append((rng.uniform(0, TH), rng.uniform(2.5, 5.0), rng.uniform(0.5, 0.8)))
    for _ in range(46):
        lines.append((rng.uniform(0, TH), rng.uniform(0.6, 1.4), rng.uniform(0.12, 0.3)))
    # Each line's darkness across y, as a periodic profile, computed once per line.
    def profile(d, width):
        d = (d + TH / 2) % TH - TH / 2
        return math.exp(-(d / width) ** 2)

    tile = []
    for y in range(TH):
        row = []
        for x in range(TW):
            yy = y + 5.5 * warp[y][x]
            dark_amt = 0.0
            for ly, lw, ls in lines:
                dark_amt += ls * profile(yy - ly, lw)
            c = ak.mix(light, dark, min(1.0, 0.2 + 0.6 * dark_amt))
            k = 1.0 + 0.06 * pores[y][x] + 0.05 * figure[y][x] + g[y][x]
            row.append(ak.scale(c, k))
        tile.append(row)
    return tile


def stone(rng, colour):
    cloud = fbm(rng, [(2, 2, 0.4), (4, 3, 0.3), (8, 6, 0.18), (16, 12, 0.08), (32, 24, 0.04)])
    fine = fbm(rng, [(80, 60, 1.0)])
    g = grain(rng, 0.03)
    scratches = fibres(rng, 160, 14, 0.05)
    speck = [[0.0] * TW for _ in range(TH)]
    for _ in range(420):
        speck[rng.randrange(TH)][rng.randrange(TW)] = rng.choice((0.1, -0.12, 0.16))
    tile = []
    for y in range(TH):
        row = []
        for x in range(TW):
            k = (1.0 + 0.13 * cloud[y][x] + 0.06 * fine[y][x] + g[y][x] + speck[y][x]
                 + scratches[y][x])
            row.append(ak.scale(colour, k))
        tile.append(row)
    return tile


def build_rows():
    rng = random.Random(4711)
    tiles = [
        stone(rng, (124, 121, 115)),
        wood(rng, (158, 106, 64), (98, 60, 34)),
        felt(rng, (40, 112, 62)),
        felt(rng, (38, 82, 136)),
        felt(rng, (142, 40, 42)),
    ]
    rows = []
    for tile in tiles:
        for y in range(TH):
            line = bytearray()
            for col in (1.0, DARKEN):
                for c in tile[y]:
                    line += bytes(max(0, min(255, int(round(v * col)))) for v in c)
            rows.append(line)
    return rows


def main(out_path):
    convert = os.environ.get("CONVERT", "/usr/bin/convert")
    rows = build_rows()
    with tempfile.TemporaryDirectory() as tmp:
        png = os.path.join(tmp, "back.png")
        ak.write_png_rgb(png, 2 * TW, 5 * TH, rows)
        if out_path.endswith(".png"):
            os.replace(png, out_path)
            return
        subprocess.run([convert, png, "-strip", "-interlace", "none", "-sampling-factor",
                        "1x1", "-colorspace", "sRGB", "-type", "TrueColor", "-quality", "90",
                        out_path], check=True)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "back.jpg")
