#!/usr/bin/env bash
# Installs the Debian 12 (bookworm) and 13 (trixie) packages needed to build, run and test the program.
# Packages already installed are not asked for again; when nothing is
# missing, apt is not called at all (fast, and works offline).
set -euo pipefail

PACKAGES=(
    # tool chain (pkgconf: the real package behind pkg-config on both releases)
    build-essential cmake ninja-build pkgconf ccache
    # Qt 6 (widgets, print support) and its translations
    qt6-base-dev qt6-base-dev-tools qt6-translations-l10n libqt6printsupport6
    libgl-dev fonts-dejavu-core
    # databases: embedded SQLite, ODBC for SQL Server / Oracle, libpq for PostgreSQL
    libsqlite3-dev unixodbc-dev libsqliteodbc odbcinst libpq-dev
    # PostgreSQL server and its ODBC driver (tests start their own server),
    # FreeTDS for SQL Server, the sqlite3 shell (tests of the collation extension)
    postgresql odbc-postgresql tdsodbc sqlite3
    # tests
    libgtest-dev googletest
    # reports and data sheets: XLSX writing; PDF and XLSX read back by the tests
    # (trixie's xlsxwriter.pc requires zlib and minizip without depending on them)
    libxlsxwriter-dev zlib1g-dev libminizip-dev poppler-utils python3-openpyxl
    # running the window without a screen, driving it, measuring where it
    # stands (xwininfo) and taking screenshots
    xvfb xauth xdotool x11-utils imagemagick
    # installing: checking desktop entries, building the Debian package
    # (file: CPack's DEB generator reads the binaries' type with it)
    desktop-file-utils dpkg-dev fakeroot file
    # checking the built Debian package (scripts/lintian.sh, run by CI), and
    # its manual page and AppStream metadata (scripts/test-installed.sh)
    lintian man-db groff-base appstream
    openbox
    # a FUSE mount in a test, standing for a network folder (root only)
    bindfs
)

missing=()
for pkg in "${PACKAGES[@]}"; do
    status="$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)"
    [[ "$status" == "install ok installed" ]] || missing+=("$pkg")
done

if ((${#missing[@]} == 0)); then
    echo "setup: all ${#PACKAGES[@]} packages are installed"
    exit 0
fi

echo "setup: installing ${missing[*]}"
SUDO=()
if [[ "$(id -u)" -ne 0 ]]; then
    command -v sudo >/dev/null || { echo "setup: not root and no sudo" >&2; exit 1; }
    SUDO=(sudo)
fi
APT=("${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -y -q -o DPkg::Lock::Timeout=300)
"${APT[@]}" update
"${APT[@]}" install "${missing[@]}"
