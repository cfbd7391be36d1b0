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
grep -qx 'Exec=quantaro %F' "$entry" || fail "the desktop entry must hand quantaro the files"
grep -qx 'MimeType=text/x-quantaro-formula;text/x-quantaro-constants;text/x-quantaro-variables;' \
    "$entry" || fail "the desktop entry's file types"
grep -qx 'Categories=Utility;Calculator;' "$entry" || fail "the desktop entry's categories"
grep -qx "Icon=$app_id" "$entry" || fail "the desktop entry's icon"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$entry" || fail "desktop-file-validate"
fi
if command -v appstreamcli >/dev/null; then
    report=$(appstreamcli validate --no-net "$prefix/share/metainfo/$app_id.metainfo.xml" 2>&1) ||
        fail "appstreamcli validate: $report"
    # Warnings fail too; only the pedantic notes may stand.
    if grep -q '^[EW]:' <<<"$report"; then fail "appstreamcli validate: $report"; fi
fi
# The project has no web site, so its metainfo names none.
if grep -q 'https\?://' "$prefix/share/metainfo/$app_id.metainfo.xml"; then
    fail "the metainfo names a web address"
fi

# The desktop types each document by its extension, in any case, once the
# prefix's MIME database is built; xdg-mime asks GIO, as a GNOME desktop does.
XDG_DATA_DIRS="$prefix/share:/usr/share" update-mime-database "$prefix/share/mime"
samples=$(mktemp -d)
trap 'rm -rf "$prefix" "$samples"' EXIT
for sample in engineering.FOR:formula beam.for:formula g.CON:constants v.var:variables; do
    printf '0\r\n' >"$samples/${sample%%:*}"
    type=$(XDG_DATA_HOME="$samples" XDG_DATA_DIRS="$prefix/share:/usr/share" \
        XDG_CURRENT_DESKTOP=GNOME xdg-mime query filetype "$samples/${sample%%:*}")
    [ "$type" = "text/x-quantaro-${sample#*:}" ] || fail "${sample%%:*} is typed $type"
done

# The manual pages format without a warning from groff or man.
for page in quantaro quantaro-cli; do
    warnings=$(LC_ALL=C.UTF-8 man --warnings -E UTF-8 -l -Tutf8 -Z \
        "$prefix/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "man --warnings on $page.1: $warnings"
done

# The shell completes the batch runner's options from its help and a
# table option's value with files of that type.
completions=$(cd "$samples" && PATH="$prefix/bin:$PATH" bash -c '
    source /usr/share/bash-completion/bash_completion && source "$1" || exit 1
    complete_words() {
        COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMPREPLY=()
        COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}
        _quantaro_cli quantaro-cli "${COMP_WORDS[-1]}" "${COMP_WORDS[-2]}"
        echo "${COMPREPLY[*]}"
    }
    complete_words quantaro-cli --c
    complete_words quantaro-cli --variables ""' _ "$prefix/share/bash-completion/completions/quantaro-cli")
[ "$completions" = $'--check-units --constants --csv\nv.var' ] || fail "the completion offers: $completions"

# The installed batch runner runs the installed example.
output=$("$prefix/bin/quantaro-cli" "$prefix/share/quantaro/examples/engineering.FOR") ||
    fail "quantaro-cli on the installed example"
grep -q '^RANGE' <<<"$output" || fail "the example's results: $output"
# The installed Python module runs the installed example as the batch runner does.
if [ -n "$python_module" ]; then
    from_python=$(PYTHONPATH="$prefix/$python_module/.." /usr/bin/python3 -c '
import sys, quantaro
ws = quantaro.open(sys.argv[1])
ws.run()
print("".join("%s = %s %s\n" % (e.name, e.value, e.units) for e in ws.variables.values()), end="")
' "$prefix/share/quantaro/examples/engineering.FOR") || fail "the installed Python module"
    [ "$from_python" = "$output" ] || fail "the Python module's results: $from_python"
fi
echo "installed under $prefix: all present"
