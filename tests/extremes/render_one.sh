#!/usr/bin/env bash
# One render of the sweep under its limits: render_one.sh KAVLO CASE_DIR EXT
# CASE_DIR holds Kavlo.pth and the name of the case in `case`; the page goes to CASE_DIR/page.EXT.
# Prints one line: field, value, output, exit status, seconds, peak memory in KiB, verdict.
set -uo pipefail
kavlo=$1
dir=$2
ext=$3
memory_kib=1048576
seconds=20

out="$dir/page.$ext"
usage="$dir/time.$ext"
(
    ulimit -v "$memory_kib"
    exec /usr/bin/time -f '%e %M' -o "$usage" \
        timeout -k 2 "$seconds" "$kavlo" render --pth "$dir/Kavlo.pth" -o "$out"
) >/dev/null 2>"$dir/stderr.$ext"
status=$?

read -r elapsed peak < <(tail -n 1 "$usage" 2>/dev/null) || true
case $status in
    0 | 1)
        if [ ! -s "$out" ]; then
            verdict="no output file"
        elif grep -qi 'out of memory' "$dir/stderr.$ext"; then
            # Qt leaves out what it cannot allocate: the page is unbounded, merely cut short.
            verdict="reached the memory limit"
        else
            verdict=ok
        fi
        ;;
    124) verdict="time-out after ${seconds} s" ;;
    *) if ((status > 128)); then verdict="signal $((status - 128))"; else verdict="exit $status"; fi ;;
esac
if [ "$verdict" != ok ]; then
    # The last message usually says why: an allocation that failed, an unwritable output.
    why=$(grep -i -m 1 'out of memory' "$dir/stderr.$ext" || tail -n 1 "$dir/stderr.$ext")
    verdict+=${why:+: $why}
fi
printf '%s %s %s %s %s %s\n' "$(cat "$dir/case")" "$ext" "$status" "${elapsed:-?}" "${peak:-?}" "$verdict"
