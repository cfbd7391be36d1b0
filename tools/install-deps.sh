#!/usr/bin/env bash
# Installs what building and testing Quantaro needs on Debian 12, skipping
# what is already there. Runs as root, or through sudo when it is available.
set -euo pipefail

packages=(
    g++ cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev qt6-charts-dev qt6-svg-dev libqt6opengl6-dev
    libgtest-dev libgmock-dev libbenchmark-dev librandom123-dev
    libudunits2-dev libudunits2-data
    libeigen3-dev libnlopt-cxx-dev
    pybind11-dev python3-dev python3-numpy python3-pytest
    clang libclang-rt-14-dev
    xvfb xauth locales fonts-dejavu-core
    dbus-daemon libglib2.0-bin at-spi2-core
    dpkg-dev file appstream desktop-file-utils lintian
    scdoc man-db shared-mime-info xdg-utils bash-completion
    parallel
    python3 python3-jsonschema
)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Number texts must not follow the user's locale; the tests check that under
# a German locale, which writes "," as the decimal point.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
    as_root sed -i 's/^# *\(de_DE.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    as_root locale-gen >/dev/null
fi
