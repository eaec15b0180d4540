#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/ and runs each for a
# bounded time on its corpus under fuzz/corpus/<target>/ (new inputs that reach
# new code are added there; commit the useful ones). A crash leaves its input
# in build-fuzz/crashes/: turn it into a regression test.
#   scripts/fuzz.sh [seconds per target, default 60] [target...]
set -euo pipefail
# shellcheck source=scripts/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$ROOT"

secs="${1:-60}"; shift || true
"$ROOT/scripts/setup.sh"
missing=()
for pkg in clang libclang-rt-14-dev; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
done
if ((${#missing[@]})); then
    SUDO=(); [[ "$(id -u)" -ne 0 ]] && SUDO=(sudo)
    "${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -y -q install "${missing[@]}"
fi

out="$ROOT/build-fuzz"
if [[ ! -f "$out/build.ninja" ]]; then
    flags="-g -O1 -fno-omit-frame-pointer -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined"
    CC=clang CXX=clang++ cmake -S "$ROOT" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
        -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
        -DBUILD_FUZZERS=ON -DBUILD_TESTING=OFF -DBUILD_BENCHMARKS=OFF
fi
targets=("$@")
((${#targets[@]})) || targets=(fuzz_linea_comandos fuzz_traduccion fuzz_reescritura fuzz_consultas_vrl fuzz_ini)
cmake --build "$out" -j"$(nproc)" --target "${targets[@]}"

mkdir -p "$out/crashes"
export ASAN_OPTIONS="detect_leaks=0"
status=0
for t in "${targets[@]}"; do
    corpus="$ROOT/fuzz/corpus/$t"
    mkdir -p "$corpus"
    say "$t: ${secs}s"
    "$out/bin/$t" "$corpus" -max_total_time="$secs" -max_len=65536 -timeout=10 \
        -artifact_prefix="$out/crashes/$t-" -print_final_stats=1 2>&1 | tail -n 12 || status=1
done
exit "$status"
