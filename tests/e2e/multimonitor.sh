#!/usr/bin/env bash
# Two monitors side by side, then one of them unplugged. The X server's screen is split into
# two RandR monitors (xrandr --setmonitor), which Qt takes as two screens:
# - a first start centres the window on the primary (left) monitor;
# - moved onto the right monitor, the window is stored there and comes back there;
# - with the right monitor gone, the same record opens the window wholly on the left one.
# Exits 77 (skipped) where xrandr or the server's RandR monitors are missing.
set -euo pipefail
BIN=$1
command -v xrandr >/dev/null 2>&1 || { echo "SKIP: no xrandr (x11-xserver-utils)"; exit 77; }
XVFB_SCREEN=2560x800x24
source "$(dirname "$0")/xsession.sh"
INI="$XDG_CONFIG_HOME/Moxelware/Zelvano/V1.ini"
mkdir -p "$(dirname "$INI")"
printf '[common]\ntongue=0\n' >"$INI"

fail() {
  echo "FAIL: $*"
  [ -f "$WORK/app.log" ] && cat "$WORK/app.log"
  exit 1
}
record() { sed -n 's/^MainForm=//p' "$INI"; }

# Monitors of 1280 x 800 each (about 96 dpi); the left one holds the server's output and is
# the primary.
output=$(xrandr --query 2>/dev/null | awk '/ connected/ { print $1; exit }')
[ -n "$output" ] || { echo "SKIP: the X server reports no RandR output"; exit 77; }
xrandr --setmonitor left 1280/339x800/212+0+0 "$output" >/dev/null 2>&1 &&
  xrandr --setmonitor right 1280/339x800/212+1280+0 none >/dev/null 2>&1 ||
  { echo "SKIP: the X server does not take RandR monitors"; exit 77; }

# Starts the game and waits until its window has stood still for a moment; WID and GEOM
# ("X Y W H") hold it then.
start_game() {
  "$BIN" >"$WORK/app.log" 2>&1 &
  APPPID=$!
  local id="" last="" now same=0
  for _ in $(seq 1 300); do
    [ -n "$id" ] || id=$(xdotool search --onlyvisible --name '^Zelvano - basic$' 2>/dev/null | tail -n 1 || true)
    if [ -n "$id" ] && now=$(client_geometry "$id" 2>/dev/null); then
      if [ "$now" = "$last" ]; then
        same=$((same + 1))
        if [ "$same" -ge 3 ]; then
          WID=$id
          GEOM=$now
          return 0
        fi
      else
        same=0
      fi
      last=$now
    else
      id=""
    fi
    sleep 0.05
  done
  fail "no window (last $last)"
}

# SIGTERM closes the game as a close does, keeping its placement.
end_game() {
  kill -TERM "$APPPID"
  timeout 10 tail --pid="$APPPID" -f /dev/null || fail "the game ignored SIGTERM"
  wait "$APPPID" || fail "the game exited with an error"
  APPPID=""
}

# 1. Both monitors, no record: centred on the primary monitor, not on the whole wide screen.
start_game
read -r x y w h <<<"$GEOM"
[ $((x + w / 2 - 640)) -ge -1 ] && [ $((x + w / 2 - 640)) -le 1 ] ||
  fail "first start at $GEOM, not centred on the left monitor (are the monitors two screens?)"

# 2. Moved onto the right monitor, it is stored there.
xdotool windowmove --sync "$WID" 1500 100 2>/dev/null || xdotool windowmove "$WID" 1500 100
sleep 0.5
read -r x y w h < <(client_geometry "$WID")
[ "$x $y" = "1500 100" ] || fail "the window did not move to the right monitor (at $x $y)"
end_game
stored=$(record)
[ "$stored" = "200,0,1,1500,100,$((1500 + w)),$((100 + h))" ] || fail "record $stored for the window at 1500,100 ${w}x$h"

# 3. Both monitors again: it comes back exactly there.
start_game
[ "$GEOM" = "1500 100 $w $h" ] || fail "with both monitors the window came back at $GEOM, not 1500 100 $w $h"
end_game
[ "$(record)" = "$stored" ] || fail "record became $(record), was $stored"

# 4. The right monitor unplugged: the record from it opens the window wholly on the left one.
xrandr --delmonitor right >/dev/null 2>&1 || fail "could not remove the right monitor"
start_game
read -r x y w2 h2 <<<"$GEOM"
[ "$x" -ge 0 ] && [ "$y" -ge 0 ] && [ $((x + w2)) -le 1280 ] && [ $((y + h2)) -le 800 ] ||
  fail "with one monitor the window opened at $GEOM, not wholly on 0 0 1280 800"
[ "$w2 $h2" = "$w $h" ] || fail "the window's size changed from ${w}x$h to ${w2}x$h2 though it fits"
end_game
echo "ok: first start $stored, one monitor left: $GEOM"
