#!/usr/bin/env bash
# Configures (when needed) and builds the project into build/ with Ninja.
set -euo pipefail
# shellcheck source=scripts/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$ROOT"

cache="$BUILD_DIR/CMakeCache.txt"
if [[ -f "$cache" ]] && ! grep -q '^CMAKE_GENERATOR:INTERNAL=Ninja$' "$cache"; then
    say "build/ was configured with another generator; configuring again for Ninja"
    rm -rf "$cache" "$BUILD_DIR/CMakeFiles"
fi
if [[ ! -f "$BUILD_DIR/build.ninja" ]]; then
    say "configuring build/"
    launcher=()
    # A compiler cache makes rebuilds in other checkouts of the tree cheap.
    command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
    cmake -S "$ROOT" -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}"
fi
say "building"
# Paths below the tree are hashed relative to it (and the build folder not at
# all), so checkouts in other folders share the cache.
export CCACHE_BASEDIR="$ROOT" CCACHE_NOHASHDIR=1
cmake --build "$BUILD_DIR" -j"$(nproc)"
