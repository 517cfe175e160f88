#!/usr/bin/env bash
# Without a display the game says so in one line and ends with status 1, not with an abort.
set -uo pipefail
BIN=$1
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
chmod 700 "$WORK"
fail=0
check() { # name, then the environment to run in; the line expected is in $SAYS
  local name=$1
  shift
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM XDG_RUNTIME_DIR="$WORK" XDG_CONFIG_HOME="$WORK/config" \
    SDL_AUDIODRIVER=dummy "$@" timeout 20 "$BIN" >"$WORK/out" 2>"$WORK/err"
  local status=$?
  local lines
  lines=$(wc -l <"$WORK/err")
  if [ "$status" -ne 1 ] || [ "$lines" -ne 1 ] || ! grep -q "^zelvano: ${SAYS:-cannot connect to the display}" "$WORK/err"; then
    echo "$name: status $status, stderr:"
    cat "$WORK/err"
    fail=1
  else
    echo "$name: $(cat "$WORK/err")"
  fi
  [ ! -e "$WORK/config" ] || { echo "$name: wrote settings"; fail=1; }
}
check "no display at all"
check "an X display nobody serves" DISPLAY=:4093
check "xcb asked for, no X server" QT_QPA_PLATFORM=xcb DISPLAY=:4093
check "wayland asked for, no compositor" QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY=zelvano-none
# A platform that is not installed is what the line names, though a display is set.
SAYS="QT_QPA_PLATFORM asks for nosuch, and Qt's platform plugin for it is not installed" \
  check "a platform not installed" QT_QPA_PLATFORM=nosuch DISPLAY=:4093
exit $fail
