#!/usr/bin/env bash
# Installs the build into a temporary prefix as a user would, and checks
# what a desktop needs: the program, a valid menu entry that starts it with
# its configuration in the user's folder, and the icon in every size; and
# that the program answers --help and --version in German.
set -euo pipefail
build="$1"

prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

fail() { echo "$*" >&2; exit 1; }
[[ -x "$prefix/bin/zt40" ]] || fail "no program in bin/"
entry="$prefix/share/applications/zt40.desktop"
[[ -f "$entry" ]] || fail "no menu entry"
desktop-file-validate "$entry" || fail "the menu entry is not valid"
grep -qx 'Exec=zt40 --desktop' "$entry" || fail "the menu entry does not keep the configuration in the user's folder"
grep -qx 'Categories=Game;Simulation;' "$entry" || fail "the menu entry is not filed under games"
icons="$prefix/share/icons/hicolor"
[[ -s "$icons/scalable/apps/zt40.svg" ]] || fail "no scalable icon"
# Width x height from a PNG's header.
png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{ print $1 * 16777216 + $2 * 65536 + $3 * 256 + $4 "x" $5 * 16777216 + $6 * 65536 + $7 * 256 + $8 }'; }
for size in 16 32 48 64 128 256; do
  [[ "$(png_size "$icons/${size}x${size}/apps/zt40.png")" == "${size}x${size}" ]] || fail "no $size px icon"
done

export QT_QPA_PLATFORM=offscreen LANG=C
help="$("$prefix/bin/zt40" --help)"
grep -q '^Aufruf:' <<<"$help" || fail "--help is not German: $help"
grep -q -- '--config <Datei>' <<<"$help" || fail "--help does not name --config"
grep -q -- '--desktop' <<<"$help" || fail "--help does not name --desktop"
version="$("$prefix/bin/zt40" --version)"
[[ "$version" =~ ^zt40\ [0-9]+\.[0-9]+ ]] || fail "--version says: $version"
echo "install: 1 passed, 0 failed"
