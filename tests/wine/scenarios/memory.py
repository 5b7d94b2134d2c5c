"""The memory rows after the processor rows, and the swap-file rows after the drives.
The figures are the host's true ones, also above the 2 and 4 GB that the legacy memory
status stops at."""
import re

from benchlib import log_bytes

BYTE_SIZE = r"\d+\.\d\d(GB|MB|KB|TB)|\d+Bytes|\d+KB"
UNITS = {"Bytes": 1, "KB": 1 << 10, "MB": 1 << 20, "GB": 1 << 30, "TB": 1 << 40}


def meminfo(field):
    with open("/proc/meminfo") as f:
        return int(re.search(field + r":\s+(\d+) kB", f.read()).group(1)) * 1024


def host_memory_text():
    total = meminfo("MemTotal")
    for shift, unit in ((30, "GB"), (20, "MB"), (10, "KB")):
        if total > 1 << shift:
            whole = total >> shift
            return "%d%s" % (whole + (whole & 1), unit)
    return None


def byte_count(text):
    number, unit = re.fullmatch(r"([\d.]+)(\D+)", text).groups()
    return float(number) * UNITS[unit]


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
    # Wine's swap figure is the host's memory and swap together.
    maximum = byte_count(run.rows[swap][1])
    expected = meminfo("MemTotal") + meminfo("SwapTotal")
    bench.check(abs(maximum - expected) <= expected / 50,
                "swap maximum %r, host memory and swap %d bytes" % (run.rows[swap][1], expected))
    bench.check_equal("Free Disk Space", labels[swap - 1], "row before the swap rows")
    bench.check_bytes(log_bytes(run.rows), run.log, "log")
