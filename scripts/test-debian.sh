#!/usr/bin/env bash
# test-debian.sh RELEASE   (bookworm or trixie)
# What a new user of that Debian release goes through, in a minimal root made
# with debootstrap in a temporary folder: the README's test command on a
# fresh clone, the package built there, the package installed with apt, and
# the four unattended outputs written by the installed program as a new
# user who is not root. Cleans up after itself. Needs root (or sudo) and
# Debian's mirror; takes long (a whole build and test run).
#
#   TEST_DEBIAN_MIRROR   mirror to use (default http://deb.debian.org/debian)
#   TEST_DEBIAN_KEEP=1   keep the root for a look afterwards (printed)
#   TEST_DEBIAN_CCACHE=DIR  share this compiler cache with the root (a
#                        repeated run on the same release then compiles
#                        little; the cache only ever returns what the same
#                        compiler made of the same input)
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
release="${1:-}"
case "$release" in
bookworm | trixie) ;;
*) echo "usage: $0 bookworm|trixie" >&2; exit 2 ;;
esac
mirror="${TEST_DEBIAN_MIRROR:-http://deb.debian.org/debian}"

SUDO=()
if [[ "$(id -u)" -ne 0 ]]; then
    command -v sudo >/dev/null || { echo "test-debian: needs root or sudo" >&2; exit 1; }
    SUDO=(sudo)
fi
if ! command -v debootstrap >/dev/null; then
    "${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -y -q install debootstrap
fi

base="$(mktemp -d "${TMPDIR:-/var/tmp}/test-debian-$release.XXXXXX")"
raiz="$base/raiz"
montados=()
limpia() {
    local rc=$?
    for ((i = ${#montados[@]} - 1; i >= 0; i--)); do
        "${SUDO[@]}" umount -l "${montados[i]}" 2>/dev/null || true
    done
    if [[ "${TEST_DEBIAN_KEEP:-}" == 1 ]]; then
        echo "test-debian: the root is kept in $raiz" >&2
    else
        "${SUDO[@]}" rm -rf --one-file-system "$base"
    fi
    exit "$rc"
}
trap limpia EXIT
monta() { # monta TYPE-OR-BIND SOURCE TARGET
    "${SUDO[@]}" mkdir -p "$raiz$3"
    if [[ "$1" == bind ]]; then
        "${SUDO[@]}" mount --bind "$2" "$raiz$3"
    else
        "${SUDO[@]}" mount -t "$1" "$2" "$raiz$3"
    fi
    montados+=("$raiz$3")
}
en_raiz() { # runs a command line in the root, as root, with a clean environment
    "${SUDO[@]}" chroot "$raiz" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM=dumb \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin /bin/bash -c "$1"
}
inicio=$SECONDS
etapa_inicio=$SECONDS
tiempos=()
etapa() {
    tiempos+=("$(printf '%-34s %5d s' "$1" $((SECONDS - etapa_inicio)))")
    etapa_inicio=$SECONDS
}

echo "==> debootstrap $release into $raiz" >&2
"${SUDO[@]}" debootstrap --variant=minbase "$release" "$raiz" "$mirror" >"$base/debootstrap.log" 2>&1 ||
    { tail -n 30 "$base/debootstrap.log" >&2; exit 1; }
# The same suites a user's sources list has, security included.
"${SUDO[@]}" tee "$raiz/etc/apt/sources.list" >/dev/null <<FIN
deb $mirror $release main
deb $mirror $release-updates main
deb http://deb.debian.org/debian-security $release-security main
FIN
# Packages' services are not started inside the root (the tests start their own server).
printf '#!/bin/sh\nexit 101\n' | "${SUDO[@]}" tee "$raiz/usr/sbin/policy-rc.d" >/dev/null
"${SUDO[@]}" chmod +x "$raiz/usr/sbin/policy-rc.d"
"${SUDO[@]}" cp /etc/resolv.conf "$raiz/etc/resolv.conf"
monta proc proc /proc
monta sysfs sys /sys
monta bind /dev /dev
monta devpts devpts /dev/pts
monta tmpfs tmpfs /dev/shm
if [[ -n "${TEST_DEBIAN_CCACHE:-}" ]]; then
    mkdir -p "$TEST_DEBIAN_CCACHE"
    monta bind "$TEST_DEBIAN_CCACHE" /root/.cache/ccache
fi
etapa "debootstrap"

# A fresh clone of what is committed, readable by the new user later.
"${SUDO[@]}" git clone -q --no-local "$ROOT" "$raiz/srv/titulos-copiadores"
"${SUDO[@]}" chmod -R a+rX "$raiz/srv/titulos-copiadores"
echo "==> scripts/test.sh in the $release root" >&2
en_raiz "cd /srv/titulos-copiadores && scripts/test.sh"
etapa "README's test command"

echo "==> scripts/package.sh in the $release root" >&2
en_raiz "cd /srv/titulos-copiadores && scripts/package.sh"
etapa "package"

echo "==> installing the package with apt" >&2
en_raiz "cd /srv/titulos-copiadores/build && DEBIAN_FRONTEND=noninteractive apt-get -y -q install ./titulos-copiadores_*.deb"
etapa "apt install"

echo "==> the four outputs of the installed program, as a new user" >&2
en_raiz "useradd -m -s /bin/bash prueba && su - prueba -c '/srv/titulos-copiadores/scripts/outputs-check.sh /usr/bin/TA_TITCOPIADORES \$HOME/trabajo'"
etapa "outputs as a new user"

echo "test-debian: $release passed in $((SECONDS - inicio)) s" >&2
printf '  %s\n' "${tiempos[@]}" >&2
