#!/usr/bin/env bash
# A player's music folder holding, beside a tune, a pipe, a link to /dev/zero and a 200 MB file
# under *.mid names. With the music on, the player switches through every tune: the game must
# keep answering, pass over the three with one line each on stderr, and end on SIGTERM with
# status 0 and its settings written.
set -euo pipefail
BIN=$1
source "$(dirname "$0")/xsession.sh"
ini="$XDG_CONFIG_HOME/Moxelware/Zelvano/V1.ini"
mkdir -p "$(dirname "$ini")"
printf '[common]\ntongue=0\nmusic=1\n' >"$ini"

export XDG_DATA_HOME="$WORK/data"
music="$XDG_DATA_HOME/zelvano/music"
mkdir -p "$music"
mkfifo "$music/x.mid"
ln -s /dev/zero "$music/z.mid"
truncate -s 200M "$music/film.mid" # sparse: no room taken on the disk
# One note and the end of its track.
printf 'MThd\0\0\0\6\0\0\0\1\0\140MTrk\0\0\0\17\0\300\0\0\220\74\144\140\200\74\0\0\377\57\0' >"$music/tune.mid"

"$BIN" >"$WORK/app.log" 2>&1 &
APPPID=$!
WID=$(find_window '^Zelvano - ') || { echo "no window"; cat "$WORK/app.log"; exit 1; }
sleep 2 # the music starts after the first frame
read -r WX WY WW WH < <(window_geometry "$WID")

# Options (208 pixels from the right edge), then the music picture (row three of the options
# page, which lies at 108,12 in the dialog) switched off and on again, once for every file in
# the data folder and the player's folder and a round more: each time on, the next file.
xdotool mousemove --window "$WID" $((WW - 208 + 25)) $((4 + 25)) click 1
did=$(find_window '^Zelvano$') || { echo "the options did not open"; cat "$WORK/app.log"; exit 1; }
read -r DX DY _ _ < <(window_geometry "$did")
for _ in $(seq 1 16); do
  xdotool mousemove $((DX + 108 + 16 + 24)) $((DY + 12 + 48 + 2 * 56 + 24)) click 1
  sleep 0.4
done
xdotool mousemove $((DX + 348 + 25)) $((DY + 396 + 25)) click 1
sleep 0.5
# The dialog went away again: the game answered every click.
for _ in $(seq 1 50); do xdotool search --onlyvisible --name '^Zelvano$' >/dev/null 2>&1 || break; sleep 0.1; done
xdotool search --onlyvisible --name '^Zelvano$' >/dev/null 2>&1 && { echo "the game stopped answering"; exit 1; }

kill -TERM "$APPPID"
status=0
timeout 10 tail --pid="$APPPID" -f /dev/null || { echo "the game ignored SIGTERM"; cat "$WORK/app.log"; exit 1; }
wait "$APPPID" || status=$?
APPPID=""
[ "$status" -eq 0 ] || { echo "exit status $status"; cat "$WORK/app.log"; exit 1; }
grep -qx 'music=1' "$ini" || { echo "settings not written:"; cat "$ini"; exit 1; }

for name in x.mid z.mid film.mid; do
  n=$(grep -c "music file $music/$name is not played" "$WORK/app.log" || true)
  [ "$n" = 1 ] || { echo "$name told $n times:"; cat "$WORK/app.log"; exit 1; }
done
! grep -q "tune.mid" "$WORK/app.log" || { echo "the tune was refused:"; cat "$WORK/app.log"; exit 1; }
echo "ok"
