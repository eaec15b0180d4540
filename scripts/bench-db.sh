#!/usr/bin/env bash
# Builds the benchmark database (100,000 accounts, 200 titles):
# scripts/bench-db.sh [target.db]   (default build/bin/bench.db)
set -euo pipefail
# shellcheck source=scripts/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

target="$(realpath -m "${1:-$BIN_DIR/bench.db}")"
make_db "$target" "$ROOT/demo/schema.sql" "$ROOT/demo/bench.sql"
say "benchmark database ready: $target"
