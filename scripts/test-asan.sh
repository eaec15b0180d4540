#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer into
# build-asan/ and runs every test there (no screen needed).
# Extra arguments go to ctest, e.g. scripts/test-asan.sh -R Titulos
set -euo pipefail
# shellcheck source=scripts/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$ROOT"

"$ROOT/scripts/setup.sh"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
if [[ ! -f "$ROOT/build-asan/build.ninja" ]]; then
    say "configuring build-asan/"
    cmake --preset asan "${launcher[@]}"
fi
say "building with sanitizers"
export CCACHE_BASEDIR="$ROOT" CCACHE_NOHASHDIR=1
cmake --build "$ROOT/build-asan" -j"$(nproc)"

export QT_QPA_PLATFORM=offscreen
# Leaks inside Qt's and fontconfig's one-time caches are not ours; memory
# errors and undefined behaviour stop the test that meets them.
export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1:strict_string_checks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
say "running the tests under the sanitizers"
ctest --test-dir "$ROOT/build-asan" --output-on-failure -j2 "$@"
