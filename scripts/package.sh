#!/usr/bin/env bash
# Builds the Debian package of the program: build/titulos-copiadores_<version>_<arch>.deb
# Install it with: sudo apt install ./build/titulos-copiadores_*.deb
set -euo pipefail
# shellcheck source=scripts/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

"$ROOT/scripts/setup.sh"
"$ROOT/scripts/build.sh"
say "packaging"
cd "$BUILD_DIR"
rm -f titulos-copiadores_*.deb
cpack -G DEB
ls -1 "$BUILD_DIR"/titulos-copiadores_*.deb
