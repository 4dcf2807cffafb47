#!/usr/bin/env bash
# Every test of the three layers: native unit tests with sanitizers, then the
# Windows unit tests and the end-to-end tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
make --no-print-directory build
ctest --preset native
scripts/with-wine.sh ctest --preset windows
