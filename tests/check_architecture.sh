#!/bin/bash
# Keeps doc/ARCHITECTURE.md true: fails when a folder or file it names in
# backquotes (src/..., tests/..., doc/..., data/...) no longer exists, or when
# a folder of src/ is missing from it.
#
# Usage: check_architecture.sh PROJECT_DIR
set -u
root=${1:?usage: check_architecture.sh PROJECT_DIR}
page=$root/doc/ARCHITECTURE.md
[[ -f $page ]] || { echo "doc/ARCHITECTURE.md is missing" >&2; exit 1; }

failures=0
while IFS= read -r named; do
    if [[ $named == *'*'* ]]; then
        compgen -G "$root/$named" >/dev/null && continue
    elif [[ -e $root/$named ]]; then
        continue
    fi
    echo "doc/ARCHITECTURE.md names $named, which does not exist" >&2
    failures=$((failures + 1))
done < <(grep -o '`\(src\|tests\|doc\|data\)/[^`[:space:]<>]*`' "$page" | tr -d '`' | sort -u)

for dir in "$root"/src/*/; do
    folder=src/$(basename "$dir")/
    if ! grep -qF "\`$folder\`" "$page"; then
        echo "doc/ARCHITECTURE.md does not name $folder" >&2
        failures=$((failures + 1))
    fi
done

if ((failures > 0)); then
    exit 1
fi
echo "architecture: every folder and file named exists, every source folder is named"
