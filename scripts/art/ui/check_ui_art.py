#!/usr/bin/env python3
"""Checks the finished button, dialog and icon artwork against the rules the program relies on.

    python3 scripts/art/ui/check_ui_art.py [ASSETS_DIR]

Exits 1 and lists every problem when a rule is broken. The rules:
- buttons: 50 x 50 RGB; the bottom-left pixel is pure white (the transparent key); every
  picture of a button has exactly the same pure-white pixels, all of them outside the rounded
  square (reachable from the edge through white), and all buttons share that one outline;
  no light fringe along the cut edge;
- dialog icons: 50 x 50 RGB, pure white exactly on a thin outer margin and nowhere else;
- logo: 100 x 75 RGB on pure magenta (the key), no pinkish edge pixels next to the magenta;
- textures: the right size, tile without a visible seam, the face light enough and the stone
  dark enough for white text;
- the twice-as-large twins of the buttons and dialog pictures (name@2x.png; the info picture,
  shown doubled, info@4x.png) follow the same rules at their size, margins grown with them;
- application icon: a plain SVG with a square viewBox, and its 256 px rendering.
"""

import sys
import xml.etree.ElementTree as ET
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))

from pngio import read_png, read_png_info  # noqa: E402

WHITE = (255, 255, 255)
MAGENTA = (255, 0, 255)

TOOLBAR = ["mix", "giveup", "pause", "highscore", "options", "info", "help", "exit"]
CAN_BE_DISABLED = {"mix", "giveup", "pause"}
DIALOG_BUTTONS = ["yes", "no", "stats"]
DIALOG_ICONS = ["sound", "music", "tongue", "background", "strength", "flags-de", "flags-en"]


def button_files(suffix=""):
    for name in TOOLBAR + DIALOG_BUTTONS:
        states = ["up", "over"] + (["disabled"] if name in CAN_BE_DISABLED else [])
        yield name, [f"{name}-{s}{suffix}.png" for s in states]


def _load_rgb(path, size, problems):
    """Reads a picture that must be 8-bit RGB without alpha of the given size, or None."""
    if not path.exists():
        problems.append(f"{path.name}: missing")
        return None
    w, h, depth, ctype = read_png_info(path)
    if depth != 8 or ctype != 2:
        problems.append(f"{path.name}: must be 24-bit RGB without alpha "
                        f"(has depth {depth}, colour type {ctype})")
    if (w, h) != size:
        problems.append(f"{path.name}: must be {size[0]} x {size[1]}, is {w} x {h}")
        return None
    return read_png(path)


def _pixels_of(img, colour):
    return {(x, y) for y in range(img.height) for x in range(img.width)
            if img.get(x, y)[:3] == colour}


def _reachable_from_edge(pixels, w, h):
    todo = [(x, y) for (x, y) in pixels if x in (0, w - 1) or y in (0, h - 1)]
    seen = set(todo)
    while todo:
        x, y = todo.pop()
        for n in ((x + 1, y), (x - 1, y), (x, y + 1), (x, y - 1)):
            if n in pixels and n not in seen:
                seen.add(n)
                todo.append(n)
    return seen


def _neighbours(pixels, w, h):
    out = set()
    for (x, y) in pixels:
        for n in ((x + 1, y), (x - 1, y), (x, y + 1), (x, y - 1)):
            if 0 <= n[0] < w and 0 <= n[1] < h and n not in pixels:
                out.add(n)
    return out


def check_buttons(folder, problems, scale=1):
    shared = None
    n = 50 * scale
    for name, files in button_files("" if scale == 1 else f"@{scale}x"):
        outline = None
        for fname in files:
            img = _load_rgb(folder / fname, (n, n), problems)
            if img is None:
                continue
            if img.get(0, n - 1)[:3] != WHITE:
                problems.append(f"{fname}: bottom-left pixel is {img.get(0, n - 1)[:3]}, not pure white")
            whites = _pixels_of(img, WHITE)
            inner = whites - _reachable_from_edge(whites, n, n)
            if inner:
                problems.append(f"{fname}: {len(inner)} pure-white pixels inside the button, "
                                f"e.g. {sorted(inner)[:4]}")
            if len(whites) == 0 or len(whites) > 400 * scale * scale:
                problems.append(f"{fname}: implausible outline of {len(whites)} white pixels")
            fringe = [p for p in _neighbours(whites, n, n) if min(img.get(*p)[:3]) >= 230]
            if fringe:
                problems.append(f"{fname}: light fringe along the outline at {sorted(fringe)[:4]}")
            if outline is None:
                outline = (fname, whites)
            elif whites != outline[1]:
                diff = whites ^ outline[1]
                problems.append(f"{fname}: outline differs from {outline[0]} in {len(diff)} pixels, "
                                f"e.g. {sorted(diff)[:4]}")
        if outline is None:
            continue
        if shared is None:
            shared = outline
        elif outline[1] != shared[1]:
            problems.append(f"{outline[0]}: outline differs from {shared[0]}")


def _suffix(scale):
    return "" if scale == 1 else f"@{scale}x"


def check_dialog_icons(folder, problems, scale=1):
    n = 50 * scale
    for name in DIALOG_ICONS:
        fname = f"{name}{_suffix(scale)}.png"
        img = _load_rgb(folder / fname, (n, n), problems)
        if img is None:
            continue
        whites = _pixels_of(img, WHITE)
        margins = [{(x, y) for y in range(n) for x in range(n)
                    if min(x, y, n - 1 - x, n - 1 - y) < m * scale} for m in (1, 2)]
        if whites not in margins:
            stray = whites - margins[1]
            gaps = margins[0] - whites
            problems.append(f"{fname}: pure white must be exactly a 1 or 2 px outer margin "
                            f"(white inside: {sorted(stray)[:4]}, margin not white: {sorted(gaps)[:4]})")


def check_logo(folder, problems, scale=1):
    fname, w, h = f"logo{_suffix(scale)}.png", 100 * scale, 75 * scale
    img = _load_rgb(folder / fname, (w, h), problems)
    if img is None:
        return
    if img.get(0, h - 1)[:3] != MAGENTA:
        problems.append(f"{fname}: bottom-left pixel is {img.get(0, h - 1)[:3]}, not pure magenta")
    key = _pixels_of(img, MAGENTA)
    pink = [p for p in _neighbours(key, w, h)
            if (lambda r, g, b: r > 150 and b > 150 and g < 120)(*img.get(*p)[:3])]
    if pink:
        problems.append(f"{fname}: {len(pink)} pinkish pixels blend into the magenta, e.g. {pink[:4]}")
    if len(key) < w * h // 5:
        problems.append(f"{fname}: hardly any magenta ground left")


def _lum(p):
    return 0.30 * p[0] + 0.59 * p[1] + 0.11 * p[2]


def _seam_ratio(img):
    """How much larger the step across the wrap-around edges is than an ordinary step.
    Lightness is averaged over 9 pixels along the edge direction first, so the grain of the
    texture does not drown a jump in its broader tone."""
    w, h = img.width, img.height
    lum = [[_lum(img.get(x, y)) for x in range(w)] for y in range(h)]
    down = [[sum(lum[(y + k) % h][x] for k in range(-4, 5)) / 9 for x in range(w)] for y in range(h)]
    across = [[sum(lum[y][(x + k) % w] for k in range(-4, 5)) / 9 for x in range(w)] for y in range(h)]
    usual_x = sum(abs(down[y][x] - down[y][x + 1]) for y in range(h) for x in range(w - 1)) / (h * (w - 1))
    usual_y = sum(abs(across[y][x] - across[y + 1][x]) for y in range(h - 1) for x in range(w)) / ((h - 1) * w)
    seam_x = sum(abs(down[y][w - 1] - down[y][0]) for y in range(h)) / h
    seam_y = sum(abs(across[h - 1][x] - across[0][x]) for x in range(w)) / w
    return max(seam_x / max(usual_x, 0.5), seam_y / max(usual_y, 0.5))


def check_textures(folder, problems, scale=1):
    x = _suffix(scale)
    for fname, lum_range in ((f"face{x}.png", (120, 215)), (f"stone{x}.png", (30, 90))):
        img = _load_rgb(folder / fname, (160 * scale, 120 * scale), problems)
        if img is None:
            continue
        ratio = _seam_ratio(img)
        if ratio > 1.6:
            problems.append(f"{fname}: visible seam when tiled (edge step {ratio:.2f} x the usual)")
        mean = sum(_lum(p) for p in img.px) / len(img.px)
        if not lum_range[0] <= mean <= lum_range[1]:
            problems.append(f"{fname}: mean lightness {mean:.0f} outside {lum_range}")
        if fname.startswith("stone"):
            brightest = max(_lum(p) for p in img.px)
            if brightest > 140:
                problems.append(f"{fname}: spots as light as {brightest:.0f} hide white text")
    info = 1 if scale == 1 else 2 * scale
    _load_rgb(folder / f"info{_suffix(info)}.png", (100 * info, 57 * info), problems)


def check_icon(folder, problems):
    svg = folder / "zelvano.svg"
    if not svg.exists():
        problems.append("zelvano.svg: missing")
    else:
        text = svg.read_text(encoding="utf-8")
        try:
            root = ET.fromstring(text)
        except ET.ParseError as e:
            problems.append(f"zelvano.svg: not well-formed XML: {e}")
            root = None
        if root is not None:
            if root.tag != "{http://www.w3.org/2000/svg}svg":
                problems.append("zelvano.svg: root element is not an SVG <svg>")
            box = root.get("viewBox", "").replace(",", " ").split()
            if len(box) != 4 or box[2] != box[3]:
                problems.append("zelvano.svg: needs a square viewBox")
            for word in ("inkscape", "sodipodi", "<metadata", "adobe", "sketch"):
                if word in text.lower():
                    problems.append(f"zelvano.svg: editor leftovers ({word})")
    png = folder / "zelvano-256.png"
    if not png.exists():
        problems.append("zelvano-256.png: missing")
    elif read_png_info(png)[:2] != (256, 256):
        problems.append("zelvano-256.png: must be 256 x 256")


def check_all(assets):
    assets = Path(assets)
    problems = []
    for scale in (1, 2):
        check_buttons(assets / "buttons", problems, scale)
        check_dialog_icons(assets / "dialogs", problems, scale)
        check_logo(assets / "dialogs", problems, scale)
        check_textures(assets / "dialogs", problems, scale)
    check_icon(assets / "icon", problems)
    return problems


if __name__ == "__main__":
    where = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parents[3] / "assets"
    found = check_all(where)
    for p in found:
        print(p)
    print("ui artwork: " + ("%d problem(s)" % len(found) if found else "all rules hold"))
    sys.exit(1 if found else 0)
