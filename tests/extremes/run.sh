#!/usr/bin/env bash
# Renders a small rectangular-mesh page once for every value of values.txt in every field of
# fields.txt, one at a time, to PNG, PDF, SVG and EMF, each under 1 GB of address space and 20 s.
# Fails when any render crashes, is killed, runs out of time, exits 2 or leaves no page.
# Usage: tests/extremes/run.sh BUILD_DIR  (renders with BUILD_DIR/app/kavlo)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
if [ $# -ne 1 ] || [ ! -x "$1/app/kavlo" ]; then
    echo "usage: tests/extremes/run.sh BUILD_DIR (with BUILD_DIR/app/kavlo built)" >&2
    exit 2
fi
kavlo=$(cd "$1/app" && pwd)/kavlo
[ -x /usr/bin/time ] || "$root/scripts/install-deps.sh"
export QT_QPA_PLATFORM=offscreen
outputs=(png pdf svg emf)

work=$(mktemp -d "${TMPDIR:-/tmp}/kavlo-extremes.XXXXXX")
trap 'rm -rf "$work"' EXIT

entries() { grep -v -e '^#' -e '^[[:space:]]*$' "$1"; }

# The base page: one rectangular mesh (LDR 3) with its comment and a header.
cat >"$work/base.dat" <<'FORMAT'
Kavlo format data: extremes sweep, rectangular mesh
XWD, YWD, ZWD, XSF, YSP, CSZ, FNT
frame
45, 36, 30, 4, 8, 3.5, 0
FXD, FYD, LWD, IPL, LDR
30, 20, 1, 2, 3
numeric labels
XNS, XND, XMN, XMX
4, 1, 0, 4
YNS, YND, YMN, YMX
4, 1, 0, 3
ZNS, ZND, ZMN, ZMX
4, 1, 0, 0
text labels
XLS, XLB
5, "x 方向 (m)"
YLS, YLB
5, "y 方向 (m)"
ZLS, ZLB
5, "高さ z"
FORMAT
cat >"$work/grid.dat" <<'GRID'
5, 4
0.0, 0.4, 0.9, 0.5, 0.2
0.3, 1.2, 2.0, 1.1, 0.4
0.2, 0.9, 1.6, 0.8, 0.3
0.0, 0.2, 0.5, 0.3, 0.1
GRID
printf '%s\n' "図 1　極値の試験に使う格子。" "5 × 4 の点を長方形の網で描く。" >"$work/comment.txt"

# A case folder: the name of the case, its format file and a path file naming the three files.
make_case() {
    local dir="$work/cases/$1" name=$2 format=$3 file
    mkdir -p "$dir"
    echo "$name" >"$dir/case"
    {
        for file in "$format" "$work/grid.dat" "$work/comment.txt"; do
            # Drive, folder, pattern, then slot 1 and the five empty slots.
            printf '/\r\n%s\r\n\r\n%s\r\n' "$work" "$file"
            printf '\r\n%.0s' 2 3 4 5 6
        done
        printf '極値の試験\r\n0\r\n3\r\n0\r\n'
    } >"$dir/Kavlo.pth"
}

# Writes base.dat with `value` at `place` of line `line`; fails when the line has no such place.
with_value() {
    awk -v line="$1" -v place="$2" -v value="$3" 'BEGIN { FS = OFS = "," }
        NR == line { if (NF < place) bad = 1; else $place = (place > 1 ? " " : "") value }
        { print }
        END { exit (NR < line || bad) ? 3 : 0 }' "$work/base.dat"
}

render_all() {
    xargs -P 2 -L 1 "$here/render_one.sh" "$kavlo"
}

# Without a drawn base page every case below would prove nothing.
make_case base "base -" "$work/base.dat"
base=$(for ext in "${outputs[@]}"; do echo "$work/cases/base $ext"; done | render_all)
if grep -qv ' 0 [^ ]* [^ ]* ok$' <<<"$base"; then
    echo "extremes: the base page is not drawn cleanly:" >&2
    echo "$base" >&2
    exit 1
fi

count=0
while read -r field line place; do
    while read -r value; do
        count=$((count + 1))
        if ! with_value "$line" "$place" "$value" >"$work/$count.dat"; then
            echo "extremes: fields.txt: line $line of a format file has no place $place ($field)" >&2
            exit 1
        fi
        make_case "$count" "$field $value" "$work/$count.dat"
    done < <(entries "$here/values.txt")
done < <(entries "$here/fields.txt")

for ext in "${outputs[@]}"; do
    for ((k = 1; k <= count; k++)); do echo "$work/cases/$k $ext"; done
done | render_all >"$work/results"

awk -v cases="$count" '
    { renders++; ext = $3
      if ($5 > worst[ext]) { worst[ext] = $5; slowest[ext] = $1 " " $2 }
      if ($6 > peak[ext]) { peak[ext] = $6; largest[ext] = $1 " " $2 }
      if ($7 != "ok") { failed++; why = $7; for (k = 8; k <= NF; k++) why = why " " $k
                        failures = failures sprintf("FAIL %s = %s to %s: %s\n", $1, $2, ext, why) } }
    END {
        printf "extremes: %d renders (%d cases x %d outputs), %d failed\n", renders, cases, renders / cases, failed
        n = split("png pdf svg emf", order, " ")
        for (k = 1; k <= n; k++) { e = order[k]
            printf "  %s: worst %.2f s (%s), peak %.0f MiB (%s)\n", e, worst[e], slowest[e], peak[e] / 1024, largest[e] }
        printf "%s", failures
        exit (failed > 0)
    }' "$work/results"
