#!/usr/bin/env bash
# Installs what is missing, builds Kavlo with warnings as errors and runs every test.
# --sanitize builds and tests a debug build with clang, AddressSanitizer and UBSan instead, so
# the program builds with both compilers; without it the extreme-value sweep (tests/extremes)
# and the .deb's build and lintian check follow the tests.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
if [ "${1:-}" = "--sanitize" ]; then
    dir="$root/build-sanitize"
    options=(-DCMAKE_BUILD_TYPE=Debug -DKAVLO_SANITIZE=ON -DKAVLO_BENCHMARKS=OFF
        -DCMAKE_CXX_COMPILER=clang++)
else
    dir="$root/build"
    options=()
fi
"$root/scripts/build.sh" "$dir" -DKAVLO_WERROR=ON "${options[@]}"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$dir" --output-on-failure -j 2
if [ "${1:-}" != "--sanitize" ]; then
    # The sanitizers reserve far more address space than the sweep's limit allows.
    "$root/tests/extremes/run.sh" "$dir"
    # The package as Debian's policy checker sees it: no error and no warning.
    deb=$("$root/scripts/package-deb.sh")
    lintian --info --fail-on error,warning "$deb"
fi
