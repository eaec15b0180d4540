#!/usr/bin/env bash
# The benchmark table: what counts as a met target, how far a miss is, and
# the rows for benchmarks that could not run.
set -euo pipefail
bench="$1"
dir="$(mktemp -d)"
trap 'rm -rf "$dir"' EXIT
t=$'\t'
cat > "$dir/log" <<LOG
some human output that is not a result
RESULT${t}scenario=Exactly at the limit${t}size=100,000 x 5${t}time_ms=150.0${t}floor=sqlite3 C API${t}floor_ms=100.0${t}ratio=1.50${t}target=<=1.5x
RESULT${t}scenario=Strict limit reached${t}size=1${t}time_ms=300.0${t}floor=AbrirRecordset${t}floor_ms=100.0${t}ratio=3.00${t}target=<3x
RESULT${t}scenario=Well under${t}size=1${t}time_ms=120.0${t}floor=AbrirRecordset${t}floor_ms=100.0${t}ratio=1.20${t}target=<3x${t}note=best of 5 each
RESULT${t}scenario=Slow key${t}size=100,000 rows${t}time_ms=62.5${t}floor=${t}floor_ms=0.0${t}ratio=0.00${t}target=<50ms
RESULT${t}scenario=Fast key${t}size=100,000 rows${t}time_ms=4.0${t}floor=${t}floor_ms=0.0${t}ratio=0.00${t}target=<50ms
RESULT${t}scenario=Figures only${t}size=1 | 2${t}time_ms=812.3${t}floor=${t}floor_ms=0.0${t}ratio=0.00${t}target=report
RESULT${t}scenario=Few statements${t}size=12 statements${t}time_ms=410.0${t}floor=same at 0 ms${t}floor_ms=8.0${t}ratio=51.25${t}target=<=20st${t}note=n${t}statements=12
RESULT${t}scenario=Many statements${t}size=23 statements${t}time_ms=950.0${t}floor=same at 0 ms${t}floor_ms=80.0${t}ratio=11.88${t}target=<=20st${t}note=n${t}statements=23
SKIP${t}scenario=AbrirRecordset (PostgreSQL, ODBC)${t}note=PostgreSQL not available: initdb not found
FAIL${t}scenario=Generic tree${t}note=exit 139: segmentation fault
LOG
out="$("$bench" --table-from "$dir/log" --markdown "$dir/table.md")"
md="$(cat "$dir/table.md")"
fail=0
expect() {  # expect TEXT LINE-PATTERN
    if ! grep -E -q -- "$2" <<<"$1"; then
        echo "missing: $2"; fail=1
    fi
}
expect "$out" '^Exactly at the limit .* yes'
expect "$out" '^Strict limit reached .* no: 3\.00x vs 3x \(\+0%\)'
expect "$out" '^Well under .*1\.20x .* yes +best of 5 each$'
expect "$out" '^Slow key .*62\.5 ms .* no: 62\.5 ms vs 50 ms \(\+25%\)'
expect "$out" '^Fast key .* yes'
# A target in statements is read from the statements the server received, not the ratio.
expect "$out" '^Few statements .*<=20 statements +yes'
expect "$out" '^Many statements .*no: 23 vs 20 statements \(\+15%\)'
expect "$out" '^Figures only .*812\.3 ms .*- \(report\)'
expect "$out" '^AbrirRecordset \(PostgreSQL, ODBC\) .*skipped +PostgreSQL not available: initdb not found'
expect "$out" '^Generic tree .*FAILED +exit 139'
if grep -q 'human output' <<<"$out"; then echo "a line that is not a result reached the table"; fail=1; fi
# The markdown table keeps one row per result, a blank in a value, and a bar
# inside a value escaped so the columns stay put.
expect "$md" '^\| scenario \| size \| time \|'
expect "$md" '^\|---'
expect "$md" '^\| Figures only \| 1 \\\| 2 \| 812\.3 ms \|'
expect "$md" '^\| Exactly at the limit \| 100,000 x 5 \| 150\.0 ms \| sqlite3 C API \(100\.0 ms\) \| 1\.50x \| <=1\.5x \| yes \|'
rows="$(grep -c '^| ' <<<"$md")"
[[ "$rows" == 11 ]] || { echo "markdown rows: $rows, expected 11"; fail=1; }
# A document with markers keeps its own text around a new table, every time.
printf '# Doc\n\nbefore\n<!-- bench:begin -->\nold table\n<!-- bench:end -->\nafter\n' > "$dir/doc.md"
"$bench" --table-from "$dir/log" --markdown "$dir/doc.md" >/dev/null 2>&1
"$bench" --table-from "$dir/log" --markdown "$dir/doc.md" >/dev/null 2>&1
doc="$(cat "$dir/doc.md")"
expect "$doc" '^before$'
expect "$doc" '^after$'
expect "$doc" '^\| Well under \|'
if grep -q 'old table' <<<"$doc"; then echo "the old table stayed"; fail=1; fi
[[ "$(grep -c '^| scenario' <<<"$doc")" == 1 ]] || { echo "the table is in the doc more than once"; fail=1; }
[[ "$(ls "$dir")" == "$(printf 'doc.md\nlog\ntable.md')" ]] || { echo "files left behind: $(ls "$dir")"; fail=1; }
exit $fail
