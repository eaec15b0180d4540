#!/usr/bin/env bash
# Installs what is missing, builds and runs every test (no screen needed).
# Extra arguments go to ctest, e.g. scripts/test.sh -R Lookup
set -euo pipefail
# shellcheck source=scripts/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

"$ROOT/scripts/setup.sh"
"$ROOT/scripts/build.sh"

export QT_QPA_PLATFORM=offscreen
say "running the tests"
ctest --test-dir "$BUILD_DIR" --output-on-failure -j2 "$@"
