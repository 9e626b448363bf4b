#!/usr/bin/env bash
# Installs the Debian packages Kavlo needs, only what is missing, and any packages named as
# arguments: scripts/install-deps.sh [--run] [PACKAGE...]. With --run only what building and
# running the program takes; without it also what the tests, the benchmarks and the package
# take. apt's chatter goes to stderr, so that a caller's stdout stays its own.
set -euo pipefail

# The compiler and the build tools, Qt with its Wayland platform and Japanese translations, the
# CUPS header (the library itself is loaded when a job is sent), and the faces the pages use.
run_packages=(
    g++ cmake ninja-build
    qt6-base-dev qt6-svg-dev qt6-wayland qt6-translations-l10n libcups2-dev zlib1g-dev
    fonts-ipafont fonts-liberation2 fontconfig
)
test_packages=(
    build-essential clang libclang-rt-14-dev pkg-config
    libgtest-dev libgmock-dev libbenchmark-dev
    fonts-urw-base35
    time
    xvfb xauth xclip librsvg2-bin
    cups printer-driver-cups-pdf poppler-utils libpoppler-cpp-dev ghostscript emf2svg
    desktop-file-utils appstream man-db libxml2-utils shared-mime-info
    dpkg-dev file lintian
)

packages=("${run_packages[@]}")
if [ "${1:-}" = "--run" ]; then
    shift
else
    packages+=("${test_packages[@]}")
fi
packages+=("$@")

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
    echo "Installing: ${missing[*]}" >&2
    $sudo apt-get update >&2
    # The downloaded archives (a third of the install's size) go into a folder of their own that
    # goes afterwards, and apt's own cache stays as it was.
    archives=$($sudo mktemp -d /var/cache/apt/kavlo-archives.XXXXXX)
    trap '$sudo rm -rf "$archives"' EXIT
    $sudo mkdir "$archives/partial"
    $sudo chown _apt "$archives/partial" 2>/dev/null || true
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends \
        -o Dir::Cache::archives="$archives" "${missing[@]}" >&2
fi
