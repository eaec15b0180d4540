#!/usr/bin/env bash
# test-installed.sh [BUILD_DIR]
# Installs the build into a temporary DESTDIR, as the package does, and
# writes the four unattended outputs from the installed program: whatever it
# reads at run time must have been installed.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$ROOT/build}"
dest="$(mktemp -d)"
trap 'rm -rf "$dest"' EXIT
DESTDIR="$dest/raiz" cmake --install "$build" --prefix /usr >/dev/null
prog="$dest/raiz/usr/bin/TA_TITCOPIADORES"
[[ -x "$prog" ]] || { echo "test-installed: $prog was not installed" >&2; exit 1; }
# The user's files go to a home of its own, not the tester's.
HOME="$dest/casa" XDG_CONFIG_HOME="$dest/casa/.config" XDG_DATA_HOME="$dest/casa/.local/share" \
    "$ROOT/scripts/outputs-check.sh" "$prog" "$dest/trabajo"
