#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks what a desktop and a
# user find there: the programs, the menu entry, the software-centre
# description, the icons, the guide and the example worksheets.
set -euo pipefail
build_dir=$1
app_id=$2
source "$(dirname "$0")/installed_files.sh"

prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build_dir" --prefix "$prefix" >/dev/null

for file in "${installed_files[@]}"; do
    [ -s "$prefix/$file" ] || fail "$file is not installed"
done
[ -x "$prefix/bin/quantaro" ] || fail "bin/quantaro is not executable"

# The PNG header holds the width and height as 32-bit big-endian numbers.
size=$(od -An -tx1 -j16 -N8 "$prefix/share/icons/hicolor/48x48/apps/$app_id.png" | tr -d ' \n')
[ "$size" = "0000003000000030" ] || fail "the PNG icon is not 48x48 (header $size)"

entry="$prefix/share/applications/$app_id.desktop"
grep -qx 'Exec=quantaro' "$entry" || fail "the desktop entry must start quantaro with no file argument"
grep -qx 'Categories=Utility;Calculator;' "$entry" || fail "the desktop entry's categories"
grep -qx "Icon=$app_id" "$entry" || fail "the desktop entry's icon"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$entry" || fail "desktop-file-validate"
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$prefix/share/metainfo/$app_id.metainfo.xml" ||
        fail "appstreamcli validate"
fi

# The installed batch runner runs the installed example.
output=$("$prefix/bin/quantaro-cli" "$prefix/share/quantaro/examples/engineering.FOR") ||
    fail "quantaro-cli on the installed example"
grep -q '^RANGE' <<<"$output" || fail "the example's results: $output"
echo "installed under $prefix: all present"
