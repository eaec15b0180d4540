#!/usr/bin/env bash
# Loads the demo into a PostgreSQL database: scripts/pg-demo-db.sh <database> [psql options]
# e.g. scripts/pg-demo-db.sh contable -h dbhost -U admin
# The database is created when it does not exist.
set -euo pipefail
# shellcheck source=scripts/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

db="${1:?uso: pg-demo-db.sh <base> [opciones de psql]}"
shift
if ! psql "$@" -d "$db" -Atc "SELECT 1" >/dev/null 2>&1; then
    createdb "$@" -E UTF8 -T template0 "$db"
fi
psql "$@" -X -q -v ON_ERROR_STOP=1 -1 -d "$db" -f "$ROOT/demo/schema_postgres.sql"
psql "$@" -X -q -v ON_ERROR_STOP=1 -1 -d "$db" -f "$ROOT/demo/demo.sql"
say "demo database ready on PostgreSQL: $db"
