"""The Glide rows, from the product versions of glide2x.dll and glide3x.dll in the system
directory; the fixture libraries carry each arrangement of string tables."""
import os

from benchlib import log_bytes

LONG_VERSION = "L" + "0123456789" * 30  # as in tests/wine/fixtures/version.rc


def fixture(bench, name):
    return os.path.join(bench.build, "fixtures", name + ".dll")


def glide_rows(run):
    return [row for row in run.rows if row[0].startswith("Glide")]


def check_glide(bench, name, files, expected, logged=None):
    """Installs the fixtures as the Glide files and checks the Glide rows, which follow
    the colour depth, in the window and byte for byte in the log (logged: the rows as the
    log holds them, when they differ)."""
    m = bench.machine("glide-" + name,
                      system_files={f: fixture(bench, src) for f, src in files.items()})
    run = m.report()
    rows = [(label, details, 5) for label, details in expected]
    bench.check_equal(rows, glide_rows(run), name + " rows")
    labels = run.labels()
    if "Color Depth" not in labels:
        bench.check(False, name + ": no colour-depth row")
        return
    at = labels.index("Color Depth") + 1
    others = [row for row in run.rows if not row[0].startswith("Glide")]
    logged = rows if logged is None else logged
    bench.check_bytes(log_bytes(others[:at] + logged + others[at:]), run.log, name + " log")


def test_neither_library(bench):
    check_glide(bench, "neither", {}, [])


def test_only_glide3x(bench):
    check_glide(bench, "only3x", {"glide3x.dll": "version_1200"},
                [("Glide 3x Version", "3.10.00.0658 cp 1200")])


def test_both_libraries(bench):
    check_glide(bench, "both", {"glide2x.dll": "version_1252", "glide3x.dll": "version_1200"},
                [("Glide 2x Version", "2.53, cp 1252 "),
                 ("Glide 3x Version", "3.10.00.0658 cp 1200")])


def test_code_page_1252_before_1200(bench):
    check_glide(bench, "both-tables", {"glide2x.dll": "version_both"},
                [("Glide 2x Version", "2.53, cp 1252 ")])


def test_no_us_english_product_version(bench):
    # German table only, no string table, a table without ProductVersion: no row.
    check_glide(bench, "german", {"glide2x.dll": "version_0407", "glide3x.dll": "version_none"},
                [])
    check_glide(bench, "noproduct", {"glide3x.dll": "version_noproduct"}, [])


def test_long_product_version_is_cut(bench):
    # Cut at the probe's buffer of 260 bytes; the log reads the row back as 254 characters.
    check_glide(bench, "long", {"glide2x.dll": "version_long"},
                [("Glide 2x Version", LONG_VERSION[:259])],
                [("Glide 2x Version", LONG_VERSION[:254], 5)])
