#!/usr/bin/env bash
# Installs the build into a scratch folder, as `make install` does, and checks that a player
# gets everything: the launcher leading to the program, the music and help beside it, and
# the desktop entry, icons, metainfo and manual page agreeing with each other. Nothing else
# may be installed.
set -euo pipefail
build=$1 source=$2 version=$3
dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT
DESTDIR="$dest" cmake --install "$build" --prefix /usr/local >"$dest.log" 2>&1 || { cat "$dest.log"; rm -f "$dest.log"; exit 1; }
rm -f "$dest.log"
root=$dest/usr/local
fail=0
bad() { echo "FAIL: $*"; fail=1; }

# The launcher: a link in bin/ that must lead to the program in its own folder, also under
# DESTDIR (an absolute link would lead out of the scratch tree).
prog=$root/lib/zelvano/zelvano
[ -f "$prog" ] && [ -x "$prog" ] || bad "no program at lib/zelvano/zelvano"
[ -e "$root/bin/zelvano" ] || bad "no launcher bin/zelvano"
[ "$(readlink -f "$root/bin/zelvano")" = "$(readlink -f "$prog")" ] || bad "bin/zelvano does not lead to lib/zelvano/zelvano"

# Music and help beside the program: the same files as in the source tree.
expected=("lib/zelvano/zelvano" "bin/zelvano" "lib/zelvano/ZLVO1.html")
shopt -s nullglob
tunes=("$source"/assets/music/*.mid)
[ ${#tunes[@]} -gt 0 ] || bad "the source tree has no music"
for t in "${tunes[@]}"; do
  expected+=("lib/zelvano/$(basename "$t")")
  cmp -s "$t" "$root/lib/zelvano/$(basename "$t")" || bad "music $(basename "$t") missing or changed"
done
cmp -s "$source/assets/help/ZLVO1.html" "$root/lib/zelvano/ZLVO1.html" || bad "help missing or changed"
# The help's pictures lie beside it.
for p in "$source"/assets/help/*.png; do
  expected+=("lib/zelvano/$(basename "$p")")
  cmp -s "$p" "$root/lib/zelvano/$(basename "$p")" || bad "help picture $(basename "$p") missing or changed"
done

# The desktop entry starts the launcher and names icons that are there.
desktop=share/applications/org.zelvano.Zelvano.desktop
expected+=("$desktop")
exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$root/$desktop")
icon=$(sed -n 's/^Icon=//p' "$root/$desktop")
[ "$exec_name" = zelvano ] || bad "desktop entry runs '$exec_name', not the launcher"
svg=share/icons/hicolor/scalable/apps/$icon.svg
png=share/icons/hicolor/256x256/apps/$icon.png
expected+=("$svg" "$png")
grep -q '<svg' "$root/$svg" 2>/dev/null || bad "no scalable icon '$icon'"
# Width and height of a PNG: two big-endian words from byte 16.
size=$(od -An -tu1 -j16 -N8 "$root/$png" 2>/dev/null | awk '{print $3*256+$4 "x" $7*256+$8}' || true)
[ "$size" = 256x256 ] || bad "256x256 icon '$icon' is '$size'"

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
  printf '%s\n' "${expected[@]}" | grep -qxF "$rel" || bad "unexpected file installed: ${f#"$dest"}"
done < <(find "$dest" \( -type f -o -type l \))
for rel in "${expected[@]}"; do [ -e "$root/$rel" ] || bad "missing: $rel"; done

[ $fail -eq 0 ] && echo "install tree ok: ${#expected[@]} files"
exit $fail
