#!/usr/bin/env python3
"""Builds the button, dialog and icon artwork of Zelvano from the SVG sources beside this file.

    python3 scripts/art/ui/make_ui_art.py [--preview]
    python3 scripts/art/ui/make_ui_art.py --icons     # the application icon's sizes only

Steps: build the little SVG renderer (render/, Qt), render every source, compose and finish
the pictures in Python, write them to assets/buttons, assets/dialogs and assets/icon, and
check the results (check_ui_art.py), failing loudly on any broken rule. With --preview it
also writes mock-ups of the toolbar, a dialog and the options icons to the build folder.

The build folder is build-artui/ in the repository, or $ZELVANO_ARTUI_BUILD.
"""

import os
import re
import subprocess
import sys
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))

import check_ui_art  # noqa: E402
import imageops as ops  # noqa: E402
import textures  # noqa: E402
from pngio import Image, read_png, write_png  # noqa: E402

ROOT = HERE.parents[2]
BUILD = Path(os.environ.get("ZELVANO_ARTUI_BUILD", ROOT / "build-artui"))
SVG = HERE / "svg"
ASSETS = ROOT / "assets"

TOOLBAR = ["mix", "giveup", "pause", "highscore", "options", "info", "help", "exit"]
CAN_BE_DISABLED = {"mix", "giveup", "pause"}
DIALOG_BUTTONS = ["yes", "no", "stats"]

# The hover picture is the same button with its symbol drawn this much larger.
HOVER_SCALE = 1.2

# Buttons are also drawn at these multiples of their size, as name-state@2x.png, for screens
# that show two pixels (or more) for every pixel of the window.
BUTTON_SCALES = (1, 2)


def scale_suffix(scale):
    return "" if scale == 1 else f"@{scale}x"


def build_renderer():
    out = BUILD / "render"
    subprocess.run(["cmake", "-S", str(HERE / "render"), "-B", str(out),
                    "-DCMAKE_BUILD_TYPE=Release"], check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", str(out), "-j2"], check=True, stdout=subprocess.DEVNULL)
    return out / "svgrender"


class Renderer:
    """Collects SVG render jobs and runs them all in one go."""

    def __init__(self, tool):
        self.tool = tool
        self.jobs = []
        self.work = BUILD / "svg"
        self.work.mkdir(parents=True, exist_ok=True)

    def add(self, name, svg_text, width, height):
        src = self.work / f"{name}.svg"
        src.write_text(svg_text, encoding="utf-8")
        self.jobs.append((name, src, self.work / f"{name}.png", width, height))

    def add_file(self, name, path, width, height):
        self.add(name, Path(path).read_text(encoding="utf-8"), width, height)

    def run(self):
        listing = self.work / "jobs.txt"
        listing.write_text("".join(f"{src} {png} {w} {h}\n" for _, src, png, w, h in self.jobs))
        runtime = BUILD / "runtime"
        runtime.mkdir(mode=0o700, exist_ok=True)
        env = dict(os.environ, XDG_RUNTIME_DIR=str(runtime))
        subprocess.run([str(self.tool), str(listing)], check=True, env=env)
        return {name: read_png(png) for name, _, png, _, _ in self.jobs}


def svg_body(path):
    """The inside of an SVG file's root element."""
    text = Path(path).read_text(encoding="utf-8")
    start = re.search(r"<svg\b[^>]*>", text).end()
    return text[start:text.rindex("</svg>")]


def scaled_symbol(path, scale):
    inner = svg_body(path)
    return ('<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 50 50" width="50" height="50">'
            f'<g transform="translate(25 25) scale({scale}) translate(-25 -25)">{inner}</g></svg>')


# ---------------------------------------------------------------------------------------------
# Buttons

def queue_buttons(r):
    for scale in BUTTON_SCALES:
        x, size = scale_suffix(scale), 50 * scale
        r.add_file(f"body-toolbar{x}", SVG / "buttons/body-toolbar.svg", size, size)
        r.add_file(f"body-disabled{x}", SVG / "buttons/body-disabled.svg", size, size)
        r.add_file(f"body-dialog{x}", SVG / "buttons/body-dialog.svg", size, size)
        for name in TOOLBAR + DIALOG_BUTTONS:
            r.add(f"sym-{name}-up{x}", scaled_symbol(SVG / f"symbols/{name}.svg", 1.0), size, size)
            r.add(f"sym-{name}-over{x}", scaled_symbol(SVG / f"symbols/{name}.svg", HOVER_SCALE), size, size)


def finish_buttons(pics):
    for scale in BUTTON_SCALES:
        finish_buttons_at(pics, scale)


def finish_buttons_at(pics, scale):
    x = scale_suffix(scale)
    # The same rounded square, its radius and the symbol's shadow grown with the picture.
    outline = ops.button_outline(ops.BUTTON_SIZE * scale, ops.BUTTON_RADIUS * scale)
    out_dir = ASSETS / "buttons"
    out_dir.mkdir(parents=True, exist_ok=True)
    for name in TOOLBAR + DIALOG_BUTTONS:
        dialog = name in DIALOG_BUTTONS
        body = pics[("body-dialog" if dialog else "body-toolbar") + x]
        rim = body.get(0, 0)[:3]
        shade = (10, 30, 60) if dialog else (60, 30, 5)
        for state in ("up", "over"):
            sym = pics[f"sym-{name}-{state}{x}"]
            img = ops.flatten(body, rim)
            ops.over(img, ops.shadow(sym, scale, 2 * scale, shade, 0.45, blur_passes=2 * scale * scale))
            ops.over(img, sym)
            write_png(out_dir / f"{name}-{state}{x}.png", ops.cut_button(img, outline))
        if name in CAN_BE_DISABLED:
            flat = pics[f"body-disabled{x}"]
            img = ops.flatten(flat, flat.get(0, 0)[:3])
            ops.over(img, ops.map_colours(pics[f"sym-{name}-up{x}"], ops.greyed(88, 150)))
            write_png(out_dir / f"{name}-disabled{x}.png", ops.cut_button(img, outline))


# ---------------------------------------------------------------------------------------------
# Dialog pictures

OPTION_ICONS = ["sound", "music", "tongue", "strength", "flags-de", "flags-en"]
MAGENTA = (255, 0, 255)


# The dialog pictures are also drawn at twice their size, as name@2x.png. The info page shows
# its picture at twice the picture's size, so its twin for such screens is four times as large.
DIALOG_SCALES = (1, 2)
INFO_SHOWN = 2


def queue_dialogs(r):
    for scale in DIALOG_SCALES:
        x, size = scale_suffix(scale), 50 * scale
        r.add_file(f"icon-ground{x}", SVG / "icons/ground.svg", size, size)
        for name in OPTION_ICONS:
            r.add_file(f"icon-{name}{x}", SVG / f"icons/{name}.svg", size, size)
        r.add_file(f"logo{x}", SVG / "logo.svg", 100 * scale, 75 * scale)
        info = scale * (INFO_SHOWN if scale > 1 else 1)
        r.add_file(f"info{x}", SVG / "info.svg", 100 * info, 57 * info)


def background_motif(scale=1):
    """Four squares of board texture, the colours the player can choose from."""
    layer = Image(50 * scale, 50 * scale, (0, 0, 0, 0))
    colours = [(150, 96, 52), (70, 130, 60), (60, 100, 170), (170, 60, 55)]
    size = 17 * scale
    for i, colour in enumerate(colours):
        x0, y0 = (7 + (i % 2) * 19) * scale, (7 + (i // 2) * 19) * scale
        patch = textures.wood_patch(size, colour, 20 + i, scale)
        for y in range(-scale, size + scale):
            for x in range(-scale, size + scale):
                edge = not (0 <= x < size and 0 <= y < size)
                layer.put(x0 + x, y0 + y, (20, 12, 6, 255) if edge else patch.get(x, y))
    return layer


def framed_icon(ground, motif, scale=1):
    """Motif on the orange-gold ground, a black frame, a white margin (one pixel each at
    scale 1, grown with the picture)."""
    img = ground.copy()
    ops.over(img, ops.shadow(motif, scale, scale, (90, 40, 0), 0.55, blur_passes=2 * scale * scale))
    ops.over(img, motif)
    img = ops.no_pure_white(img)
    last = 50 * scale - 1
    for y in range(50 * scale):
        for x in range(50 * scale):
            ring = min(x, y, last - x, last - y) // scale
            if ring == 0:
                img.put(x, y, ops.WHITE)
            elif ring == 1:
                img.put(x, y, (0, 0, 0, 255))
            elif ring == 2:
                r, g, b, _ = img.get(x, y)
                img.put(x, y, (r * 3 // 4, g * 3 // 4, b * 3 // 4, 255))
    return img


def hard_on_key(img, key):
    """Every pixel becomes either the key colour or an opaque colour: no half-covered edge
    pixels that would blend into the key and show as a fringe."""
    out = Image(img.width, img.height)
    for i, (r, g, b, a) in enumerate(img.px):
        if a < 128:
            out.px[i] = key + (255,)
        elif (r, g, b) == key:
            out.px[i] = (r, g, b ^ 1, 255)
        else:
            out.px[i] = (r, g, b, 255)
    return out


def finish_dialogs(pics):
    out_dir = ASSETS / "dialogs"
    out_dir.mkdir(parents=True, exist_ok=True)
    for scale in DIALOG_SCALES:
        x = scale_suffix(scale)
        ground = ops.flatten(pics[f"icon-ground{x}"], (240, 150, 30))
        for name in OPTION_ICONS:
            write_png(out_dir / f"{name}{x}.png", framed_icon(ground, pics[f"icon-{name}{x}"], scale))
        write_png(out_dir / f"background{x}.png", framed_icon(ground, background_motif(scale), scale))
        write_png(out_dir / f"logo{x}.png", hard_on_key(pics[f"logo{x}"], MAGENTA))
        info = scale_suffix(scale * (INFO_SHOWN if scale > 1 else 1))
        write_png(out_dir / f"info{info}.png", ops.no_pure_white(ops.flatten(pics[f"info{x}"], (90, 56, 26))))
        # The textures are computed again at the finer size from the same noise, not blown up.
        write_png(out_dir / f"face{x}.png", textures.dialog_face(scale))
        write_png(out_dir / f"stone{x}.png", textures.stone(scale))


# ---------------------------------------------------------------------------------------------
# Application icon

# The desktop menu's icon at each size a theme asks for, from the source drawn for that size:
# below 64 px the large drawing's shadows, gradient and turned cards only blur, so the small
# sizes have sources of their own in packaging/icons, each on its own pixel grid.
ICON_SOURCES = {
    16: ROOT / "packaging/icons/zelvano-16.svg",
    22: ROOT / "packaging/icons/zelvano-24.svg",
    24: ROOT / "packaging/icons/zelvano-24.svg",
    32: ROOT / "packaging/icons/zelvano-32.svg",
    48: ROOT / "packaging/icons/zelvano-32.svg",
    64: ASSETS / "icon/zelvano.svg",
    128: ASSETS / "icon/zelvano.svg",
    256: ASSETS / "icon/zelvano.svg",
}


def icon_png(size):
    # The 256 px picture lies with its source in assets/icon; the smaller ones in packaging/.
    return ASSETS / "icon/zelvano-256.png" if size == 256 else ROOT / f"packaging/icons/zelvano-{size}.png"


def queue_icon(r):
    for size, source in ICON_SOURCES.items():
        r.add_file(f"zelvano-{size}", source, size, size)


def finish_icon(pics):
    for size in ICON_SOURCES:
        write_png(icon_png(size), pics[f"zelvano-{size}"], alpha=True)


# ---------------------------------------------------------------------------------------------

def main(argv):
    preview = "--preview" in argv
    BUILD.mkdir(parents=True, exist_ok=True)
    r = Renderer(build_renderer())
    if "--icons" in argv:
        # Only the application icon: the other pictures may come out a pixel different under
        # another Qt version, and would then show up as changed for nothing.
        queue_icon(r)
        finish_icon(r.run())
        print("application icons written")
        return 0
    queue_buttons(r)
    queue_dialogs(r)
    queue_icon(r)
    pics = r.run()
    finish_buttons(pics)
    finish_dialogs(pics)
    finish_icon(pics)
    problems = check_ui_art.check_all(ASSETS)
    if preview:
        import preview_ui_art
        preview_ui_art.write_previews(ASSETS, BUILD / "preview")
    if problems:
        print("UI ARTWORK CHECK FAILED:", file=sys.stderr)
        for p in problems:
            print("  " + p, file=sys.stderr)
        return 1
    print("ui artwork written and checked")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
