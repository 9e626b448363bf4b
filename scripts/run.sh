#!/usr/bin/env bash
# Installs what building and running Kavlo need and is missing, builds the program alone and
# runs it: the main window, or with a verb the command line (e.g. `check FILE`,
# `render -o page.pdf`). The install and the build talk on stderr only, so that stdout is the
# program's. The build folder is its own (build-run): the tests' build keeps its options.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh" --run
# A few translation units per library: less than half the compiler time of one per source.
"$root/scripts/build.sh" "$root/build-run" -DBUILD_TESTING=OFF -DCMAKE_UNITY_BUILD=ON \
    -- --target kavlo >&2
exec "$root/build-run/app/kavlo" "$@"
