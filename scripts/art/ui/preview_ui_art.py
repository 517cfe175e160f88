"""Mock-ups for looking at the artwork in place: the toolbar on its dark wooden band, a
message dialog, and the options page. Written to the build folder only, never committed.
Texts are put on with ImageMagick when /usr/bin/convert is there."""

import shutil
import subprocess
from pathlib import Path

import textures
from pngio import Image, read_png, write_png

TOOLBAR = ["mix", "giveup", "pause", "highscore", "options", "info", "help", "exit"]


def blit(dst, src, x0, y0, key=None):
    for y in range(src.height):
        for x in range(src.width):
            p = src.get(x, y)
            if key is not None and p[:3] == key:
                continue
            if 0 <= x0 + x < dst.width and 0 <= y0 + y < dst.height:
                dst.put(x0 + x, y0 + y, p[:3] + (255,))


def tile(dst, src, x0, y0, w, h):
    for y in range(h):
        for x in range(w):
            dst.put(x0 + x, y0 + y, src.get(x % src.width, y % src.height))


def rect(dst, x0, y0, w, h, colour, width=1):
    for y in range(y0, y0 + h):
        for x in range(x0, x0 + w):
            if x < x0 + width or x >= x0 + w - width or y < y0 + width or y >= y0 + h - width:
                dst.put(x, y, colour + (255,))


def bevel_panel(dst, tex, x0, y0, w, h):
    """A panel like the dialogs draw: black border, light/dark bevel, stone face."""
    tile(dst, tex, x0, y0, w, h)
    rect(dst, x0, y0, w, h, (0, 0, 0), 1)
    for i in range(1, 3):
        for x in range(x0 + i, x0 + w - i):
            dst.put(x, y0 + i, (150, 150, 150, 255))
            dst.put(x, y0 + h - 1 - i, (20, 20, 20, 255))
        for y in range(y0 + i, y0 + h - i):
            dst.put(x0 + i, y, (150, 150, 150, 255))
            dst.put(x0 + w - 1 - i, y, (20, 20, 20, 255))


def _board_tiles(assets, row, scratch):
    """The light and dark tile of one background colour from the board's own texture when
    it is there (row 0 grey, 1 brown, 2 green, 3 blue, 4 red), else a stand-in of ours."""
    jpeg = Path(assets) / "board" / "back.jpg"
    convert = "/usr/bin/convert"
    if jpeg.exists() and Path(convert).exists():
        tiles = []
        for col in (0, 1):
            out = Path(scratch) / f"back-{row}-{col}.png"
            subprocess.run([convert, str(jpeg), "-crop", f"160x120+{160 * col}+{120 * row}",
                            "+repage", "-type", "TrueColor", f"PNG24:{out}"], check=True)
            tiles.append(read_png(out))
        return tiles
    return [textures.wood_patch(120, (150, 96, 52), 3), textures.wood_patch(120, (92, 56, 28), 3)]


def board(width, height, tiles, band=58):
    light, dark = tiles
    img = Image(width, height)
    tile(img, light, 0, 0, width, height)
    tile(img, dark, 0, 0, width, band)
    return img


def text(path, items):
    """items: (x, y, size, text) drawn white bold, Liberation Sans (the Arial look-alike)."""
    convert = "/usr/bin/convert"
    if not Path(convert).exists():
        return
    args = [convert, str(path), "-font", "Liberation-Sans-Bold", "-fill", "white"]
    for x, y, size, t in items:
        args += ["-pointsize", str(size), "-annotate", f"+{x}+{y}", t]
    subprocess.run(args + [str(path)], check=True)


def write_previews(assets, out):
    out = Path(out)
    out.mkdir(parents=True, exist_ok=True)
    buttons = Path(assets) / "buttons"
    dialogs = Path(assets) / "dialogs"
    white = (255, 255, 255)

    # Toolbar: on brown the up, hover and disabled pictures; then the up pictures on the
    # other four background colours.
    w = 700
    xs = [4, 56, 108, 160, w - 208, w - 156, w - 104, w - 52]
    bands = [(1, "up"), (1, "over"), (1, "disabled"), (0, "up"), (2, "up"), (3, "up"), (4, "up")]
    sheet = Image(w, len(bands) * 70, (30, 20, 10, 255))
    for i, (colour, state) in enumerate(bands):
        band = board(w, 66, _board_tiles(assets, colour, out))
        for x, name in zip(xs, TOOLBAR):
            f = buttons / f"{name}-{state}.png"
            if not f.exists():
                f = buttons / f"{name}-up.png"
            blit(band, read_png(f), x, 4, white)
        blit(sheet, band, 0, i * 70)
    write_png(out / "toolbar.png", sheet)

    face = read_png(dialogs / "face.png")
    stone = read_png(dialogs / "stone.png")

    # Message dialog, 320 x 160.
    dlg = Image(320, 160)
    tile(dlg, face, 0, 0, 320, 160)
    rect(dlg, 0, 0, 320, 160, (0, 0, 0), 3)
    bevel_panel(dlg, stone, 11, 12, 298, 77)
    blit(dlg, read_png(buttons / "no-up.png"), 200, 98, white)
    blit(dlg, read_png(buttons / "yes-over.png"), 256, 98, white)
    write_png(out / "dialog.png", dlg)
    text(out / "dialog.png", [(70, 50, 16, "Do you really want to"), (96, 72, 16, "exit the game?")])

    # Options page, 410 x 460.
    opt = Image(410, 460)
    tile(opt, face, 0, 0, 410, 460)
    rect(opt, 0, 0, 410, 460, (0, 0, 0), 3)
    blit(opt, read_png(dialogs / "logo.png"), 4, 12, (255, 0, 255))
    bevel_panel(opt, stone, 108, 12, 289, 373)
    rows = [("tongue", "Language: English"), ("sound", "Sound effects on"),
            ("music", "Music on"), ("background", "Background: brown"),
            ("strength", "Level: basic")]
    for i, (name, _) in enumerate(rows):
        blit(opt, read_png(dialogs / f"{name}.png"), 108 + 16, 12 + 48 + 56 * i, white)
    blit(opt, read_png(buttons / "yes-up.png"), 348, 396, white)
    write_png(out / "options.png", opt)
    text(out / "options.png", [(127, 44, 21, "Options")]
         + [(108 + 79, 12 + 64 + 56 * i + 14, 16, t) for i, (_, t) in enumerate(rows)])

    # Language page and info page side by side.
    lang = Image(600, 400)
    tile(lang, face, 0, 0, 600, 400)
    bevel_panel(lang, stone, 8, 8, 289, 373)
    blit(lang, read_png(dialogs / "flags-de.png"), 8 + 16, 8 + 16, white)
    blit(lang, read_png(dialogs / "flags-en.png"), 8 + 16, 8 + 72, white)
    bevel_panel(lang, stone, 305, 8, 289, 373)
    blit(lang, read_png(dialogs / "info.png"), 305 + 20, 8 + 60)
    write_png(out / "pages.png", lang)
    text(lang_path := out / "pages.png", [(8 + 79, 8 + 32 + 14, 16, "Deutsch"),
                                          (8 + 79, 8 + 88 + 14, 16, "English"),
                                          (325, 48, 21, "Zelvano")])

    # Everything 3x larger, to judge the pixels.
    convert = "/usr/bin/convert"
    if Path(convert).exists():
        for name in ("toolbar", "dialog", "options", "pages"):
            subprocess.run([convert, str(out / f"{name}.png"), "-filter", "point", "-resize", "300%",
                            str(out / f"{name}-x3.png")], check=True)
    return lang_path
