#!/bin/sh
# Renders the help's pictures into assets/help from the board and button artwork: the
# pattern pictures, the toolbar and an annotated board (boardpreview --help-pictures).
# Needs CMake and the Qt 6 development packages; the outputs are committed.
set -e
here=$(cd "$(dirname "$0")" && pwd)
assets=$here/../../../assets
out=${1:-$assets/help}
build=$(mktemp -d)
trap 'rm -rf "$build"' EXIT
cmake -S "$here/preview" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" >/dev/null
QT_QPA_PLATFORM=offscreen "$build/boardpreview" --help-pictures "$assets/board" "$out"
echo "help pictures written to $out"
