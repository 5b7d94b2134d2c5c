#!/usr/bin/env python3
"""`make test`'s closing lines: how each build's Wine bench ended, one line each, 32-bit
first. Exits 1 when a bench left no outcome, and, on a host that runs no 32-bit program,
when a bench did not pass: there a skip means the program was never run at all."""
import argparse
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import benchlib  # noqa: E402
from run_bench import OUTCOME_FILE  # noqa: E402


def closing_lines(benches, strict):
    """benches: (label, work folder) pairs. Returns the lines and whether they all count."""
    lines, ok = [], True
    for label, work in benches:
        path = os.path.join(work, OUTCOME_FILE)
        if not os.path.isfile(path):
            lines.append("Wine bench (%s): no outcome, it did not finish (see above)" % label)
            ok = False
            continue
        with open(path) as f:
            line = f.read().strip()
        lines.append(line)
        if strict and ": passed, " not in line:
            ok = False
    if strict and not ok:
        lines.append("make test: this machine runs no 32-bit program, so each Wine bench must "
                     "pass where it can run (the 32-bit one in the emulated i386 machine)")
    return lines, ok


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--bench", nargs=2, action="append", metavar=("LABEL", "BUILD"),
                        required=True, help="a build tree and its bench's label, in order")
    args = parser.parse_args()
    strict = not benchlib.host_runs_32bit_programs()
    lines, ok = closing_lines([(label, os.path.join(build, "wine-bench"))
                               for label, build in args.bench], strict)
    print("\n".join(lines))
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
