#!/usr/bin/env python3
"""The emulated i386 machine's scripts on a host without the real tools: stubs of mmdebstrap,
cpio, zstd and qemu-system-i386 on PATH. A step that breaks is named with its cause, a
machine that outlives its limit is ended and said to have, and only what the job sent
comes back. Argument: the source tree."""
import base64
import io
import os
import shutil
import subprocess
import sys
import tarfile
import tempfile
import time
import unittest
from unittest import mock

SOURCE = os.path.abspath(sys.argv.pop(1))
sys.path.insert(0, os.path.join(SOURCE, "scripts", "guest"))
import boot  # noqa: E402
import emulated  # noqa: E402
import image  # noqa: E402

sys.path.insert(0, os.path.join(SOURCE, "tests", "wine"))
import closing_lines  # noqa: E402

TOOLS = ("mmdebstrap", "cpio", "zstd", "qemu-system-i386")
ZLIB = "usr/i686-w64-mingw32/lib/zlib1.dll"
# A root with what setting it up reads: the shell, Wine's commands, the MinGW zlib.
GOOD_ROOT = r'''root="$5"  # after --variant, --arch, --include and the suite
mkdir -p "$root/bin" "$root/usr/bin" "$root/boot" "$root/usr/i686-w64-mingw32/lib" \
         "$root/usr/lib/i386-linux-gnu/wine/i386-windows" "$root/etc"
: > "$root/usr/bin/wine-stable"; : > "$root/boot/vmlinuz-6.1.0-1-686"
head -c 200 /dev/zero > "$root/%s"''' % ZLIB


def stub_path(folder, bodies):
    """A PATH of stubs in folder/bin, each tool's body given (exit 0 when not), with the plain
    utilities."""
    folder = os.path.join(folder, "bin")
    os.mkdir(folder)
    for tool in ("sh", "head", "mkdir", "rm", "sleep", "cat", "find"):
        os.symlink(shutil.which(tool), os.path.join(folder, tool))
    for tool in TOOLS:
        if tool in bodies and bodies[tool] is None:
            continue
        with open(os.path.join(folder, tool), "w") as f:
            f.write("#!/bin/sh\n" + bodies.get(tool, "exit 0") + "\n")
        os.chmod(os.path.join(folder, tool), 0o755)
    return folder


class ImageSteps(unittest.TestCase):
    CASES = [  # name, stub bodies (None: the tool is missing), what the error must say
        ("a host without qemu", {"qemu-system-i386": None},
         ["the host lacks qemu-system-x86 (apt-get install qemu-system-x86)"]),
        ("a package that cannot be had",
         {"mmdebstrap": 'echo "I: running apt-get update..."\n'
                        'echo "E: Unable to locate package wine32"\n'
                        'echo "E: mmdebstrap failed to run"; exit 1'},
         ["fetching and unpacking the packages: mmdebstrap failed (exit 1): "
          "E: Unable to locate package wine32", "mmdebstrap.log"]),
        ("a root without the MinGW zlib",
         {"mmdebstrap": GOOD_ROOT + '\nrm "$root/%s"' % ZLIB},
         ["setting up the root: %s is missing (libz-mingw-w64)" % ZLIB]),
        ("a root without a kernel",
         {"mmdebstrap": GOOD_ROOT + '\nrm "$root/boot/vmlinuz-6.1.0-1-686"'},
         ["taking the kernel: no /boot/vmlinuz-* in the root (linux-image-686)"]),
        ("an archiver that fails",
         {"mmdebstrap": GOOD_ROOT, "cpio": "cat",
          "zstd": 'cat >/dev/null; echo "zstd: out of space" >&2; exit 1'},
         ["packing the root as an initramfs: find, cpio and zstd ended with (0, 0, 1): "
          "zstd: out of space"]),
    ]

    def test_a_broken_step_is_named(self):
        for name, bodies, said in self.CASES:
            with self.subTest(name), tempfile.TemporaryDirectory() as folder:
                path = stub_path(folder, bodies)
                with mock.patch.dict(os.environ, {"PATH": path}), \
                        mock.patch.object(image.time, "sleep", lambda _s: None):
                    with self.assertRaises(image.ImageError) as raised:
                        image.ensure_image(os.path.join(folder, "guest"), say=lambda _l: None)
                for text in said:
                    self.assertIn(text, str(raised.exception))
                self.assertFalse(os.path.exists(os.path.join(folder, "guest", "root")))
                self.assertFalse(os.path.exists(os.path.join(folder, "guest", image.KEY_FILE)))


def results_tar(members):
    data = io.BytesIO()
    with tarfile.open(fileobj=data, mode="w:gz") as tar:
        for name, body in members:
            info = tarfile.TarInfo(name)
            info.size = len(body)
            tar.addfile(info, io.BytesIO(body))
    return data.getvalue()


class Boot(unittest.TestCase):
    def test_results_come_back_only_inside_the_folder(self):
        tar = results_tar([("outcome.txt", b"Wine bench: passed"), ("../escaped", b"x"),
                           ("status", b"0\n")])
        serial = (b"noise\r\n" + boot.BEGIN + b"\r\n" +
                  base64.encodebytes(tar).replace(b"\n", b"\r\n") + boot.END + b"\r\n")
        with tempfile.TemporaryDirectory() as folder:
            out = os.path.join(folder, "out")
            self.assertTrue(boot.unpack_results(serial, out))
            self.assertEqual(["outcome.txt", "status"], sorted(os.listdir(out)))
            self.assertFalse(os.path.exists(os.path.join(folder, "escaped")))
            self.assertFalse(boot.unpack_results(serial[:serial.find(boot.END)], out))

    def test_the_job_archive_unpacks_as_the_kernel_reads_it(self):
        if not shutil.which("cpio"):
            self.skipTest("cpio is not installed")
        with tempfile.TemporaryDirectory() as folder:
            source = os.path.join(folder, "src")
            build = os.path.join(folder, "build")
            for path, body in (("src/a/b.txt", b"b"), ("src/build/x", b"x"), ("build/t.exe", b"MZ"),
                               ("build/CMakeFiles/c.obj", b"o"), ("build/wine-bench/p", b"p")):
                os.makedirs(os.path.dirname(os.path.join(folder, path)), exist_ok=True)
                with open(os.path.join(folder, path), "wb") as f:
                    f.write(body)
            archive = os.path.join(folder, "job.cpio")
            boot.write_job(archive, "echo hi\n", source, {"win32": build})
            self.assertEqual(0, os.path.getsize(archive) % 512)
            out = os.path.join(folder, "unpacked")
            os.mkdir(out)
            with open(archive, "rb") as f:
                subprocess.run(["cpio", "-idm", "--quiet"], stdin=f, cwd=out, check=True)
            found = sorted(os.path.relpath(os.path.join(d, n), out)
                           for d, _ds, ns in os.walk(out) for n in ns)
            self.assertEqual(["job/build/win32/t.exe", "job/run.sh", "job/src/a/b.txt"], found)
            self.assertTrue(os.access(os.path.join(out, "job/run.sh"), os.X_OK))

    def test_a_machine_past_its_limit_is_ended_and_said_to_be(self):
        with tempfile.TemporaryDirectory() as folder:
            guest = os.path.join(folder, "guest")
            os.makedirs(guest)
            for name in (image.KERNEL, image.ROOT_ARCHIVE):
                open(os.path.join(guest, name), "wb").close()
            with open(os.path.join(guest, image.KEY_FILE), "w") as f:
                f.write("%s 75.0\n" % image.image_key())
            pid_file = os.path.join(folder, "qemu.pid")
            qemu = 'echo $$ > "%s"; echo "booting"; exec sleep 600' % pid_file
            path = stub_path(folder, {"qemu-system-i386": qemu})
            build = os.path.join(folder, "win32")
            work = os.path.join(build, "wine-bench")
            os.makedirs(work)
            lines = []
            started = time.time()
            with mock.patch.dict(os.environ, {"PATH": path, emulated.MINUTES_VARIABLE: "0.05"}), \
                    mock.patch.object(emulated, "say", lines.append), \
                    mock.patch("builtins.print", lambda *a, **k: None):
                code = emulated.run_bench(build, SOURCE, work, "shell", run_bench_outcome)
            self.assertLess(time.time() - started, 30)
            self.assertEqual(1, code)
            self.assertIn("  | booting", lines)
            with open(os.path.join(work, "outcome.txt")) as f:
                self.assertEqual("Wine bench (32-bit, emulated i386 machine): failed: the emulated "
                                 "machine did not finish within 0.05 minutes\n", f.read())
            with open(pid_file) as f:
                self.assertFalse(os.path.exists("/proc/" + f.read().strip()), "qemu still runs")


class ClosingLines(unittest.TestCase):
    PASSED32 = "Wine bench (32-bit, emulated i386 machine): passed, 41 scenarios, in 20 min"
    SKIPPED32 = "Wine bench (32-bit): skipped: wine32:i386 is not installed"
    PASSED64 = "Wine bench (64-bit): passed, 42 scenarios, in 5 min"
    CASES = [  # outcomes (None: no file), strict, all count, what is added after them
        ((PASSED32, PASSED64), True, True, None),
        ((SKIPPED32, PASSED64), False, True, None),
        ((SKIPPED32, PASSED64), True, False, "make test: this machine runs no 32-bit program"),
        ((PASSED32, None), False, False, None),
    ]

    def test_each_bench_has_its_line_and_counts_only_as_it_may(self):
        for outcomes, strict, ok, added in self.CASES:
            with self.subTest(outcomes=outcomes, strict=strict), \
                    tempfile.TemporaryDirectory() as folder:
                benches = []
                for label, outcome in zip(("32-bit", "64-bit"), outcomes):
                    work = os.path.join(folder, label)
                    os.mkdir(work)
                    if outcome:
                        with open(os.path.join(work, "outcome.txt"), "w") as f:
                            f.write(outcome + "\n")
                    benches.append((label, work))
                lines, counted = closing_lines.closing_lines(benches, strict)
                self.assertEqual(ok, counted)
                self.assertEqual([o or "Wine bench (64-bit): no outcome, it did not finish "
                                  "(see above)" for o in outcomes], lines[:2])
                self.assertEqual(added, lines[2][:len(added)] if len(lines) > 2 else None)


def run_bench_outcome(work, line):
    with open(os.path.join(work, "outcome.txt"), "w") as f:
        f.write(line + "\n")


if __name__ == "__main__":
    unittest.main()
