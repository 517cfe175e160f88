#!/usr/bin/env bash
# A game ended by SIGTERM halfway comes back at the next start with the same settings folder:
# paused (the cards hidden as by the pause button, a note above the row), and once resumed
# the same board, pixel for pixel. On a bare X server ($2 = bare) or under openbox.
set -euo pipefail
BIN=$1
MODE=$2
source "$(dirname "$0")/xsession.sh"
source "$(dirname "$0")/boardshots.sh"
board_session
ini="$XDG_CONFIG_HOME/Moxelware/Zelvano/V1.ini"

# The pause button, third in the toolbar; the mouse is taken off the window again so its
# tooltip never shows in a shot.
press_pause() {
  xdotool mousemove $((CX + 108 + 25)) $((CY + 4 + 25)) click 1
  pointer_away
}
start_game --deal 1 --level 1
settled_shot dealt "$(board_rect)"
# The blue 3 of stack 2 onto the violet 11: nothing is offered, so no frame glitters and the
# board stands still while the clock runs (the score, above the board, is never compared).
drag_card 2 1
shoot_until moved changed dealt "$(row_rect 1)" 20 "the card was not dropped"
settled_shot playing "$(board_rect)"
# The row and the stacks, where a paused game hides its cards (the note lies above them).
read -r _ ROWY _ _ < <(row_rect 1)
cards="0 $ROWY $CW $((CH - ROWY))"
# What a paused board looks like in this window.
press_pause
shoot_until paused changed playing "$cards" 20 "the pause button did not hide the cards"
settled_shot paused "$(board_rect)"
press_pause
shoot_until resumed same playing "$(board_rect)" 20 "the game did not go on as it was"

terminate
grep -q '^moves=..*' "$ini" || { cat "$ini"; fail "no game kept on SIGTERM"; }

start_game
settled_shot back "$(board_rect)"
[ "$(differ back paused $cards)" = 0 ] || fail "the kept game does not come back paused"
[ "$(differ back paused 0 58 "$CW" $((ROWY - 58)))" != 0 ] || fail "no note says the game is paused"
[ -n "${ZELVANO_SHOTS:-}" ] && cp "$WORK/back.png" "$ZELVANO_SHOTS/kept-paused-$MODE.png"
press_pause
shoot_until again same playing "$(board_rect)" 20 "the kept game is not the board it was"
terminate
echo "ok"
