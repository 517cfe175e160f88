#!/usr/bin/env bash
# A card dragged onto the row and taken back with Ctrl+Z: the board is again the board of the
# deal, pixel for pixel. On a bare X server ($2 = bare) or under openbox ($2 = openbox).
set -euo pipefail
BIN=$1
MODE=$2
source "$(dirname "$0")/xsession.sh"
source "$(dirname "$0")/boardshots.sh"
board_session

# Deal 1 offers nothing as dealt, so its board stands still until the first move.
start_game --deal 1 --level 1
settled_shot dealt "$(board_rect)"
# The violet 5 of stack 1 onto the blue 1: a pair of fives, whose pattern glitters in changing
# colours until the undo withdraws the offer again.
drag_card 1 4
shoot_until dropped changed dealt "$(row_rect 4)" 20 "the card was not dropped"

keys_to "$WID" ctrl+z
# The first undo of a game says once that it gets no highscore entry.
confirm_message
press_beside_stacks
# Only the board is compared: the clock is not taken back, so the score above it has moved on.
shoot_until undone same dealt "$(board_rect)" 20 "after the undo the board is not the dealt one"
[ -n "${ZELVANO_SHOTS:-}" ] && cp "$WORK/undone.png" "$ZELVANO_SHOTS/undo-$MODE.png"
terminate
echo "ok"
