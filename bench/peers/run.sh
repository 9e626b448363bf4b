#!/usr/bin/env bash
# Times kavlo against gnuplot and matplotlib on the same grids, whole processes interleaved,
# median of RUNS runs with peak memory, and prints the Markdown table.
#   bench/peers/run.sh [BUILD_DIR]       (default: build-peers, a Release build made here)
#   NS="200 400" RUNS=5 CONFIGS=... as run_all.sh takes them.
# The peers are installed here and only here: the tests never need them.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build-peers}

missing=()
command -v gnuplot >/dev/null || missing+=(gnuplot-nox)
/usr/bin/python3 -c 'import matplotlib' 2>/dev/null || missing+=(python3-matplotlib)
/usr/bin/python3 -c 'import numpy' 2>/dev/null || missing+=(python3-numpy)
[ -x /usr/bin/time ] || missing+=(time)
if [ ${#missing[@]} -gt 0 ]; then
    sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}"
fi

if [ ! -x "$build/app/kavlo" ]; then
    "$root/scripts/install-deps.sh"
    "$root/scripts/build.sh" "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
fi

# The harness writes beside itself (data/, out/, raw/): run a copy in the build folder.
work="$build/peers"
rm -rf "$work"
mkdir -p "$work"
cp "$root"/bench/peers/{gen_grid.py,render_gnuplot.gp,render_mpl.py,run_all.sh,summarize.py} "$work/"
NS=${NS:-"200 400"} RUNS=${RUNS:-5} KAVLO="$build/app/kavlo" bash "$work/run_all.sh"
cat "$work/results_table.md"
