#!/usr/bin/env bash
# The desktop ends the game: SIGTERM after the level was changed in the options, SIGINT
# while the exit question is open, SIGHUP and SIGQUIT from the terminal; and another program
# destroys its window. Each time the game must keep what a close keeps and end with status 0.
set -euo pipefail
BIN=$1
source "$(dirname "$0")/xsession.sh"
ini="$XDG_CONFIG_HOME/Moxelware/Zelvano/V1.ini"
mkdir -p "$(dirname "$ini")"
printf '[common]\ntongue=0\nlevel=1\nback=1\n' >"$ini"

start_game() {
  "$BIN" >"$WORK/app.log" 2>&1 &
  APPPID=$!
  WID=$(find_window '^Zelvano - ' || true)
  [ -n "$WID" ] || { echo "no window"; cat "$WORK/app.log"; exit 1; }
  sleep 1.5
  read -r WX WY WW WH < <(window_geometry "$WID")
}

# The game ends within ten seconds of $1, with status 0.
ends_after() {
  local status=0
  timeout 10 tail --pid="$APPPID" -f /dev/null || { echo "the game ran on after $1"; exit 1; }
  wait "$APPPID" || status=$?
  APPPID=""
  [ "$status" -eq 0 ] || { echo "$1: exit status $status"; cat "$WORK/app.log"; exit 1; }
}

# Ends the game with signal $1 and checks it went with status 0.
end_with() {
  kill -"$1" "$APPPID"
  ends_after "SIG$1"
}

# The dialog on top: the one window titled exactly "Zelvano".
dialog_origin() {
  local did
  did=$(find_window '^Zelvano$') || { echo "no dialog"; exit 1; }
  read -r DX DY _ _ < <(window_geometry "$did")
}

start_game
# Options (208 pixels from the right edge), the skill level picture (row five of the options
# page, which lies at 108,12 in the dialog), then the dialog's OK.
xdotool mousemove --window "$WID" $((WW - 208 + 25)) $((4 + 25)) click 1
dialog_origin
xdotool mousemove $((DX + 108 + 16 + 24)) $((DY + 12 + 48 + 4 * 56 + 24)) click 1
sleep 0.3
xdotool mousemove $((DX + 348 + 25)) $((DY + 396 + 25)) click 1
find_window '^Zelvano - advanced$' >/dev/null ||
  { echo "the level did not change"; exit 1; }
end_with TERM
grep -qx 'level=2' "$ini" || { echo "level lost on SIGTERM:"; cat "$ini"; exit 1; }
grep -q '^MainForm=200,' "$ini" || { echo "placement lost on SIGTERM:"; cat "$ini"; exit 1; }

# SIGINT while the exit question waits: no question stays in the way.
start_game
xdotool mousemove --window "$WID" $((WW - 52 + 25)) $((4 + 25)) click 1
dialog_origin
sed -i 's/^level=.*/level=3/' "$ini" # the game writes its own level back, not this one
end_with INT
grep -qx 'level=2' "$ini" || { echo "settings not written on SIGINT:"; cat "$ini"; exit 1; }

# The terminal the game was started from closes (SIGHUP), or Ctrl+\ is pressed in it
# (SIGQUIT): the game ends as on SIGTERM, its settings written.
for sig in HUP QUIT; do
  start_game
  sed -i 's/^level=.*/level=3/' "$ini"
  end_with "$sig"
  grep -qx 'level=2' "$ini" || { echo "settings not written on SIG$sig:"; cat "$ini"; exit 1; }
done

# Another program destroys the main window (a desktop tool, xdotool windowclose): the game
# ends as on the session's end, its settings written, instead of running on without a window.
start_game
sed -i 's/^level=.*/level=3/' "$ini"
xdotool windowclose "$WID"
ends_after "its window was destroyed"
grep -qx 'level=2' "$ini" || { echo "settings not written when the window was destroyed:"; cat "$ini"; exit 1; }

# SIGTERM while the start still waits on its message about a settings file too large to be
# ours: the game ends with status 0 and leaves that file as it was.
{ printf '[common]\ntongue=0\n;'; head -c 1100000 /dev/zero | tr '\0' x; echo; } >"$ini"
cp "$ini" "$WORK/oversized"
"$BIN" >"$WORK/app.log" 2>&1 &
APPPID=$!
find_window '^Zelvano$' >/dev/null || { echo "no message at start"; exit 1; }
end_with TERM
cmp -s "$ini" "$WORK/oversized" || { echo "the oversized settings file was changed"; exit 1; }
echo "ok"
