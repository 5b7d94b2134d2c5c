#!/usr/bin/env python3
"""Runs the Wine bench: every test_* function of every module in scenarios/, each on the
machines it sets up, and prints one line per test and a closing count."""
import argparse
import importlib.util
import os
import sys
import time
import traceback

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import benchlib  # noqa: E402

SKIPPED = 77  # CTest's SKIP_RETURN_CODE for this test
OUTCOME_FILE = "outcome.txt"  # in the bench's work folder, build/win32/wine-bench


def load_scenarios(folder):
    for name in sorted(os.listdir(folder)):
        if not name.endswith(".py") or name.startswith("_"):
            continue
        found = importlib.util.spec_from_file_location("scenario_" + name[:-3],
                                                      os.path.join(folder, name))
        module = importlib.util.module_from_spec(found)
        found.loader.exec_module(module)
        for attr in sorted(dir(module)):
            if attr.startswith("test_") and callable(getattr(module, attr)):
                yield "%s.%s" % (name[:-3], attr[5:]), getattr(module, attr)


def write_outcome(work, outcome):
    """Leaves the bench's outcome in one line for `make test` to print last, so that a skip
    and its reason are not lost in the scroll of the three test runs."""
    with open(os.path.join(work, OUTCOME_FILE), "w") as f:
        f.write("Wine bench: %s\n" % outcome)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--build", required=True, help="the win32 build tree")
    parser.add_argument("--source", required=True, help="the source tree")
    parser.add_argument("-k", dest="pattern", default="", help="run tests whose name contains this")
    args = parser.parse_args()

    build = os.path.abspath(args.build)
    work = os.path.join(build, "wine-bench")
    os.makedirs(work, exist_ok=True)
    reason = benchlib.wine_unavailable()
    if reason:
        print("SKIP: %s." % reason)
        write_outcome(work, "skipped: " + reason)
        return SKIPPED
    bench = benchlib.Bench(build, os.path.abspath(args.source), work)
    folder = os.path.join(os.path.dirname(os.path.abspath(__file__)), "scenarios")
    passed = failed = 0
    try:
        for name, test in load_scenarios(folder):
            if args.pattern not in name:
                continue
            bench.current = name
            before = len(bench.failures)
            started = time.time()
            try:
                test(bench)
            except Exception:  # a broken scenario counts as a failure, the rest still run
                bench.failures.append("%s: %s" % (name, traceback.format_exc()))
                print(traceback.format_exc(), flush=True)
            ok = len(bench.failures) == before
            passed += ok
            failed += not ok
            print("%s %s (%.1fs)" % ("PASS" if ok else "FAIL", name, time.time() - started),
                  flush=True)
    finally:
        bench.close()
    for failure in bench.failures:
        print("  " + failure.splitlines()[0] if failure else "")
    print("%d passed, %d failed" % (passed, failed))
    if failed or passed == 0:
        write_outcome(work, "failed, %d of %d scenarios" % (failed, passed + failed) if failed
                      else "failed, no scenario ran")
        return 1
    write_outcome(work, "passed, %d scenarios" % passed)
    return 0


if __name__ == "__main__":
    sys.exit(main())
