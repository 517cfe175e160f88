#!/usr/bin/env bash
# Starts the real game, waits for its window, checks the screen shows a board, then leaves
# through the exit button and its question, and checks the settings were stored.
set -euo pipefail
BIN=$1
source "$(dirname "$0")/xsession.sh"

# A stored language: the game opens straight onto the board.
mkdir -p "$XDG_CONFIG_HOME/Moxelware/Zelvano"
printf '[common]\ntongue=0\n' >"$XDG_CONFIG_HOME/Moxelware/Zelvano/V1.ini"

"$BIN" >"$WORK/app.log" 2>&1 &
APPPID=$!
WID=$(find_window '^Zelvano - basic$' || true)
[ -n "$WID" ] || { echo "no window"; cat "$WORK/app.log"; exit 1; }
sleep 1.5
read -r WX WY WW WH < <(window_geometry "$WID")
echo "window $WID at $WX,$WY size ${WW}x$WH"
[ "$WW" -ge 700 ] && [ "$WH" -ge 500 ] || { echo "window smaller than 700 x 500"; exit 1; }

colours=$(screenshot_colours "$WORK/board.png")
echo "distinct colours on screen: $colours"
[ "$colours" -gt 500 ] || { echo "the screen looks blank"; exit 1; }
[ -n "${ZELVANO_SHOTS:-}" ] && cp "$WORK/board.png" "$ZELVANO_SHOTS/board.png"

# The exit button sits 52 pixels from the right edge; it asks on the press.
xdotool mousemove --window "$WID" $((WW - 52 + 25)) $((4 + 25)) click 1
sleep 1
[ -n "${ZELVANO_SHOTS:-}" ] && import -window root "$ZELVANO_SHOTS/exit-question.png"
# The question is centred over the main window, 2 pixels above centre; Yes at (256, 98).
DX=$((WX + (WW - 320) / 2)); DY=$((WY + (WH - 160) / 2 - 2))
xdotool mousemove $((DX + 256 + 25)) $((DY + 98 + 25)) click 1

for _ in $(seq 1 50); do kill -0 "$APPPID" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$APPPID" 2>/dev/null; then echo "the game did not close"; cat "$WORK/app.log"; exit 1; fi
wait "$APPPID" || { echo "the game exited with an error"; cat "$WORK/app.log"; exit 1; }
APPPID=""
ini="$XDG_CONFIG_HOME/Moxelware/Zelvano/V1.ini"
grep -q '^level=1' "$ini" && grep -q '^MainForm=200,' "$ini" || { echo "settings not stored:"; cat "$ini"; exit 1; }
# The desktop may end the game with SIGTERM, also once its sound has started.
"$BIN" >"$WORK/app2.log" 2>&1 &
APPPID=$!
find_window '^Zelvano - ' >/dev/null
sleep 1
kill -TERM "$APPPID"
for _ in $(seq 1 50); do kill -0 "$APPPID" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$APPPID" 2>/dev/null; then echo "the game ignored SIGTERM"; exit 1; fi
APPPID=""
echo "ok"
