"""Machines in trouble: thousands of maker titles, names and values far longer than any
buffer, values of the wrong type or without their terminating zero, all 26 drive letters,
empty and dead drives, DLLs planted beside the program, system DLLs missing. The program
must show its window with every row, export well-formed text, never stop for a system
prompt, never run a DLL that is not the system's, and lose to a missing DLL only what
needs it."""
import os

from benchlib import clip_bytes, lasting_lines, log_bytes

ID_OK, ID_COPY, ID_FILE_CREATELOG = 2, 1000, 40001
READ_LIMIT = 254  # a report text is exported as its first 254 characters

# Rows every machine gets, in report order (the drive, CD-ROM, network, title and device
# rows depend on the machine).
FIXED_LABELS = ["Operating System", "DirectX Version", "CPU Model/Name", "CPU Speed",
                "# of CPU's", "Total Physical Memory", "% Memory Used", "Resolution",
                "Color Depth"]
SWAP_LABELS = ["Max Swap File Size", "Available Swap File"]

UNIQUE_TITLES = 300


def title_fixtures():
    """Thousands of subkeys under the maker's keys, of which only UNIQUE_TITLES are listed:
    the rest repeat them in other letter case or carry a fragment of the skip list."""
    lines = []
    for i in range(UNIQUE_TITLES):
        lines.append("[HKEY_LOCAL_MACHINE\\Software\\Ostrand\\Title %04d Deluxe]" % i)
    for i in range(UNIQUE_TITLES):
        lines.append("[HKEY_LOCAL_MACHINE\\Software\\The Kelto Company\\TITLE %04d DELUXE]" % i)
    for i in range(1500):
        lines.append("[HKEY_LOCAL_MACHINE\\Software\\Kelto\\Tallowick %04d]" % i)
        lines.append("[HKEY_LOCAL_MACHINE\\Software\\Kelto\\Old Quillmere %04d]" % i)
    # Key names stop at 255 characters; longer ones are refused when the fixture is written.
    lines.append("[HKEY_LOCAL_MACHINE\\Software\\Kelto\\%s]" % ("N" * 255))
    lines.append("[HKEY_LOCAL_MACHINE\\Software\\Kelto\\%s]" % ("L" * 300))
    lines.append("[HKEY_LOCAL_MACHINE\\Software\\Kelto\\%s]" % ("M" * 10000))
    return "\n".join(lines)


def hex_bytes(text):
    return ",".join("%02x" % b for b in text.encode("latin-1"))


def odd_values(unterminated_version):
    """DirectX and processor values of the wrong type, far too long, or without a zero."""
    version = ('"Version"=hex(1):%s' % hex_bytes("4.06.02.0436") if unterminated_version
               else '"Version"="%s"' % ("4.05." * 2000))
    return "\n".join([
        "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\DirectX]", version,
        '"InstalledVersion"=hex:%s' % ",".join(["41"] * 5000),
        "[HKEY_LOCAL_MACHINE\\Hardware\\Description\\System\\CentralProcessor\\0]",
        '"~MHz"=hex(b):00,01,02,03,04,05,06,07',
    ])


def device_fixtures():
    """Configuration-manager devices with values longer than every path buffer."""
    long_key = "PCI\\" + "K" * 10000
    return [
        "Config Manager\\Enum\\C0000001|HardwareKey|sz|" + long_key,
        "Config Manager\\Enum\\C0000001|Problem|dword|0",
        "Config Manager\\Enum\\C0000002|HardwareKey|sz|PCI\\HOSTILE_DISPLAY",
        "Config Manager\\Enum\\C0000002|Problem|hex|" + "00" * 300,
        "Config Manager\\Enum\\C0000003|HardwareKey|hex|" + "41" * 5000,
    ], "\n".join([
        "[HKEY_LOCAL_MACHINE\\Enum\\PCI\\HOSTILE_DISPLAY]",
        '"Class"="DISPLAY"',
        '"Driver"="%s"' % ("Display\\" + "0" * 5000),
        '"DriverDesc"=hex(1):%s' % hex_bytes("Unterminated Adapter"),
        '"DriverDate"="%s"' % ("9" * 10000),
    ])


def drive_letters(folder):
    """Every letter from A to Z: floppies, an empty CD-ROM, fixed and network drives, each
    a folder of its own below folder."""
    drives = {}
    kinds = {"a": "floppy", "b": "floppy", "d": "cdrom", "e": "network"}
    for n in range(26):
        letter = chr(ord("a") + n)
        if letter in ("c", "z"):
            continue
        target = os.path.join(folder, "drive-" + letter)
        if letter != "d":  # D: is a CD-ROM drive with no disc
            os.makedirs(target, exist_ok=True)
        drives[letter] = (kinds.get(letter, "hd"), target)
    return drives


def cut(rows):
    return [(label[:READ_LIMIT], details[:READ_LIMIT]) for label, details, _icon in rows]


def check_report(bench, run, name):
    bench.check_equal(0, run.exit_code, name + " exit code")
    bench.check(run.shown is not None and run.shown[0] == len(run.rows),
                name + ": window shown before the report was complete")
    labels = run.labels()
    bench.check_equal(FIXED_LABELS, labels[:len(FIXED_LABELS)], name + " first rows")
    for label in SWAP_LABELS + ["Kelto Title"]:
        bench.check(label in labels, "%s: no %r row" % (name, label))
    titles = [d for l, d, _i in run.rows if l == "Kelto Title"]
    bench.check_equal(UNIQUE_TITLES, len([t for t in titles if t.startswith("Title ")]),
                      name + " listed titles")
    bench.check(not any("Tallowick" in t or "Quillmere" in t for t in titles),
                name + ": a skipped title was listed")
    bench.check("N" * 255 in titles, name + ": the 255-character title is missing")
    rows = cut(run.rows)
    bench.check_bytes(log_bytes(rows), run.log, name + " log file")
    bench.check_bytes(clip_bytes(rows), run.clip, name + " clipboard")
    bench.check_equal([("Log File Created", "Log file created successfully")], run.msgboxes,
                      name + " log message")
    bench.check_equal([[("TarrowClass", "Tarrow 1.0")]], run.window_lists,
                      name + " windows on screen")


def run_hostile(bench, version, unterminated_version):
    name = "hostile-" + version
    m = bench.machine(name, version=version,
                      drives=drive_letters(os.path.join(bench.work, name + "-drives")))
    m.registry(title_fixtures())
    m.registry(odd_values(unterminated_version))
    if version in ("win95", "win98"):
        m.dyn_data, hardware = device_fixtures()
        m.registry(hardware)
    run = m.run(["start", "windows", "rows", "cmd", str(ID_COPY), "sleep", "500", "clip",
                 "cmd", str(ID_FILE_CREATELOG), "msgbox", "cmd", str(ID_OK), "wait-exit"],
                timeout=600)
    check_report(bench, run, name)
    return run


def test_hostile_windows_98(bench):
    run_hostile(bench, "win98", unterminated_version=True)


def test_hostile_windows_nt4(bench):
    run_hostile(bench, "nt40", unterminated_version=False)


def test_empty_and_dead_drives_raise_no_prompt(bench):
    missing = os.path.join(bench.work, "nothing-here")
    m = bench.machine("drives-dead", drives={"a": ("floppy", missing), "d": ("cdrom", missing),
                                             "n": ("network", missing)})
    run = m.run(["start", "windows", "cmd", str(ID_OK), "wait-exit"])
    # A prompt would wait for a person; the driver cancels and names each one it meets.
    bench.check_equal([], run.prompts, "prompts before the window")
    bench.check_equal([[("TarrowClass", "Tarrow 1.0")]], run.window_lists, "windows on screen")
    bench.check_equal(0, run.exit_code, "exit code")


# The DLLs the program loads itself, from the system folder. Missing (Wine's "=d"), each
# costs only what needs it: /log goes on without WSOCK32 (but for the network rows), WINMM
# and COMCTL32; the window cannot do without COMCTL32's list view, nor anything without the
# C runtime: one message box, exit code 3. tarrow64.exe's C runtime, MSVCRT.DLL, cannot be
# taken away: Wine's own DLLs need it.
NETWORK_LABELS = (b"TCP/IP Protocol", b"IPX/SPX Protocol")
MISSING_DLL_RUNS_MS = 60000  # far beyond a run's own time: nothing may hang
# Planted beside the program as copies that leave a mark when loaded, and preferred, as
# Windows prefers a DLL in the program's folder to the system's: none may run. Not planted:
# VERSION.DLL, which Wine's own USER32 imports by name, so that Wine loads a planted one
# before the program's first instruction whatever the program does, and, for tarrow64.exe,
# MSVCRT.DLL, which Wine's own DLLs import by name (Windows always maps it from the system
# folder). That the program imports neither by name is the audit's to show.
PLANTED_DLLS = {32: ["comctl32", "crtdll", "winmm", "wsock32"], 64: ["comctl32", "winmm", "wsock32"]}


def missing_dll_box(file_name):
    return ("Error", "Could not load %s from the system folder." % file_name)


def test_system_dlls_only_from_the_system_folder(bench):
    m = bench.machine("system-dlls")
    clean = lasting_lines(m.run(["log", "/log"]).log)
    without_network = [line for line in clean if not line.startswith(NETWORK_LABELS)]
    bench.check(len(clean) > 10 and len(without_network) < len(clean),
                "the clean log is short or has no network row")
    # Planted from here on: no run below may load one.
    planted = PLANTED_DLLS[bench.bits]
    m.plant_dlls(planted)
    preferred = ",".join(planted) + "=n,b"
    # Overrides, the argument of the run, its (exit code, main-class window, visible
    # window), its log's lasting lines (None: no log), the message boxes it showed.
    runs = [("wsock32=d", "/log", (0, 0, 0), without_network, []),
            ("winmm=d", "/log", (0, 0, 0), clean, []),
            ("comctl32=d", "/log", (0, 0, 0), clean, []),
            ("comctl32=d", "", (3, 0, 1), None, [missing_dll_box("COMCTL32.DLL")])]
    if bench.bits == 32:
        runs += [("crtdll=d", "", (3, 0, 1), None, [missing_dll_box("CRTDLL.DLL")]),
                 ("crtdll=d", "/log", (3, 0, 0), None, [])]
    runs.append((preferred, "/log", (0, 0, 0), clean, []))
    for overrides, argument, outcome, lines, boxes in runs:
        what = "%s, %r" % (overrides, argument)
        run = m.run(["log", argument], dll_overrides=overrides)
        bench.check_equal([outcome], [r[:3] for r in run.log_runs], what + ": the run")
        bench.check(all(r[3] < MISSING_DLL_RUNS_MS for r in run.log_runs),
                    "%s ran %r ms" % (what, [r[3] for r in run.log_runs]))
        bench.check_equal(lines, run.log and lasting_lines(run.log), what + ": the log")
        bench.check_equal(boxes, run.msgboxes, what + ": the message")
    window = m.run(["start", "rows", "cmd", str(ID_OK), "wait-exit"], dll_overrides=preferred)
    bench.check_equal(0, window.exit_code, "the window's exit code beside planted DLLs")
    bench.check_equal(clean, lasting_lines(log_bytes(window.rows)),
                      "the window's rows beside planted DLLs")
    bench.check_equal([], m.dll_marks(), "planted DLLs that ran")
