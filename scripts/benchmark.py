#!/usr/bin/env python3
"""Tarrow's start-up and size figures under Wine, printed, never asserted.

Times process start to visible window for tarrow.exe and for a minimal dialog program
built the same way, and for two copies of Tarrow that each leave out one stage:
  tarrow_without_inventory.exe  the shell alone (no inventory pass),
  tarrow_without_cpu.exe        the inventory pass without the processor probe.
The differences of their medians give the inventory pass without the processor probe
(whose clock measurement runs for some hundred milliseconds), and the processor probe.
Then times process start to end for "tarrow.exe /log FILE" beside a program that does
nothing, and counts for one run of each the wineserver requests (WINEDEBUG=+server, from a
freshly started server) and the system calls of the program's processes (strace -f -c,
with the server already running), figures that barely move with the machine's load.
Uses its own Xvfb display and Wine prefix under build/, and stops both when done.
"""
import argparse
import os
import re
import shutil
import statistics
import subprocess
import sys
import time

PROGRAMS = [
    ("minimal", "bench/minimal_dialog.exe"),
    ("shell", "bench/tarrow_without_inventory.exe"),
    ("nocpu", "bench/tarrow_without_cpu.exe"),
    ("tarrow", "tarrow.exe"),
]


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
    command = ["wine", os.path.join(build, "bench", "window_timer.exe"), str(runs)]
    command += [wine_path(os.path.join(build, path)) for _, path in PROGRAMS]
    output = subprocess.run(command, env=env, cwd=workdir, capture_output=True, text=True,
                            timeout=600).stdout
    times = {name: [] for name, _ in PROGRAMS}
    by_path = {wine_path(os.path.join(build, path)).lower(): name for name, path in PROGRAMS}
    for line in output.splitlines():
        match = re.match(r"^start (.+) ([0-9.]+)$", line.strip())
        if match:
            times[by_path[match.group(1).lower()]].append(float(match.group(2)))
        elif line.startswith("error"):
            print(line)
    return times


def log_commands(build, workdir):
    """The two programs timed until they end, the yardstick and the log run: (name, the
    Windows command line, the same as wine's own arguments)."""
    nothing = os.path.join(build, "bench", "do_nothing.exe")
    tarrow = os.path.join(build, "tarrow.exe")
    log = wine_path(os.path.join(workdir, "timed.log"))
    return [("nothing", '"%s"' % wine_path(nothing), ["wine", nothing]),
            ("log", '"%s" /log %s' % (wine_path(tarrow), log), ["wine", tarrow, "/log", log])]


def run_until_exit(env, build, workdir, runs):
    commands = log_commands(build, workdir)
    command = ["wine", os.path.join(build, "bench", "window_timer.exe"), "--until-exit",
               str(runs)] + [line for _, line, _ in commands]
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


def count_server_requests(env, workdir, argv):
    """Requests the wineserver traced while one run started it afresh and ran to the end."""
    subprocess.run(["wineserver", "-k"], env=env, capture_output=True)
    subprocess.run(["wineserver", "-w"], env=env, capture_output=True)
    traced = dict(env, WINEDEBUG="+server")
    result = subprocess.run(argv, env=traced, cwd=workdir,
                            capture_output=True, text=True, errors="replace", timeout=300)
    # "0024: get_startup_info( )" asks; "0024: get_startup_info() = 0 {...}" answers.
    asks = re.compile(r"^[0-9a-f]{4}: \w+\(")
    answers = re.compile(r"^[0-9a-f]{4}: \w+\(\) = ")
    return sum(1 for text in result.stderr.splitlines()
               if asks.match(text) and not answers.match(text))


def count_system_calls(env, workdir, argv):
    """System calls of the program's own processes (the server already runs), or None."""
    if not shutil.which("strace"):
        return None
    subprocess.run(["wineserver", "-p"], env=env, capture_output=True)
    summary = os.path.join(workdir, "strace.txt")
    subprocess.run(["strace", "-f", "-c", "-o", summary] + argv,
                   env=env, cwd=workdir, capture_output=True, timeout=300)
    with open(summary) as handle:
        for text in handle:
            fields = text.split()
            # "100.00  0.012345  3  4567  123 total": the fourth column counts the calls.
            if len(fields) >= 5 and fields[-1] == "total":
                return int(fields[3])
    return None


def print_log_figures(env, build, workdir, runs, wine):
    times, codes = run_until_exit(env, build, workdir, runs)
    if any(not values for values in times.values()):
        print("Start to end: some runs never ended: " + str(times))
        return
    median = {name: statistics.median(values) for name, values in times.items()}
    print(f"Start to end, median of {runs} interleaved runs under {wine}:")
    for name, label in (("nothing", "program that does nothing"),
                        ("log", "tarrow.exe /log FILE")):
        print(f"  {label:44s} {median[name]:7.1f} ms  (runs {min(times[name]):.1f} to"
              f" {max(times[name]):.1f}; exit codes {sorted(codes[name])})")
    print(f"  {'tarrow.exe /log FILE beyond the empty one':44s}"
          f" {median['log'] - median['nothing']:7.1f} ms")
    print("One run of each, counted:")
    for name, _line, argv in log_commands(build, workdir):
        requests = count_server_requests(env, workdir, argv)
        calls = count_system_calls(env, workdir, argv)
        calls_text = "not counted (strace is not installed)" if calls is None else str(calls)
        label = "program that does nothing" if name == "nothing" else "tarrow.exe /log FILE"
        print(f"  {label:28s} wineserver requests {requests:6d}, system calls {calls_text}")


def wine_version():
    return subprocess.run(["wine", "--version"], capture_output=True, text=True).stdout.strip()


def print_window_figures(times, median, runs, build):
    if any(not values for values in times.values()):
        raise SystemExit("some programs never showed a window: " + str(times))
    wine = wine_version()
    vendor, model = processor_description()
    size = os.path.getsize(os.path.join(build, "tarrow.exe"))

    def spread(name):
        return f"{median[name]:7.1f} ms  (runs {min(times[name]):.1f} to {max(times[name]):.1f})"

    print(f"Start-up to visible window, median of {runs} interleaved runs under {wine}")
    print(f"on {model} ({vendor}):")
    print(f"  minimal dialog program                       {spread('minimal')}")
    print(f"  tarrow.exe                                   {spread('tarrow')}")
    print(f"  Tarrow without its inventory pass            {spread('shell')}")
    print(f"  Tarrow without its processor probe           {spread('nocpu')}")
    print(f"  ratio tarrow.exe / minimal dialog            {median['tarrow'] / median['minimal']:7.2f}")
    # Differences of medians and of the fastest runs: on a busy machine the fastest run is
    # the one least disturbed, so the two together show how far the noise reaches.
    fastest = {name: min(values) for name, values in times.items()}
    for label, later, earlier in (("inventory pass without the processor probe", "nocpu", "shell"),
                                  ("processor probe, clock measurement included", "tarrow", "nocpu")):
        print(f"  {label:44s} {median[later] - median[earlier]:7.1f} ms of medians,"
              f" {fastest[later] - fastest[earlier]:.1f} ms of fastest runs")
    print(f"tarrow.exe: {size} bytes ({size / 1024:.1f} KiB of the 96 KiB limit)")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default="build/win32")
    parser.add_argument("--runs", type=int, default=11)
    parser.add_argument("--display", default=":72")
    args = parser.parse_args()

    build = os.path.abspath(args.build)
    for _, path in PROGRAMS + [("timer", "bench/window_timer.exe"),
                               ("nothing", "bench/do_nothing.exe")]:
        if not os.path.exists(os.path.join(build, path)):
            raise SystemExit(f"missing {path}: run make win32 first")
    root = os.path.dirname(build)
    prefix = os.path.join(root, "wine-bench")
    workdir = os.path.join(root, "bench-run")
    os.makedirs(workdir, exist_ok=True)
    env = dict(os.environ, WINEPREFIX=prefix, WINEARCH="win32", WINEDEBUG="-all",
               DISPLAY=args.display, WINEDLLOVERRIDES="mscoree,mshtml=")

    xvfb = start_xvfb(args.display)
    try:
        if not os.path.isdir(prefix):
            subprocess.run(["wineboot", "-i"], env=env, capture_output=True, timeout=300)
        run_timer(env, build, workdir, 1)  # warm-up: Wine's first starts load its DLLs
        times = run_timer(env, build, workdir, args.runs)
        median = {name: statistics.median(values) for name, values in times.items() if values}
        print_window_figures(times, median, args.runs, build)
        print_log_figures(env, build, workdir, args.runs, wine_version())
    finally:
        subprocess.run(["wineserver", "-k"], env=env, capture_output=True)
        xvfb.terminate()
        xvfb.wait()
        shutil.rmtree(workdir, ignore_errors=True)

    return 0


if __name__ == "__main__":
    sys.exit(main())
