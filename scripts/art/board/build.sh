#!/bin/sh
# Regenerates the board artwork in assets/board from the scripts beside this file.
# Needs Python 3 and ImageMagick's convert (for the JPEG; CONVERT=... picks another one).
# The outputs are committed; the game's build never runs this.
set -e
here=$(cd "$(dirname "$0")" && pwd)
out=${1:-$here/../../../assets/board}
mkdir -p "$out"
cd "$here"
python3 make_cards.py "$out/cards.svg"
python3 make_glyphs.py "$out/glyphs.svg"
python3 make_patterns.py "$out/patterns.svg"
python3 make_scorefont.py "$out/scorefont.png"
python3 make_scorefont.py --scale 2 "$out/scorefont@2x.png"
python3 make_back.py "$out/back.jpg"
echo "board artwork written to $out"
# The game's decoder wants a baseline, three-component JPEG of 320 x 600.
if command -v identify >/dev/null 2>&1; then
  identify -format 'back.jpg: %wx%h, %[colorspace], interlace %[interlace], quality %Q\n' "$out/back.jpg"
fi
