#!/bin/sh
# Installs the Debian packages Tarrow needs, in two groups: first what building and the host
# tests need, then what the Wine bench, `make run` and `make bench` need (where this machine
# runs no 32-bit program, also the emulated i386 machine that runs 32-bit Wine for them).
# Only the first group is required. A Wine package that cannot be had is named at the end and the script
# still succeeds: the build, the host tests and the audit of tarrow.exe need no Wine, and
# the Wine bench then reports itself skipped, naming the package.
# Idempotent: with every package present it does nothing and asks nothing of the network.
set -eu

# A mirror in the middle of a sync, or a proxy with one stale list, fails a single index:
# the update is tried again a few times, then the install goes on with the lists it has.
update_tries=${INSTALL_DEPS_UPDATE_TRIES:-3}
retry_pause=${INSTALL_DEPS_RETRY_PAUSE:-10}

have() { command -v "$1" >/dev/null 2>&1; }
pkg_installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
say() { echo "install-deps: $*" >&2; }

build=""
have cmake || build="$build cmake"
have make || build="$build make"
have g++ || build="$build g++"
have i686-w64-mingw32-g++-win32 || build="$build g++-mingw-w64-i686-win32"
have i686-w64-mingw32-gcc-win32 || build="$build gcc-mingw-w64-i686-win32"
{ have i686-w64-mingw32-windres && have i686-w64-mingw32-objdump; } ||
    build="$build binutils-mingw-w64-i686"
have x86_64-w64-mingw32-g++-win32 || build="$build g++-mingw-w64-x86-64-win32"
have x86_64-w64-mingw32-gcc-win32 || build="$build gcc-mingw-w64-x86-64-win32"
{ have x86_64-w64-mingw32-windres && have x86_64-w64-mingw32-objdump; } ||
    build="$build binutils-mingw-w64-x86-64"
pkg_installed libgtest-dev || build="$build libgtest-dev"
have python3 || build="$build python3"

wine=""
have Xvfb || wine="$wine xvfb"
have xauth || wine="$wine xauth"
have xwd || wine="$wine x11-apps"
have wine || wine="$wine wine"
pkg_installed wine32:i386 || wine="$wine wine32:i386"
# The bench's 64-bit Windows machines, which run the program under WoW64.
pkg_installed wine64 || wine="$wine wine64"
pkg_installed fonts-wine || wine="$wine fonts-wine"
# `make bench` counts the program's system calls with it.
have strace || wine="$wine strace"
# Where no 32-bit program runs here, 32-bit Wine runs in an emulated i386 machine, made from
# Debian's packages (scripts/guest). The check is the bench's own; without python3 yet,
# the machine's packages are taken to be needed.
here=${0%/*}
if ! python3 -c 'import sys; sys.path.insert(0, sys.argv[1]); import benchlib
sys.exit(0 if benchlib.host_runs_32bit_programs() else 1)' "$here/../tests/wine" 2>/dev/null; then
    have qemu-system-i386 || wine="$wine qemu-system-x86"
    have mmdebstrap || wine="$wine mmdebstrap"
    have cpio || wine="$wine cpio"
    have zstd || wine="$wine zstd"
fi

if [ -z "$build$wine" ]; then
    exit 0
fi

wine_missing() {
    say "not installed:$1; the Wine bench, \`make run\` and \`make bench\` will not run" \
        "until they are (apt-get install$1)"
}

if [ "$(id -u)" != 0 ]; then
    if [ -n "$build" ]; then
        say "missing packages:$build$wine (run as root to install them)"
        exit 1
    fi
    wine_missing "$wine"
    exit 0
fi

case "$wine " in
    *" wine32:i386 "*)
        case " $(dpkg --print-foreign-architectures) " in
            *" i386 "*) ;;
            *) dpkg --add-architecture i386 ;;
        esac
        ;;
esac

export DEBIAN_FRONTEND=noninteractive

# apt's output of the last call is kept in $log.
log=""
try=1
while ! log=$(apt-get update -qq 2>&1); do
    if [ "$try" -ge "$update_tries" ]; then
        failed=$(printf '%s\n' "$log" | grep 'Failed to fetch' | head -n 1)
        [ -n "$failed" ] || failed=$(printf '%s\n' "$log" | grep '^E: ' | head -n 1)
        say "the package index did not update in $try tries ($failed); going on with the" \
            "lists that did update"
        break
    fi
    try=$((try + 1))
    sleep "$retry_pause"
done

apt_install() { log=$(apt-get install -y -qq --no-install-recommends "$@" 2>&1); }
apt_error() { printf '%s\n' "$log" | grep '^E: ' | head -n 1; }

if [ -n "$build" ]; then
    # shellcheck disable=SC2086
    if ! apt_install $build; then
        printf '%s\n' "$log" >&2
        say "could not install what the build needs:$build ($(apt_error))"
        exit 1
    fi
fi

# shellcheck disable=SC2086
if [ -n "$wine" ] && ! apt_install $wine; then
    # One package that cannot be had fails the whole call: install the others one by one.
    missing=""
    for package in $wine; do
        if ! apt_install "$package"; then
            missing="$missing $package"
            say "$package: $(apt_error)"
        fi
    done
    if [ -n "$missing" ]; then
        wine_missing "$missing"
    fi
fi
exit 0
