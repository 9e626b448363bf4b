#!/usr/bin/env bash
# Times whole `kavlo render` runs (start-up, reading, drawing, writing) on generated grids and
# reports peak memory. Usage: bench/render_process.sh [BUILD_DIR] [big] (default: build); with
# `big` also a 2000 x 2000 surface to SVG and PDF, the vector pages that must not be held whole.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
kavlo="$root/${1:-build}/app/kavlo"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

grid() {  # N: a smooth hill on an N x N grid
    awk -v n="$1" 'BEGIN {
        printf "%d, %d\n", n, n
        for (j = 0; j < n; j++) {
            for (i = 0; i < n; i++) {
                x = 4 * i / n - 2; y = 4 * j / n - 2
                printf "%.5f%s", exp(-x * x - y * y), (i < n - 1 ? ", " : "\n")
            }
        }
    }' > "$work/g$1.dat"
}

format() {  # LDR IPL
    printf 'bench\n\n\n80, 60, 50, 5, 8, 0, 7\n\n30, 20, 1, %s, %s\n\n\n4, 1, 0, 3\n\n4, 1, 0, 3\n\n4, 1, 0, 0\n\n\n5, x\n\n5, y\n\n5, z\n' \
        "$2" "$1" > "$work/f$1-$2.dat"
}

pathfile() {  # NAME FORMAT NUMERIC: one graph alone on the page
    {
        printf '/\r\n%s\r\n*.dat\r\n%s\r\n\r\n\r\n\r\n\r\n\r\n' "$work" "$2"
        printf '/\r\n%s\r\n*.dat\r\n%s\r\n\r\n\r\n\r\n\r\n\r\n' "$work" "$3"
        printf '/\r\n%s\r\n*.txt\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n0\r\n3\r\n0\r\n' "$work"
    } > "$work/$1.pth"
}

grid 200
grid 400
format 6 0
format 3 0
pathfile surface200 "$work/f6-0.dat" "$work/g200.dat"
pathfile surface400 "$work/f6-0.dat" "$work/g400.dat"
pathfile mesh400 "$work/f3-0.dat" "$work/g400.dat"
pathfile empty "" ""

run() {  # LABEL PATHFILE OUT [OPTION...]: best of five, peak memory of the last
    local best=999999 ms
    for _ in 1 2 3 4 5; do
        local start=$(date +%s%N)
        "$kavlo" render --pth "$work/$2.pth" -o "$work/$3" "${@:4}" 2>/dev/null
        ms=$((($(date +%s%N) - start) / 1000000))
        ((ms < best)) && best=$ms
    done
    local peak=0
    if [ -x /usr/bin/time ]; then
        peak=$( { /usr/bin/time -f '%M' "$kavlo" render --pth "$work/$2.pth" -o "$work/$3" "${@:4}" 2>&1 >/dev/null; } | tail -1)
    fi
    printf '%-40s %6d ms  %6d MB peak\n' "$1" "$best" $((peak / 1024))
}

run "empty page, PNG" empty e.png
run "200 x 200 IPL 0 surface, PNG" surface200 s.png
run "200 x 200 IPL 0 surface, PNG at 150 DPI" surface200 s.png --dpi 150
run "200 x 200 IPL 0 surface, SVG" surface200 s.svg
run "200 x 200 IPL 0 surface, PDF" surface200 s.pdf
run "400 x 400 IPL 0 rectangular mesh, PNG" mesh400 m.png
run "400 x 400 IPL 0 surface, PNG" surface400 s4.png
run "400 x 400 IPL 0 surface, PNG at 150 DPI" surface400 s4.png --dpi 150
run "400 x 400 IPL 0 surface, SVG" surface400 s4.svg
run "400 x 400 IPL 0 surface, PDF" surface400 s4.pdf

if [ "${2:-}" = big ]; then
    grid 2000
    pathfile surface2000 "$work/f6-0.dat" "$work/g2000.dat"
    for out in s20.svg s20.pdf; do
        /usr/bin/time -f "2000 x 2000 IPL 0 surface, ${out#s20.}: %e s  %M KB peak" \
            "$kavlo" render --pth "$work/surface2000.pth" -o "$work/$out" 2>&1 >/dev/null | tail -1
        rm -f "$work/$out"
    done
fi
