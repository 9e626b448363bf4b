#!/usr/bin/env bash
# Installs the Debian packages Kavlo builds, tests and runs with, and any packages named as
# arguments (scripts/install-deps.sh [PACKAGE...]); only what is missing.
set -euo pipefail

packages=(
    build-essential clang libclang-rt-14-dev cmake ninja-build pkg-config
    qt6-base-dev qt6-svg-dev qt6-wayland libgl-dev zlib1g-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    fonts-ipafont fonts-liberation2 fonts-urw-base35 fontconfig
    time
    xvfb xauth xclip librsvg2-bin
    cups printer-driver-cups-pdf libcups2-dev poppler-utils libpoppler-cpp-dev ghostscript emf2svg
    desktop-file-utils appstream man-db
    "$@"
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done

if ((${#missing[@]})); then
    sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        sudo="sudo"
    fi
    echo "Installing: ${missing[*]}"
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
