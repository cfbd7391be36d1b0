#!/bin/bash
# Fails when a source file includes a header of a layer above its own, names
# one of the program's headers without its folder, or when the engine reaches
# outside itself and the standard library.
#
# Layers, lowest first: engine, documents, interaction, session (the
# worksheet's run-time state behind the windows, no widgets), then tables,
# run and commands side by side, then ui. cli uses engine and documents only.
#
# Usage: check_layers.sh SRC_DIR
set -u
src=${1:?usage: check_layers.sh SRC_DIR}

declare -A rank=([engine]=0 [documents]=1 [interaction]=2 [session]=3 [tables]=4 [run]=4 [commands]=4
                 [ui]=5)
declare -A cli_may_use=([engine]=1 [documents]=1 [cli]=1)

allowed() {  # allowed LAYER INCLUDED_LAYER
    local layer=$1 used=$2
    [[ $layer == "$used" ]] && return 0
    if [[ $layer == cli ]]; then
        [[ -n ${cli_may_use[$used]:-} ]]
        return
    fi
    [[ -n ${rank[$used]:-} && ${rank[$used]} -lt ${rank[$layer]} ]]
}

# The session holds no widgets: its headers come from Qt Core and Qt Gui.
widgets_dir=$(find /usr/include -maxdepth 3 -type d -name QtWidgets -print -quit 2>/dev/null)

failures=0
fail() {
    echo "$1" >&2
    failures=$((failures + 1))
}

for dir in "$src"/*/; do
    layer=$(basename "$dir")
    if [[ -z ${rank[$layer]:-} && $layer != cli ]]; then
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
        done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
        if [[ $layer == engine ]] && grep -Eq '^[[:space:]]*#[[:space:]]*include[[:space:]]*<Q' "$file"; then
            fail "$where: the engine may use the standard library only"
        fi
        if [[ $layer == session && -n $widgets_dir ]]; then
            while IFS= read -r header; do
                [[ -e $widgets_dir/$header ]] && fail "$where: the session may not include <$header>"
            done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*<\(Q[^>]*\)>.*/\1/p' "$file")
        fi
    done < <(find "$dir" -name '*.h' -o -name '*.cpp')
done

if ((failures > 0)); then
    echo "$failures include(s) break the layers" >&2
    exit 1
fi
echo "layers: every include points down"
