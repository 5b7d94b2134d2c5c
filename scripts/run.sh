#!/bin/sh
# Starts tarrow.exe under Wine. With a display, and 32-bit Wine able to run here, it runs
# there, in the user's own Wine prefix setting; otherwise it runs headless under Xvfb in a
# prefix under build/ (in the emulated i386 machine where no 32-bit program runs), saves
# "tarrow.log" through File, Create Log File, a PNG screenshot, prints the report and closes.
set -eu
cd "$(dirname "$0")/.."
exe=build/win32/tarrow.exe

if [ -n "${DISPLAY:-}" ] && python3 -c 'import sys; sys.path.insert(0, "tests/wine")
import benchlib; sys.exit(0 if benchlib.host_runs_32bit_programs() else 1)'; then
    mkdir -p build/run
    cd build/run
    exec wine ../../$exe
fi

exec python3 scripts/run_headless.py --build build/win32 --build64 build/win64 --source . \
    --out build/run
