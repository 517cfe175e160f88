#!/usr/bin/env bash
# One start under a headless Wayland compositor, with no X server at all: the game comes up on
# Qt's Wayland platform by itself (nothing names it), says nothing while it starts, stays up,
# ends on SIGTERM as it does on X (keeping what a close keeps), and leaves the placement record
# exactly as it was: the compositor placed the window, so there is nothing to learn from it.
set -euo pipefail
BIN=$1
WORK=$(mktemp -d)
chmod 700 "$WORK"
export XDG_RUNTIME_DIR="$WORK"
export XDG_CONFIG_HOME="$WORK/config"
export SDL_AUDIODRIVER=dummy
unset DISPLAY QT_QPA_PLATFORM
WPID=""
APPPID=""
cleanup() {
  [ -n "$APPPID" ] && kill "$APPPID" 2>/dev/null || true
  [ -n "$WPID" ] && kill "$WPID" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$WORK"
}
trap cleanup EXIT

weston --backend=headless-backend.so --socket=zelvano-test --idle-time=0 >"$WORK/weston.log" 2>&1 &
WPID=$!
for _ in $(seq 1 100); do [ -S "$WORK/zelvano-test" ] && break; sleep 0.05; done
[ -S "$WORK/zelvano-test" ] || { echo "weston did not start"; cat "$WORK/weston.log"; exit 1; }
export WAYLAND_DISPLAY=zelvano-test
export XDG_SESSION_TYPE=wayland

ini="$XDG_CONFIG_HOME/Moxelware/Zelvano/V1.ini"
mkdir -p "$(dirname "$ini")"
record="200,0,1,-300,-50,1500,1000"
printf '[common]\ntongue=0\nMainForm=%s\n' "$record" >"$ini"

"$BIN" >"$WORK/app.log" 2>&1 &
APPPID=$!
# Up for three seconds: long enough to have made its windows and painted the board.
sleep 3
kill -0 "$APPPID" 2>/dev/null || { echo "the game did not stay up:"; cat "$WORK/app.log"; exit 1; }
kill -TERM "$APPPID"
status=0
wait "$APPPID" || status=$?
APPPID=""
[ "$status" -eq 0 ] || { echo "the game ended with status $status:"; cat "$WORK/app.log"; exit 1; }
[ ! -s "$WORK/app.log" ] || { echo "the game was not quiet:"; cat "$WORK/app.log"; exit 1; }
grep -qx "MainForm=$record" "$ini" || { echo "placement record changed:"; cat "$ini"; exit 1; }
echo "ok"
