"""The memory rows after the processor rows, and the swap-file rows after the drives.
Wine reports at most 2 GB of physical memory, and so does the row on a larger host."""
import re

from benchlib import log_bytes

BYTE_SIZE = r"\d+\.\d\d(GB|MB|KB)|\d+Bytes"


def host_memory_text():
    with open("/proc/meminfo") as f:
        total = int(re.search(r"MemTotal:\s+(\d+) kB", f.read()).group(1)) * 1024
    if total >= 2 << 30:
        return "2GB"  # 0x7FFFFFFF or 2 GB: one whole GB, odd, shown as 2
    for shift, unit in ((30, "GB"), (20, "MB"), (10, "KB")):
        if total > 1 << shift:
            whole = total >> shift
            return "%d%s" % (whole + (whole & 1), unit)
    return None


def test_memory_and_swap_rows(bench):
    run = bench.machine("memory").report()
    labels = run.labels()
    at = labels.index("Total Physical Memory") if "Total Physical Memory" in labels else -1
    if not bench.check(at >= 1, "no memory rows: %r" % labels):
        return
    bench.check_equal(("Total Physical Memory", host_memory_text(), 3), run.rows[at], "memory")
    label, load, icon = run.rows[at + 1]
    bench.check_equal(("% Memory Used", 3), (label, icon), "load row")
    bench.check(re.fullmatch(r"\d{1,3}%", load) and int(load[:-1]) <= 100, "load %r" % load)
    bench.check_equal("Resolution", labels[at + 2], "row after the memory rows")

    swap = labels.index("Max Swap File Size") if "Max Swap File Size" in labels else -1
    if not bench.check(swap > at, "no swap rows: %r" % labels):
        return
    bench.check_equal(["Max Swap File Size", "Available Swap File"], labels[swap:swap + 2],
                      "swap rows")
    for _label, text, icon in run.rows[swap:swap + 2]:
        bench.check(re.fullmatch(BYTE_SIZE, text) and icon == 6, "swap row %r" % text)
    bench.check_equal("Free Disk Space", labels[swap - 1], "row before the swap rows")
    bench.check_bytes(log_bytes(run.rows), run.log, "log")
