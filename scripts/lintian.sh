#!/usr/bin/env bash
# Builds the Debian package and checks it with lintian: any error fails
# (warnings are listed, not fatal). CI runs it after the tests.
set -euo pipefail
# shellcheck source=scripts/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

"$ROOT/scripts/package.sh"
command -v lintian >/dev/null || die "lintian is not installed (scripts/setup.sh installs it)"
paquete="$(ls -1 "$BUILD_DIR"/titulos-copiadores_*.deb | head -n1)"
say "lintian $(basename "$paquete") ($(du -h "$paquete" | cut -f1))"
# lintian warns when it runs as root (CI does); the check itself is the same.
lintian --fail-on error --info --display-level '>=warning' "$paquete" 2> >(grep -v 'running with root privileges' >&2)
say "lintian: no errors"
