#!/bin/bash
# Fails when a source file includes a header of a layer above its own, names
# one of the program's headers without its folder, when the engine reaches
# outside itself and the standard library, or when the studies use Qt.
#
# Layers, lowest first: engine, studies (what runs a worksheet many times,
# no Qt), documents, interaction, session (the worksheet's run-time state
# behind the windows, no widgets), charts, then tables, run, studywindows and
# commands side by side, then ui. cli and python use engine, studies and
# documents only.
#
# interaction holds two libraries: the interface on Qt Core and the widgets
# behind it. The session links only the interface, so CMake keeps Qt Widgets
# out of it; the files of the interface library, as CMake lists them, are the
# only interaction headers the session may include, so that it cannot reach
# the widget library's code through a header of the same folder.
#
# Usage: check_layers.sh SRC_DIR [INTERFACE_FILE...]
set -u
src=${1:?usage: check_layers.sh SRC_DIR [INTERFACE_FILE...]}
shift
declare -A interface_file=()
for file in "$@"; do interface_file[$(basename "$file")]=1; done

declare -A rank=([engine]=0 [studies]=1 [documents]=2 [interaction]=3 [session]=4 [charts]=5
                 [tables]=6 [run]=6 [studywindows]=6 [commands]=6 [ui]=7)
declare -A cli_may_use=([engine]=1 [studies]=1 [documents]=1 [cli]=1)

allowed() {  # allowed LAYER INCLUDED_LAYER
    local layer=$1 used=$2
    [[ $layer == "$used" ]] && return 0
    if [[ $layer == cli || $layer == python ]]; then
        [[ -n ${cli_may_use[$used]:-} ]]
        return
    fi
    [[ -n ${rank[$used]:-} && ${rank[$used]} -lt ${rank[$layer]} ]]
}

failures=0
fail() {
    echo "$1" >&2
    failures=$((failures + 1))
}

for dir in "$src"/*/; do
    layer=$(basename "$dir")
    if [[ -z ${rank[$layer]:-} && $layer != cli && $layer != python ]]; then
        fail "$layer: a folder that belongs to no layer"
        continue
    fi
    while IFS= read -r file; do
        where=${file#"$src"/}
        while IFS= read -r included; do
            if [[ $included != */* ]]; then
                if [[ -n $(find "$src" -name "$included" -print -quit) ]]; then
                    fail "$where: #include \"$included\" names no folder"
                fi
                continue
            fi
            used=${included%%/*}
            allowed "$layer" "$used" || fail "$where: $layer may not include $included"
            if [[ $layer == session && $used == interaction && ${#interface_file[@]} -gt 0 &&
                  -z ${interface_file[${included#*/}]:-} ]]; then
                fail "$where: the session may include only the interface of interaction, not $included"
            fi
        done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
        if [[ $layer == engine || $layer == studies ]] &&
           grep -Eq '^[[:space:]]*#[[:space:]]*include[[:space:]]*<Q' "$file"; then
            if [[ $layer == engine ]]; then
                fail "$where: the engine may use the standard library only"
            else
                fail "$where: the studies may not use Qt"
            fi
        fi
    done < <(find "$dir" -name '*.h' -o -name '*.cpp')
done

if ((failures > 0)); then
    echo "$failures include(s) break the layers" >&2
    exit 1
fi
echo "layers: every include points down"
