#!/usr/bin/env python3
"""The artwork checker must pass the committed artwork and catch each kind of broken picture.

    python3 scripts/art/ui/test_check_ui_art.py
"""

import shutil
import sys
import tempfile
import unittest
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))

import check_ui_art  # noqa: E402
from pngio import read_png, write_png  # noqa: E402

ASSETS = HERE.parents[2] / "assets"


def _set(path, points, colour):
    img = read_png(path)
    for x, y in points:
        img.put(x, y, colour + (255,))
    write_png(path, img)


def _with_alpha(path, _points, _colour):
    write_png(path, read_png(path), alpha=True)


def _break_tiling(path, _points, _colour):
    """Slides the right half of the texture down by half its height, so its right edge no
    longer continues into its left edge."""
    img = read_png(path)
    out = img.copy()
    for y in range(img.height):
        for x in range(img.width // 2, img.width):
            out.put(x, y, img.get(x, (y + img.height // 2) % img.height))
    write_png(path, out)


# (file, change, points, colour, words expected in the report)
BREAKAGES = [
    ("buttons/mix-over.png", _set, [(25, 25)], (255, 255, 255), "inside the button"),
    ("buttons/pause-disabled.png", _set, [(0, 0)], (120, 120, 120), "outline differs"),
    ("buttons/yes-up.png", _set, [(0, 49)], (10, 10, 10), "bottom-left"),
    ("buttons/exit-up.png", _set, [(3, 3)], (250, 250, 250), "light fringe"),
    ("buttons/no-up.png", _set, [(0, 10), (1, 10), (1, 11), (0, 11)], (255, 255, 255), "outline differs"),
    ("buttons/help-over.png", _with_alpha, [], None, "without alpha"),
    ("dialogs/music.png", _set, [(25, 25)], (255, 255, 255), "outer margin"),
    ("dialogs/flags-en.png", _set, [(0, 20)], (0, 0, 0), "outer margin"),
    ("dialogs/logo.png", _set, [(0, 0), (1, 0)], (230, 90, 230), "pinkish"),
    ("dialogs/stone.png", _break_tiling, [], None, "seam"),
    ("dialogs/stone.png", _set, [(x, y) for x in range(160) for y in range(120)], (200, 200, 200), "lightness"),
]


class CheckUiArt(unittest.TestCase):
    def test_committed_artwork_passes(self):
        self.assertEqual(check_ui_art.check_all(ASSETS), [])

    def test_each_breakage_is_reported(self):
        for fname, change, points, colour, words in BREAKAGES:
            with self.subTest(fname=fname, words=words), tempfile.TemporaryDirectory() as tmp:
                copy = Path(tmp) / "assets"
                for sub in ("buttons", "dialogs", "icon"):
                    shutil.copytree(ASSETS / sub, copy / sub)
                change(copy / fname, points, colour)
                problems = check_ui_art.check_all(copy)
                self.assertTrue(any(words in p for p in problems), problems)


if __name__ == "__main__":
    unittest.main()
