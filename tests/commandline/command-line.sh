#!/usr/bin/env bash
# Runs the real program with one command line after the other, with no display to reach: the
# help, the version and every mistake must be answered without one (a start that tries to open
# a window ends with status 1 and the no-display line instead).
set -uo pipefail
BIN=$1
VERSION=$2
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
chmod 700 "$WORK"
fail=0

# name, expected status, a pattern stdout must hold ("" for empty), one stderr must hold ("" for
# empty), then the arguments.
check() {
  local name=$1 status=$2 out=$3 err=$4
  shift 4
  env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$WORK" \
    XDG_CONFIG_HOME="$WORK/config" SDL_AUDIODRIVER=dummy timeout 20 "$BIN" "$@" >"$WORK/out" 2>"$WORK/err"
  local got=$?
  local ok=1
  [ "$got" -eq "$status" ] || ok=0
  if [ -z "$out" ]; then [ ! -s "$WORK/out" ] || ok=0; else grep -qE -- "$out" "$WORK/out" || ok=0; fi
  if [ -z "$err" ]; then [ ! -s "$WORK/err" ] || ok=0; else grep -qE -- "$err" "$WORK/err" || ok=0; fi
  # A mistake names the usage and where to look, and stays at that.
  if [ "$status" -eq 2 ]; then
    grep -q '^Usage: zelvano ' "$WORK/err" && grep -q -- "--help" "$WORK/err" || ok=0
    [ "$(wc -l <"$WORK/err")" -le 4 ] && [ "$(wc -c <"$WORK/err")" -le 600 ] || ok=0
  fi
  [ ! -e "$WORK/config" ] || { echo "$name: wrote settings"; ok=0; rm -rf "$WORK/config"; }
  if [ "$ok" -eq 1 ]; then
    echo "ok   $name"
  else
    echo "FAIL $name: status $got (expected $status)"
    echo "  stdout:"; sed 's/^/    /' "$WORK/out"
    echo "  stderr:"; sed 's/^/    /' "$WORK/err"
    fail=1
  fi
}

check "help" 0 '^Usage: zelvano ' "" --help
check "short help" 0 "^Usage: zelvano " "" -h
check "version" 0 "^zelvano $VERSION\$" "" --version
check "short version" 0 "^zelvano $VERSION\$" "" -v
check "deal 0" 2 "" "^zelvano: .*deal number.* 1 to 2147483647, not '0'" --deal 0
check "deal past the top" 2 "" "not '2147483648'" --deal 2147483648
check "deal far past the top" 2 "" "not '99999999999999999999'" --deal 99999999999999999999
check "deal not a number" 2 "" "not 'abc'" --deal abc
check "deal with a fraction" 2 "" "not '12.5'" --deal=12.5
check "deal negative" 2 "" "not '-5'" --deal=-5
check "deal without a value" 2 "" "^zelvano: .*deal" --deal
check "level 0" 2 "" "^zelvano: .*skill level.*not '0'" --level 0
check "level 5" 2 "" "not '5'" --deal 4242 --level 5
check "level a word" 2 "" "not 'master'" --level master
check "unknown option" 2 "" "^zelvano: .*bogus" --bogus
check "unknown short option" 2 "" "^zelvano: .*'x'" -x
check "an argument" 2 "" "^zelvano: unexpected argument 'game.ini'" game.ini
check "help with a mistake" 2 "" "bogus" --help --bogus
check "solve 0" 2 "" "^zelvano: .*deal number.*not '0'" --solve 0
check "solve not a number" 2 "" "not 'x1'" --solve x1
check "solve without a value" 2 "" "^zelvano: .*solve" --solve
check "solve at level 5" 2 "" "skill level.*not '5'" --solve 4242 --level 5
check "solve at level 0" 2 "" "skill level.*not '0'" --solve 4242 --level 0
# Every number follows one rule: decimal digits, leading zeros allowed, no sign.
check "deal with a plus sign" 2 "" "deal number.*not '\\+5'" --deal +5
check "level with a plus sign" 2 "" "skill level.*not '\\+2'" --level +2
check "level with a fraction" 2 "" "skill level.*not '2.0'" --level 2.0
check "level far past the top" 2 "" "skill level.*not '99999999999999999999" --level 999999999999999999999999
# A long value is cut in the message, not repeated whole.
check "deal of 5000 digits" 2 "" "not '12345678901234567890…'" --deal "$(printf '1234567890%.0s' $(seq 500))"
check "argument of 5000 letters" 2 "" "^zelvano: unexpected argument 'xxxxxxxxxxxxxxxxxxxx…'" "$(printf 'x%.0s' $(seq 5000))"
check "unknown option of 5000 letters" 2 "" "^zelvano: .*xxxxxxxxxx…" "--$(printf 'x%.0s' $(seq 5000))"
# An option given twice is a mistake, whichever value would have won.
check "solve twice" 2 "" "^zelvano: --solve may be given only once" --solve 5 --solve 6
check "deal twice" 2 "" "^zelvano: --deal may be given only once" --deal 5 --deal=5
check "level twice" 2 "" "^zelvano: --level may be given only once" --level 1 --level 2
check "solve and deal" 2 "" "^zelvano: --solve and --deal cannot be given together" --solve 4242 --deal 4242
# Good options get as far as opening the window, which has no display here.
check "deal and level" 1 "" "cannot connect to the display" --deal 4242 --level 3
check "deal with equals" 1 "" "cannot connect to the display" --deal=2147483647
check "leading zeros" 1 "" "cannot connect to the display" --deal 0004242 --level 03

# --solve answers without a display: the deal, its row and stacks, the moves, the points and a
# bound no play beats. The same deal and level give the same text every time. The search takes
# about a second; the limit only stops a hang, and a sanitizer build on a busy machine needs
# minutes.
solve() {
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM XDG_RUNTIME_DIR="$WORK" XDG_CONFIG_HOME="$WORK/config" \
    timeout 600 "$BIN" "$@"
}
check_solution() { # file, deal, level
  local f=$1 deal=$2 level=$3 card='([RGBV]([1-9]|1[0-3])|J)' ok=1
  [ "$(sed -n 1p "$f")" = "deal $deal level $level" ] || ok=0
  grep -qE "^row( $card){4}\$" "$f" || ok=0
  for s in 1 2 3 4 5; do grep -qE "^stack $s( $card){10}\$" "$f" || ok=0; done
  # Every card of the deck once: 52 coloured cards and two jokers.
  [ "$(sed -n '2,7p' "$f" | tr ' ' '\n' | grep -E "^$card\$" | sort | uniq -d | grep -vx J)" = "" ] || ok=0
  [ "$(sed -n '2,7p' "$f" | tr ' ' '\n' | grep -cE "^$card\$")" -eq 54 ] || ok=0
  # Then only moves, up to the points and the bound, which end the text.
  sed -n '8,$p' "$f" | head -n -2 | grep -vqE '^(drop [1-5] [1-4]|claim ([1-9]|1[0-8]))$' && ok=0
  grep -qE '^drop ' "$f" && grep -qE '^claim ' "$f" || ok=0
  local points bound
  points=$(tail -n 2 "$f" | sed -n 's/^points \(-\?[0-9]\+\)$/\1/p')
  bound=$(tail -n 1 "$f" | sed -n 's/^bound \(-\?[0-9]\+\)$/\1/p')
  [ -n "$points" ] && [ -n "$bound" ] && [ "$bound" -ge "$points" ] && [ "$points" -gt 0 ] || ok=0
  [ "$ok" -eq 1 ] && echo "ok   solve $deal level $level" || {
    echo "FAIL solve $deal level $level:"; sed 's/^/    /' "$f"; fail=1; }
}
solve --solve 4242 >"$WORK/solve1" 2>"$WORK/solve-err"
status=$?
[ "$status" -eq 0 ] && [ ! -s "$WORK/solve-err" ] && [ ! -e "$WORK/config" ] || {
  echo "FAIL solve 4242: status $status"; cat "$WORK/solve-err"; fail=1; }
check_solution "$WORK/solve1" 4242 1
solve --level=3 --solve=4242 >"$WORK/solve3"
check_solution "$WORK/solve3" 4242 3
# The deal is the one --deal would lay: same cards at every level.
[ "$(sed -n '2,7p' "$WORK/solve1")" = "$(sed -n '2,7p' "$WORK/solve3")" ] || {
  echo "FAIL solve: the deal differs between levels"; fail=1; }
solve --solve 004242 --level 01 >"$WORK/solve1b"
cmp -s "$WORK/solve1" "$WORK/solve1b" && echo "ok   solve again, the same text" || {
  echo "FAIL solve 4242 a second time differs:"; diff "$WORK/solve1" "$WORK/solve1b"; fail=1; }

# The help lists every option and where the settings live.
env -u DISPLAY XDG_CONFIG_HOME="$WORK/cfg" "$BIN" --help >"$WORK/help"
for want in "-h, --help" "-v, --version" "--deal N" "--level L" "--solve N" "$WORK/cfg/Moxelware/Zelvano/V1.ini"; do
  grep -qF -- "$want" "$WORK/help" || { echo "FAIL help does not mention $want"; fail=1; }
done
exit $fail
