#!/usr/bin/env bash
# Runs kavlo_print_bench against a private CUPS spooler (tests/print/private_cups.sh) whose
# queue is stopped: CUPS takes and keeps each job without running the filters, so the figures
# are the program's own. Nothing of the machine's printing is touched.
#   bench/print_bench.sh BUILD_DIR [benchmark options]
set -euo pipefail
build=$1
shift
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=../tests/print/private_cups.sh
source "$here/../tests/print/private_cups.sh"
work=$(mktemp -d)
chmod 755 "$work"
cleanup() {
    cancel -a 2>/dev/null || true
    private_cups_stop "$work/cups"
    rm -rf "$work"
}
trap cleanup EXIT
private_cups_start "$work/cups" kavlo_bench
cupsdisable kavlo_bench
"$build/bench/kavlo_print_bench" "$@"
