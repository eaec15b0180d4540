#!/usr/bin/env bash
# Loads the demo into a PostgreSQL database:
#   scripts/pg-demo-db.sh <database> [--rol <login>]... [psql options]
# e.g. scripts/pg-demo-db.sh contable --rol OPERADOR -h dbhost -U admin
# The database is created when it does not exist. Each --rol login is created
# when missing (without a password: set one with \password) and given the
# rights the program needs on the database (demo/permisos_postgres.sql); a
# login without them is refused at start-up.
set -euo pipefail
# shellcheck source=scripts/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

db="${1:?uso: pg-demo-db.sh <base> [--rol <usuario>]... [opciones de psql]}"
shift
roles=()
while [[ $# -gt 0 && "$1" == --rol ]]; do
    roles+=("${2:?--rol necesita el nombre del usuario}")
    shift 2
done
if ! psql "$@" -d "$db" -Atc "SELECT 1" >/dev/null 2>&1; then
    createdb "$@" -E UTF8 -T template0 "$db"
fi
psql "$@" -X -q -v ON_ERROR_STOP=1 -1 -d "$db" -f "$ROOT/demo/schema_postgres.sql"
psql "$@" -X -q -v ON_ERROR_STOP=1 -1 -d "$db" -f "$ROOT/demo/demo.sql"
for rol in "${roles[@]}"; do
    # The name goes as a psql variable, quoted by psql itself.
    psql "$@" -X -q -v ON_ERROR_STOP=1 -v rol="$rol" -d "$db" <<'SQL'
SELECT format('CREATE ROLE %I LOGIN', :'rol') WHERE NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = :'rol') \gexec
SQL
    psql "$@" -X -q -v ON_ERROR_STOP=1 -1 -v rol="$rol" -d "$db" -f "$ROOT/demo/permisos_postgres.sql"
    say "login $rol may use $db (set its password with: psql -d $db -c '\\password \"$rol\"')"
done
say "demo database ready on PostgreSQL: $db"
