#!/usr/bin/env bash
# What a blind player hears: Orca runs headless on a private session bus and writes every
# phrase it would speak to its debug log. A numbered deal is played by keys, in English and in
# German: a card is dropped, which brings an offer, the offer is claimed, the game is given up.
# The log must hold the drop (which card, where, what it covered), the offer, the claim with
# the new score and the lost game with its score, each in the game's language and once.
# Skipped (77) where Orca or the AT-SPI bus is not installed.
set -euo pipefail
BIN=$1
command -v orca >/dev/null && [ -x /usr/libexec/at-spi-bus-launcher ] && command -v dbus-run-session >/dev/null ||
  { echo "orca or at-spi2-core is not installed: skipped"; exit 77; }
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/xsession.sh"
mkdir -p "$XDG_CONFIG_HOME/Moxelware/Zelvano"

# Orca's phrases, one a line. Orca writes its log through a buffer: it is whole once Orca has
# ended.
spoken() { sed -n "s/^.*SPEECH OUTPUT: '\(.*\)' *{'established.*$/\1/p" "$WORK/orca-$1.log"; }

play() { # language tongue
  local lang=$1
  printf '[common]\ntongue=%s\nsound=0\nmusic=0\n' "$2" >"$XDG_CONFIG_HOME/Moxelware/Zelvano/V1.ini"
  orca -u "$WORK/orca-prefs-$lang" --debug-file="$WORK/orca-$lang.log" >"$WORK/orca-out-$lang.log" 2>&1 &
  ORCAPID=$!
  # Orca on the bus, and a moment to start listening.
  timeout 30 /usr/bin/python3 -c '
import time, pyatspi
while not any(a is not None and a.name == "orca" for a in pyatspi.Registry.getDesktop(0)):
    time.sleep(0.2)' || { echo "Orca did not start"; cat "$WORK/orca-out-$lang.log"; exit 1; }
  sleep 2
  # Deal 4242 at level 1: the solver's first moves are stack 4 onto position 2, then a claim.
  QT_ACCESSIBILITY=1 QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$BIN" --deal 4242 --level 1 >"$WORK/app-$lang.log" 2>&1 &
  APPPID=$!
  WID=$(find_window '^Zelvano - ' || true)
  [ -n "$WID" ] || { echo "no window"; cat "$WORK/app-$lang.log"; exit 1; }
  xdotool windowfocus --sync "$WID"
  sleep 2
  xdotool key 4 2
  sleep 1.5
  # Tab to the row, Tab to the patterns (straight onto the offer), Space claims it.
  xdotool key Tab Tab space
  sleep 2
  # Give up (Enter says yes); the highscore entry is left with Escape.
  xdotool key ctrl+g
  sleep 1.5
  xdotool key Return
  sleep 2
  xdotool key Escape
  sleep 1.5
  stop_app
  APPPID=""
  kill "$ORCAPID" 2>/dev/null || true
  wait "$ORCAPID" 2>/dev/null || true

  local drop offer claim lost failed=0
  case $lang in
    en) drop='^notification [a-z]+ [0-9]+ on row position 2, covers '
        offer='^notification .*Offered: .*, [0-9]+ points'
        claim='^notification Claimed: .*, [0-9]+ points\. Score: [0-9]+'
        lost='^notification Lost\. Score: [0-9]+' ;;
    de) drop='^notification [a-zü]+ [0-9]+ auf Reihenplatz 2, deckt '
        offer='^notification .*Angeboten: .*, [0-9]+ Punkte'
        claim='^notification Genommen: .*, [0-9]+ Punkte\. Punkte: [0-9]+'
        lost='^notification Verloren\. Punkte: [0-9]+' ;;
  esac
  echo "$lang:"
  for what in drop offer claim lost; do
    if spoken "$lang" | grep -Eq "${!what}"; then
      spoken "$lang" | grep -E "${!what}" | head -n 1 | sed "s/^/  $what: /"
    else
      echo "  no $what heard"; failed=1
    fi
  done
  # Said once each, not again with every tick of the clock.
  if [ "$(spoken "$lang" | grep -Ec "$claim")" != 1 ]; then echo "  the claim was said more than once"; failed=1; fi
  if [ "$failed" = 1 ]; then echo "Orca said:"; spoken "$lang" | sed 's/^/  /'; exit 1; fi
}

export -f play spoken stop_app find_window
export BIN HERE WORK HOME="$WORK"
dbus-run-session -- bash -c '
  set -euo pipefail
  /usr/libexec/at-spi-bus-launcher --launch-immediately >"$WORK/atspi.log" 2>&1 &
  LAUNCHER=$!
  trap "kill $LAUNCHER 2>/dev/null || true" EXIT
  sleep 0.5
  play en 0
  play de 1
'
echo "ok"
