#!/usr/bin/env python3
# Runs cpuid-replay over every recorded dump and compares its model row with the dump's
# "# expect: " line; prints expected and got side by side for each dump.
import pathlib
import subprocess
import sys


def expected_of(path):
    for line in path.read_text().splitlines():
        if line.startswith("# expect: "):
            return line[len("# expect: "):].rstrip()
    return None


def main():
    replay, corpus = sys.argv[1], pathlib.Path(sys.argv[2])
    dumps = sorted(corpus.glob("*.txt"))
    passed = failed = 0
    for dump in dumps:
        want = expected_of(dump)
        run = subprocess.run([replay, str(dump)], capture_output=True, text=True)
        got = run.stdout.rstrip("\n")
        ok = want is not None and run.returncode == 0 and got == want
        print(f"{'ok  ' if ok else 'FAIL'} {dump.name:28} expected: {want!r}  got: {got!r}"
              + ("" if run.returncode == 0 else f" (exit {run.returncode}: {run.stderr.strip()})"))
        passed, failed = passed + ok, failed + (not ok)
    # A missing or malformed dump: exit 2 and one line naming the file (and the line).
    bad = pathlib.Path(replay).parent / "malformed-dump.txt"
    bad.write_text("# expect: nothing\nCPUID 00000000: 00000001-756E6547\n")
    for path, where in ((corpus / "no-such-dump.txt", "no-such-dump.txt"),
                        (bad, "malformed-dump.txt:2:")):
        run = subprocess.run([replay, str(path)], capture_output=True, text=True)
        ok = run.returncode == 2 and where in run.stderr and run.stderr.count("\n") == 1
        print(f"{'ok  ' if ok else 'FAIL'} {path.name:28} exit {run.returncode}: {run.stderr.strip()}")
        passed, failed = passed + ok, failed + (not ok)
    print(f"{passed} passed, {failed} failed")
    return 0 if failed == 0 and passed > 0 else 1


if __name__ == "__main__":
    sys.exit(main())
