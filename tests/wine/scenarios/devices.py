"""Video adapter and multimedia rows: present devices of the configuration manager under
HKEY_DYN_DATA, their hardware and driver keys below HKEY_LOCAL_MACHINE, and the display
driver files in the system folder; listed on Windows 95 and 98 only."""
import os
import shutil

from benchlib import log_bytes

ICON_VIDEO = 1
CLASS_ROOT = r"HKEY_LOCAL_MACHINE\System\CurrentControlSet\Services\Class"
LONG_DESC = "Sound " + "s" * 594        # 600 characters: the row keeps 259, the log 254
LONG_HARDWARE_KEY = "ROOT\\" + "h" * 295  # longer than the device key path can hold
LONG_DRIVER = "MEDIA\\" + "d" * 244        # longer than the driver key path can hold

# Present devices in list order: entry, HardwareKey, Problem as fixture value, Class,
# Driver, and the registry text of the device's own keys.
DEVICES = [
    ("C29A3C40", r"PCI\VEN_10DE&DEV_0020\BUS_01", "dword|0", "Display", r"Display\0000"),
    ("C29A4010", r"PCI\VEN_5333&DEV_8811\BUS_01", "dword|22", "Display", r"Display\0001"),
    ("C29A4CB0", r"ISAPNP\BRT0001\0", "hex|00", "DISPLAY", r"Display\0002"),
    ("C29A5000", LONG_HARDWARE_KEY, "dword|0", "Display", r"Display\0003"),
    ("C29A5A10", r"PCI\VEN_8086&DEV_1229\BUS_00", "dword|0", "Net", r"Net\0000"),
    ("C29A6000", r"ISAPNP\SND0001\0", "dword|0", "Media", r"MEDIA\0000"),
    ("C29A6A00", r"ISAPNP\JOY0001\0", None, "media", LONG_DRIVER),
    ("C29A7000", r"ISAPNP\WAV0001\0", "hex|0000000000000000", "MEDIA", r"MEDIA\0002"),
]

DRIVER_KEYS = r"""
[%(root)s\Display\0000]
"DriverDesc"="Lumen 3D Pro"
"DriverDate"="4-12-1999"
[%(root)s\Display\0000\DEFAULT]
"drv"="lumen.drv"
[%(root)s\Display\0001]
"DriverDesc"="Broken Card"
"DriverDate"="1-1-1990"
[%(root)s\Display\0002]
"DriverDesc"="Not this one"
"DriverDate"=hex:31,2d,31,2d,31,39,39,38
[%(root)s\Display\0002\DEFAULT]
"drv"="bright.drv"
[%(root)s\Net\0000]
"DriverDesc"="Some Network Card"
[%(root)s\MEDIA\0000]
"DriverDesc"="%(long_desc)s"
"DriverDate"="2-2-1998"
[%(root)s\MEDIA\0002]
"DriverDesc"="Wave Synth"
"DriverDate"="5-5-1999"
[HKEY_LOCAL_MACHINE\Enum\ISAPNP\BRT0001\0]
"DriverDesc"="Brightline VGA"
[HKEY_LOCAL_MACHINE\Enum\ISAPNP\JOY0001\0]
"DriverDesc"="Game Port"
""" % {"root": CLASS_ROOT, "long_desc": LONG_DESC}

# The driver files: one with a product version, one with a version resource without any.
DRIVER_FILES = {"lumen.drv": "version_1252.dll", "bright.drv": "version_none.dll"}

EXPECTED = [
    ("Video Adapter", "Lumen 3D Pro"),
    ("Driver Date", "4-12-1999"),
    ("Driver Version", "2.53, cp 1252 "),
    ("Video Adapter", "Brightline VGA"),
    ("Driver Date", "1-1-1998"),
    ("Driver Version", "No Version Info"),
    ("Multimedia Components", LONG_DESC[:259]),
    ("Multimedia Components", "Game Port"),
    ("Multimedia Components", "Wave Synth"),
    ("Driver Date", "5-5-1999"),
]


def escape(text):
    return text.replace("\\", "\\\\").replace('"', '\\"')


def device_machine(bench, name, version):
    dyn = []
    hardware = []
    for entry, hardware_key, problem, device_class, driver in DEVICES:
        listed = "Config Manager\\Enum\\" + entry
        dyn.append("%s|HardwareKey|sz|%s" % (listed, hardware_key))
        if problem:
            kind, value = problem.split("|")
            dyn.append("%s|Problem|%s|%s" % (listed, kind, value))
        if hardware_key is not LONG_HARDWARE_KEY:
            hardware.append('[HKEY_LOCAL_MACHINE\\Enum\\%s]\n"Class"="%s"\n"Driver"="%s"' %
                            (hardware_key, device_class, escape(driver)))
    m = bench.machine(name, version=version, dyn_data=dyn)
    m.registry("\n".join(hardware) + DRIVER_KEYS)
    m.prepare()
    system = os.path.join(m.prefix, "drive_c", "windows", "system")
    os.makedirs(system, exist_ok=True)
    for target, fixture in DRIVER_FILES.items():
        source = os.path.join(bench.build, "fixtures", fixture)
        bench.check(os.path.isfile(source), "fixture library %s is built" % fixture)
        if os.path.isfile(source):
            shutil.copyfile(source, os.path.join(system, target))
    return m


def test_devices_listed_on_windows_95_and_98(bench):
    for version in ("win95", "win98"):
        run = device_machine(bench, "devices-" + version, version).report()
        tail = run.rows[-len(EXPECTED):]
        bench.check_equal([(label, details, ICON_VIDEO) for label, details in EXPECTED], tail,
                          version + " last rows")
        earlier = run.rows[:-len(EXPECTED)]
        bench.check(all(icon != ICON_VIDEO for _l, _d, icon in earlier),
                    "%s: device rows before the last ones" % version)
        # The log reads the rows back from the list: at most 254 characters a text.
        report = [(label, details[:254]) for label, details, _icon in earlier] + \
                 [(label, details[:254]) for label, details in EXPECTED]
        bench.check_bytes(log_bytes(report), run.log, version + " log")


def test_no_device_rows_on_other_systems(bench):
    for version in ("nt40", "win2k", "win7"):
        run = device_machine(bench, "devices-" + version, version).report()
        bench.check_equal([], [row for row in run.rows if row[2] == ICON_VIDEO],
                          version + " device rows")
        bench.check_bytes(log_bytes([(l, d[:254]) for l, d, _i in run.rows]), run.log,
                          version + " log")
