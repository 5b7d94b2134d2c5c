"""The maker's titles: subkeys of the three maker keys in key order, without names on the
skip list (case-sensitive) and without names the report already holds (case folded)."""
from benchlib import log_bytes

ICON_TITLES = 2
LONG_TITLE = "Z" * 255  # the longest key name; the list reads back 254 characters

TITLE_KEYS = r"""
[HKEY_LOCAL_MACHINE\Software\Ostrand\Night Harbor]
[HKEY_LOCAL_MACHINE\Software\Ostrand\Tallowick]
[HKEY_LOCAL_MACHINE\Software\Ostrand\The Tallowick Saga]
[HKEY_LOCAL_MACHINE\Software\Ostrand\WINDOWS 2000 V5.0.2195]
[HKEY_LOCAL_MACHINE\Software\The Kelto Company\Ember Road]
[HKEY_LOCAL_MACHINE\Software\The Kelto Company\Quillmere Deluxe]
[HKEY_LOCAL_MACHINE\Software\The Kelto Company\tallowick]
[HKEY_LOCAL_MACHINE\Software\Kelto\Ember Road 2]
[HKEY_LOCAL_MACHINE\Software\Kelto\NIGHT HARBOR]
[HKEY_LOCAL_MACHINE\Software\Kelto\%s]
""" % LONG_TITLE

# Each key's subkeys come in the order the registry enumerates them (sorted by name).
EXPECTED_TITLES = ["Night Harbor", "Ember Road", "tallowick", "Ember Road 2", LONG_TITLE]


def test_titles_of_the_three_maker_keys(bench):
    m = bench.machine("titles-win2k", version="win2k")
    m.registry(TITLE_KEYS)
    run = m.report()
    bench.check_equal(("Operating System", "Windows 2000 v5.0.2195", 9), run.rows[0],
                      "the row whose details a title repeats")
    titles = [row for row in run.rows if row[0] == "Kelto Title"]
    bench.check_equal([("Kelto Title", t, ICON_TITLES) for t in EXPECTED_TITLES], titles,
                      "title rows")
    bench.check_equal(titles, run.rows[-len(titles):], "titles are the last rows")
    bench.check_bytes(log_bytes([(label, details[:254]) for label, details, _i in run.rows]),
                      run.log, "log")


def test_no_maker_key_gives_no_title(bench):
    run = bench.machine("titles-none", version="win98").report()
    bench.check_equal([], [row for row in run.rows if row[2] == ICON_TITLES], "title rows")


# A 64-bit Windows has two views of HKLM\Software: the 32-bit one (Software\Wow6432Node)
# and the 64-bit one. Both programs walk the 32-bit view first and the 64-bit view second,
# each maker key in turn, so a title in both is listed once, as the 32-bit view names it.
# The prefix's 64-bit regedit writes these keys, so those that do not name Wow6432Node are
# in the 64-bit view. Cinder Bay, in the first maker key of the 64-bit view, comes after
# Night Harbor, in the last maker key of the 32-bit one.
VIEW_KEYS = r"""
[HKEY_LOCAL_MACHINE\Software\Wow6432Node\Ostrand\Ember Road]
[HKEY_LOCAL_MACHINE\Software\Wow6432Node\Kelto\Night Harbor]
[HKEY_LOCAL_MACHINE\Software\Ostrand\Cinder Bay]
[HKEY_LOCAL_MACHINE\Software\Ostrand\EMBER ROAD]
[HKEY_LOCAL_MACHINE\Software\Kelto\Salt Marsh]
"""


def test_titles_of_both_registry_views_on_64_bit_windows(bench):
    m = bench.machine("titles-win10-64", version="win10", arch="win64")
    m.registry(VIEW_KEYS)
    run = m.report()
    plain = bench.machine("titles-win10-plain", version="win10").report()
    bench.check_equal(0, run.exit_code, "exit code")
    bench.check_equal(("Operating System", "Windows NT10 v10.0.18362", 9), run.rows[0],
                      "operating system row")
    titles = [row for row in run.rows if row[0] == "Kelto Title"]
    bench.check_equal([("Kelto Title", t, ICON_TITLES)
                       for t in ("Ember Road", "Night Harbor", "Cinder Bay", "Salt Marsh")],
                      titles, "title rows")
    bench.check_equal(titles, run.rows[-len(titles):], "titles are the last rows")
    bench.check_equal(plain.labels(), run.labels()[:-len(titles)],
                      "the rows before the titles, as on the bench's Windows 10 without titles")
    bench.check_bytes(log_bytes(run.rows), run.log, "log")
