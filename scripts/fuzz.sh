#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/ and runs each for a
# bounded time, starting from its corpus under fuzz/corpus/<target>/. What the
# run finds goes to build-fuzz/corpus/<target>/; afterwards only the small
# inputs that reach new code are merged back into fuzz/corpus/ (commit them).
# A crash, hang or sanitizer report leaves its input in build-fuzz/crashes/
# and the full output in build-fuzz/logs/<target>.log: turn it into a
# regression test. Ends with one line per target: time, executions, coverage.
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
((${#targets[@]})) || targets=(fuzz_linea_comandos fuzz_traduccion fuzz_traduccion_pg fuzz_reescritura
                               fuzz_consultas_vrl fuzz_ini fuzz_bases_txt fuzz_formula)
cmake --build "$out" -j"$(nproc)" --target "${targets[@]}"

mkdir -p "$out/crashes" "$out/logs"
export ASAN_OPTIONS="detect_leaks=0"
# Qt finds no display and needs none here.
export QT_QPA_PLATFORM=offscreen
status=0
summary=()
for t in "${targets[@]}"; do
    corpus="$ROOT/fuzz/corpus/$t"
    work="$out/corpus/$t"
    log="$out/logs/$t.log"
    mkdir -p "$corpus" "$work"
    say "$t: ${secs}s"
    # A unit slower than 5 s is a hang or a blow-up, and is reported as one.
    result=ok
    "$out/bin/$t" "$work" "$corpus" -max_total_time="$secs" -max_len=65536 -timeout=5 -rss_limit_mb=2048 \
        -artifact_prefix="$out/crashes/$t-" -print_final_stats=1 >"$log" 2>&1 || { result=FAILED; status=1; }
    tail -n 12 "$log" >&2
    execs="$(grep -o 'stat::number_of_executed_units: [0-9]*' "$log" | tail -n 1 | grep -o '[0-9]*$' || true)"
    cov="$(grep -o 'cov: [0-9]* ft: [0-9]*' "$log" | tail -n 1 || true)"
    if [[ "$result" == ok ]]; then
        # Keep the repository's corpus small: only short inputs that add coverage.
        "$out/bin/$t" -merge=1 -max_len=4096 "$corpus" "$work" >>"$log" 2>&1 || true
    fi
    summary+=("$(printf '%-22s %5ss %12s execs  %-22s corpus %4s files  %s' "$t" "$secs" "${execs:-?}" "${cov:-cov: ?}" \
        "$(find "$corpus" -type f | wc -l)" "$result")")
done
printf '%s\n' "${summary[@]}"
exit "$status"
