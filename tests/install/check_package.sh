#!/usr/bin/env bash
# Builds the Debian package and checks its dependencies and contents, and
# that lintian finds no error and no warning in it.
# Exits 77 (skipped) where the Debian packaging tools are missing.
set -euo pipefail
build_dir=$1
app_id=$2
source "$(dirname "$0")/installed_files.sh"
for tool in cpack dpkg-deb dpkg-shlibdeps lintian; do
    command -v "$tool" >/dev/null || { echo "no $tool: skipped"; exit 77; }
done

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack -G DEB --config "$build_dir/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1 ||
    { cat "$out/cpack.log"; fail "cpack"; }
packages=("$out"/quantaro_*.deb)
[ -f "${packages[0]}" ] || fail "no quantaro_*.deb was made"
package=${packages[0]}

depends=$(dpkg-deb -f "$package" Depends)
for needed in libqt6widgets6 libqt6printsupport6 libqt6gui6 libqt6core6 libqt6charts6 libqt6svg6 \
    qt6-qpa-plugins; do
    grep -q "\b$needed\b" <<<"$depends" || fail "Depends lacks $needed: $depends"
done
for needed in libudunits2-0 libudunits2-data; do
    grep -q "\b$needed\b" <<<"$depends" || fail "Depends lacks $needed: $depends"
done
# The Python module is for the system's Python, and hands over NumPy arrays.
for needed in ${python_module:+python3 python3-numpy}; do
    grep -q "\b$needed\b" <<<"$depends" || fail "Depends lacks $needed: $depends"
done
# Solve and optimise link NLopt.
grep -q "\blibnlopt0\b" <<<"$depends" || fail "Depends lacks libnlopt0: $depends"

# Each line of the long description starts with one blank, and nothing else.
if dpkg-deb -f "$package" Description | tail -n +2 | grep -qv '^ [^ ;]'; then
    fail "the long description is malformed: $(dpkg-deb -f "$package" Description)"
fi

contents=$(dpkg-deb -c "$package")
for file in "${installed_files[@]}"; do
    grep -q " ./usr/$file\$" <<<"$contents" || fail "the package lacks $file"
done
if [ -n "$python_module" ]; then
    grep -q " ./usr/$python_module/_quantaro\.cpython-[0-9]*-[^/]*\.so\$" <<<"$contents" ||
        fail "the package lacks the Python module's compiled core"
fi
# Debian's own checks of a package.
report=$(lintian --fail-on error,warning "$package" 2>&1) || fail "lintian: $report"
# The programs are built with the distribution's hardening flags.
hardening=$(lintian -I --tags hardening-no-bindnow,hardening-no-fortify-functions,hardening-no-relro \
    "$package" 2>/dev/null | grep '^[EWI]:' || true)
[ -z "$hardening" ] || fail "lintian: $hardening"
echo "$(basename "$package"): Depends: $depends"
