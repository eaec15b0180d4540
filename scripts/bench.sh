#!/usr/bin/env bash
# Builds what the benchmarks need, prepares their databases, starts a private
# Xvfb + openbox for the ones that measure a real X server, runs every
# benchmark and prints one table of all their results.
#
#   scripts/bench.sh [--markdown FILE] [--no-build] [--only NAME[,NAME...]] [--display N]
#   scripts/bench.sh --table-from LOG [--markdown FILE]   (only formats RESULT lines)
#
# --markdown FILE writes the table as markdown; when FILE already has the lines
# <!-- bench:begin --> and <!-- bench:end -->, only what is between them is
# replaced (scripts/bench.sh --markdown docs/PERFORMANCE.md updates the doc).
#
# Each program prints its own figures and then one line per scenario:
#   RESULT<TAB>scenario=...<TAB>size=...<TAB>time_ms=...<TAB>floor=...<TAB>floor_ms=...<TAB>ratio=...<TAB>target=...
# which this script gathers; their logs stay in build/bench/.
set -euo pipefail
# shellcheck source=scripts/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

markdown="" table_from="" build=1 only="" machine="" wanted_display=""
while (($#)); do
    case "$1" in
        --markdown) markdown="$(realpath -m "${2:?--markdown needs a file}")"; shift 2 ;;
        --table-from) table_from="${2:?--table-from needs a file}"; shift 2 ;;
        --no-build) build=0; shift ;;
        --only) only=",${2:?--only needs names},"; shift 2 ;;
        --display) wanted_display="${2:?--display needs a number}"; shift 2 ;;
        -h|--help) sed -n '2,15p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
        *) die "unknown option: $1 (see --help)" ;;
    esac
done

# Reads RESULT lines (and SKIP/FAIL lines written below) on stdin and prints
# the table: plain text, or markdown with --md.
format_table() {
    awk -F'\t' -v md="${1:-}" '
    function field(name,    i) {
        for (i = 2; i <= NF; i++) if (index($i, name "=") == 1) return substr($i, length(name) + 2)
        return ""
    }
    function ms(v) { return v == "" ? "" : sprintf("%.1f ms", v) }
    # met: yes / no with how far from the target / - for figures only
    # a target in "st" counts the statements the server received
    function met(target, ratio, time, statements,    limit, value, unit, ok, over) {
        if (target == "report" || target == "") return "- (report)"
        unit = target ~ /ms$/ ? "ms" : target ~ /st$/ ? "st" : "x"
        limit = target; gsub(/[<=xmst]/, "", limit); limit += 0
        value = (unit == "ms" ? time : unit == "st" ? statements : ratio) + 0
        ok = target ~ /^<=/ ? value <= limit : value < limit
        if (ok) return "yes"
        over = (value / limit - 1) * 100
        if (unit == "st") return sprintf("no: %d vs %d statements (+%.0f%%)", value, limit, over)
        return sprintf("no: %s%s vs %s%s (+%.0f%%)", unit == "ms" ? sprintf("%.1f ", value) : sprintf("%.2f", value), unit,
                       unit == "ms" ? limit " " : limit, unit, over)
    }
    function row(a, b, c, d, e, f, g, h) {
        n++
        cell[n, 1] = a; cell[n, 2] = b; cell[n, 3] = c; cell[n, 4] = d
        cell[n, 5] = e; cell[n, 6] = f; cell[n, 7] = g; cell[n, 8] = h
        for (k = 1; k <= 8; k++) if (length(cell[n, k]) > width[k]) width[k] = length(cell[n, k])
    }
    BEGIN { row("scenario", "size", "time", "floor", "ratio", "target", "met", "note"); n = 1 }
    $1 == "RESULT" {
        floor = field("floor")
        floorText = floor == "" ? "-" : floor " (" ms(field("floor_ms")) ")"
        ratio = floor == "" ? "-" : sprintf("%.2fx", field("ratio"))
        target = field("target")
        shown = target == "report" ? "report" : target
        if (target ~ /st$/) { shown = target; sub(/st$/, " statements", shown) }
        row(field("scenario"), field("size"), ms(field("time_ms")), floorText, ratio, shown,
            met(target, field("ratio"), field("time_ms"), field("statements")), field("note"))
    }
    $1 == "SKIP" || $1 == "FAIL" {
        row(field("scenario"), "-", "-", "-", "-", "-", $1 == "SKIP" ? "skipped" : "FAILED", field("note"))
    }
    END {
        for (r = 1; r <= n; r++) {
            line = md ? "|" : ""
            for (k = 1; k <= 8; k++) {
                v = cell[r, k]
                if (md) { gsub(/\|/, "\\|", v); line = line " " v " |" }
                else line = line sprintf("%-*s", width[k] + 2, v)
            }
            sub(/ +$/, "", line)
            print line
            if (md && r == 1) print "|---|---|---:|---|---:|---|---|---|"
        }
    }'
}

emit() {
    local results="$1"
    format_table < "$results"
    [[ -n "$machine" ]] && printf '\n%s\n' "$machine"
    if [[ -n "$markdown" ]]; then
        mkdir -p "$(dirname "$markdown")"
        local block="$markdown.table.$$"
        {
            format_table --md < "$results"
            [[ -z "$machine" ]] || printf '\n%s\n' "$machine"
        } > "$block"
        # A document that marks where its table goes keeps the rest of its text.
        if [[ -f "$markdown" ]] && grep -q '^<!-- bench:begin -->$' "$markdown" && grep -q '^<!-- bench:end -->$' "$markdown"; then
            awk -v block="$block" '
                /^<!-- bench:end -->$/ { skip = 0 }
                !skip { print }
                /^<!-- bench:begin -->$/ { skip = 1; while ((getline l < block) > 0) print l }
            ' "$markdown" > "$markdown.new.$$"
            mv -f "$markdown.new.$$" "$markdown"
            rm -f "$block"
        else
            mv -f "$block" "$markdown"
        fi
        say "markdown table written to $markdown"
    fi
}

if [[ -n "$table_from" ]]; then
    emit "$table_from"
    exit 0
fi

cd "$ROOT"
if ((build)); then
    cache="$BUILD_DIR/CMakeCache.txt"
    if [[ -f "$cache" ]]; then
        type="$(sed -n 's/^CMAKE_BUILD_TYPE:STRING=//p' "$cache")"
        [[ "$type" == Release || "$type" == RelWithDebInfo ]] ||
            die "build/ is configured as '${type:-no type}'; benchmarks need Release or RelWithDebInfo (remove build/ and run again)"
        grep -q '^BUILD_BENCHMARKS:BOOL=OFF' "$cache" && cmake "$BUILD_DIR" -DBUILD_BENCHMARKS=ON >/dev/null
    fi
    "$ROOT/scripts/build.sh"
fi

logs="$BUILD_DIR/bench"
mkdir -p "$logs"
results="$logs/results.tsv"
: > "$results"

db="$BIN_DIR/bench.db"
if [[ ! -f "$db" || "$ROOT/demo/bench.sql" -nt "$db" || "$ROOT/demo/schema.sql" -nt "$db" ]]; then
    "$ROOT/scripts/bench-db.sh" "$db"
fi

# A private X server on a display nobody uses, with openbox managing it, so
# windows are mapped, decorated and focused as on a desktop.
xvfb_pid="" openbox_pid="" display=""
stop_x() {
    if [[ -n "$openbox_pid" ]]; then kill "$openbox_pid" 2>/dev/null || true; fi
    if [[ -n "$xvfb_pid" ]]; then kill "$xvfb_pid" 2>/dev/null || true; fi
    openbox_pid="" xvfb_pid=""
}
trap stop_x EXIT
start_x() {
    command -v Xvfb >/dev/null || { say "Xvfb not installed: X-server benchmarks are skipped"; return 1; }
    local fifo="$logs/displayfd"
    rm -f "$fifo"; mkfifo "$fifo"
    # Without --display, Xvfb picks the first free display itself.
    # shellcheck disable=SC2086  # the display is one word or none
    Xvfb ${wanted_display:+":$wanted_display"} -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" 2>"$logs/xvfb.log" &
    xvfb_pid=$!
    read -r -t 20 display < "$fifo" || true
    rm -f "$fifo"
    [[ -n "$display" ]] || { say "Xvfb did not start (see $logs/xvfb.log)"; stop_x; return 1; }
    display=":$display"
    if command -v openbox >/dev/null; then
        DISPLAY="$display" openbox >"$logs/openbox.log" 2>&1 &
        openbox_pid=$!
        sleep 1
    fi
    say "Xvfb on $display (pid $xvfb_pid), openbox pid ${openbox_pid:-none}"
}

# run NAME X|- SCENARIO-IF-IT-FAILS [ARGS...]
run() {
    local name="$1" needs_x="$2" label="$3"; shift 3
    [[ -z "$only" || "$only" == *",$name,"* ]] || return 0
    local log="$logs/$name.log" env=(env) status=0 limit=300
    if [[ "$needs_x" == X ]]; then
        if [[ -z "$display" ]]; then
            printf 'SKIP\tscenario=%s\tnote=no X server (Xvfb) available\n' "$label" >> "$results"
            return 0
        fi
        env+=(DISPLAY="$display" QT_QPA_PLATFORM=xcb)
    else
        env+=(-u DISPLAY QT_QPA_PLATFORM=offscreen)
    fi
    say "$name $*"
    local start=$SECONDS
    timeout "$limit" "${env[@]}" "$BIN_DIR/$name" "$@" >"$log" 2>&1 || status=$?
    # Qt's chatter about the platform is not a figure.
    grep -v -e '^RESULT' -e 'This plugin does not support' -e 'XDG_RUNTIME_DIR' "$log" | sed 's/^/    /' >&2 || true
    grep '^RESULT' "$log" >> "$results" || true
    say "$name: $((SECONDS - start)) s, exit $status"
    if ((status != 0)) && ! grep -q '^RESULT' "$log"; then
        local why
        why="$(grep -v '^RESULT' "$log" | tail -n 1 | tr '\t' ' ')"
        ((status == 124)) && why="timed out after $limit s"
        if [[ "$name" == bench_postgres || "$name" == bench_idas_vuelta ]]; then
            printf 'SKIP\tscenario=%s\tnote=PostgreSQL not available: %s\n' "$label" "${why:-exit $status}" >> "$results"
        else
            printf 'FAIL\tscenario=%s\tnote=exit %s: %s\n' "$label" "$status" "$why" >> "$results"
        fi
    fi
}

started=$SECONDS
load_start="$(cut -d' ' -f1-3 /proc/loadavg)"
run bench_recordset - "AbrirRecordset (SQLite)"
run bench_lookup - "List lookup"
run bench_arbol - "Generic tree"
run bench_reportes - "Reports and data sheets"
run bench_postgres - "AbrirRecordset (PostgreSQL, ODBC and libpq)"
run bench_idas_vuelta - "Round trips on PostgreSQL at 0 and 30 ms (ODBC and libpq)"
start_x || true
run bench_arranque X "Start-up to ready for typing (X server)" "$db"
run bench_consulta_x11 X "F5 to lookup visible (X server)"
run bench_vista_x11 X "rp_cn070 click to first preview page (X server)"
stop_x
say "all benchmarks: $((SECONDS - started)) s; logs in $logs"
machine="$(printf 'Measured %s on %s, %s cores, %s GiB RAM, %s; load average %s at the start, %s at the end; %s s in all.' \
    "$(date -u '+%Y-%m-%d %H:%M UTC')" "$(lscpu | sed -n 's/^Model name: *//p' | head -n 1)" "$(nproc)" \
    "$(awk '/MemTotal/ { printf "%.0f", $2 / 1048576 }' /proc/meminfo)" \
    "$(sed -n 's/^PRETTY_NAME="\(.*\)"/\1/p' /etc/os-release) $(cat /etc/debian_version 2>/dev/null)" "$load_start" "$(cut -d' ' -f1-3 /proc/loadavg)" "$((SECONDS - started))")"
emit "$results"
