#!/usr/bin/env python3
"""Runs the Wine bench: every test_* function of every module in scenarios/, each on the
machines it sets up, and prints one line per test and a closing count. With --jobs N the
scenarios are shared out among N workers, each with its own screens and work folder.

The bench takes the tree's program: tarrow64.exe where the tree holds it (or --label names a
64-bit build), on Wine's 64-bit loader here; else tarrow.exe. Where this machine runs no
32-bit program, the 32-bit bench runs whole in an emulated i386 machine (scripts/guest) and
its outcome comes back from there."""
import argparse
import contextlib
import importlib.util
import io
import multiprocessing
import os
import sys
import time
import traceback

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import benchlib  # noqa: E402

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..",
                                "scripts", "guest"))
import emulated  # noqa: E402

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


class Tally:
    """How the scenarios ended, in the order they were run."""

    def __init__(self):
        self.passed = 0
        self.failed = 0
        self.skipped = []  # (name, reason)
        self.failures = []

    def add(self, name, verdict, reason, failures):
        if verdict == "SKIP":
            self.skipped.append((name, reason))
        elif verdict == "PASS":
            self.passed += 1
        else:
            self.failed += 1
        self.failures += failures


def run_scenario(bench, name, test):
    """Runs one scenario; returns its verdict (PASS, FAIL or SKIP), its line and the reason
    it was skipped."""
    bench.current = name
    before = len(bench.failures)
    started = time.time()
    reason = None
    try:
        test(bench)
    except benchlib.ScenarioSkipped as skip:
        reason = str(skip)
    except Exception:  # a broken scenario counts as a failure, the rest still run
        bench.failures.append("%s: %s" % (name, traceback.format_exc()))
        print(traceback.format_exc(), flush=True)
    seconds = time.time() - started
    if reason is not None:
        return "SKIP", "SKIP %s: %s" % (name, reason), reason
    verdict = "PASS" if len(bench.failures) == before else "FAIL"
    return verdict, "%s %s (%.1fs)" % (verdict, name, seconds), None


def run_in_order(bench, tests, tally):
    for name, test in tests:
        before = len(bench.failures)
        verdict, line, reason = run_scenario(bench, name, test)
        print(line, flush=True)
        tally.add(name, verdict, reason, bench.failures[before:])


def worker(index, build, bits, source, work, names, results):
    """One of --jobs workers: takes scenario names until it gets None, runs each with its
    output held back, and sends the lot as one piece so that workers' lines never mix."""
    bench = benchlib.Bench(build, source, os.path.join(work, "worker-%d" % index), bits)
    tests = dict(load_scenarios(scenario_folder()))
    try:
        for name in iter(names.get, None):
            before = len(bench.failures)
            held = io.StringIO()
            with contextlib.redirect_stdout(held):
                verdict, line, reason = run_scenario(bench, name, tests[name])
            results.put((name, verdict, reason, held.getvalue() + line + "\n",
                         bench.failures[before:]))
    finally:
        bench.close()


def run_in_workers(build, bits, source, work, tests, jobs, tally):
    # The template prefixes are made once, before the workers clone them.
    started = time.time()
    first = benchlib.Bench(build, source, work, bits)
    try:
        for arch in first.arches():
            first.template(arch)
    finally:
        first.close()
    print("bench: prefix templates ready in %.1fs; %d scenarios for %d workers" %
          (time.time() - started, len(tests), jobs), flush=True)
    context = multiprocessing.get_context("fork")
    names, results = context.Queue(), context.Queue()
    for name, _test in tests:
        names.put(name)
    workers = [context.Process(target=worker,
                               args=(i + 1, build, bits, source, work, names, results))
               for i in range(jobs)]
    for process in workers:
        names.put(None)
        process.start()
    waiting = {name for name, _test in tests}
    while waiting:
        try:
            name, verdict, reason, text, failures = results.get(timeout=5)
        except Exception:  # queue.Empty: see whether any worker is still there to answer
            if any(process.is_alive() for process in workers):
                continue
            for name in sorted(waiting):
                print("FAIL %s (its worker ended without an answer)" % name, flush=True)
                tally.add(name, "FAIL", None, ["%s: its worker ended without an answer" % name])
            break
        waiting.discard(name)
        sys.stdout.write(text)
        sys.stdout.flush()
        tally.add(name, verdict, reason, failures)
    for process in workers:
        process.join()


def scenario_folder():
    return os.path.join(os.path.dirname(os.path.abspath(__file__)), "scenarios")


def outcome_line(label, tally, seconds):
    """The bench's outcome in one line: how it ended, its count, what was skipped and why."""
    if tally.failed:
        text = "failed, %d of %d scenarios" % (tally.failed, tally.passed + tally.failed)
    elif tally.passed == 0:
        text = "failed, no scenario ran"
    else:
        text = "passed, %d scenarios" % tally.passed
    if tally.skipped:
        text += ", %d skipped (%s)" % (len(tally.skipped),
                                       "; ".join("%s: %s" % s for s in tally.skipped))
    return "Wine bench (%s): %s, in %s" % (label, text, emulated.minutes(seconds))


def write_outcome(work, line):
    """Leaves the bench's outcome in one line for `make test` to print last, so that a skip
    and its reason are not lost in the scroll of the test runs."""
    with open(os.path.join(work, OUTCOME_FILE), "w") as f:
        f.write(line + "\n")


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--build", required=True, help="the win32 or win64 build tree")
    parser.add_argument("--source", required=True, help="the source tree")
    parser.add_argument("-k", dest="pattern", default="", help="run tests whose name contains this")
    parser.add_argument("--jobs", type=int, default=1, help="scenarios run at once")
    parser.add_argument("--label", help="the build, as the outcome names it (by default "
                        "32-bit or 64-bit, as the tree's program is)")
    parser.add_argument("--here", action="store_true",
                        help="run on this machine's Wine, never in the emulated machine")
    args = parser.parse_args()

    build = os.path.abspath(args.build)
    source = os.path.abspath(args.source)
    work = os.path.join(build, "wine-bench")
    os.makedirs(work, exist_ok=True)
    bits = benchlib.build_bits(build, args.label or "")
    label = args.label or "%d-bit" % bits
    # The emulated machine is an i386 one: the 64-bit bench always runs on this host.
    if bits == 32 and not args.here and not benchlib.host_runs_32bit_programs():
        return emulated.run_bench(build, source, work, args.pattern, write_outcome, SKIPPED)
    reason = benchlib.wine_unavailable(bits)
    if reason:
        print("SKIP: %s." % reason)
        write_outcome(work, "Wine bench (%s): skipped: %s" % (label, reason))
        return SKIPPED
    tests = [(name, test) for name, test in load_scenarios(scenario_folder())
             if args.pattern in name]
    tally = Tally()
    started = time.time()
    if args.jobs > 1 and len(tests) > 1:
        run_in_workers(build, bits, source, work, tests, min(args.jobs, len(tests)), tally)
    else:
        bench = benchlib.Bench(build, source, work, bits)
        try:
            run_in_order(bench, tests, tally)
        finally:
            bench.close()
    seconds = time.time() - started
    for failure in tally.failures:
        print("  " + failure.splitlines()[0] if failure else "")
    print("%d passed, %d failed, %d skipped" % (tally.passed, tally.failed, len(tally.skipped)))
    write_outcome(work, outcome_line(label, tally, seconds))
    return 1 if tally.failed or tally.passed == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
