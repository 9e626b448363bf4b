#!/usr/bin/env bash
# Installs what is missing, builds Kavlo and runs it: with arguments, those are passed on
# (e.g. `check FILE`, `render -o page.pdf`); without, every bundled sample is checked and the
# sample page is drawn into build/sample-page.png.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" "$root/build"
kavlo="$root/build/app/kavlo"
if (($#)); then
    exec "$kavlo" "$@"
fi
samples="$root/resources/samples"
status=0
for n in 1 2 3 4 5 6; do
    echo "frmqap$n.dat with g01.dat:"
    "$kavlo" check --slot "$n" "$samples/frmqap$n.dat" "$samples/g01.dat" || status=1
done
"$kavlo" render --home "$root/build/home" -o "$root/build/sample-page.png" || status=1
echo "The sample page: $root/build/sample-page.png"
exit $status
