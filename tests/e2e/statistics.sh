#!/usr/bin/env bash
# A numbered deal played through the real window: started from the command line at a level,
# given up, left; the statistics in the settings file then count it as played and lost at
# that level, with its deal number. The same number deals the same board at the next start.
set -euo pipefail
BIN=$1
source "$(dirname "$0")/xsession.sh"

ini="$XDG_CONFIG_HOME/Moxelware/Zelvano/V1.ini"
mkdir -p "$(dirname "$ini")"
printf '[common]\ntongue=0\n' >"$ini"

# The cards below the patterns (whose frames glitter in random colours) of window $1, saved at $2.
shoot_cards() {
  local x y w h
  read -r x y w h < <(window_geometry "$1")
  import -window root -crop "${w}x$((h - 180))+$x+$((y + 170))" +repage "$2"
}

start() { # arguments for the game
  "$BIN" "$@" >>"$WORK/app.log" 2>&1 &
  APPPID=$!
  WID=$(find_window '^Zelvano - advanced$' || true)
  [ -n "$WID" ] || { echo "no window at the advanced level"; cat "$WORK/app.log"; exit 1; }
  sleep 1.5
  read -r WX WY WW WH < <(window_geometry "$WID")
}

# The yes button of the question, centred over the main window 2 pixels above centre.
answer_yes() {
  sleep 0.8
  xdotool mousemove $((WX + (WW - 320) / 2 + 256 + 25)) $((WY + (WH - 160) / 2 - 2 + 98 + 25)) click 1
  sleep 0.8
}

start --deal 4242 --level 2
shoot_cards "$WID" "$WORK/first.png"
# A press on the board beside the stacks starts the clock; the flag gives the game up.
xdotool mousemove --window "$WID" 20 $((WH - 30)) click 1
sleep 0.5
xdotool mousemove --window "$WID" $((56 + 25)) 29 click 1
answer_yes
# The statistics are in the file as soon as the game has ended, before the window closes.
grep -q '^playedb=1$' "$ini" || { echo "the given-up game is not in the file:"; cat "$ini"; exit 1; }
xdotool mousemove --window "$WID" $((WW - 52 + 25)) 29 click 1
answer_yes
for _ in $(seq 1 50); do kill -0 "$APPPID" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$APPPID" 2>/dev/null; then echo "the game did not close"; exit 1; fi
wait "$APPPID" || { echo "the game exited with an error"; cat "$WORK/app.log"; exit 1; }
APPPID=""

# [statistics] as the file holds it.
section=$(awk '/^\[/{s=$0; next} s=="[statistics]"' "$ini")
value() { printf '%s\n' "$section" | awk -F= -v k="$1" '$1==k{print $2}'; }
for expect in playedb=1 lostb=1 wonb=0 streakb=0 playeda=0 playedc=0 playedd=0 deal=4242; do
  [ "$(value "${expect%%=*}")" = "${expect#*=}" ] || { echo "expected $expect in:"; echo "$section"; exit 1; }
done
ticks=$(value ticksb)
[ "$ticks" -ge 1 ] || { echo "no time counted: ticksb=$ticks"; exit 1; }
[ "$(value lastb)" = "$(value totalb)" ] && [ "$(value lastb)" = "$(value bestb)" ] ||
  { echo "one game, yet last, total and best differ:"; echo "$section"; exit 1; }
# The level chosen on the command line is kept like one chosen in the options.
grep -q '^level=2$' "$ini" || { echo "level not stored"; cat "$ini"; exit 1; }

# The same number, the same cards.
start --deal 4242
shoot_cards "$WID" "$WORK/second.png"
diff=$(compare -metric AE "$WORK/first.png" "$WORK/second.png" null: 2>&1 || true)
[ -n "${ZELVANO_SHOTS:-}" ] && cp "$WORK/first.png" "$WORK/second.png" "$ZELVANO_SHOTS/"
[ "$diff" = "0" ] || { echo "deal 4242 looks different the second time: $diff pixels"; exit 1; }
kill -TERM "$APPPID"
wait "$APPPID" || true
APPPID=""
echo "ok"
