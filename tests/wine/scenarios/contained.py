"""Probes that fault: copies of Tarrow built for the bench whose chosen probe faults on
entry (or, for the processor, after raising its priorities and the timer resolution)
still show their window with every other row in order, and export it whole."""
import os

from benchlib import MOMENT_LABELS, clip_bytes, log_bytes, moment_form

ID_OK, ID_COPY, ID_FILE_CREATELOG = 2, 1000, 40001
NORMAL_PRIORITY_CLASS, THREAD_PRIORITY_NORMAL = 0x20, 0
READ_LIMIT = 254

PROBE_LABELS = {
    "os": {"Operating System"},
    "cpu": {"CPU Model/Name", "CPU Speed", "# of CPU's"},
    "cpu_timing": {"CPU Model/Name", "CPU Speed", "# of CPU's"},
    "swap": {"Max Swap File Size", "Available Swap File"},
    "devices": {"Video Adapter", "Driver Date", "Driver Version", "Multimedia Components"},
}

# One display adapter and one multimedia device, so that the last probe on Windows 98 has
# rows to lose.
DEVICE_LIST = [
    "Config Manager\\Enum\\C0000001|HardwareKey|sz|PCI\\LUMEN",
    "Config Manager\\Enum\\C0000001|Problem|dword|0",
    "Config Manager\\Enum\\C0000002|HardwareKey|sz|PCI\\CHIME",
    "Config Manager\\Enum\\C0000002|Problem|dword|0",
]
DEVICE_KEYS = """[HKEY_LOCAL_MACHINE\\Enum\\PCI\\LUMEN]
"Class"="Display"
"DriverDesc"="Lumen 3D"
"DriverDate"="1-15-1999"
[HKEY_LOCAL_MACHINE\\Enum\\PCI\\CHIME]
"Class"="Media"
"DriverDesc"="Chime Audio"
"DriverDate"="2-20-1999"
"""

ACTIONS = ["start", "priority", "rows", "cmd", str(ID_COPY), "sleep", "500", "clip",
           "cmd", str(ID_FILE_CREATELOG), "msgbox", "cmd", str(ID_OK), "wait-exit"]


def faulting_copy(bench, name):
    return os.path.join(bench.build, "faulting", "tarrow_faulting_%s.exe" % name)


def stable(rows):
    return [(label, moment_form(details) if label in MOMENT_LABELS else details)
            for label, details, _icon in rows]


def check_contained(bench, name, version, with_devices=False):
    m = bench.machine("contained-%s-%s" % (name, version), version=version,
                      dyn_data=DEVICE_LIST if with_devices else None)
    if with_devices:
        m.registry(DEVICE_KEYS)
    whole = m.report()
    lost = [row for row in whole.rows if row[0] in PROBE_LABELS[name]]
    bench.check(lost, "%s: the reference run has no row of the probe" % name)
    program = faulting_copy(bench, name)
    if not bench.check(os.path.isfile(program), "%s is built" % program):
        return
    run = m.run(ACTIONS, program=program)
    kept = [row for row in whole.rows if row[0] not in PROBE_LABELS[name]]
    bench.check_equal(stable(kept), stable(run.rows), name + " rows")
    bench.check_equal([icon for _l, _d, icon in kept], [icon for _l, _d, icon in run.rows],
                      name + " icons")
    bench.check(run.shown is not None and run.shown[0] == len(run.rows),
                name + ": window shown before the report was complete")
    rows = [(label[:READ_LIMIT], details[:READ_LIMIT]) for label, details, _i in run.rows]
    bench.check_bytes(log_bytes(rows), run.log, name + " log file")
    bench.check_bytes(clip_bytes(rows), run.clip, name + " clipboard")
    bench.check_equal([("Log File Created", "Log file created successfully")], run.msgboxes,
                      name + " log message")
    bench.check_equal([NORMAL_PRIORITY_CLASS, THREAD_PRIORITY_NORMAL], run.priority,
                      name + " priorities after the pass")
    bench.check_equal(0, run.exit_code, name + " exit code")


def test_first_probe_faults(bench):
    check_contained(bench, "os", "win7")


def test_middle_probe_faults(bench):
    check_contained(bench, "swap", "win7")
    check_contained(bench, "swap", "nt40")


def test_processor_probe_faults(bench):
    check_contained(bench, "cpu", "win98")
    check_contained(bench, "cpu_timing", "win7")


def test_last_probe_on_windows_98_faults(bench):
    check_contained(bench, "devices", "win98", with_devices=True)
