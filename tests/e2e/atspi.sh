#!/usr/bin/env bash
# A real screen reader's view: the game runs on a private session bus with the AT-SPI bus
# launcher, and a pyatspi client reads the toolbar's names and states and the cards' names, in
# English and in German, before and after a move made with the keyboard, and hears a hint asked
# for with H on the status line, and, once the game is given up, the moves of its best play (B).
set -euo pipefail
BIN=$1
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/xsession.sh"
mkdir -p "$XDG_CONFIG_HOME/Moxelware/Zelvano"

check() { # language tongue
  printf '[common]\ntongue=%s\n' "$2" >"$XDG_CONFIG_HOME/Moxelware/Zelvano/V1.ini"
  QT_ACCESSIBILITY=1 QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$BIN" >"$WORK/app-$1.log" 2>&1 &
  APPPID=$!
  WID=$(find_window '^Zelvano - ' || true)
  [ -n "$WID" ] || { echo "no window"; cat "$WORK/app-$1.log"; exit 1; }
  sleep 1
  timeout 60 /usr/bin/python3 "$HERE/atspi_read.py" "$1" 0
  # The first move, by key: give-up and pause can be pressed now.
  xdotool windowfocus --sync "$WID" key 1 key Escape
  sleep 0.5
  timeout 60 /usr/bin/python3 "$HERE/atspi_read.py" "$1" 1
  xdotool windowfocus --sync "$WID" key h
  timeout 60 /usr/bin/python3 "$HERE/atspi_read.py" "$1" hint
  # Given up (Enter answers the question yes), then the deal's best play: it plays a move a second.
  xdotool windowfocus --sync "$WID" key ctrl+g
  sleep 1
  xdotool key Return
  sleep 1
  xdotool windowfocus --sync "$WID" key b
  timeout 300 /usr/bin/python3 "$HERE/atspi_read.py" "$1" best
  kill -TERM "$APPPID"
  wait "$APPPID" 2>/dev/null || true
  APPPID=""
}

export -f check find_window
export BIN HERE WORK
dbus-run-session -- bash -c '
  set -euo pipefail
  /usr/libexec/at-spi-bus-launcher --launch-immediately >"$WORK/atspi.log" 2>&1 &
  LAUNCHER=$!
  trap "kill $LAUNCHER 2>/dev/null || true" EXIT
  sleep 0.5
  check en 0
  check de 1
'
echo "ok"
