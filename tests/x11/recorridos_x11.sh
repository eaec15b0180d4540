#!/usr/bin/env bash
# Operator journeys on a real X server: the script starts its own Xvfb on a
# display nobody uses and openbox on it, copies the built program to a folder
# of its own (so what it writes stays there), writes the database with the
# sqlite3 shell as another program would, and drives the program with
# xdotool: keys go where the window manager put the keyboard, as a person's do.
#
#   recorridos_x11.sh <program> <demo folder> <journey> [folder for a failure's screenshot]
#
# Journeys:
#   codigo    load a title, change its code, F2, read the table back
#   consulta  F5 on the from box, Tab to the description's search box, type,
#             Enter; F7: the report preview opens whole on the screen
#   acceso    no command line: the connection error box, the access dialog,
#             a database path typed into its box, Aceptar
#   dos       program A exports its data sheet into the database's folder
#             (the file dialog lists the database, its log and its index);
#             program B opens the same file and closes; A saves a new title,
#             which the sqlite3 shell reads while A runs and after it ends
#
# Exit 77 (skipped) when Xvfb, openbox, xdotool, xwininfo or sqlite3 is missing.
set -euo pipefail

programa="$1" demo="$2" recorrido="$3" capturas="${4:-}"
for herramienta in Xvfb openbox xdotool xwininfo sqlite3; do
    command -v "$herramienta" >/dev/null || {
        echo "SKIPPED: $herramienta is not installed (scripts/setup.sh installs it)"
        exit 77
    }
done

# Under the sanitizers: the X keyboard library (libxkbcommon-x11) hands
# strndup a buffer that is not NUL-terminated, reading within its length;
# strict string checks take that for an overflow in a library not ours.
if [[ -n "${ASAN_OPTIONS:-}" ]]; then export ASAN_OPTIONS="$ASAN_OPTIONS:strict_string_checks=0"; fi

tmp="$(mktemp -d)"
xvfb_pid="" openbox_pid="" programa_pid="" otro_pid=""
termina() {
    local pid
    for pid in "$programa_pid" "$otro_pid" "$openbox_pid" "$xvfb_pid"; do
        if [[ -n "$pid" ]]; then kill "$pid" 2>/dev/null || true; fi
    done
    wait 2>/dev/null || true
    rm -rf "$tmp"
}
trap termina EXIT

falla() {
    echo "FAIL ($recorrido): $*" >&2
    if [[ -n "$capturas" ]] && command -v import >/dev/null; then
        import -window root "$capturas/$recorrido-falla.png" 2>/dev/null &&
            echo "screen at the failure: $capturas/$recorrido-falla.png" >&2
    fi
    if [[ -s "$tmp/programa.log" ]]; then sed 's/^/  program: /' "$tmp/programa.log" >&2; fi
    exit 1
}

# Polls `condicion` (a command) every 0.1 s for up to `segundos`.
espera() {
    local segundos="$1"
    shift
    local i
    for ((i = 0; i < segundos * 10; i++)); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

# --- the X server and its window manager -----------------------------------
mkfifo "$tmp/pantalla"
# Without a display number Xvfb takes the first free one and says which.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$tmp/pantalla" 2>"$tmp/xvfb.log" &
xvfb_pid=$!
numero=""
read -r -t 20 numero <"$tmp/pantalla" || true
[[ -n "$numero" ]] || { cat "$tmp/xvfb.log" >&2; falla "Xvfb did not start"; }
export DISPLAY=":$numero"
openbox --sm-disable >"$tmp/openbox.log" 2>&1 &
openbox_pid=$!
# Desktops exist once a window manager answers for the screen.
espera 20 xdotool get_num_desktops >/dev/null 2>&1 || falla "openbox did not start"

# --- the program, in a folder of its own -----------------------------------
origen="$(dirname "$programa")"
carpeta="$tmp/programa"
mkdir -p "$carpeta" "$tmp/casa"
cp "$programa" "$origen"/*.rep "$origen"/*.bmp "$origen"/consultas.vrl "$origen"/ci.so "$carpeta"/
if [[ -d "$origen/Styles" ]]; then cp -r "$origen/Styles" "$carpeta"/; fi

base="$tmp/contable.db"
sql() { printf '.timeout 3000\n.load %s\n%s\n' "$carpeta/ci" "$1" | sqlite3 -batch -noheader "$base"; }
# The demo's chart of accounts and configuration; the titles written by hand,
# codes padded or not, as other programs leave them.
sql "$(cat "$demo/schema.sql" "$demo/demo.sql")
DELETE FROM TA_TITCOPIADORES;
INSERT INTO TA_TITCOPIADORES (CODIGO, DESCRIPCION, DESDE, HASTA, TC) VALUES
    ('1', 'Ventas', '41010101001', '41020101002', 'FC,NC'),
    ('   2', 'Compras', '51010101001', '51010103001', '  FP'),
    (' 3 ', 'Proveedores', '21010101001', '21010104001', NULL);" || falla "the database could not be written"

arranca() {
    env -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb HOME="$tmp/casa" XDG_CONFIG_HOME="$tmp/casa/.config" \
        XDG_STATE_HOME="$tmp/casa/.local/state" "$carpeta/TA_TITCOPIADORES" "$@" >"$tmp/programa.log" 2>&1 &
    programa_pid=$!
}
arranca_en_la_base() { arranca "@Server=;" "@DbName=$base;" "@Usuario=ADMIN;" "@Password=;"; }
# A second program on the same file, while the first runs.
arranca_otro() {
    env -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb HOME="$tmp/casa" XDG_CONFIG_HOME="$tmp/casa/.config" \
        XDG_STATE_HOME="$tmp/casa/.local/state" "$carpeta/TA_TITCOPIADORES" "@Server=;" "@DbName=$base;" "@Usuario=ADMIN;" \
        "@Password=;" >"$tmp/otro.log" 2>&1 &
    otro_pid=$!
}
otro_terminado() { ! kill -0 "$otro_pid" 2>/dev/null; }

# The visible window whose title matches, waited for up to 20 s.
ventana() {
    local id
    id="$(timeout 20 xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -n1)" || true
    [[ -n "$id" ]] || falla "no window \"$1\""
    echo "$id"
}
es_activa() { [[ "$(xdotool getactivewindow 2>/dev/null)" == "$1" ]]; }
# Gives the window the keyboard and waits until the window manager did.
activa() {
    xdotool windowactivate "$1" >/dev/null 2>&1 || true
    espera 10 es_activa "$1" || falla "window $1 never got the keyboard"
}
cerrada() { ! xdotool search --onlyvisible --name . 2>/dev/null | grep -qx "$1"; }
# Waits for the box titled `$1`, reads nothing from it, and presses `$2` on it.
responde() {
    local caja
    caja="$(ventana "$1")"
    activa "$caja"
    xdotool key "$2"
    espera 10 cerrada "$caja" || falla "the box \"$1\" did not close"
}
teclea() { xdotool type --delay 40 "$1"; }
# Whether the window, its frame included, lies within the screen.
en_pantalla() {
    local x y an al pan pal
    read -r x y an al < <(xwininfo -id "$1" | awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
        /^ *Width:/ {w = $NF} /^ *Height:/ {h = $NF} END {print x, y, w, h}')
    read -r pan pal < <(xwininfo -root | awk '/^ *Width:/ {w = $NF} /^ *Height:/ {h = $NF} END {print w, h}')
    ((x >= 0 && y > 0 && x + an <= pan && y + al < pal))
}
fila() {
    sql "SELECT CODIGO || '|' || DESCRIPCION || '|' || DESDE || '|' || HASTA || '|' || IFNULL(TC, '') FROM TA_TITCOPIADORES
         WHERE LTRIM(RTRIM(CODIGO)) = '$1';" 2>/dev/null
}
es_fila() { [[ "$(fila "$1")" == "$2" ]]; }
# Waits for the title `$1` to be stored as `$2`.
espera_fila() { espera 20 es_fila "$1" "$2" || falla "title $1 is \"$(fila "$1")\", expected \"$2\""; }
terminado() { ! kill -0 "$programa_pid" 2>/dev/null; }
# Esc with nothing being edited closes the program, which must end cleanly.
cierra() {
    activa "$1"
    xdotool key Escape
    espera 20 terminado || falla "the program did not end on Esc"
    local estado=0
    wait "$programa_pid" || estado=$?
    programa_pid=""
    ((estado == 0)) || falla "the program ended with $estado"
}

principal='^Titulos Copiadores$'

case "$recorrido" in
codigo)
    arranca_en_la_base
    w="$(ventana "$principal")"
    activa "$w"
    # Title 1 shown, back to the code box, the code changed, F2: a new title
    # with what was on screen, title 1 left as it was.
    teclea 1
    xdotool key Return
    xdotool key shift+Tab
    teclea 70
    xdotool key F2
    # Its range is title 1's: each end draws the warning, taken with Enter.
    responde '^AVISO AL OPERADOR!$' Return
    responde '^AVISO AL OPERADOR!$' Return
    espera_fila 70 "  70|Ventas|41010101001|41020101002|  FC,  NC"
    [[ "$(fila 1)" == "1|Ventas|41010101001|41020101002|FC,NC" ]] || falla "title 1 changed: $(fila 1)"
    [[ "$(sql 'SELECT COUNT(*) FROM TA_TITCOPIADORES;')" == 4 ]] || falla "rows: $(sql 'SELECT COUNT(*) FROM TA_TITCOPIADORES;')"
    cierra "$w"
    ;;
consulta)
    arranca_en_la_base
    w="$(ventana "$principal")"
    activa "$w"
    # A new title; F5 on the from box opens the chart of accounts, Tab leads to
    # the description's search box, the typed text finds the account, Enter takes it.
    teclea 60
    xdotool key Return
    teclea Prueba
    xdotool key Return
    xdotool key F5
    l="$(ventana '^Consulta[.][.][.]$')"
    activa "$l"
    xdotool key Tab
    teclea "Caja Central"
    xdotool key Return
    espera 10 cerrada "$l" || falla "the lookup did not close on Enter"
    activa "$w"
    teclea 11010101002
    xdotool key Return
    xdotool key F2
    espera_fila 60 "  60|Prueba|11010101001|11010101002|  FC,  NC,  ND,  TK,  RC,  FP, NCP, NDP,  OP,  DB,  TR,  LS,  AS,  AJ,  AP,  CI"
    # The preview is taller than the screen would hold with its frame: it is
    # fitted, title bar and bottom edge included, once the frame is drawn.
    xdotool key F7
    v="$(ventana '^Vista previa')"
    sleep 1
    en_pantalla "$v" || falla "the preview does not fit the screen: $(xwininfo -id "$v" | grep -E 'Absolute|Width|Height' | tr -s ' ' | tr '\n' ' ')"
    activa "$v"
    xdotool key Escape
    espera 10 cerrada "$v" || falla "the preview did not close on Esc"
    cierra "$w"
    ;;
acceso)
    # No command line: the connection with empty values fails, the error box
    # offers the access dialog (Enter: Sí), the database path is typed into its
    # box over the prompt, the user too, and Enter (Aceptar) opens the program on it.
    arranca
    responde 'Error de Conexion a Base de Datos$' Return
    d="$(ventana '^Control de Acceso$')"
    activa "$d"
    xdotool key Tab Tab Tab
    teclea "$base"
    xdotool key Tab Tab
    teclea ADMIN
    xdotool key Return
    w="$(ventana "$principal")"
    activa "$w"
    teclea 2
    xdotool key Return
    teclea "Compras y gastos"
    xdotool key F2
    espera_fila 2 "   2|Compras y gastos|51010101001|51010103001|  FP"
    cierra "$w"
    ;;
dos)
    arranca_en_la_base
    w="$(ventana "$principal")"
    activa "$w"
    # F6, Exportar...: Qt's file dialog lists the database's folder, where
    # the database, its log and its index are.
    xdotool key F6
    p="$(ventana '^T[^i]+tulos Copiadores$')"
    activa "$p"
    xdotool key alt+e
    d="$(ventana '^Exportar planilla$')"
    activa "$d"
    sleep 1
    xdotool key ctrl+a
    teclea "$tmp/titulos.xlsx"
    xdotool key Return
    espera 10 cerrada "$d" || falla "the export dialog did not close on Enter"
    espera 10 test -s "$tmp/titulos.xlsx" || falla "the data sheet was not exported"
    activa "$p"
    xdotool key Escape
    espera 10 cerrada "$p" || falla "the data sheet did not close on Esc"
    # Program B on the same file, closed with Esc.
    arranca_otro
    b=""
    buscab() {
        b="$(xdotool search --onlyvisible --name "$principal" 2>/dev/null | grep -vx "$w" | head -n1)"
        [[ -n "$b" ]]
    }
    espera 20 buscab || falla "the second program showed no window"
    activa "$b"
    xdotool key Escape
    espera 20 otro_terminado || falla "the second program did not end on Esc"
    otro_pid=""
    [[ -e "$base-wal" ]] || falla "the second program deleted the log while the first still runs"
    # A saves a new title: another program must see it at once.
    activa "$w"
    teclea 40
    xdotool key Return
    teclea "Grabado por A"
    xdotool key Return
    teclea 11020101001
    xdotool key Return
    teclea 11020103001
    xdotool key Return
    xdotool key F2
    descripcion() { [[ "$(fila 40 | cut -d'|' -f2)" == "Grabado por A" ]]; }
    espera 20 descripcion || falla "the save is not in the file while the program runs: \"$(fila 40)\""
    cierra "$w"
    descripcion || falla "the save is gone after the program ended: \"$(fila 40)\""
    ;;
*)
    echo "unknown journey: $recorrido" >&2
    exit 2
    ;;
esac
echo "journey $recorrido: passed"
