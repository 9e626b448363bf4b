#!/usr/bin/env bash
# Installs what is missing, builds Kavlo and runs it: the main window, or with a verb the
# command line (e.g. `check FILE`, `render -o page.pdf`).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" "$root/build"
exec "$root/build/app/kavlo" "$@"
