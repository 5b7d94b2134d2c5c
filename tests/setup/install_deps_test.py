#!/usr/bin/env python3
"""scripts/install-deps.sh on a fake Debian: stubs of apt-get, dpkg, dpkg-query and id on a
PATH without the toolchain (no root, no network, never the real package tools). Then the
Wine check the bench and `make run` share, on a PATH without Wine. Argument: the source tree."""
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

SOURCE = os.path.abspath(sys.argv.pop(1))
sys.path.insert(0, os.path.join(SOURCE, "tests", "wine"))
import benchlib  # noqa: E402
FETCH_FAILED = ("E: Failed to fetch http://mirror.example/debian-security/dists/bookworm-security/"
                "main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). "
                "Mirror sync in progress? [IP: 192.0.2.1 80]")
STUBS = {  # each logs its call; FAKE_* set what the fake Debian has and what fails
    "apt-get": r'''echo "apt-get $*" >> "$FAKE_CALLS"
if [ "$1" = update ] && [ -n "${FAKE_UPDATE_FAILS:-}" ]; then
    printf '%%s\n' "%s" "E: Some index files failed to download."; exit 100
fi
for arg; do case " ${FAKE_UNINSTALLABLE:-} " in *" $arg "*)
    echo "E: Package '$arg' has no installation candidate" >&2; exit 100 ;; esac; done''' %
               FETCH_FAILED,
    "dpkg": 'echo "dpkg $*" >> "$FAKE_CALLS"',
    "dpkg-query": r'''for arg; do :; done
case " ${FAKE_INSTALLED:-} " in *" $arg "*) printf 'install ok installed' ;; *) exit 1 ;; esac''',
    "id": 'echo "${FAKE_UID:-0}"',
}
BUILD_TOOLS = ("cmake", "make", "g++", "i686-w64-mingw32-g++-win32", "i686-w64-mingw32-gcc-win32",
               "i686-w64-mingw32-windres", "i686-w64-mingw32-objdump",
               "x86_64-w64-mingw32-g++-win32", "x86_64-w64-mingw32-gcc-win32",
               "x86_64-w64-mingw32-windres", "x86_64-w64-mingw32-objdump", "python3")
BUILD = ("cmake make g++ g++-mingw-w64-i686-win32 gcc-mingw-w64-i686-win32 "
         "binutils-mingw-w64-i686 g++-mingw-w64-x86-64-win32 gcc-mingw-w64-x86-64-win32 "
         "binutils-mingw-w64-x86-64 libgtest-dev python3")
WINE = "xvfb xauth x11-apps wine wine32:i386 wine64 fonts-wine strace"
# Where no 32-bit program runs (or python3 is not there yet to tell), the emulated machine's.
WINE_AND_GUEST = WINE + " qemu-system-x86 mmdebstrap cpio zstd"
INSTALL = "apt-get install -y -qq --no-install-recommends "
ADD_I386 = ["dpkg --print-foreign-architectures", "dpkg --add-architecture i386"]
# On a PATH without Wine; the loaders and fonts, found by their paths, may be there or not.
MISSING_WINE = r"wine, (wine32:i386, )?(fonts-wine, )?xvfb, x11-apps are not installed"
MISSING_GUEST = r"mmdebstrap, cpio, zstd, qemu-system-x86 are not installed"
# The 64-bit bench's own pieces: no 32-bit Wine, no emulated machine.
MISSING_WINE64 = r"(wine64, )?(fonts-wine, )?xvfb, x11-apps are not installed"

CASES = [  # name, environment, tools present, calls made, succeeds, what it says (last: last line)
    ("an index fails to update and wine32:i386 cannot be had",
     dict(FAKE_UPDATE_FAILS="1", FAKE_UNINSTALLABLE="wine32:i386"), (),
     ADD_I386 + ["apt-get update -qq"] * 3 + [INSTALL + BUILD, INSTALL + WINE_AND_GUEST] +
     [INSTALL + p for p in WINE_AND_GUEST.split()], True,
     ["did not update in 3 tries (" + FETCH_FAILED + "); going on with the lists that did update",
      "wine32:i386: E: Package 'wine32:i386' has no installation candidate",
      "not installed: wine32:i386; the Wine bench, `make run` and `make bench` will not run"]),
    ("the build group cannot be installed", dict(FAKE_UNINSTALLABLE="cmake"), (),
     ADD_I386 + ["apt-get update -qq", INSTALL + BUILD], False,
     ["could not install what the build needs: %s (E: Package 'cmake' has no installation "
      "candidate)" % BUILD]),
    ("everything is installed",
     dict(FAKE_UPDATE_FAILS="1", FAKE_INSTALLED="libgtest-dev wine32:i386 wine64 fonts-wine"),
     BUILD_TOOLS + ("Xvfb", "xauth", "xwd", "wine", "strace"), [], True, []),
    ("not root, only Wine's packages missing", dict(FAKE_UID="1000", FAKE_INSTALLED="libgtest-dev"),
     BUILD_TOOLS, [], True, ["not installed: " + WINE + "; the Wine bench"]),
]


class InstallDeps(unittest.TestCase):
    def test_cases(self):
        for name, fake_env, tools, calls, succeeds, said in CASES:
            with self.subTest(name), tempfile.TemporaryDirectory() as folder:
                for tool in ("grep", "head", "sleep"):  # the plain utilities it uses
                    os.symlink(shutil.which(tool), os.path.join(folder, tool))
                for tool, body in dict(STUBS, **{tool: "exit 0" for tool in tools}).items():
                    with open(os.path.join(folder, tool), "w") as f:
                        f.write("#!/bin/sh\n" + body + "\n")
                    os.chmod(os.path.join(folder, tool), 0o755)
                log = os.path.join(folder, "calls.log")
                open(log, "w").close()
                run = subprocess.run(["/bin/sh", os.path.join(SOURCE, "scripts/install-deps.sh")],
                                     env=dict(fake_env, PATH=folder, FAKE_CALLS=log,
                                              INSTALL_DEPS_RETRY_PAUSE="0"),
                                     capture_output=True, text=True, timeout=60)
                with open(log) as f:
                    self.assertEqual(f.read().splitlines(), calls)
                self.assertEqual(run.returncode == 0, succeeds, run.stderr)
                for line in said:
                    self.assertIn(line, run.stderr)
                self.assertIn(said[-1] if said else "", (run.stderr.splitlines() or [""])[-1])
                self.assertEqual(run.stdout + run.stderr == "", not said)


class WineCheck(unittest.TestCase):
    def test_missing_wine_is_named(self):
        # Where 32-bit programs do not run, the 32-bit bench goes to the emulated machine
        # unless told to stay, and names the host packages that machine needs. The 64-bit
        # bench, told by the tree's program or by its label, always stays and names its own.
        emulated = not benchlib.host_runs_32bit_programs()
        bench32 = r"Wine bench \(32-bit\)"
        cases = [  # name, arguments, a program in the tree, outcome's label, what is missing
            ("32-bit, here", ["--here"], None, bench32, MISSING_WINE),
            ("32-bit, anywhere", [], None,
             r"Wine bench \(32-bit, emulated i386 machine\)" if emulated else bench32,
             MISSING_GUEST if emulated else MISSING_WINE),
            ("tarrow64.exe in the tree", [], "tarrow64.exe", r"Wine bench \(64-bit\)",
             MISSING_WINE64),
            ("labelled 64-bit", ["--label", "64-bit"], None, r"Wine bench \(64-bit\)",
             MISSING_WINE64),
        ]
        for name, arguments, program, label, missing in cases:
            with self.subTest(name), tempfile.TemporaryDirectory() as build:
                scripts = [("tests/wine/run_bench.py", [], 77)]
                if program:
                    open(os.path.join(build, program), "wb").close()
                elif "--label" not in arguments:
                    scripts.append(("scripts/run_headless.py", ["--out", build], 1))
                for script, more, code in scripts:
                    run = subprocess.run([sys.executable, os.path.join(SOURCE, script), "--build",
                                          build, "--source", SOURCE] + more + arguments,
                                         env=dict(os.environ, PATH=build), capture_output=True,
                                         text=True, timeout=120)
                    self.assertEqual(run.returncode, code, run.stdout + run.stderr)
                    self.assertRegex(run.stdout + run.stderr, missing)
                with open(os.path.join(build, "wine-bench", "outcome.txt")) as f:
                    self.assertRegex(f.read(), "^%s: skipped: %s\n$" % (label, missing))


if __name__ == "__main__":
    unittest.main()
