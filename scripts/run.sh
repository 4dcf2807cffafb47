#!/usr/bin/env bash
# Builds the utility and runs it under Wine: on the user's display when there
# is one, otherwise as a demo on a private display that picks a sample file
# through the real dialog and prints what the user would see.
set -euo pipefail
cd "$(dirname "$0")/.."
make --no-print-directory windows
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  BQ_USE_DISPLAY=1 BQ_REUSE_PREFIX=1 BQ_WINEPREFIX="$PWD/build/wine/run-prefix" \
    scripts/with-wine.sh wine build/windows/brelloway-quintari.exe
else
  echo "No display: running the demo on a private one."
  scripts/with-wine.sh python3 tests/e2e/demo.py build/windows
fi
