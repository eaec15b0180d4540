#!/usr/bin/env bash
# outputs-check.sh PROGRAM [WORKDIR]
# Writes the four unattended outputs with PROGRAM (an installed copy, as a
# user would run it) on a database written by plain SQL with the sqlite3
# shell, as another program of the suite would leave it (no collation of
# ours, codes padded and not, trailing blanks), and reads them back.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
prog="${1:?usage: outputs-check.sh PROGRAM [WORKDIR]}"
work="${2:-$(mktemp -d)}"
mkdir -p "$work"
db="$work/plano.db"
rm -f "$db" "$work"/salida.*

# Debian's interpreter, which has python3-openpyxl, whatever else is first on the PATH.
PYTHON=/usr/bin/python3
[[ -x "$PYTHON" ]] || PYTHON=python3
for herramienta in sqlite3 pdftotext "$PYTHON"; do
    command -v "$herramienta" >/dev/null || { echo "outputs-check: $herramienta is missing" >&2; exit 1; }
done

{
    sed 's/ COLLATE CI//g' "$ROOT/demo/schema.sql"
    cat "$ROOT/demo/demo.sql"
    # A title stored unpadded and one with a trailing blank, as hand-written rows come.
    echo "INSERT INTO TA_TITCOPIADORES (CODIGO, DESCRIPCION, DESDE, HASTA, TC) VALUES
          ('12', 'Titulo sin relleno', '11010101001', '11010101001', '  AS'),
          ('  13 ', 'Título con blancos', '11010101001', '11010101001', '  AS');"
} | sqlite3 -bail "$db"

export QT_QPA_PLATFORM=offscreen
set +e
"$prog" "@Server=;" "@DbName=$db;" "@Usuario=ADMIN;" "@Password=;" \
    --reporte="$work/salida.titulos.pdf" --planilla="$work/salida.titulos.xlsx" \
    --reporte-cuentas-varias="$work/salida.cuentas.pdf" --planilla-cuentas-varias="$work/salida.cuentas.csv"
rc=$?
set -e
fallas=0
falla() { echo "outputs-check: $*" >&2; fallas=$((fallas + 1)); }
((rc == 0)) || falla "the program ended with $rc"

texto="$(pdftotext -layout "$work/salida.titulos.pdf" - 2>/dev/null || true)"
for esperado in "Libro Diario General" "Titulo sin relleno" "Título con blancos"; do
    grep -qF "$esperado" <<<"$texto" || falla "the titles report lacks \"$esperado\""
done
[[ -n "$(pdftotext "$work/salida.cuentas.pdf" - 2>/dev/null | tr -d '[:space:]')" ]] ||
    falla "the uncovered-accounts report is empty or unreadable"
"$PYTHON" - "$work/salida.titulos.xlsx" <<'PY' || falla "the titles data sheet does not hold the titles"
import sys, openpyxl
ws = openpyxl.load_workbook(sys.argv[1]).active
textos = {str(c.value) for fila in ws.iter_rows() for c in fila if c.value is not None}
sys.exit(0 if "Caja y Bancos" in textos and "Titulo sin relleno" in textos else 1)
PY
[[ "$(wc -l <"$work/salida.cuentas.csv" 2>/dev/null || echo 0)" -gt 1 ]] ||
    falla "the uncovered-accounts data sheet has no rows"

((fallas == 0)) || exit 1
echo "outputs-check: the four outputs of $prog are complete"
