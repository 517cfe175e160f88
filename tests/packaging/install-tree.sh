#!/usr/bin/env bash
# Installs the build into a scratch folder, as `make install` does, and checks that a player
# gets everything: the program in games/, the music and help in share/games/zelvano/ where the
# program looks for them, and the desktop entry, icons, metainfo and manual page agreeing with
# each other. Nothing else may be installed.
set -euo pipefail
build=$1 source=$2 version=$3 data_from_program=$4
dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT
DESTDIR="$dest" cmake --install "$build" --prefix /usr/local >"$dest.log" 2>&1 || { cat "$dest.log"; rm -f "$dest.log"; exit 1; }
rm -f "$dest.log"
root=$dest/usr/local
fail=0
bad() { echo "FAIL: $*"; fail=1; }

# The program itself, a plain file where Debian keeps games.
prog=$root/games/zelvano
[ -f "$prog" ] && [ ! -L "$prog" ] && [ -x "$prog" ] || bad "no program at games/zelvano"

# Music and help in the data folder: the same files as in the source tree.
data=share/games/zelvano
expected=("games/zelvano" "$data/ZLVO1.html")
shopt -s nullglob
tunes=("$source"/assets/music/*.mid)
[ ${#tunes[@]} -gt 0 ] || bad "the source tree has no music"
for t in "${tunes[@]}"; do
  expected+=("$data/$(basename "$t")")
  cmp -s "$t" "$root/$data/$(basename "$t")" || bad "music $(basename "$t") missing or changed"
done
cmp -s "$source/assets/help/ZLVO1.html" "$root/$data/ZLVO1.html" || bad "help missing or changed"
# The help's pictures lie beside it.
for p in "$source"/assets/help/*.png; do
  expected+=("$data/$(basename "$p")")
  cmp -s "$p" "$root/$data/$(basename "$p")" || bad "help picture $(basename "$p") missing or changed"
done
# The program looks for its data along this path from its own folder.
[ "$(cd "$root/games/$data_from_program" 2>/dev/null && pwd)" = "$(cd "$root/$data" && pwd)" ] \
  || bad "the program looks in games/$data_from_program, the data lies in $data"

# The desktop entry starts the program by name (it is on the PATH) and names icons that are there.
desktop=share/applications/org.zelvano.Zelvano.desktop
expected+=("$desktop")
exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$root/$desktop")
icon=$(sed -n 's/^Icon=//p' "$root/$desktop")
[ "$exec_name" = zelvano ] || bad "desktop entry runs '$exec_name', not the program"
svg=share/icons/hicolor/scalable/apps/$icon.svg
symbolic=share/icons/hicolor/symbolic/apps/$icon-symbolic.svg
expected+=("$svg" "$symbolic")
grep -q '<svg' "$root/$svg" 2>/dev/null || bad "no scalable icon '$icon'"
grep -q '<svg' "$root/$symbolic" 2>/dev/null || bad "no symbolic icon '$icon-symbolic'"
# Each size's PNG really has that size: width and height are two big-endian words from byte 16.
for n in 16 22 24 32 48 64 128 256; do
  png=share/icons/hicolor/${n}x${n}/apps/$icon.png
  expected+=("$png")
  size=$(od -An -tu1 -j16 -N8 "$root/$png" 2>/dev/null | awk '{print $3*256+$4 "x" $7*256+$8}' || true)
  [ "$size" = "${n}x${n}" ] || bad "${n}x${n} icon '$icon' is '$size'"
done

# The metainfo names the desktop entry and lists this version as its newest release.
metainfo=share/metainfo/org.zelvano.Zelvano.metainfo.xml
expected+=("$metainfo")
grep -q '<launchable type="desktop-id">org.zelvano.Zelvano.desktop</launchable>' "$root/$metainfo" \
  || bad "metainfo does not name the desktop entry"
newest=$(grep -o '<release version="[^"]*"' "$root/$metainfo" | head -n 1 | cut -d'"' -f2)
[ "$newest" = "$version" ] || bad "newest release in the metainfo is '$newest', the project is $version"

man=share/man/man6/zelvano.6
expected+=("$man" share/doc/zelvano/copyright)
grep -q "^\.TH ZELVANO 6 .*\"Zelvano $version\"" "$root/$man" || bad "manual page missing or not for $version"
[ -s "$root/share/doc/zelvano/copyright" ] || bad "no copyright file"

# Nothing installed but these.
while IFS= read -r f; do
  rel=${f#"$root"/}
  printf '%s\n' "${expected[@]}" | grep -xF "$rel" >/dev/null || bad "unexpected file installed: ${f#"$dest"}"
done < <(find "$dest" \( -type f -o -type l \))
for rel in "${expected[@]}"; do [ -e "$root/$rel" ] || bad "missing: $rel"; done

[ $fail -eq 0 ] && echo "install tree ok: ${#expected[@]} files"
exit $fail
