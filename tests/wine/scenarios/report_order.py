"""The whole report in the order of the inventory pass, on a Windows 98 and an NT 4.0
machine set up to have a row of every kind: labels, order and icon indices."""
import os
import re

# One token per row: label and icon; "+" repeats, "?" may be absent, as the machine has it.
ORDER = [
    ("Operating System", 9, ""), ("DirectX Version", 4, ""),
    ("CPU Model/Name", 7, ""), ("CPU Speed", 7, ""), ("# of CPU's", 7, ""),
    ("Total Physical Memory", 3, ""), ("% Memory Used", 3, ""),
    ("Resolution", 5, ""), ("Color Depth", 5, ""),
    ("Glide 2x Version", 5, ""), ("Glide 3x Version", 5, ""),
    ("Free Disk Space", 6, "+"),
    ("Max Swap File Size", 6, ""), ("Available Swap File", 6, ""),
    ("CDROM File Access Mode", 8, ""),
    ("TCP/IP Protocol", 0, ""), ("IPX/SPX Protocol", 0, "?"),
    ("Kelto Title", 2, "+"),
]
DEVICE_ORDER = [
    ("Video Adapter", 1, ""), ("Driver Date", 1, ""), ("Driver Version", 1, ""),
    ("Multimedia Components", 1, ""), ("Driver Date", 1, ""),
]


def pattern(order):
    return "".join("(?:%s)%s" % (re.escape("%s|%d;" % (label, icon)), repeat)
                   for label, icon, repeat in order)


def machine(bench, version):
    m = bench.machine("order-" + version, version=version,
                      system_files={"glide2x.dll": bench.glide_fixture("version_1252"),
                                    "glide3x.dll": bench.glide_fixture("version_both")},
                      drives={"d": ("cdrom", os.path.join(bench.work, "order-cdrom"))},
                      dyn_data=["Config Manager\\Enum\\D1|HardwareKey|sz|PCI\\ORDER_VGA",
                                "Config Manager\\Enum\\D1|Problem|dword|0",
                                "Config Manager\\Enum\\D2|HardwareKey|sz|ISAPNP\\ORDER_SND",
                                "Config Manager\\Enum\\D2|Problem|dword|0"])
    os.makedirs(os.path.join(bench.work, "order-cdrom"), exist_ok=True)
    m.registry(r"""
[HKEY_LOCAL_MACHINE\Software\Ostrand\Night Harbor]
[HKEY_LOCAL_MACHINE\Enum\PCI\ORDER_VGA]
"Class"="Display"
"DriverDesc"="Order VGA"
"DriverDate"="1-2-1999"
[HKEY_LOCAL_MACHINE\Enum\ISAPNP\ORDER_SND]
"Class"="Media"
"DriverDesc"="Order Sound"
"DriverDate"="3-4-1999"
""")
    return m


def test_report_order_and_icons(bench):
    for version, order in (("win98", ORDER + DEVICE_ORDER), ("nt40", ORDER)):
        run = machine(bench, version).report()
        tokens = "".join("%s|%d;" % (label, icon) for label, _details, icon in run.rows)
        bench.check(re.fullmatch(pattern(order), tokens) is not None,
                    "%s: rows out of order: %s" % (version, tokens))
