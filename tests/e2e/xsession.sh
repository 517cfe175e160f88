# Shared by the end-to-end scripts: a private X server and a settings folder of their own.
# Source it; it sets DISPLAY, WORK and cleans up on exit. XVFB_SCREEN sets the screen's size
# (1280x800x24 unless given).
set -euo pipefail
WORK=$(mktemp -d)
chmod 700 "$WORK"
export XDG_RUNTIME_DIR="$WORK"
export XDG_CONFIG_HOME="$WORK/config"
export SDL_AUDIODRIVER=dummy
export QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY
# No session bus, and one that cannot be started either: without an address, D-Bus clients
# (Qt's accessibility bridge, SDL) fork a bus of their own on the X display. That leaves a bus
# behind every test, and a fork while another thread of the game allocates can leave the
# child stuck under the address sanitizer. The screen reader test brings its own bus.
export DBUS_SESSION_BUS_ADDRESS="unix:path=$WORK/no-session-bus"
XPID=""
APPPID=""
# A game that does not end on TERM within five seconds is killed, so a stuck one fails its
# test instead of holding it until the test's time runs out.
stop_app() {
  [ -n "$APPPID" ] || return 0
  kill "$APPPID" 2>/dev/null || true
  for _ in $(seq 1 50); do kill -0 "$APPPID" 2>/dev/null || break; sleep 0.1; done
  kill -9 "$APPPID" 2>/dev/null || true
}
cleanup() {
  stop_app
  [ -n "$XPID" ] && kill "$XPID" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$WORK"
}
trap cleanup EXIT

# The server picks a free display itself and tells us its number: with several test runs
# at once, looking for a free number first would race. Even so, two servers starting at the
# same moment can settle on one number and one of them gives up; the survivor then answers for
# both and later vanishes with its own test. So the server counts as started only while our
# own process is still alive and answering, and a lost race is simply tried again.
# -noreset: by default the server resets whenever its last client leaves, and a client that
# connects during that reset (openbox right after xdpyinfo) is turned away.
start_xvfb() {
  rm -f "$WORK/display"
  Xvfb -displayfd 3 -screen 0 "${XVFB_SCREEN:-1280x800x24}" -nolisten tcp -noreset 3>"$WORK/display" >"$WORK/xvfb.log" 2>&1 &
  XPID=$!
  for _ in $(seq 1 100); do [ -s "$WORK/display" ] && break; kill -0 "$XPID" 2>/dev/null || return 1; sleep 0.1; done
  DISPLAYNUM=$(head -n 1 "$WORK/display" 2>/dev/null || true)
  [ -n "$DISPLAYNUM" ] || return 1
  export DISPLAY=":$DISPLAYNUM"
  for _ in $(seq 1 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  sleep 0.2
  kill -0 "$XPID" 2>/dev/null && xdpyinfo >/dev/null 2>&1
}
started=0
for _ in 1 2 3 4 5; do
  if start_xvfb; then started=1; break; fi
  kill "$XPID" 2>/dev/null || true
  wait "$XPID" 2>/dev/null || true
  XPID=""
  sleep 0.$((RANDOM % 9 + 1))
done
[ "$started" = 1 ] || { echo "Xvfb did not start"; cat "$WORK/xvfb.log"; exit 1; }

# The first visible window whose name matches $1, waiting up to 30 s. A search may trip over
# a window that goes away while it looks (the opening outline effect): it is simply repeated.
find_window() {
  local id
  for _ in $(seq 1 300); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -n 1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

# Window geometry of window id $1 as "X Y W H".
window_geometry() {
  xdotool getwindowgeometry --shell "$1" | awk -F= '/^X=/{x=$2}/^Y=/{y=$2}/^WIDTH=/{w=$2}/^HEIGHT=/{h=$2}END{print x, y, w, h}'
}

# Number of distinct colours in a screenshot of the whole screen, saved at $1.
screenshot_colours() {
  import -window root "$1"
  /usr/bin/convert "$1" -format %k info:
}

# A window manager on the display: openbox frames windows (a title bar of about 20 pixels)
# and reports the frame in _NET_FRAME_EXTENTS. Waits until it has taken the screen.
start_openbox() {
  openbox --config-file /dev/null >"$WORK/openbox.log" 2>&1 &
  for _ in $(seq 1 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
    sleep 0.05
  done
  echo "openbox did not start"; cat "$WORK/openbox.log"; exit 1
}

# The frame extents of window $1 as "LEFT RIGHT TOP BOTTOM" (all 0 without a window manager).
frame_extents() {
  local e
  e=$(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= *//p' | tr -d ',')
  echo "${e:-0 0 0 0}"
}

# The client area of window $1 as "X Y W H", as the X server has it (xdotool counts the frame
# twice under a window manager); fails when there is no such window.
client_geometry() {
  local info
  info=$(xwininfo -id "$1" 2>/dev/null) || return 1
  awk '/Absolute upper-left X/{x=$4}/Absolute upper-left Y/{y=$4}/^ *Width:/{w=$2}/^ *Height:/{h=$2}END{print x, y, w, h}' <<<"$info"
}

# The outer frame of window $1 as "X Y W H": its client area grown by the frame extents.
frame_geometry() {
  local client x y w h l r t b
  client=$(client_geometry "$1") || return 1
  read -r x y w h <<<"$client"
  read -r l r t b < <(frame_extents "$1")
  echo "$((x - l)) $((y - t)) $((w + l + r)) $((h + t + b))"
}
