#!/usr/bin/env bash
# Builds the fuzz targets under fuzz/ with clang, libFuzzer, ASan and UBSan, and runs each for
# SECONDS (default 60) on a working copy of its seed corpus: scripts/fuzz.sh [SECONDS [TARGET...]]
# (all targets unless some are named, e.g. format_reader).
# The build folder is $KAVLO_FUZZ_BUILD (default build-fuzz in the repo). Fails when any target
# crashes, leaks, times out or runs out of memory; the input that did it is named in the output.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
shift || true
dir=${KAVLO_FUZZ_BUILD:-$root/build-fuzz}

"$root/scripts/install-deps.sh"

# Optimised, but with assertions: the grid arrays check their indices.
cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DKAVLO_FUZZ=ON \
    -DKAVLO_BENCHMARKS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g" >/dev/null
cmake --build "$dir" --target kavlo_fuzz_targets

# The readers write and rewrite their input files on every run: keep that off the disk. libFuzzer
# ends without destructors, so the targets' scratch folders go with this one.
scratch_root=/tmp
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
    scratch_root=/dev/shm
fi
TMPDIR=$(mktemp -d "$scratch_root/kavlo-fuzz-run.XXXXXX")
export TMPDIR
export LSAN_OPTIONS="suppressions=$root/fuzz/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
trap 'rm -rf -- "$TMPDIR"' EXIT

# Longest input per target: data files are a few KB, longer inputs only slow the search.
declare -A max_len=(
    [format_reader]=4096 [numeric_reader]=8192 [path_file]=4096
    [text_decoding]=4096 [format_write_back]=4096 [comment_file]=8192
    [edited_text]=4096 [page_render]=8192
)

failed=()
programs=("$dir"/fuzz/kavlo_fuzz_*)
if (($#)); then
    programs=("${@/#/$dir/fuzz/kavlo_fuzz_}")
fi
for program in "${programs[@]}"; do
    [ -x "$program" ] || { echo "No fuzz target ${program##*/}"; exit 2; }
    target=${program##*/kavlo_fuzz_}
    work="$dir/fuzz-work/$target"
    mkdir -p "$work/corpus" "$work/artifacts"
    cp -n "$root/fuzz/corpus/$target"/* "$work/corpus/" 2>/dev/null || true
    echo "== $target: ${seconds}s"
    if ! (cd "$work" && "$program" -max_total_time="$seconds" -rss_limit_mb=2048 \
        -malloc_limit_mb=2048 -timeout=10 -max_len="${max_len[$target]:-4096}" \
        -print_final_stats=1 -artifact_prefix="$work/artifacts/" "$work/corpus" \
        >"$work/log.txt" 2>&1); then
        failed+=("$target")
        grep -E 'ERROR|SUMMARY|invariant broken|Test unit written' "$work/log.txt" || true
        echo "   log: $work/log.txt"
    fi
    grep -E '^(#[0-9]+.*DONE|stat::number_of_executed_units)' "$work/log.txt" || true
    echo "   working corpus: $(find "$work/corpus" -type f | wc -l) files"
done

if ((${#failed[@]})); then
    echo "Failed: ${failed[*]} (crash inputs in $dir/fuzz-work/TARGET/artifacts/)"
    exit 1
fi
echo "Every target ran clean."
