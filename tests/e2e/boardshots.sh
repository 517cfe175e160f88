# Shared by the end-to-end scripts that compare the board pixel for pixel. Source it after
# xsession.sh. Every place is in the main window's client pixels; shots are of the whole screen.

# The session every board test plays in: under openbox when $MODE asks for it, the game
# speaking English, nothing else stored.
board_session() {
  if [ "${MODE:-bare}" = openbox ]; then start_openbox; fi
  mkdir -p "$XDG_CONFIG_HOME/Moxelware/Zelvano"
  printf '[common]\ntongue=0\n' >"$XDG_CONFIG_HOME/Moxelware/Zelvano/V1.ini"
}

# Starts the game with arguments "$@" and waits for its main window: WID is its id, CX CY CW CH
# its client area on the screen once it has stood still at its full size (under openbox, once
# framed: the frame lies outside it).
start_game() {
  local last="" now
  "$BIN" "$@" >>"$WORK/app.log" 2>&1 &
  APPPID=$!
  WID=$(find_window '^Zelvano - ' || true)
  [ -n "$WID" ] || fail "no window"
  for _ in $(seq 1 150); do
    now=$(client_geometry "$WID" || true)
    if [ "${MODE:-bare}" = openbox ] && [ "$(frame_extents "$WID")" = "0 0 0 0" ]; then now=""; fi
    [ -n "$now" ] && [ "$now" = "$last" ] && break
    last=$now
    sleep 0.2
  done
  read -r CX CY CW CH <<<"$now"
  [ "${CW:-0}" -ge 700 ] && [ "${CH:-0}" -ge 500 ] || fail "the window never stood still at its size ($now)"
  board_layout
}

# With ZELVANO_SHOTS set, a failing test leaves its shots there.
fail() {
  echo "FAIL${MODE:+ ($MODE)}: $*"
  [ -n "${ZELVANO_SHOTS:-}" ] && cp "$WORK"/*.png "$ZELVANO_SHOTS/" 2>/dev/null
  [ -f "$WORK/app.log" ] && cat "$WORK/app.log"
  exit 1
}

# The board's unit length and origin for a client of CW x CH: the window lays the board out
# as a 3:2 area centred below the toolbar. Only the middles and the frames of places are
# taken from here, so a pixel of rounding does not matter.
board_layout() {
  read -r UNIT BLEFT BTOP < <(awk -v w="$CW" -v h="$CH" 'BEGIN {
    u = (w - 10) / (h - 70) > 1.5 ? (h - 70) * 1.5 : w - 10
    printf "%.3f %d %d\n", u, int((w - u) / 2), int((h - 60 - u / 1.5) / 2) + 60 }')
  CARD=$(awk -v u="$UNIT" 'BEGIN { printf "%d", u * 0.15 + 0.5 }')
}

# A place as "X Y W H" in client pixels: stack S (1 to 5, its top card) or row position P (1 to 4).
stack_rect() {
  awk -v u="$UNIT" -v l="$BLEFT" -v t="$BTOP" -v c="$CARD" -v s="$1" 'BEGIN {
    split("0.085 0.255 0.425 0.595 0.765", x, " "); printf "%d %d %d %d\n", l + u * x[s] + 0.5, t + u * 0.32 + 0.5, c, c }'
}
row_rect() {
  awk -v u="$UNIT" -v l="$BLEFT" -v t="$BTOP" -v c="$CARD" -v p="$1" 'BEGIN {
    split("0.17 0.34 0.51 0.68", x, " "); printf "%d %d %d %d\n", l + u * x[p] + 0.5, t + u * 0.131 + 0.5, c, c }'
}
# Everything below the toolbar band: the patterns, the row and the stacks. The score and its
# clock live in the band above, so this is what a move changes and an undo must restore.
board_rect() { echo "0 58 $CW $((CH - 58))"; }

# A shot of the whole screen, saved as $WORK/$1.png.
shot() { import -window root "$WORK/$1.png"; }

# How many pixels of the region "X Y W H" (client pixels) differ between shots $1 and $2.
differ() {
  local crop="[$5x$6+$((CX + $3))+$((CY + $4))]" n
  n=$(/usr/bin/compare -metric AE "$WORK/$1.png$crop" "$WORK/$2.png$crop" null: 2>&1 || true)
  echo "${n%%.*}"
}

# Shoots the screen as $1 until the region "X Y W H" matches ($2 = same) or differs ($2 = changed)
# from shot $3, for up to $4 seconds (20 by default): the machine may be slow and busy.
# Fails the test with $5 when it never does.
shoot_until() {
  local name=$1 want=$2 ref=$3 region=$4 secs=${5:-20} why=$6 n end
  end=$((SECONDS + secs))
  while :; do
    shot "$name"
    # shellcheck disable=SC2086
    n=$(differ "$name" "$ref" $region)
    if { [ "$want" = same ] && [ "$n" = 0 ]; } || { [ "$want" = changed ] && [ "$n" != 0 ]; }; then return 0; fi
    [ "$SECONDS" -lt "$end" ] || fail "$why ($n pixels differ)"
    sleep 0.2
  done
}

# Shoots the screen as $1 once the region "X Y W H" is painted (the wood alone has hundreds of
# colours, a window not yet drawn a few) and has stood still over two shots half a second apart.
settled_shot() {
  local name=$1 region=$2 end n colours x y w h
  read -r x y w h <<<"$region"
  end=$((SECONDS + 30))
  shot "$name.prev"
  while :; do
    sleep 0.5
    shot "$name"
    # shellcheck disable=SC2086
    n=$(differ "$name" "$name.prev" $region)
    colours=$(/usr/bin/convert "$WORK/$name.png[${w}x$h+$((CX + x))+$((CY + y))]" -format %k info:)
    [ "$n" = 0 ] && [ "$colours" -gt 100 ] && return 0
    [ "$SECONDS" -lt "$end" ] || fail "the board never stood still ($n pixels moved, $colours colours)"
    mv "$WORK/$name.png" "$WORK/$name.prev.png"
  done
}

# Drags the top card of stack $1 onto row position $2 with the mouse, in steps, as a hand does,
# then takes the pointer off the window so no tooltip or hover shows in the shots.
drag_card() {
  local sx sy sw sh rx ry rw rh
  read -r sx sy sw sh < <(stack_rect "$1")
  read -r rx ry rw rh < <(row_rect "$2")
  xdotool mousemove $((CX + sx + sw / 2)) $((CY + sy + sh / 2)) mousedown 1
  for f in 1 2 3 4; do
    xdotool mousemove $((CX + sx + sw / 2 + (rx - sx) * f / 4)) $((CY + sy + sh / 2 + (ry - sy) * f / 4))
    sleep 0.05
  done
  xdotool mouseup 1
  pointer_away
}
pointer_away() { xdotool mousemove 0 0; }

# Keys go to window $1 (the main window or a dialog): without a window manager the focus
# would follow the pointer, which the scripts keep off the window.
keys_to() {
  local win=$1
  shift
  timeout 5 xdotool windowfocus --sync "$win" 2>/dev/null || true
  xdotool key "$@"
}

# Answers the message box (the one window titled just "Zelvano") with Return and waits until
# it has gone.
confirm_message() {
  local did
  did=$(find_window '^Zelvano$') || fail "no message"
  keys_to "$did" Return
  for _ in $(seq 1 100); do
    [ -z "$(xdotool search --onlyvisible --name '^Zelvano$' 2>/dev/null)" ] && return 0
    sleep 0.1
  done
  fail "the message did not go on Return"
}

# A press on the board beside the stacks: it moves nothing, and takes the keyboard's focus
# mark away as any mouse press does.
press_beside_stacks() {
  xdotool mousemove $((CX + 20)) $((CY + CH - 30)) click 1
  pointer_away
}

# The game ends on SIGTERM within ten seconds, with status 0.
terminate() {
  local status=0
  kill -TERM "$APPPID"
  timeout 10 tail --pid="$APPPID" -f /dev/null || fail "the game ran on after SIGTERM"
  wait "$APPPID" || status=$?
  APPPID=""
  [ "$status" = 0 ] || fail "exit status $status after SIGTERM"
}
