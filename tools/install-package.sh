#!/usr/bin/env bash
# Makes the Debian package from a build tree and installs it with apt-get,
# which also installs the Qt libraries it depends on. Runs as root, or
# through sudo when it is available.
set -euo pipefail
build_dir=${1:-build}

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

(cd "$build_dir" && cpack -G DEB)
packages=("$build_dir"/quantaro_*.deb)
[ -f "${packages[-1]}" ] || { echo "no package was made in $build_dir" >&2; exit 1; }
package=$(realpath "${packages[-1]}")
as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y "$package"
echo "Installed $(basename "$package"); start Quantaro from the desktop's menu or with: quantaro"
