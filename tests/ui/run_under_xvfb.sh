#!/bin/sh
# Runs the given test program on a virtual X server, where a second X client (xclip) can read
# what the program put on the clipboard. Skipped (77) when the tools are not installed;
# scripts/install-deps.sh installs them.
set -eu
if ! command -v xvfb-run >/dev/null || ! command -v xclip >/dev/null; then
    echo "xvfb-run or xclip is missing" >&2
    exit 77
fi
export QT_QPA_PLATFORM=xcb
# Under the sanitizers: what the X11 platform's libraries keep to the end is not ours.
export LSAN_OPTIONS="suppressions=$(dirname "$0")/x11_leaks.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
exec xvfb-run -a "$@"
