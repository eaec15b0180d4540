# shellcheck shell=bash
# Shared helpers for the scripts in this folder (sourced, not run).

# Root of the source tree, whatever the caller's working directory.
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="$ROOT/build"
BIN_DIR="$BUILD_DIR/bin"

say() { printf '==> %s\n' "$*" >&2; }
die() { printf 'error: %s\n' "$*" >&2; exit 1; }

# make_db TARGET SCRIPT...
# Builds TARGET from scratch with sqlrun: the first script recreates the
# file, the others run on it in order. The database is built beside the
# target and moved into place only when every script succeeded.
make_db() {
    local target="$1"; shift
    local sqlrun="$BIN_DIR/sqlrun"
    if [[ ! -x "$sqlrun" ]]; then
        say "sqlrun not built yet; building the project"
        "$ROOT/scripts/build.sh"
    fi
    [[ -x "$sqlrun" ]] || die "$sqlrun is missing after the build"

    mkdir -p "$(dirname "$target")"
    local tmp="$target.tmp.$$"
    # shellcheck disable=SC2064  # expand $tmp now
    trap "rm -f '$tmp' '$tmp-journal' '$tmp-wal' '$tmp-shm'" EXIT

    local first=1 script
    for script in "$@"; do
        say "sqlrun $(basename "$script") -> $target"
        if ((first)); then
            "$sqlrun" "$tmp" "$script" --new
            first=0
        else
            "$sqlrun" "$tmp" "$script"
        fi
    done
    # The engine keeps a write-ahead log beside the file: an old one must not
    # be replayed into the new database.
    rm -f "$target-wal" "$target-shm" "$target-journal"
    mv -f "$tmp" "$target"
    trap - EXIT
}
