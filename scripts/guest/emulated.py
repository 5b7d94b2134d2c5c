"""The real tarrow.exe under 32-bit Wine on a host that runs no 32-bit code: the Wine bench
and the headless run, each as a job in the emulated i386 machine (image.py makes it, boot.py
runs it). The bench inside is the same bench, with its scenarios shared by two workers, one
for each of the machine's processors."""
import os
import shlex
import shutil
import time

import boot
import image

WHERE = "32-bit, emulated i386 machine"
DEFAULT_MINUTES = 70  # within CI's 90 for a whole `make test`
MINUTES_VARIABLE = "TARROW_GUEST_MINUTES"
JOBS = 2


def time_limit_minutes():
    """The limit for one boot of the machine: TARROW_GUEST_MINUTES, else the default."""
    text = os.environ.get(MINUTES_VARIABLE, "")
    try:
        minutes = float(text)
    except ValueError:
        return DEFAULT_MINUTES
    return minutes if minutes > 0 else DEFAULT_MINUTES


def guest_folder(build):
    """The image's folder: build/guest beside the build trees."""
    return os.path.join(os.path.dirname(os.path.abspath(build)), "guest")


def bench_script(pattern):
    return "\n".join([
        "cd /w/src",
        "python3 tests/wine/run_bench.py --here --build /w/build/win32 --source /w/src "
        "--label '%s' --jobs %d -k %s" % (WHERE, JOBS, shlex.quote(pattern)),
        "status=$?",
        "cp /w/build/win32/wine-bench/outcome.txt /w/out/ 2>/dev/null",
        # The screenshots the scenarios took, for a person to look at.
        "find /w/build/win32/wine-bench -name '*.png' -exec cp {} /w/out/ \\;",
        "exit $status", ""])


def headless_script():
    return "\n".join([
        "cd /w/src",
        "python3 scripts/run_headless.py --here --build /w/build/win32 --source /w/src "
        "--out /w/out", ""])


def say(line):
    print(line, flush=True)


def unavailable():
    """Why the machine cannot be made or booted here, or None: the host packages missing."""
    missing = image.missing_host_packages()
    if missing:
        return "%s %s not installed" % (", ".join(missing), "is" if len(missing) == 1 else "are")
    return None


def boot_job(build, source, script, out, label):
    """Makes or reuses the image and runs one job; returns (outcome, image, failure line)
    where the failure line is None when the job ran to its end."""
    started = time.time()
    try:
        made = image.ensure_image(guest_folder(build), say)
    except image.ImageError as error:
        return None, None, "%s: the emulated machine's image could not be made: %s" % (label, error)
    if made.reused:
        say("guest: image kept from an earlier run, reused in %.1f s instead of made in %s "
            "(%s)" % (time.time() - started, minutes(made.made_seconds),
                      guest_folder(build)))
    limit = time_limit_minutes()
    say("guest: booting the emulated i386 machine (qemu-system-i386, at most %g minutes)" % limit)
    shutil.rmtree(out, ignore_errors=True)
    outcome = boot.run_job(made, os.path.join(guest_folder(build), "run"), script, source,
                           {"win32": build}, out, limit * 60, say)
    if outcome.timed_out:
        return outcome, made, ("%s: failed: the emulated machine did not finish within %g "
                               "minutes" % (label, limit))
    if outcome.status is None:
        return outcome, made, ("%s: failed: the emulated machine stopped without sending its "
                               "results back (its console is above)" % label)
    return outcome, made, None


def timing(outcome, made):
    text = "the machine ran %s" % minutes(outcome.seconds)
    if made.reused:
        return text + ", its image reused (making it took %s)" % minutes(made.made_seconds)
    return text + ", its image made in %s" % minutes(made.made_seconds)


minutes = image.minutes


def run_bench(build, source, work, pattern, write_outcome, skipped_code=77):
    """The whole bench (or the scenarios whose names hold pattern) in the machine; leaves
    its outcome line in work as the bench on the host does. Returns the exit code."""
    label = "Wine bench (%s)" % WHERE
    reason = unavailable()
    if reason:
        line = "%s: skipped: %s" % (label, reason)
        print("SKIP: %s." % reason)
        write_outcome(work, line)
        return skipped_code
    out = os.path.join(work, "emulated")
    outcome, made, failure = boot_job(build, source, bench_script(pattern), out, label)
    if failure:
        print(failure)
        write_outcome(work, failure)
        return 1
    for name in os.listdir(out):
        if name.endswith(".png"):
            shutil.copyfile(os.path.join(out, name), os.path.join(work, name))
    line_path = os.path.join(out, "outcome.txt")
    if not os.path.isfile(line_path):
        line = "%s: failed: the bench ended (%d) without an outcome" % (label, outcome.status)
        write_outcome(work, line)
        print(line)
        return 1
    with open(line_path) as f:
        line = f.read().strip()
    line += "; %s" % timing(outcome, made)
    write_outcome(work, line)
    print(line)
    return 0 if outcome.status == 0 else 1


def run_headless(build, source, out_folder):
    """tarrow.exe once in the machine as run_headless.py runs it on a host: leaves
    tarrow.log and tarrow.png in out_folder. Returns the exit code."""
    label = "run (%s)" % WHERE
    reason = unavailable()
    if reason:
        print("%s: %s; tarrow.exe cannot start here" % (label, reason))
        return 1
    out = os.path.join(guest_folder(build), "run-out")
    outcome, made, failure = boot_job(build, source, headless_script(), out, label)
    if failure:
        print(failure)
        return 1
    os.makedirs(out_folder, exist_ok=True)
    for name in ("tarrow.log", "tarrow.png"):
        if os.path.isfile(os.path.join(out, name)):
            shutil.copyfile(os.path.join(out, name), os.path.join(out_folder, name))
    print("%s: %s; log: %s, screenshot: %s" %
          (label, timing(outcome, made), os.path.join(out_folder, "tarrow.log"),
           os.path.join(out_folder, "tarrow.png")))
    return outcome.status
