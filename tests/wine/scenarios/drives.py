"""The "Free Disk Space" rows: fixed drives only, in letter order, never A: or B:, and
free space of 4 TB and more shown in its true size. Drives of a known size are tmpfs
mounts under build/ (the bench runs as root); C: and Z: share the build disk, whose free
space moves while others build, so their figures are checked against statvfs within 1%."""
import contextlib
import os
import re
import subprocess

from benchlib import log_bytes

UNITS = {"Bytes": 1, "KB": 1 << 10, "MB": 1 << 20, "GB": 1 << 30, "TB": 1 << 40}


@contextlib.contextmanager
def sized_folder(bench, name, size):
    """A folder on a tmpfs of exactly size bytes, or on the build disk (and None for its
    size) when mounting is not allowed."""
    path = os.path.join(bench.work, "mounts", name)
    os.makedirs(path, exist_ok=True)
    mounted = subprocess.run(["mount", "-t", "tmpfs", "-o", "size=%d" % size, "tmpfs", path],
                             stderr=subprocess.DEVNULL).returncode == 0
    try:
        yield path, size if mounted else None
    finally:
        if mounted:
            subprocess.run(["umount", path])


def free_bytes(path):
    """Free bytes as Wine counts them: the blocks available to unprivileged users."""
    stat = os.statvfs(path)
    return stat.f_bavail * stat.f_frsize


def parse_size(text):
    match = re.fullmatch(r"(\d+(?:\.\d\d)?)(Bytes|KB|MB|GB|TB)", text)
    return float(match.group(1)) * UNITS[match.group(2)] if match else None


def test_fixed_drives_only_in_letter_order(bench):
    with sized_folder(bench, "g", 1610612736) as (g, g_size), \
            sized_folder(bench, "h", 5 << 40) as (h, h_size):
        plain = os.path.join(bench.work, "mounts")
        m = bench.machine("drives-mixed", drives={
            "a": ("hd", plain), "b": ("hd", plain),  # never asked, whatever their type
            "d": ("cdrom", plain), "e": ("floppy", plain), "f": ("network", plain),
            "g": ("hd", g), "h": ("hd", h),
            "j": ("hd", os.path.join(plain, "missing")),  # its query fails: no row
        })
        run = m.report()
        exact = {"G:\\": "1.50GB" if g_size else None, "H:\\": "5.00TB" if h_size else None}
        measured = {"C:\\": free_bytes(os.path.join(m.prefix, "drive_c")), "Z:\\": free_bytes("/"),
                    "G:\\": free_bytes(g), "H:\\": free_bytes(h)}

    rows = [row for row in run.rows if row[0] == "Free Disk Space"]
    roots = [details.split("   ")[0] for _label, details, _icon in rows]
    bench.check_equal(["C:\\", "G:\\", "H:\\", "Z:\\"], roots, "drives listed")
    bench.check(all(icon == 6 for _l, _d, icon in rows), "icons %r" % rows)
    expected = []
    for label, details, icon in run.rows:
        if label == "Free Disk Space":
            root, _, text = details.partition("   ")
            if exact.get(root):
                details = root + "   " + exact[root]
            else:
                size = parse_size(text)
                bench.check(size is not None and abs(size - measured[root]) <= measured[root] / 100,
                            "%s shows %r, statvfs %d" % (root, text, measured[root]))
        expected.append((label, details, icon))
    bench.check_bytes(log_bytes(expected), run.log, "log")
    labels = run.labels()
    first = labels.index("Free Disk Space") if rows else 0
    bench.check(labels[first - 1].startswith(("Color Depth", "Glide")),
                "row before the drives: %r" % labels[first - 1])
    bench.check_equal("Max Swap File Size", labels[first + len(rows)], "row after the drives")
