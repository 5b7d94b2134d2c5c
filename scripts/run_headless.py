#!/usr/bin/env python3
"""Runs tarrow.exe once under Xvfb and Wine the way a user would: waits for its window,
takes a screenshot, saves the log through File, Create Log File, prints the report and
closes the program. Leaves tarrow.log and tarrow.png in the output folder. Where this
machine runs no 32-bit program, it does all that in the emulated i386 machine, or, where
that machine cannot be had, with tarrow64.exe (--build64) on Wine's 64-bit loader."""
import argparse
import os
import shutil
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "wine"))
import benchlib  # noqa: E402

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "guest"))
import emulated  # noqa: E402


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--build", required=True)
    parser.add_argument("--source", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--build64", help="the win64 tree, for a host without the emulator")
    parser.add_argument("--here", action="store_true",
                        help="run on this machine's Wine, never in the emulated machine")
    args = parser.parse_args()
    if not args.here and not benchlib.host_runs_32bit_programs():
        missing = emulated.unavailable()
        if not missing or not args.build64:
            print("run: this machine runs no 32-bit program: tarrow.exe runs in the emulated "
                  "i386 machine")
            return emulated.run_headless(args.build, args.source, args.out)
        print("run: this machine runs no 32-bit program and the emulated i386 machine cannot "
              "be had (%s): tarrow64.exe runs on Wine's 64-bit loader instead" % missing)
        args.build = args.build64
    bits = benchlib.build_bits(args.build)
    program = "tarrow64.exe" if bits == 64 else "tarrow.exe"
    reason = benchlib.wine_unavailable(bits)
    if reason:
        print("run: %s; %s cannot start under Wine here" % (reason, program), file=sys.stderr)
        return 1
    out = os.path.abspath(args.out)
    os.makedirs(out, exist_ok=True)
    bench = benchlib.Bench(args.build, args.source, os.path.join(os.path.abspath(args.build), "run"))
    try:
        machine = bench.machine("run", screen="1024x768x24")
        png = os.path.join(out, "tarrow.png")
        # The screenshot is taken while the driver waits between showing and closing.
        run = machine.run(["start", "sleep", "1500", "cmd", "40001", "msgbox", "sleep", "4000",
                           "cmd", "2", "wait-exit"], background=lambda: machine.screenshot(png))
    finally:
        bench.close()
    if run.log is None:
        print("run: %s wrote no log" % program, file=sys.stderr)
        return 1
    with open(os.path.join(out, "tarrow.log"), "wb") as f:
        f.write(run.log)
    sys.stdout.write(run.log.decode("latin-1").replace("\r\n", "\n"))
    print("\nlog: %s\nscreenshot: %s" % (os.path.join(out, "tarrow.log"), png))
    return 0


if __name__ == "__main__":
    sys.exit(main())
