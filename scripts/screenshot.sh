#!/usr/bin/env bash
# Takes the README's picture of the main window: scripts/screenshot.sh [OUTPUT.png]
# (default docs/screenshot-main.png). Opens the program on the demo database
# on a virtual screen, loads title 3 as an operator would (types 3, Enter),
# and captures the window. SCREENSHOT_BIN_DIR picks another build's bin folder.
set -euo pipefail
# shellcheck source=scripts/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

out="$(realpath -m "${1:-$ROOT/docs/screenshot-main.png}")"
bin="$(realpath -m "${SCREENSHOT_BIN_DIR:-$BIN_DIR}")"

"$ROOT/scripts/setup.sh" >/dev/null
[[ -x "$bin/TA_TITCOPIADORES" ]] || "$ROOT/scripts/build.sh"
[[ -x "$bin/TA_TITCOPIADORES" ]] || die "$bin/TA_TITCOPIADORES is missing"
# A fresh copy of the demo data, so the picture never shows earlier edits.
db="$(mktemp -d)/demo.db"
trap 'rm -rf "$(dirname "$db")"' EXIT
if [[ -x "$bin/sqlrun" ]]; then
    "$bin/sqlrun" "$db" "$ROOT/demo/schema.sql" --new
    "$bin/sqlrun" "$db" "$ROOT/demo/demo.sql"
else
    "$ROOT/scripts/demo-db.sh" "$db"
fi
mkdir -p "$(dirname "$out")"

export PROGRAMA="$bin/TA_TITCOPIADORES" BASE="$db" SALIDA="$out"
xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
    set -euo pipefail
    "$PROGRAMA" "@Server=;" "@DbName=$BASE;" "@Usuario=ADMIN;" "@Password=;" 2>/dev/null &
    pid=$!
    trap "kill $pid 2>/dev/null || true" EXIT
    ventana="$(xdotool search --sync --onlyvisible --name "^Titulos Copiadores$" | head -n1)"
    sleep 1
    # The pointer would leave a hover mark on the voucher list.
    xdotool mousemove 0 0
    xdotool type --delay 80 "3"
    xdotool key Return
    sleep 1
    import -window "$ventana" "$SALIDA"
'
say "screenshot: $out"
