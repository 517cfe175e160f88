#!/usr/bin/env bash
# The real game started again and again on a machine whose cores are all busy, with a window
# as big as the screen, now and then at scale 2: the first paint then takes about as long as
# the start waits before it sets up the sound without it, and the two meet. Every start must
# come up, stay up past that moment and end on SIGTERM with status 0; under the address
# sanitizer any use of freed memory ends the run with a report instead.
# About a minute: starts are made until 60 seconds are used (at least 3, at most 20).
set -euo pipefail
BIN=$1
export XVFB_SCREEN=2560x1440x24
source "$(dirname "$0")/xsession.sh"
ini="$XDG_CONFIG_HOME/Moxelware/Zelvano/V1.ini"
mkdir -p "$(dirname "$ini")"

# One busy loop per core, at the game's own priority; each ends by itself after a while, also
# when this script is killed before it can stop them.
LOADERS=()
stop_loaders() {
  for pid in "${LOADERS[@]}"; do kill "$pid" 2>/dev/null || true; done
  LOADERS=()
}
trap 'stop_loaders; cleanup' EXIT
for _ in $(seq 1 "$(nproc)"); do
  timeout 200 sh -c 'while :; do :; done' &
  LOADERS+=($!)
done

starts=0
SECONDS=0
while [ "$starts" -lt 20 ] && { [ "$starts" -lt 3 ] || [ "$SECONDS" -lt 60 ]; }; do
  starts=$((starts + 1))
  scale=1
  [ $((starts % 3)) -eq 0 ] && scale=2
  printf '[common]\ntongue=0\nMainForm=200,0,1,0,0,%d,%d\n' $((2560 / scale)) $((1440 / scale)) >"$ini"
  QT_SCALE_FACTOR=$scale "$BIN" >"$WORK/app.log" 2>&1 &
  APPPID=$!
  # xdotool's own --sync gives up on the first window that vanishes while it looks.
  if ! find_window '^Zelvano - ' >/dev/null; then
    echo "start $starts (scale $scale): no window"; cat "$WORK/app.log"; exit 1
  fi
  # Past the moment the sound is set up without the first paint (a second after the start).
  sleep 2
  kill -0 "$APPPID" 2>/dev/null || { echo "start $starts (scale $scale): the game ended by itself"; cat "$WORK/app.log"; exit 1; }
  kill -TERM "$APPPID"
  status=0
  timeout 30 tail --pid="$APPPID" -f /dev/null || { echo "start $starts: the game ran on after SIGTERM"; exit 1; }
  wait "$APPPID" || status=$?
  APPPID=""
  if [ "$status" -ne 0 ] || grep -q 'Sanitizer' "$WORK/app.log"; then
    echo "start $starts (scale $scale): exit status $status"; cat "$WORK/app.log"; exit 1
  fi
done
echo "ok: $starts starts in $SECONDS s"
