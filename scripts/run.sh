#!/bin/sh
# Starts tarrow.exe under Wine. With a display it runs there, in the user's own Wine prefix
# setting; without one it runs headless under Xvfb in a prefix under build/, saves
# "tarrow.log" through File, Create Log File, a PNG screenshot, prints the report and closes.
set -eu
cd "$(dirname "$0")/.."
exe=build/win32/tarrow.exe

if [ -n "${DISPLAY:-}" ]; then
    mkdir -p build/run
    cd build/run
    exec wine ../../$exe
fi

exec python3 scripts/run_headless.py --build build/win32 --source . --out build/run
