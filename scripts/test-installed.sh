#!/usr/bin/env bash
# test-installed.sh [BUILD_DIR] [salidas|documentos|carpeta_red]
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
#               (skipped) without root, /dev/fuse or bindfs.
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

case "$que" in
salidas) salidas ;;
documentos) manual; metainfo ;;
carpeta_red) carpeta_red ;;
*) falla "unknown check $que (salidas, documentos or carpeta_red)" ;;
esac
