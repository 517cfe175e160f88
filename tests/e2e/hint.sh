#!/usr/bin/env bash
# H marks the solver's next move on the board, the stack and the row position, writes it in
# words above the row, and the mark is still there, unchanged, three seconds later. On a bare
# X server ($2 = bare) or under openbox.
set -euo pipefail
BIN=$1
MODE=$2
source "$(dirname "$0")/xsession.sh"
source "$(dirname "$0")/boardshots.sh"
board_session

# The best play the solver finds for deal 1, searched beside the game: a search takes many
# seconds under the sanitizers, and the game's own for the hint as long.
"$BIN" --solve 1 --level 1 >"$WORK/solved.txt" &
SOLVER=$!

# Not started, the game's clock stands still; nothing else moves on deal 1.
start_game --deal 1 --level 1
# The first key shows the keyboard's focus mark; Tab shows just that, so it is on the board
# before the reference shot and the hint's mark is all that differs afterwards.
keys_to "$WID" Tab
settled_shot before "$(board_rect)"
keys_to "$WID" h
shoot_until hinted changed before "$(board_rect)" 240 "no hint shown"
settled_shot hinted "$(board_rect)"

# The play starts with a drop: "drop S P".
wait "$SOLVER" || fail "--solve failed"
read -r kind want_stack want_row < <(awk '/^(drop|claim) /{print; exit}' "$WORK/solved.txt")
[ "$kind" = drop ] || fail "the solver's play for deal 1 does not start with a drop"

# A place is marked when its frame runs along the middle of the bottom edge of its card,
# where no neighbour's frame reaches.
marked() { # x y w h of the card
  [ "$(differ hinted before $(($1 + $3 / 4)) $(($2 + $4)) $(($3 / 2)) 6)" != 0 ]
}
for s in 1 2 3 4 5; do
  want=no; [ "$s" = "$want_stack" ] && want=yes
  got=no; marked $(stack_rect "$s") && got=yes
  [ "$got" = "$want" ] || fail "stack $s marked: $got, expected $want (the move is stack $want_stack to $want_row)"
done
for p in 1 2 3 4; do
  want=no; [ "$p" = "$want_row" ] && want=yes
  got=no; marked $(row_rect "$p") && got=yes
  [ "$got" = "$want" ] || fail "row position $p marked: $got, expected $want (the move is stack $want_stack to $want_row)"
done
# The words, in a band above the row: its upper half, which the row's frames do not reach.
read -r _ rowy _ _ < <(row_rect 1)
band=$((CARD / 4 > 22 ? CARD / 4 : 22))
[ "$(differ hinted before 0 $((rowy - band - 2)) "$CW" $((band - 12)))" != 0 ] || fail "the hint is not written above the row"

sleep 3
shot later
[ "$(differ later hinted $(board_rect))" = 0 ] || fail "the hint's mark changed or went within three seconds"
[ -n "${ZELVANO_SHOTS:-}" ] && cp "$WORK/later.png" "$ZELVANO_SHOTS/hint-$MODE.png"
terminate
echo "ok"
