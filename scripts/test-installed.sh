#!/usr/bin/env bash
# test-installed.sh [BUILD_DIR] [salidas|documentos|carpeta_red|postgres]
# Installs the build into a temporary DESTDIR, as the package does, and checks
# what a user meets there:
#   salidas     the installed program writes the four unattended outputs:
#               whatever it reads at run time must have been installed;
#   documentos  the manual page renders without a warning and names every
#               switch the program takes; the AppStream metadata validates and
#               names the menu entry installed beside it;
#   carpeta_red the installed program, given a database on a network mount
#               (a FUSE mount made with bindfs), tells the operator once and
#               writes it to its log, and still writes its output; exit 77
#               (skipped) without root, /dev/fuse or bindfs;
#   postgres    the installed program writes the four unattended outputs from
#               the demo loaded into a PostgreSQL server of its own (on
#               loopback, in a temporary folder), through libpq and through
#               psqlODBC; exit 77 (skipped) without PostgreSQL.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$ROOT/build}"
que="${2:-salidas}"
dest="$(mktemp -d)"
trap 'rm -rf "$dest"' EXIT
raiz="$dest/raiz"
DESTDIR="$raiz" cmake --install "$build" --prefix /usr >/dev/null
falla() { echo "test-installed: $*" >&2; exit 1; }

salidas() {
    local prog="$raiz/usr/bin/TA_TITCOPIADORES"
    [[ -x "$prog" ]] || falla "$prog was not installed"
    # The user's files go to a home of its own, not the tester's.
    HOME="$dest/casa" XDG_CONFIG_HOME="$dest/casa/.config" XDG_DATA_HOME="$dest/casa/.local/share" \
        "$ROOT/scripts/outputs-check.sh" "$prog" "$dest/trabajo"
}

manual() {
    local pagina="$raiz/usr/share/man/man1/TA_TITCOPIADORES.1.gz"
    [[ -f "$pagina" ]] || falla "the manual page $pagina was not installed"
    gzip -t "$pagina" || falla "$pagina is not a gzip file"
    # As lintian renders it, and then with every warning groff has.
    local avisos
    avisos="$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$pagina" 2>&1 >/dev/null)" ||
        falla "man could not render $pagina: $avisos"
    [[ -z "$avisos" ]] || falla "man warns on $pagina:"$'\n'"$avisos"
    avisos="$(gzip -dc "$pagina" | preconv -e UTF-8 | groff -man -t -ww -z 2>&1)" || falla "groff failed on $pagina: $avisos"
    [[ -z "$avisos" ]] || falla "groff warns on $pagina:"$'\n'"$avisos"
    # Every switch the program takes is on the page (the benchmark's own
    # --salir-... switches are not the user's).
    local texto opcion
    texto="$(LC_ALL=C.UTF-8 MANWIDTH=200 man -l -Tutf8 "$pagina" 2>/dev/null | sed 's/\x1b\[[0-9;]*m//g; s/.\x08//g')"
    while read -r opcion; do
        grep -qF -- "$opcion" <<<"$texto" || falla "the manual page does not mention $opcion"
    done < <(grep -oE '"--[a-z-]+=?"' "$ROOT/src/main.cpp" | tr -d '"' | grep -v '^--salir-' | sort -u)
    echo "test-installed: $(basename "$pagina") renders without warnings"
}

metainfo() {
    local carpeta="$raiz/usr/share/metainfo" archivos
    mapfile -t archivos < <(find "$carpeta" -name '*.metainfo.xml' 2>/dev/null)
    ((${#archivos[@]} == 1)) || falla "expected one metainfo file in $carpeta, found ${#archivos[@]}"
    local archivo="${archivos[0]}"
    local id
    id="$(basename "$archivo" .metainfo.xml)"
    # Network checks (that the screenshot and home page answer) cannot run
    # here; everything else must pass with no warning.
    appstreamcli validate --no-net "$archivo" || falla "appstreamcli does not accept $archivo"
    grep -qF "<id>$id</id>" "$archivo" || falla "the id in $archivo is not its file name"
    grep -qF "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$archivo" ||
        falla "$archivo does not launch the menu entry $id.desktop"
    [[ -f "$raiz/usr/share/applications/$id.desktop" ]] || falla "the menu entry $id.desktop was not installed"
    # The screenshot named is the one the repository holds, below its public address.
    local imagen base
    imagen="$(sed -n 's:.*<image[^>]*>\(.*\)</image>.*:\1:p' "$archivo")"
    base="$(sed -n 's:.*<url type="homepage">\(.*\)</url>.*:\1:p' "$archivo")"
    [[ -n "$imagen" && "$imagen" == "$base"* ]] || falla "the screenshot $imagen is not below the home page $base"
    [[ -f "$ROOT/${imagen#"$base"}" ]] || falla "the screenshot ${imagen#"$base"} is not in the repository"
    echo "test-installed: $(basename "$archivo") is valid"
}

carpeta_red() {
    local prog="$raiz/usr/bin/TA_TITCOPIADORES"
    [[ -x "$prog" ]] || falla "$prog was not installed"
    if [[ $EUID -ne 0 || ! -e /dev/fuse ]] || ! command -v bindfs >/dev/null; then
        echo "SKIPPED: mounting a FUSE filesystem needs root, /dev/fuse and bindfs"
        exit 77
    fi
    local origen="$dest/origen" red="$dest/red" casa="$dest/casa"
    mkdir -p "$origen" "$red" "$casa"
    # As another program of the suite left it, in write-ahead mode.
    { echo "PRAGMA journal_mode=WAL;"; sed 's/ COLLATE CI//g' "$ROOT/demo/schema.sql"; cat "$ROOT/demo/demo.sql"; } |
        sqlite3 -bail "$origen/conta.db" >/dev/null
    bindfs "$origen" "$red" 2>/dev/null || { echo "SKIPPED: this machine does not let a test mount a FUSE filesystem"; exit 77; }
    trap "umount '$red' 2>/dev/null; rm -rf '$dest'" EXIT
    local rc=0 errores
    errores="$(HOME="$casa" XDG_CONFIG_HOME="$casa/.config" XDG_DATA_HOME="$casa/.local/share" \
        XDG_STATE_HOME="$casa/.local/state" QT_QPA_PLATFORM=offscreen \
        "$prog" "@Server=;" "@DbName=$red/conta.db;" "@Usuario=ADMIN;" "@Password=;" \
        --planilla="$dest/titulos.csv" 2>&1 >/dev/null)" || rc=$?
    ((rc == 0)) || falla "the program ended with $rc on a network folder: $errores"
    grep -q "Caja y Bancos" "$dest/titulos.csv" || falla "the data sheet read from the network folder lacks its titles"
    local log
    # In the user's folders, or beside the program where it may write (root may).
    log="$(find "$casa" "$raiz" -name VLERR.LOG | head -n1)"
    [[ -n "$log" ]] || falla "the program wrote no VLERR.LOG"
    [[ "$(grep -c "está en una carpeta de red" "$log")" -eq 1 ]] ||
        falla "the log does not hold the network-folder notice once: $(cat "$log")"
    grep -q "carpeta de red" <<<"$errores" || falla "the operator was not told: $errores"
    echo "test-installed: a database on a network folder is announced once and still read"
}

postgres() {
    local prog="$raiz/usr/bin/TA_TITCOPIADORES" bin
    [[ -x "$prog" ]] || falla "$prog was not installed"
    bin="$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n1)"
    [[ -x "$bin/initdb" ]] || { echo "SKIPPED: PostgreSQL is not installed (scripts/setup.sh installs it)"; exit 77; }
    local pg="$dest/pg" como=()
    mkdir -p "$pg/enchufes"
    printf 'secreto\n' >"$pg/clave"
    # The server refuses to run as root.
    if [[ $EUID -eq 0 ]]; then
        chmod o+x "$dest"
        chown -R postgres: "$pg"
        como=(runuser -u postgres --)
    fi
    "${como[@]}" "$bin/initdb" -D "$pg/datos" -U contable --pwfile="$pg/clave" -A scram-sha-256 -E UTF8 \
        --locale=C.UTF-8 -N >"$dest/initdb.log" 2>&1 || falla "initdb failed: $(cat "$dest/initdb.log")"
    local puerto
    puerto="$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')"
    "${como[@]}" "$bin/pg_ctl" -D "$pg/datos" -l "$pg/servidor.log" -w -t 30 \
        -o "-p $puerto -k $pg/enchufes -c listen_addresses=127.0.0.1 -c fsync=off" start >/dev/null ||
        falla "the server did not start: $(cat "$pg/servidor.log")"
    trap "'$bin/pg_ctl' -D '$pg/datos' -m immediate stop >/dev/null 2>&1 || runuser -u postgres -- '$bin/pg_ctl' -D '$pg/datos' -m immediate stop >/dev/null 2>&1; rm -rf '$dest'" EXIT
    export PGHOST=127.0.0.1 PGPORT="$puerto" PGUSER=contable PGPASSWORD=secreto
    psql -X -q -d template1 -c "CREATE COLLATION ci (provider = icu, locale = 'und-u-ks-level2', deterministic = false)" ||
        falla "the collation could not be made"
    "$ROOT/scripts/pg-demo-db.sh" contable >/dev/null || falla "the demo could not be loaded"
    local ruta servidor casa
    for ruta in libpq odbc; do
        casa="$dest/casa-$ruta"
        servidor="pg:127.0.0.1,$puerto"
        mkdir -p "$casa/.config"
        # The connection's extra keys name the driver: psqlODBC, not libpq.
        if [[ $ruta == odbc ]]; then printf '[Conexion]\nExtendido=Driver={PostgreSQL Unicode};\n' >"$casa/.config/CN000p.INI"; fi
        local rc=0 errores
        errores="$(cd "$casa" && HOME="$casa" XDG_CONFIG_HOME="$casa/.config" XDG_DATA_HOME="$casa/.local/share" \
            XDG_STATE_HOME="$casa/.local/state" QT_QPA_PLATFORM=offscreen \
            "$prog" "@Server=$servidor;" "@DbName=contable;" "@Usuario=contable;" "@Password=secreto;" \
            --reporte="$casa/titulos.pdf" --planilla="$casa/titulos.csv" \
            --reporte-cuentas-varias="$casa/cuentas.pdf" --planilla-cuentas-varias="$casa/cuentas.csv" 2>&1 >/dev/null)" || rc=$?
        ((rc == 0)) || falla "through $ruta the program ended with $rc: $errores"
        grep -q "Caja y Bancos" "$casa/titulos.csv" || falla "through $ruta the titles data sheet lacks its titles"
        [[ "$(wc -l <"$casa/cuentas.csv")" -gt 1 ]] || falla "through $ruta the uncovered-accounts sheet has no rows"
        pdftotext "$casa/titulos.pdf" - | grep -q "Caja y Bancos" || falla "through $ruta the titles report lacks its titles"
        [[ -s "$casa/cuentas.pdf" ]] || falla "through $ruta the uncovered-accounts report is empty"
    done
    cmp -s "$dest/casa-libpq/cuentas.csv" "$dest/casa-odbc/cuentas.csv" ||
        falla "the two routes disagree on the uncovered accounts: $(diff "$dest/casa-libpq/cuentas.csv" "$dest/casa-odbc/cuentas.csv" | head -5)"
    echo "test-installed: the four outputs from PostgreSQL, through libpq and through psqlODBC"
}

case "$que" in
salidas) salidas ;;
documentos) manual; metainfo ;;
carpeta_red) carpeta_red ;;
postgres) postgres ;;
*) falla "unknown check $que (salidas, documentos, carpeta_red or postgres)" ;;
esac
