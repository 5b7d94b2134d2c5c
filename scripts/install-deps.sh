#!/bin/sh
# Installs the Debian packages that building and testing Tarrow need.
# Idempotent: it does nothing when every tool is already present.
set -eu

need=""
have() { command -v "$1" >/dev/null 2>&1; }
pkg_installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

have cmake || need="$need cmake"
have make || need="$need make"
have g++ || need="$need g++"
have i686-w64-mingw32-g++-win32 || need="$need g++-mingw-w64-i686-win32"
have i686-w64-mingw32-gcc-win32 || need="$need gcc-mingw-w64-i686-win32"
have i686-w64-mingw32-windres || need="$need binutils-mingw-w64-i686"
have i686-w64-mingw32-objdump || need="$need binutils-mingw-w64-i686"
pkg_installed libgtest-dev || need="$need libgtest-dev"
have Xvfb || need="$need xvfb"
have xauth || need="$need xauth"
have xwd || need="$need x11-apps"
have python3 || need="$need python3"
have wine || need="$need wine"
pkg_installed wine32:i386 || need="$need wine32:i386"
# The bench's 64-bit Windows machines, which run the program under WoW64.
pkg_installed wine64 || need="$need wine64"
pkg_installed fonts-wine || need="$need fonts-wine"

if [ -z "$need" ]; then
    exit 0
fi

if [ "$(id -u)" != 0 ]; then
    echo "install-deps: missing packages:$need (run as root to install them)" >&2
    exit 1
fi

case " $(dpkg --print-foreign-architectures) " in
    *" i386 "*) ;;
    *) dpkg --add-architecture i386 ;;
esac

export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
# shellcheck disable=SC2086
apt-get install -y -qq --no-install-recommends $need >/dev/null
