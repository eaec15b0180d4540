#!/usr/bin/env bash
# Installs what is missing, builds, creates the demo database and opens the
# program on it: scripts/run-demo.sh [USER]
# USER is one of the demo users ADMIN (default), OPERADOR or CONSULTA.
set -euo pipefail
# shellcheck source=scripts/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

user="${1:-ADMIN}"

"$ROOT/scripts/setup.sh"
"$ROOT/scripts/build.sh"
"$ROOT/scripts/demo-db.sh"

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
    echo "run-demo: there is no DISPLAY, so the window cannot be shown." >&2
    echo "run-demo: start it on a virtual screen instead:  xvfb-run -a scripts/run-demo.sh" >&2
    exit 1
fi

cd "$ROOT"
say "starting TA_TITCOPIADORES as $user"
exec "$BIN_DIR/TA_TITCOPIADORES" "@Server=;" "@DbName=$PWD/build/bin/demo.db;" "@Usuario=$user;" "@Password=;"
