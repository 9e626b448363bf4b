#!/usr/bin/env bash
# Configures and builds one build folder:
# scripts/build.sh BUILD_DIR [cmake options...] [-- build options, e.g. --target kavlo]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$1
shift
configure=()
while (($#)) && [ "$1" != "--" ]; do
    configure+=("$1")
    shift
done
(($#)) && shift
cmake -S "$root" -B "$dir" -G Ninja "${configure[@]}" >/dev/null
cmake --build "$dir" "$@"
