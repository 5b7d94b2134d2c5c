"""The "CDROM File Access Mode" row. Wine's CD-ROM drives report 512 bytes per sector,
the 16-bit figure; a CD-ROM whose query fails before any drive delivered a size removes
the row, one that fails after a delivered size keeps it."""
import os

from benchlib import log_bytes

ROW = "CDROM File Access Mode"


def cdrom_rows(bench, name, drives):
    folder = os.path.join(bench.work, "mounts")
    os.makedirs(folder, exist_ok=True)
    missing = os.path.join(folder, "no-disc")
    mapping = {letter: ("cdrom", folder if present else missing)
               for letter, present in drives.items()}
    run = bench.machine("cdrom-" + name, drives=mapping).report()
    bench.check_bytes(log_bytes(run.rows), run.log, name + " log")
    return run, [row for row in run.rows if row[0] == ROW]


def test_access_mode_from_the_drive_sequence(bench):
    cases = [
        ("none", {}, [(ROW, "16-Bit Disk Access", 8)]),
        ("one", {"d": True}, [(ROW, "16-Bit Disk Access", 8)]),
        ("no-disc", {"d": False}, []),
        ("disc-then-none", {"d": True, "e": False}, [(ROW, "16-Bit Disk Access", 8)]),
        ("none-then-disc", {"d": False, "e": True}, []),
        ("floppy-letters", {"a": True, "b": False}, [(ROW, "16-Bit Disk Access", 8)]),
    ]
    for name, drives, expected in cases:
        run, rows = cdrom_rows(bench, name, drives)
        bench.check_equal(expected, rows, name)
        if rows:
            labels = run.labels()
            bench.check_equal("Available Swap File", labels[labels.index(ROW) - 1],
                              name + ": row before")
