#!/usr/bin/env bash
# Where the main window and its dialogs stand on a real X server, bare ($2 = bare) or under a
# window manager that frames them ($2 = openbox):
# - twenty starts and exits through the exit button leave the record and the frame unmoved;
# - odd records (too big, off the screen, from a monitor that is gone, damaged) all open the
#   window wholly on the 1280 x 800 screen, maximized ones keep their rectangle underneath;
# - the exit question and the options dialog open where their formulas put them.
set -euo pipefail
BIN=$1
MODE=$2
source "$(dirname "$0")/xsession.sh"
[ "$MODE" = openbox ] && start_openbox
INI="$XDG_CONFIG_HOME/Moxelware/Zelvano/V1.ini"
mkdir -p "$(dirname "$INI")"

fail() {
  echo "FAIL ($MODE): $*"
  [ -f "$WORK/app.log" ] && cat "$WORK/app.log"
  exit 1
}

# The settings file: a chosen language (so no language page opens) and the lines in $1.
write_settings() { printf '[common]\ntongue=0\n%s' "$1" >"$INI"; }
record() { sed -n 's/^MainForm=//p' "$INI"; }

# Waits until the visible window named $1 has been framed (under openbox, unless $2 says
# "frameless") and its frame has stood still for a moment; FOUND and FRAME hold its id and its
# frame ("X Y W H") then. A window may be made and dropped again while the program starts, so
# it is looked up again whenever it cannot be read.
settle() {
  local last="" now same=0 id=""
  for _ in $(seq 1 200); do
    [ -n "$id" ] || id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -n 1 || true)
    if [ -z "$id" ] || { [ "$MODE" = openbox ] && [ "${2:-}" != frameless ] &&
      [ "$(frame_extents "$id")" = "0 0 0 0" ]; }; then
      sleep 0.05
      continue
    fi
    if ! now=$(frame_geometry "$id" 2>/dev/null); then
      id=""
      continue
    fi
    if [ "$now" = "$last" ]; then
      same=$((same + 1))
      if [ "$same" -ge 2 ]; then
        FOUND=$id
        FRAME=$now
        return 0
      fi
    else
      same=0
    fi
    last=$now
    sleep 0.05
  done
  fail "window $1 did not settle (last $last)"
}

# Waits for a visible window named $1. A search that meets a window being destroyed fails
# with an X error; it is simply asked again.
wait_for_window() {
  for _ in $(seq 1 600); do
    xdotool search --onlyvisible --name "$1" 2>/dev/null | grep -q . && return 0
    sleep 0.05
  done
  return 1
}

start_game() {
  "$BIN" >"$WORK/app.log" 2>&1 &
  APPPID=$!
  wait_for_window '^Zelvano - basic$' || fail "no window"
  settle '^Zelvano - basic$'
  WID=$FOUND
}

# The visible game dialog (they are all titled "Zelvano"), settled; sets DWID and DFRAME.
find_dialog() {
  local main=$FRAME
  wait_for_window '^Zelvano$' || fail "no dialog"
  settle '^Zelvano$' frameless
  DWID=$FOUND
  DFRAME=$FRAME
  FRAME=$main
}

# Clicks at ($2, $3) in the client area of window $1.
click_in() {
  local x y w h
  read -r x y w h < <(client_geometry "$1")
  xdotool mousemove "$((x + $2))" "$((y + $3))" click 1
}

# Leaves through the exit button and Yes, checking where the question opened: centred over
# the main window's outer frame, 2 pixels above centre.
exit_game() {
  local x y w h cw dx dy
  read -r x y w h <<<"$FRAME"
  read -r _ _ cw _ < <(client_geometry "$WID")
  click_in "$WID" $((cw - 52 + 25)) $((4 + 25))
  find_dialog
  dx=$((x + (w - 320) / 2)); dy=$((y + (h - 160) / 2 - 2))
  [ "$DFRAME" = "$dx $dy 320 160" ] || fail "exit question at $DFRAME, expected $dx $dy 320 160 over $FRAME"
  if [ -n "${ZELVANO_SHOTS:-}" ] && [ ! -e "$ZELVANO_SHOTS/exit-question-$MODE.png" ]; then
    import -window root "$ZELVANO_SHOTS/exit-question-$MODE.png"
  fi
  click_in "$DWID" $((256 + 25)) $((98 + 25))
  for _ in $(seq 1 200); do kill -0 "$APPPID" 2>/dev/null || break; sleep 0.05; done
  kill -0 "$APPPID" 2>/dev/null && fail "the game did not close"
  wait "$APPPID" || fail "the game exited with an error"
  APPPID=""
}

# 1. Twenty starts under the window manager (each used to creep up by the title bar), a few
# bare, from a first run that has no record.
write_settings ""
first_frame=""
first_record=""
starts=20
[ "$MODE" = openbox ] || starts=5
for i in $(seq 1 "$starts"); do
  start_game
  [ -n "$first_frame" ] || first_frame=$FRAME
  [ "$FRAME" = "$first_frame" ] || fail "start $i: frame $FRAME, at the first start $first_frame"
  exit_game
  read -r x y w h <<<"$FRAME"
  [ "$(record)" = "200,0,1,$x,$y,$((x + w)),$((y + h))" ] || fail "start $i: record $(record) for frame $FRAME"
  [ -n "$first_record" ] || first_record=$(record)
  [ "$(record)" = "$first_record" ] || fail "start $i: record $(record), after the first $first_record"
done
echo "$starts starts: frame $first_frame, record $first_record"

# 2. Odd records. The smallest frame is the 700 x 500 client in the window manager's frame.
start_game
read -r L R T B < <(frame_extents "$WID")
kill "$APPPID"; wait "$APPPID" 2>/dev/null || true; APPPID=""
FW=$((700 + L + R)); FH=$((500 + T + B))
CX=$(((1280 - FW) / 2)); CY=$(((800 - FH) / 2))
# record | expected frame "X Y W H" (shell arithmetic on FW, FH, CX, CY)
while IFS='|' read -r rec expected; do
  [ -n "$rec" ] || continue
  write_settings "MainForm=$rec"$'\n'
  start_game
  want=$(eval "echo $expected")
  [ "$FRAME" = "$want" ] || fail "record $rec: frame $FRAME, expected $want"
  kill "$APPPID"; wait "$APPPID" 2>/dev/null || true; APPPID=""
done <<'TABLE'
200,0,1,100,50,900,650|100 50 800 600
200,0,1,-300,-50,1500,1000|0 0 1280 800
200,0,1,-300,100,500,700|0 100 800 600
200,0,1,100,-15,900,585|100 0 800 600
200,0,1,900,500,1700,1100|480 200 800 600
200,0,1,-2000,-2000,-1200,-1400|0 0 800 600
200,0,1,3000,100,3800,700|480 100 800 600
200,0,1,100,100,300,200|100 100 $FW $FH
200,0,1,500,300,100,100|$CX $CY $FW $FH
200,0,1,900,50,200,650|$CX $CY $FW $FH
200,0,1,10,20,30|$CX $CY $FW $FH
201,0,1,100,50,900,650|$CX $CY $FW $FH
TABLE
echo "odd records: all on the screen"

# 3. Maximized: opens maximized and keeps the rectangle underneath through an exit.
write_settings "max=1"$'\n'"MainForm=200,0,3,100,50,900,650"$'\n'
start_game
if [ "$MODE" = openbox ]; then
  xprop -id "$WID" _NET_WM_STATE | grep -q _NET_WM_STATE_MAXIMIZED_VERT || fail "not maximized"
fi
exit_game
[ "$(record)" = "200,0,3,100,50,900,650" ] || fail "maximized record became $(record)"
grep -q '^max=1' "$INI" || fail "max not kept"

# 4. The options dialog: centred over the client area, wherever the frame adds its title bar.
write_settings "MainForm=200,0,1,200,100,1000,700"$'\n'
start_game
read -r x y w h <<<"$FRAME"
read -r _ _ cw ch < <(client_geometry "$WID")
click_in "$WID" $((cw - 208 + 25)) $((4 + 25))
find_dialog
want="$((x + (w - 410) / 2)) $((y + h - (ch + 460) / 2)) 410 460"
[ "$DFRAME" = "$want" ] || fail "options dialog at $DFRAME, expected $want over $FRAME"
[ -z "${ZELVANO_SHOTS:-}" ] || import -window root "$ZELVANO_SHOTS/options-$MODE.png"
click_in "$DWID" $((348 + 25)) $((396 + 25))
kill "$APPPID"; wait "$APPPID" 2>/dev/null || true; APPPID=""
echo "ok"
