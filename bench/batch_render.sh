#!/usr/bin/env bash
# Times PAGES copies of the sample page drawn (a) by one `kavlo render` each, one after another,
# against (b) one run that draws them all into one PDF, with the wall time and the peak memory of
# each, and (c) that one run at a quarter of the pages: its peak must not grow with the pages.
# Usage: bench/batch_render.sh [BUILD_DIR] [PAGES] (default: build, 100); BUILD_DIR may be
# absolute. The batch needs a kavlo that takes --pth more than once.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
[[ $build == /* ]] || build=$root/$build
kavlo=$build/app/kavlo
pages=${2:-100}
if ! [[ $pages =~ ^[1-9][0-9]*$ ]]; then
    echo "usage: bench/batch_render.sh [BUILD_DIR] [PAGES]" >&2
    exit 2
fi
[ -x "$kavlo" ] || { echo "no program at $kavlo" >&2; exit 2; }
[ -x /usr/bin/time ] || { echo "needs /usr/bin/time (apt-get install time)" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The first render seeds a new application folder with the samples and draws their page; the
# path file of that page is left to us (nothing writes one until the main window draws).
"$kavlo" render --home "$work/H" -o "$work/seed.pdf"
samples=(frmqap1.dat frmqap2.dat frmqap3.dat frmqap4.dat frmqap5.dat frmqap6.dat g01.dat
    cmtqap1.txt cmtqap2.txt cmtqap3.txt cmtqap4.txt)

pathfile() {  # FOLDER: the sample page naming FOLDER's copies, 31 CRLF lines
    local folder=$1 slot
    {
        printf '/\r\n%s\r\n*.dat\r\n' "$folder"
        for slot in 1 2 3 4 5 6; do printf '%s/frmqap%d.dat\r\n' "$folder" "$slot"; done
        printf '/\r\n%s\r\n*.dat\r\n' "$folder"
        for slot in 1 2 3 4 5 6; do printf '%s/g01.dat\r\n' "$folder"; done
        printf '/\r\n%s\r\n*.txt\r\n' "$folder"
        for slot in 1 2 3 4; do printf '%s/cmtqap%d.txt\r\n' "$folder" "$slot"; done
        printf '\r\n\r\n'
        printf '\r\n0\r\n3\r\n0\r\n'  # no header text; the samples' face, size and alignment
    } >"$folder/Kavlo.pth"
}

pth=()
for ((k = 1; k <= pages; k++)); do
    mkdir "$work/p_$k"
    cp "${samples[@]/#/$work/H/}" "$work/p_$k/"
    pathfile "$work/p_$k"
    pth+=(--pth "$work/p_$k/Kavlo.pth")
done

timed() {  # LABEL COMMAND...: wall seconds and peak KB into $work/LABEL.time
    local label=$1
    shift
    if ! /usr/bin/time -f '%e %M' -o "$work/$label.time" "$@" 2>"$work/$label.err"; then
        echo "($label) failed:" >&2
        cat "$work/$label.err" >&2
        exit 1
    fi
}
row() {  # LABEL TEXT
    local seconds peak
    read -r seconds peak <"$work/$1.time"
    printf '(%s) %-34s %8.2f s %6d MB\n' "$1" "$2" "$seconds" $((peak / 1024))
}

printf 'kavlo: %s\n%d pages of the sample page (6 graphs, 4 comments), PDF\n' "$kavlo" "$pages"
printf '%-38s %8s %8s\n' "" wall peak
# The peak of the loop is the largest of its runs: the shell's children's peak reaches time.
timed a bash -c 'for ((k = 1; k <= $2; k++)); do
    "$1" render --pth "$3/p_$k/Kavlo.pth" -o "$3/p_$k/page.pdf" || exit
done' runs "$kavlo" "$pages" "$work"
row a "$pages runs, a page each"

help=$("$kavlo" render --help 2>&1 || true)
if ! grep -q -- --header <<<"$help"; then
    echo "(b), (c): this kavlo takes one --pth only; build the batch render first"
    exit 0
fi
timed b "$kavlo" render "${pth[@]}" -o "$work/all.pdf"
row b "one run, $pages pages"
quarter=$(((pages + 3) / 4))
timed c "$kavlo" render "${pth[@]:0:2*quarter}" -o "$work/quarter.pdf"
row c "one run, $quarter pages"

read -r a_seconds _ <"$work/a.time"
read -r b_seconds b_peak <"$work/b.time"
read -r _ c_peak <"$work/c.time"
printf '(b) - (c) peak: %+d MB for %d more pages (goal: about 0)\n' \
    $(((b_peak - c_peak) / 1024)) $((pages - quarter))
awk -v a="$a_seconds" -v b="$b_seconds" 'BEGIN {
    ratio = a > 0 ? b / a : 0
    printf "(b)/(a) wall time: %.3f (goal below 0.333: %s)\n", ratio, ratio < 1 / 3 ? "met" : "missed"
}'
if command -v pdfinfo >/dev/null; then
    printf 'all.pdf: %s pages\n' "$(pdfinfo "$work/all.pdf" | awk '/^Pages:/ { print $2 }')"
else
    echo "all.pdf: pdfinfo missing (apt-get install poppler-utils) to count its pages"
fi
