#!/usr/bin/env bash
# Prints the sample page through a private CUPS spooler (private_cups.sh) from the command line
# and from the canvas's print button, and checks that each job comes out as one A4 page that is
# the page `kavlo render --device printer` draws. Text does not survive the CUPS filters, so the
# pages are compared rasterised: their dark pixels must overlap.
#   print_through_cups_test.sh KAVLO PRINT_TESTS PAGE_OVERLAP
# With `take-job NAME` (from the canvas test) it checks the job just sent.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=private_cups.sh
source "$here/private_cups.sh"
readonly min_overlap=0.88

# Waits for the job, checks it is one A4 page like the expected one (any page with `any`), and
# keeps it as NAME.pdf.
take_job() {
    local name=$1 like=${2:-expected} page
    private_cups_wait_job "$KAVLO_TEST_CUPS_DIR" || return 1
    page=$KAVLO_TEST_WORK/$name
    ps2pdf "$KAVLO_TEST_CUPS_DIR/out/page.ps" "$page.pdf"
    rm -f "$KAVLO_TEST_CUPS_DIR/out/page.ps"
    if ! pdfinfo "$page.pdf" | grep -q '^Pages: *1$' ||
        ! pdfinfo "$page.pdf" | grep -q '^Page size: *595 x 842 pts'; then
        echo "$name: not one A4 page" >&2
        pdfinfo "$page.pdf" >&2
        return 1
    fi
    [ "$like" = any ] && return 0
    pdftoppm -r 30 -gray -singlefile "$page.pdf" "$page" 2>/dev/null
    echo -n "$name: "
    "$KAVLO_TEST_OVERLAP" "$page.pgm" "$KAVLO_TEST_WORK/expected.pgm" "$min_overlap"
}

if [ "${1:-}" = take-job ]; then
    take_job "$2" "${3:-expected}"
    exit
fi

kavlo=$1 print_tests=$2
export KAVLO_TEST_KAVLO=$kavlo
export KAVLO_TEST_OVERLAP=$3
export KAVLO_TEST_WORK
KAVLO_TEST_WORK=$(mktemp -d)
# The filters run as lp and read the spool inside it.
chmod 755 "$KAVLO_TEST_WORK"
export KAVLO_TEST_CUPS_DIR=$KAVLO_TEST_WORK/cups KAVLO_TEST_CUPS_QUEUE=kavlo_test
export KAVLO_TEST_PRINT_HOME=$KAVLO_TEST_WORK/home
export KAVLO_TEST_TAKE_JOB="bash $here/print_through_cups_test.sh take-job"
cleanup() {
    private_cups_stop "$KAVLO_TEST_CUPS_DIR"
    rm -rf "$KAVLO_TEST_WORK"
}
trap cleanup EXIT
private_cups_start "$KAVLO_TEST_CUPS_DIR" "$KAVLO_TEST_CUPS_QUEUE"

"$kavlo" render --home "$KAVLO_TEST_PRINT_HOME" --device printer -o "$KAVLO_TEST_WORK/expected.pdf"
pdftoppm -r 30 -gray -singlefile "$KAVLO_TEST_WORK/expected.pdf" "$KAVLO_TEST_WORK/expected" \
    2>/dev/null

failed=0
expect_status() {
    local want=$1 got=$2 what=$3
    if [ "$got" != "$want" ]; then
        echo "FAIL: $what: exit $got, expected $want" >&2
        failed=1
    fi
}

status=0
"$kavlo" print --home "$KAVLO_TEST_PRINT_HOME" || status=$?
expect_status 0 "$status" "kavlo print"
take_job command-line || failed=1

status=0
"$kavlo" print --home "$KAVLO_TEST_PRINT_HOME" --printer no_such_queue 2>"$KAVLO_TEST_WORK/err" ||
    status=$?
expect_status 3 "$status" "kavlo print --printer no_such_queue"
grep -q no_such_queue "$KAVLO_TEST_WORK/err" || { echo "FAIL: unknown printer not named" >&2; failed=1; }

cupsreject -r 'closed for the test' "$KAVLO_TEST_CUPS_QUEUE"
status=0
"$kavlo" print --home "$KAVLO_TEST_PRINT_HOME" 2>"$KAVLO_TEST_WORK/err" || status=$?
cupsaccept "$KAVLO_TEST_CUPS_QUEUE"
expect_status 3 "$status" "kavlo print to a queue that refuses jobs"
grep -q "not accepting jobs" "$KAVLO_TEST_WORK/err" || {
    echo "FAIL: CUPS's reason not told" >&2
    cat "$KAVLO_TEST_WORK/err" >&2
    failed=1
}

"$print_tests" || failed=1
exit "$failed"
