#!/usr/bin/env bash
# Builds the demo database: scripts/demo-db.sh [target.db]
# (default build/bin/demo.db; a relative target is taken from the current
# directory).
set -euo pipefail
# shellcheck source=scripts/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

target="$(realpath -m "${1:-$BIN_DIR/demo.db}")"
make_db "$target" "$ROOT/demo/schema.sql" "$ROOT/demo/demo.sql"
say "demo database ready: $target"
