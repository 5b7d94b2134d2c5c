"""The processor rows on the processor this machine really has: the model row is what
cpuid-replay names for a dump of its own CPUID leaves, and the speed comes from the source
the vendor's branch names. Both tools are Windows programs of the build, run under the same
Wine as the program, so the leaves are those the program reads wherever the bench runs."""
import os
import re
import shutil
import subprocess

CPU_LABELS = ["CPU Model/Name", "CPU Speed", "# of CPU's"]
ICON_PROCESSOR = 7
# The rates the timer measurement reports once normalised (0 below the table).
NORMALISED_RATES = {0, 75, 90, 100, 120, 133, 166, 180, 200, 233, 250, 266, 300, 333, 350,
                    366, 380, 400, 450, 475, 500, 550, 575, 600, 625, 650, 675, 700}


def windows_tool(machine, name, *args):
    """What the build's Windows tool NAME.exe printed, run in the machine's work folder."""
    machine.prepare()
    shutil.copyfile(os.path.join(machine.bench.build, name + ".exe"),
                    os.path.join(machine.workdir, name + ".exe"))
    return machine.wine("C:\\work\\%s.exe" % name, *args).stdout.decode("latin-1")


def own_dump(machine):
    """This machine's CPUID leaves, the vendor they name, and the model row for them."""
    dump = windows_tool(machine, "cpuid-dump").replace("\r\n", "\n")
    with open(os.path.join(machine.workdir, "own-cpuid.txt"), "w") as f:
        f.write(dump)
    model = windows_tool(machine, "cpuid-replay", "C:\\work\\own-cpuid.txt").rstrip("\r\n")
    machine.stop_server()
    leaf0 = re.search(r"CPUID 00000000: ([0-9A-F]{8})-([0-9A-F]{8})-([0-9A-F]{8})-([0-9A-F]{8})",
                      dump)
    ebx, ecx, edx = (int(leaf0.group(i), 16) for i in (2, 3, 4))
    vendor = b"".join(r.to_bytes(4, "little") for r in (ebx, edx, ecx)).decode("latin-1")
    return vendor, model


def kernel_tsc_mhz():
    """The kernel's own figure for the time-stamp counter, from its log or /proc/cpuinfo."""
    try:
        log = subprocess.run(["dmesg"], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL).stdout
        found = re.search(rb"tsc: (?:Detected|Refined TSC clocksource calibration:) ([0-9.]+) MHz",
                          log)
        if found:
            return float(found.group(1))
    except OSError:
        pass
    with open("/proc/cpuinfo") as f:
        return float(re.search(r"cpu MHz\s*:\s*([0-9.]+)", f.read()).group(1))


def processor_rows(bench, run, what):
    rows = run.rows[2:5]  # after the operating system and DirectX rows
    bench.check_equal(CPU_LABELS, [r[0] for r in rows], what + " labels")
    bench.check_equal([ICON_PROCESSOR] * 3, [r[2] for r in rows], what + " icons")
    return [r[1] for r in rows]


def speed_of(bench, text, what):
    bench.check(re.fullmatch(r"-?[0-9]+MHz", text) is not None, "%s speed %r" % (what, text))
    return int(text[:-3]) if text.endswith("MHz") else -1


def test_rows_of_this_machines_processor(bench):
    m = bench.machine("processor-own")
    vendor, model = own_dump(m)
    # The last run has no WINMM.DLL: the timer measurement then has nothing to time with.
    for cpu_mhz, winmm in (("show", True), ("delete", True), ("delete", False)):
        what = "%s (%s, recorded rate %s%s)" % (vendor, model, "kept" if cpu_mhz == "show"
                                                else "removed", "" if winmm else ", no WINMM")
        run = m.run(["start", "rows", "cmd", "2", "wait-exit"], cpu_mhz=cpu_mhz,
                    dll_overrides=None if winmm else "winmm=d")
        got = processor_rows(bench, run, what)
        if len(got) != 3:
            continue
        bench.check_equal(model, got[0], what + " model row")
        speed = speed_of(bench, got[1], what)
        timer_route = vendor not in ("GenuineIntel", "CyrixInstead") and run.recorded_mhz is None
        if timer_route and not winmm:
            bench.check_equal(0, speed, what + ": speed without a timer")
            bench.check_equal("1", got[2], what + " processor count")
        elif vendor == "GenuineIntel":
            kernel = kernel_tsc_mhz()
            bench.check(abs(speed - kernel) <= kernel * 0.01,
                        "%s: time-stamp measurement %d MHz, kernel %.1f MHz" % (what, speed, kernel))
            bench.check_equal(str(os.cpu_count()), got[2], what + " processor count")
        elif vendor == "AuthenticAMD" and run.recorded_mhz is not None:
            bench.check_equal(run.recorded_mhz, speed, what + " speed from the registry")
            bench.check_equal("1", got[2], what + " processor count")
        else:
            bench.check(speed in NORMALISED_RATES, "%s: timer measurement %d MHz is not a "
                        "normalised rate" % (what, speed))
            bench.check_equal("1", got[2], what + " processor count")
