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
    [ "$(wc -l <"$WORK/err")" -le 4 ] || ok=0
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
# Good options get as far as opening the window, which has no display here.
check "deal and level" 1 "" "cannot connect to the display" --deal 4242 --level 3
check "deal with equals" 1 "" "cannot connect to the display" --deal=2147483647

# The help lists every option and where the settings live.
env -u DISPLAY XDG_CONFIG_HOME="$WORK/cfg" "$BIN" --help >"$WORK/help"
for want in "-h, --help" "-v, --version" "--deal N" "--level L" "$WORK/cfg/Moxelware/Zelvano/V1.ini"; do
  grep -qF -- "$want" "$WORK/help" || { echo "FAIL help does not mention $want"; fail=1; }
done
exit $fail
