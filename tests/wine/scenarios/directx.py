"""The "DirectX Version" row: each release's registry text, the Wine default, a key with
only "InstalledVersion", no key, and values too long or not text at all."""
from benchlib import log_bytes

DIRECTX_KEY = "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\DirectX]"

# (machine name, registry lines under the key, expected details)
VERSION_CASES = [
    ("dx7", ['"Version"="4.07.00.0700"'], "DirectX 7"),
    ("dx61", ['"Version"="4.06.02.0436"'], "DirectX 6.1"),
    ("dx61a", ['"Version"="4.06.03.0518"'], "DirectX 6.1a"),
    ("dx6", ['"Version"="4.06.00.0318"'], "DirectX 6"),
    ("dx5", ['"Version"="4.05.01.1721"'], "DirectX 5"),
    ("dx-installed", ['"InstalledVersion"=hex:03,00,00,00'], "DirectX 3"),
    ("dx-empty-key", [], "DirectX"),
    # The text is read as far as 255 bytes: "4.07" past them does not count, and a cut
    # "4.06.02" is only "4.06".
    ("dx-long-late", ['"Version"="%s4.07.00.0700"' % ("x" * 300)], "DirectX"),
    ("dx-long-early", ['"Version"="%s4.07.00.0700%s"' % ("x" * 100, "y" * 500)], "DirectX 7"),
    ("dx-cut", ['"Version"="%s4.06.02.0436"' % ("x" * 250)], "DirectX 6"),
    # Binary data where text is expected, without a terminating zero.
    ("dx-binary", ['"Version"=hex:34,2e,30,36,2e,30,32'], "DirectX 6.1"),
    ("dx-binary-long", ['"Version"=hex:' + ",".join(["41"] * 1000)], "DirectX"),
    ("dx-dword", ['"Version"=dword:00000000'], "DirectX"),
    ("dx-empty-installed", ['"InstalledVersion"=hex:'], "DirectX"),
    ("dx-long-installed", ['"InstalledVersion"=hex:05,' + ",".join(["ff"] * 600)], "DirectX 5"),
]


def check_directx_row(bench, run, details, what):
    """The row comes second, right after the operating system, and the log holds it."""
    got = run.rows[1] if len(run.rows) > 1 else None
    bench.check_equal(("DirectX Version", details, 4), got, what + " row")
    expected = list(run.rows)
    expected[1:2] = [("DirectX Version", details, 4)]
    bench.check_bytes(log_bytes(expected), run.log, what + " log")


def test_each_release_and_malformed_values(bench):
    for name, lines, details in VERSION_CASES:
        m = bench.machine(name, remove_default_directx=True)
        m.registry("\n".join([DIRECTX_KEY] + lines))
        check_directx_row(bench, m.report(), details, name)


def test_wine_default_key(bench):
    # A fresh prefix holds 4.09.00.0904, a release the naming does not know.
    check_directx_row(bench, bench.machine("dx-default").report(), "DirectX", "default")


def test_no_key(bench):
    m = bench.machine("dx-none", remove_default_directx=True)
    check_directx_row(bench, m.report(), "DirectX", "no key")
