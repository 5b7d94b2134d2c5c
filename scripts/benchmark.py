#!/usr/bin/env python3
"""Tarrow's start-up and size figures under Wine, printed, never asserted.

Measures the first of the given build trees whose program runs here: tarrow.exe where this
machine runs 32-bit programs, else tarrow64.exe on Wine's 64-bit loader; every figure names
its build. Times process start to visible window for the program and for a minimal dialog
program built the same way, and for two copies of Tarrow that each leave out one stage:
  tarrow_without_inventory.exe  the shell alone (no inventory pass),
  tarrow_without_cpu.exe        the inventory pass without the processor probe.
The differences of their medians give the inventory pass without the processor probe
(whose clock measurement runs for some hundred milliseconds), and the processor probe.
Then times process start to end for "PROGRAM /log FILE" beside two floors, a program that
does nothing and one that only creates and destroys a hidden window, and counts for one run
of each the wineserver requests of the program's own process (found by its process id in
the server's trace) and its system calls (strace -f -c), with the server and Wine's desktop
kept up by a windowed program meanwhile, so no run pays for starting them: figures that
barely move with the machine's load. "/log" less the window floor is the inventory's own
share. Uses its own Xvfb display and Wine prefix under build/, and stops both when done.
"""
import argparse
import os
import re
import shutil
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "wine"))
import benchlib  # noqa: E402

COPIES = [
    ("minimal", "bench/minimal_dialog.exe"),
    ("shell", "bench/tarrow_without_inventory.exe"),
    ("nocpu", "bench/tarrow_without_cpu.exe"),
]
# The runs without a window: the two floors and the program's log run.
LOG_RUNS = [
    ("nothing", "program that does nothing"),
    ("window", "program with one hidden window"),
    ("log", "%s /log FILE"),
]


class Build:
    """A build tree and the Wine that runs its programs: tarrow.exe on the `wine` and
    `wineserver` commands in a 32-bit prefix, tarrow64.exe on the 64-bit loader and server,
    called by their paths, in a 64-bit one."""

    def __init__(self, tree):
        self.tree = os.path.abspath(tree)
        self.bits = benchlib.build_bits(self.tree)
        self.name = "%d-bit build" % self.bits
        self.program = "tarrow64.exe" if self.bits == 64 else "tarrow.exe"
        self.arch = "win64" if self.bits == 64 else "win32"
        self.loader = benchlib.WINE_LOADER_64 if self.bits == 64 else "wine"
        self.server = benchlib.WINE_SERVERS[self.arch]
        self.prefix = os.path.join(os.path.dirname(self.tree),
                                   "wine-bench" if self.bits == 32 else "wine-bench-win64")

    def path(self, relative):
        return os.path.join(self.tree, relative)

    def programs(self):
        """The programs timed to their window: (name, path in the tree)."""
        return COPIES + [("tarrow", self.program)]

    def wine(self, *args):
        return [self.loader] + list(args)


def wine_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def processor_description():
    vendor, model = "unknown", "unknown"
    try:
        with open("/proc/cpuinfo") as handle:
            for line in handle:
                key, _, value = line.partition(":")
                if key.strip() == "vendor_id":
                    vendor = value.strip()
                elif key.strip() == "model name":
                    model = value.strip()
                    break
    except OSError:
        pass
    return vendor, model


def start_xvfb(display):
    xvfb = subprocess.Popen(["Xvfb", display, "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    time.sleep(1)
    if xvfb.poll() is not None:
        raise SystemExit(f"Xvfb could not start on {display}")
    return xvfb


def run_timer(env, build, workdir, runs):
    command = build.wine(build.path("bench/window_timer.exe"), str(runs))
    command += [wine_path(build.path(path)) for _, path in build.programs()]
    output = subprocess.run(command, env=env, cwd=workdir, capture_output=True, text=True,
                            timeout=600).stdout
    times = {name: [] for name, _ in build.programs()}
    by_path = {wine_path(build.path(path)).lower(): name for name, path in build.programs()}
    for line in output.splitlines():
        match = re.match(r"^start (.+) ([0-9.]+)$", line.strip())
        if match:
            times[by_path[match.group(1).lower()]].append(float(match.group(2)))
        elif line.startswith("error"):
            print(line)
    return times


def log_commands(build, workdir):
    """The runs timed until they end, the floors and the log run: (name, the Windows
    command line, the same as the loader's own arguments)."""
    log = wine_path(os.path.join(workdir, "timed.log"))
    commands = []
    for name, path, args in (("nothing", "bench/do_nothing.exe", []),
                             ("window", "bench/hidden_window.exe", []),
                             ("log", build.program, ["/log", log])):
        program = build.path(path)
        line = " ".join(['"%s"' % wine_path(program)] + args)
        commands.append((name, line, build.wine(program, *args)))
    return commands


def run_until_exit(env, build, workdir, runs):
    commands = log_commands(build, workdir)
    command = build.wine(build.path("bench/window_timer.exe"), "--until-exit", str(runs))
    command += [line for _, line, _ in commands]
    output = subprocess.run(command, env=env, cwd=workdir, capture_output=True, text=True,
                            timeout=900).stdout
    by_line = {line: name for name, line, _ in commands}
    times = {name: [] for name, _, _ in commands}
    codes = {name: set() for name, _, _ in commands}
    for line in output.splitlines():
        match = re.match(r"^exit (.+) ([0-9.]+) (\d+)$", line.strip())
        if match and match.group(1) in by_line:
            times[by_line[match.group(1)]].append(float(match.group(2)))
            codes[by_line[match.group(1)]].add(int(match.group(3)))
        elif line.startswith("error"):
            print(line)
    return times, codes


# The server's trace (wineserver -d1): each line starts with the id of the thread it is
# for. "0124: init_first_thread( unix_pid=22811, ..." is a process's first request, from
# the Unix process of that id; "0110: new_thread( process=ffffffff, ...) = 0 { tid=0114,"
# answers a thread that starts another in its own process; "0024: get_startup_info( )"
# asks, "0024: get_startup_info() = 0 {...}" answers.
REQUEST = re.compile(r"^([0-9a-f]{4}): (\w+)\((?!\) = )(.*)")
NEW_THREAD_REPLY = re.compile(r"^([0-9a-f]{4}): new_thread\(\) = 0 \{ tid=([0-9a-f]{4})")


def requests_of_process(trace, unix_pid):
    """The requests in a stretch of the server's trace made by the threads of the Windows
    process that the Unix process unix_pid became."""
    first = "unix_pid=%d," % unix_pid
    threads = set()
    starting = set()  # its threads that asked for a thread of their own process
    count = 0
    for line in trace.splitlines():
        request = REQUEST.match(line)
        if request:
            thread, name, args = request.groups()
            if name == "init_first_thread" and args.lstrip().startswith(first):
                threads.add(thread)
            if thread in threads:
                count += 1
                if name == "new_thread" and "process=ffffffff" in args:
                    starting.add(thread)
            continue
        started = NEW_THREAD_REPLY.match(line)
        if started and started.group(1) in starting:
            starting.discard(started.group(1))
            threads.add(started.group(2))
    return count


class TracedServer:
    """The prefix's wineserver in the foreground, writing its trace to a file, with Wine's
    desktop kept up by a windowed program, so that a run pays for neither starting."""

    def __init__(self, build, env, workdir):
        self.env = env
        self.build = build
        self.path = os.path.join(workdir, "server-trace.txt")
        self.file = open(self.path, "wb")
        self.server = subprocess.Popen([build.server, "-f", "-d1"], env=env,
                                       stdout=subprocess.DEVNULL, stderr=self.file)
        time.sleep(1)
        self.desktop = subprocess.Popen(build.wine(build.path("bench/minimal_dialog.exe")),
                                        env=env, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL)
        time.sleep(5)

    def count_requests(self, argv, workdir):
        """Requests the server traced for one run of argv's own process."""
        before = os.path.getsize(self.path)
        run = subprocess.Popen(argv, env=self.env, cwd=workdir, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
        run.wait(timeout=300)
        time.sleep(0.5)  # its last requests reach the trace
        with open(self.path, "rb") as handle:
            handle.seek(before)
            trace = handle.read().decode("latin-1")
        return requests_of_process(trace, run.pid)

    def stop(self):
        self.desktop.terminate()
        subprocess.run([self.build.server, "-k"], env=self.env, capture_output=True)
        self.server.wait(timeout=60)
        self.desktop.wait(timeout=60)
        self.file.close()


def total_system_calls(summary):
    """The calls of every table in strace -c's summary added up, or None where it has no
    total. strace counts each personality apart: a 32-bit program on a 64-bit kernel gets
    the 64-bit table first, then one under "System call usage summary for 32 bit mode:"
    (and for x32 mode). Columns are right-aligned to their heading, so the calls of a total
    line are the number ending where "calls" ends: the usecs/call and errors columns may be
    blank there, and counting fields would take the wrong one."""
    totals = []
    calls_end = None
    for line in summary.splitlines():
        heading = re.search(r"\bcalls\b", line)
        if line.startswith("% time") and heading:
            calls_end = heading.end()
        elif calls_end is not None and line.split()[-1:] == ["total"]:
            numbers = [(abs(field.end() - calls_end), field.group())
                       for field in re.finditer(r"\S+", line) if field.group().isdigit()]
            if numbers:
                totals.append(int(min(numbers)[1]))
    return sum(totals) if totals else None


def count_system_calls(env, workdir, argv):
    """System calls of the program's own process (the server already runs), or None."""
    if not shutil.which("strace"):
        return None
    summary = os.path.join(workdir, "strace.txt")
    if os.path.exists(summary):
        os.remove(summary)  # a run that writes none must not count the one before
    subprocess.run(["strace", "-f", "-c", "-o", summary] + argv,
                   env=env, cwd=workdir, capture_output=True, timeout=300)
    try:
        with open(summary) as handle:
            return total_system_calls(handle.read())
    except OSError:
        return None


def log_run_label(build, name):
    return dict(LOG_RUNS)[name].replace("%s", build.program)


def print_log_times(env, build, workdir, runs, wine):
    times, codes = run_until_exit(env, build, workdir, runs)
    if any(not values for values in times.values()):
        print("Start to end: some runs never ended: " + str(times))
        return
    median = {name: statistics.median(values) for name, values in times.items()}
    print(f"Start to end, {build.name}, median of {runs} interleaved runs under {wine}:")
    for name, _label in LOG_RUNS:
        print(f"  {log_run_label(build, name):48s} {median[name]:7.1f} ms  (runs"
              f" {min(times[name]):.1f} to {max(times[name]):.1f}; exit codes"
              f" {sorted(codes[name])})")
    print(f"  {build.program + ' /log FILE beyond the window floor':48s}"
          f" {median['log'] - median['window']:7.1f} ms")


def print_log_counts(env, build, workdir):
    """One run of each, counted with the server and the desktop up; the inventory's share
    is the log run less the window floor."""
    counts = {}
    server = TracedServer(build, env, workdir)
    try:
        for name, _line, argv in log_commands(build, workdir):
            server.count_requests(argv, workdir)  # first runs load Wine's DLLs from disk
            counts[name] = (server.count_requests(argv, workdir),
                            count_system_calls(env, workdir, argv))
    finally:
        server.stop()
    print(f"One run of each, {build.name}, its own process counted:")
    for name, _label in LOG_RUNS:
        requests, calls = counts[name]
        calls_text = str(calls) if calls is not None else "not counted (%s)" % (
            "strace is not installed" if not shutil.which("strace") else "no strace summary")
        print(f"  {log_run_label(build, name):48s} wineserver requests {requests:6d},"
              f" system calls {calls_text}")
    requests = counts["log"][0] - counts["window"][0]
    calls = (None if None in (counts["log"][1], counts["window"][1])
             else counts["log"][1] - counts["window"][1])
    print(f"  {'/log beyond the window floor (figure to hold)':48s} wineserver requests"
          f" {requests:6d}, system calls {'not counted' if calls is None else calls}")


def wine_version(build):
    return subprocess.run(build.wine("--version"), capture_output=True,
                          text=True).stdout.strip()


def print_window_figures(times, median, runs, build):
    if any(not values for values in times.values()):
        raise SystemExit("some programs never showed a window: " + str(times))
    wine = wine_version(build)
    vendor, model = processor_description()
    size = os.path.getsize(build.path(build.program))

    def spread(name):
        return f"{median[name]:7.1f} ms  (runs {min(times[name]):.1f} to {max(times[name]):.1f})"

    print(f"Start-up to visible window, {build.name}, median of {runs} interleaved runs"
          f" under {wine}")
    print(f"on {model} ({vendor}):")
    print(f"  {'minimal dialog program':48s} {spread('minimal')}")
    print(f"  {build.program:48s} {spread('tarrow')}")
    print(f"  {'Tarrow without its inventory pass':48s} {spread('shell')}")
    print(f"  {'Tarrow without its processor probe':48s} {spread('nocpu')}")
    print(f"  {'ratio %s / minimal dialog' % build.program:48s}"
          f" {median['tarrow'] / median['minimal']:7.2f}")
    # Differences of medians and of the fastest runs: on a busy machine the fastest run is
    # the one least disturbed, so the two together show how far the noise reaches.
    fastest = {name: min(values) for name, values in times.items()}
    for label, later, earlier in (("inventory pass without the processor probe", "nocpu", "shell"),
                                  ("processor probe, clock measurement included", "tarrow", "nocpu")):
        print(f"  {label:48s} {median[later] - median[earlier]:7.1f} ms of medians,"
              f" {fastest[later] - fastest[earlier]:.1f} ms of fastest runs")
    print(f"{build.program}: {size} bytes ({size / 1024:.1f} KiB of the 96 KiB limit)")


def runnable_build(trees):
    """The first tree whose program runs under this machine's Wine, saying why each one
    before it does not."""
    for tree in trees:
        build = Build(tree)
        reason = benchlib.wine_unavailable(build.bits)
        if not reason:
            return build
        print(f"{build.name} ({build.program}): not measured: {reason}")
    raise SystemExit("no build's program runs under Wine here")


def check_built(build):
    for _, path in build.programs() + [("timer", "bench/window_timer.exe"),
                                       ("nothing", "bench/do_nothing.exe"),
                                       ("window", "bench/hidden_window.exe")]:
        if not os.path.exists(build.path(path)):
            raise SystemExit(f"missing {build.path(path)}: build its tree first")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", action="append",
                        help="a build tree, in the order tried (by default build/win32, then "
                             "build/win64)")
    parser.add_argument("--runs", type=int, default=11)
    parser.add_argument("--display", default=":72")
    args = parser.parse_args()

    build = runnable_build(args.build or ["build/win32", "build/win64"])
    check_built(build)
    workdir = os.path.join(os.path.dirname(build.tree), "bench-run")
    os.makedirs(workdir, exist_ok=True)
    env = dict(os.environ, WINEPREFIX=build.prefix, WINEARCH=build.arch, WINEDEBUG="-all",
               DISPLAY=args.display, WINEDLLOVERRIDES="mscoree,mshtml=")

    xvfb = start_xvfb(args.display)
    try:
        if not os.path.isdir(build.prefix):
            subprocess.run(build.wine("wineboot", "-i"), env=env, capture_output=True,
                           timeout=300)
        run_timer(env, build, workdir, 1)  # warm-up: Wine's first starts load its DLLs
        times = run_timer(env, build, workdir, args.runs)
        median = {name: statistics.median(values) for name, values in times.items() if values}
        print_window_figures(times, median, args.runs, build)
        print_log_times(env, build, workdir, args.runs, wine_version(build))
        subprocess.run([build.server, "-k"], env=env, capture_output=True)
        subprocess.run([build.server, "-w"], env=env, capture_output=True)
        print_log_counts(env, build, workdir)
    finally:
        subprocess.run([build.server, "-k"], env=env, capture_output=True)
        xvfb.terminate()
        xvfb.wait()
        shutil.rmtree(workdir, ignore_errors=True)

    return 0


if __name__ == "__main__":
    sys.exit(main())
