#!/usr/bin/env bash
# The real game on a screen scaled by 2: the board, the buttons and the dialogs' pictures must
# be drawn at the screen's resolution, not the scale-1 picture with every pixel blown up to a
# 2 x 2 block.
set -euo pipefail
BIN=$1
XVFB_SCREEN=2560x1600x24
source "$(dirname "$0")/xsession.sh"

mkdir -p "$XDG_CONFIG_HOME/Moxelware/Zelvano"
printf '[common]\ntongue=0\n' >"$XDG_CONFIG_HOME/Moxelware/Zelvano/V1.ini"

QT_SCALE_FACTOR=2 "$BIN" >"$WORK/app.log" 2>&1 &
APPPID=$!
WID=$(find_window '^Zelvano - basic$' || true)
[ -n "$WID" ] || { echo "no window"; cat "$WORK/app.log"; exit 1; }
sleep 1.5
read -r WX WY WW WH < <(window_geometry "$WID")
echo "window $WID at $WX,$WY size ${WW}x$WH (screen pixels)"
[ "$WW" -ge 1400 ] && [ "$WH" -ge 1000 ] || { echo "the window is not scaled by 2"; exit 1; }

import -window root "$WORK/screen.png"
[ -n "${ZELVANO_SHOTS:-}" ] && cp "$WORK/screen.png" "$ZELVANO_SHOTS/hidpi.png"
# Share of the pixels of a region that differ from the region sampled down to half and blown
# up again: nearly none for a pixel-doubled picture, many for a sharp one. The region starts
# on the window's own pixel grid, so doubled blocks line up with the sampling.
undoubled() { # x y w h (window pixels)
  /usr/bin/convert "$WORK/screen.png" -crop "$3x$4+$((WX + $1))+$((WY + $2))" +repage "$WORK/part.png"
  /usr/bin/convert "$WORK/part.png" -sample 50% -sample 200% "$WORK/doubled.png"
  local differ
  differ=$(/usr/bin/compare -metric AE "$WORK/part.png" "$WORK/doubled.png" null: 2>&1 || true)
  echo $((${differ%%.*} * 100 / ($3 * $4)))
}
board=$(undoubled 0 120 $((WW / 2 * 2)) $(((WH - 120) / 2 * 2)))
buttons=$(undoubled 8 8 416 100)
echo "pixels not doubled: board ${board}%, toolbar buttons ${buttons}%"
[ "$board" -ge 15 ] || { echo "the board is pixel-doubled"; exit 1; }
[ "$buttons" -ge 15 ] || { echo "the buttons are pixel-doubled"; exit 1; }

# The options dialog: its logo and the stone and sandstone it is made of.
xdotool windowfocus --sync "$WID" 2>/dev/null || true
xdotool key ctrl+o
DID=$(find_window '^Zelvano$' || true)
[ -n "$DID" ] || { echo "no options dialog"; exit 1; }
sleep 1
read -r WX WY WW WH < <(window_geometry "$DID")
[ "$WW" = 820 ] || { echo "the options dialog is ${WW} pixels wide, not 820"; exit 1; }
import -window root "$WORK/screen.png"
[ -n "${ZELVANO_SHOTS:-}" ] && cp "$WORK/screen.png" "$ZELVANO_SHOTS/hidpi-options.png"
dialog=$(undoubled 8 8 400 300)
echo "pixels not doubled: options dialog ${dialog}%"
[ "$dialog" -ge 15 ] || { echo "the dialog's pictures are pixel-doubled"; exit 1; }
# Below the title, left of the OK button, the face shows bare: the twice-as-large sandstone,
# tiled from the dialog's corner, pixel for pixel.
FACE2X="$(dirname "$0")/../../assets/dialogs/face@2x.png"
/usr/bin/convert -size "${WW}x$WH" "tile:$FACE2X" -crop 188x116+12+784 +repage "$WORK/face-want.png"
/usr/bin/convert "$WORK/screen.png" -crop "188x116+$((WX + 12))+$((WY + 784))" +repage "$WORK/face-got.png"
differ=$(/usr/bin/compare -metric AE "$WORK/face-want.png" "$WORK/face-got.png" null: 2>&1 || true)
[ "${differ%%.*}" = 0 ] || { echo "the dialog's face is not its sharp texture ($differ pixels differ)"; exit 1; }
xdotool key Escape

kill -TERM "$APPPID"
for _ in $(seq 1 50); do kill -0 "$APPPID" 2>/dev/null || break; sleep 0.1; done
APPPID=""
echo "ok"
