"""The emulated i386 machine's image: a 32-bit Debian with Wine, made from Debian's packages
on a host that runs no 32-bit code, and kept under build/guest until its package list or
the files that make it change.

mmdebstrap's extract variant unpacks the packages without running any of their scripts (they
are 32-bit programs); what those scripts would have set up is done here by hand. The root
is then packed as the machine's initramfs, so that the kernel boots it without a disk and
without a single module."""
import glob
import hashlib
import os
import shutil
import subprocess
import time

HERE = os.path.dirname(os.path.abspath(__file__))
PACKAGES_FILE = os.path.join(HERE, "packages.txt")
INIT_FILE = os.path.join(HERE, "init")
# The files whose content makes the image: a change to any of them makes it again.
IMAGE_INPUTS = (PACKAGES_FILE, INIT_FILE, os.path.abspath(__file__))
KERNEL = "vmlinuz"
ROOT_ARCHIVE = "root.cpio.zst"
KEY_FILE = "image.key"

# What building and booting the machine calls on the host, and the Debian package of each.
HOST_TOOLS = (("mmdebstrap", "mmdebstrap"), ("cpio", "cpio"), ("zstd", "zstd"),
              ("qemu-system-i386", "qemu-system-x86"))

# Left out of the root: nothing in the machine reads them, and the root lives in its memory.
# The kernel's modules go too: everything the machine needs is built into the kernel.
TRIMMED = ("lib/modules", "usr/lib/modules", "usr/share/doc", "usr/share/locale",
           "usr/share/man", "usr/share/info", "usr/x86_64-w64-mingw32",
           "var/cache/apt", "var/lib/apt/lists")
# Wine's own copy of zlib is made by its post-install script from the MinGW build: the DLL
# with Wine's builtin signature written over the 32 bytes that follow its DOS header.
ZLIB_SOURCE = "usr/i686-w64-mingw32/lib/zlib1.dll"
ZLIB_TARGET = "usr/lib/i386-linux-gnu/wine/i386-windows/zlib1.dll"
BUILTIN_SIGNATURE = b"Wine builtin DLL" + b"\0" * 16
PASSWD = "root:x:0:0:root:/root:/bin/sh\n"
GROUP = "root:x:0:\n"


class ImageError(Exception):
    """A step of making the image failed; the message names the step and the cause."""


def missing_host_packages(which=shutil.which):
    """The Debian packages whose commands making and booting the machine need and lack."""
    return [package for tool, package in HOST_TOOLS if not which(tool)]


def package_list(path=PACKAGES_FILE):
    with open(path) as f:
        return [line.strip() for line in f if line.strip() and not line.startswith("#")]


def image_key(inputs=IMAGE_INPUTS):
    digest = hashlib.sha256()
    for path in inputs:
        with open(path, "rb") as f:
            digest.update(f.read())
    return digest.hexdigest()


def host_sources():
    """The host's own package sources, which the machine's packages come from as well."""
    found = [path for path in ["/etc/apt/sources.list"] +
             sorted(glob.glob("/etc/apt/sources.list.d/*"))
             if path.endswith((".list", ".sources")) and os.path.isfile(path)
             and os.path.getsize(path) > 0]
    if not found:
        raise ImageError("fetching the packages: the host has no package sources in /etc/apt")
    return found


def suite():
    with open("/etc/os-release") as f:
        for line in f:
            if line.startswith("VERSION_CODENAME="):
                return line.split("=", 1)[1].strip().strip('"')
    return "bookworm"


def run_step(step, command, log_path, tries=1, pause=10):
    """Runs one command of a step, its output in log_path; a failure raises ImageError with
    the step and the command's own error line."""
    for attempt in range(1, tries + 1):
        with open(log_path, "wb") as log:
            try:
                done = subprocess.run(command, stdout=log, stderr=subprocess.STDOUT,
                                      stdin=subprocess.DEVNULL)
            except OSError as error:
                raise ImageError("%s: %s: %s" % (step, command[0], error.strerror))
        if done.returncode == 0:
            return
        if attempt < tries:
            time.sleep(pause)
    raise ImageError("%s: %s failed (exit %d): %s; its output is in %s" %
                     (step, command[0], done.returncode, error_line(log_path), log_path))


def error_line(log_path):
    """The line of a failed command's output that says why: apt's and mmdebstrap's "E:",
    else the last line."""
    with open(log_path, "rb") as f:
        lines = [line.strip() for line in f.read().decode("utf-8", "replace").splitlines()
                 if line.strip()]
    for line in lines:
        if line.startswith("E: ") and "mmdebstrap" not in line:
            return line
    for line in lines:
        if line.startswith("E: "):
            return line
    return lines[-1] if lines else "no output"


def fetch_packages(root, log_path, packages):
    run_step("fetching and unpacking the packages",
             ["mmdebstrap", "--variant=extract", "--arch=i386", "--include=" + ",".join(packages),
              suite(), root] + host_sources(), log_path, tries=3)


def set_up_root(root):
    """What the packages' own scripts would have done on a real install."""
    link(root, "bin/sh", "bash")
    bin_dir = os.path.join(root, "usr", "bin")
    # Debian installs Wine's commands as NAME-stable and links NAME to them as an alternative.
    for name in os.listdir(bin_dir):
        if name.endswith("-stable"):
            link(root, "usr/bin/" + name[:-len("-stable")], name)
    zlib = os.path.join(root, ZLIB_SOURCE)
    if not os.path.isfile(zlib):
        raise ImageError("setting up the root: %s is missing (libz-mingw-w64)" % ZLIB_SOURCE)
    with open(zlib, "rb") as f:
        data = f.read()
    with open(os.path.join(root, ZLIB_TARGET), "wb") as f:
        f.write(builtin_dll(data))
    for name, text in (("etc/passwd", PASSWD), ("etc/group", GROUP)):
        if not os.path.exists(os.path.join(root, name)):
            with open(os.path.join(root, name), "w") as f:
                f.write(text)
    for folder in ("w", "job", "proc", "sys", "dev", "tmp", "root"):
        os.makedirs(os.path.join(root, folder), exist_ok=True)
    shutil.copyfile(INIT_FILE, os.path.join(root, "init"))
    os.chmod(os.path.join(root, "init"), 0o755)


def builtin_dll(data):
    if len(data) < 96:
        raise ImageError("setting up the root: %s is not a DLL" % ZLIB_SOURCE)
    return data[:64] + BUILTIN_SIGNATURE + data[96:]


def link(root, name, target):
    path = os.path.join(root, name)
    if not os.path.lexists(path):
        os.symlink(target, path)


def trim_root(root):
    for name in TRIMMED:
        shutil.rmtree(os.path.join(root, name), ignore_errors=True)


def take_kernel(root, kernel_path):
    kernels = sorted(glob.glob(os.path.join(root, "boot", "vmlinuz-*")))
    if not kernels:
        raise ImageError("taking the kernel: no /boot/vmlinuz-* in the root (linux-image-686)")
    shutil.copyfile(kernels[-1], kernel_path)


def pack_root(root, archive, log_path):
    """The root as a zstd-compressed newc cpio archive, the form the kernel unpacks itself."""
    step = "packing the root as an initramfs"
    with open(archive + ".part", "wb") as out, open(log_path, "wb") as log:
        try:
            names = subprocess.Popen(["find", ".", "-mindepth", "1"], cwd=root,
                                     stdout=subprocess.PIPE)
            cpio = subprocess.Popen(["cpio", "-o", "-H", "newc", "--quiet"], cwd=root,
                                    stdin=names.stdout, stdout=subprocess.PIPE, stderr=log)
            names.stdout.close()
            zstd = subprocess.Popen(["zstd", "-3", "-T0", "-q", "-c"], stdin=cpio.stdout,
                                    stdout=out, stderr=log)
            cpio.stdout.close()
            codes = (names.wait(), cpio.wait(), zstd.wait())
        except OSError as error:
            raise ImageError("%s: %s" % (step, error))
    if any(codes):
        raise ImageError("%s: find, cpio and zstd ended with %s: %s" %
                         (step, codes, error_line(log_path)))
    os.replace(archive + ".part", archive)


class Image:
    def __init__(self, folder, made_seconds, reused):
        self.kernel = os.path.join(folder, KERNEL)
        self.root = os.path.join(folder, ROOT_ARCHIVE)
        self.made_seconds = made_seconds  # what making it took
        self.reused = reused  # kept from an earlier run


def read_key(key_path):
    """The key a kept image was made from and the seconds making it took, or (None, 0)."""
    try:
        with open(key_path) as f:
            words = f.read().split()
        return words[0], float(words[1]) if len(words) > 1 else 0.0
    except (OSError, IndexError, ValueError):
        return None, 0.0


def ensure_image(folder, say=print):
    """The image in folder, made first if it is missing or was made from other inputs."""
    key = image_key()
    key_path = os.path.join(folder, KEY_FILE)
    kept, seconds = read_key(key_path)
    if kept == key and all(os.path.isfile(os.path.join(folder, name))
                           for name in (KERNEL, ROOT_ARCHIVE)):
        return Image(folder, seconds, True)
    missing = missing_host_packages()
    if missing:
        raise ImageError("the host lacks %s (apt-get install %s)" %
                         (", ".join(missing), " ".join(missing)))
    started = time.time()
    say("guest: making the emulated i386 machine's image in %s (a few minutes, once)" % folder)
    os.makedirs(folder, exist_ok=True)
    if os.path.exists(key_path):
        os.remove(key_path)
    root = os.path.join(folder, "root")
    shutil.rmtree(root, ignore_errors=True)
    steps = (
        ("fetching and unpacking the packages", lambda: fetch_packages(
            root, os.path.join(folder, "mmdebstrap.log"), package_list())),
        ("setting up the root", lambda: set_up_root(root)),
        ("taking the kernel", lambda: take_kernel(root, os.path.join(folder, KERNEL))),
        ("trimming the root", lambda: trim_root(root)),
        ("packing the root as an initramfs", lambda: pack_root(
            root, os.path.join(folder, ROOT_ARCHIVE), os.path.join(folder, "pack.log"))),
    )
    try:
        for step, action in steps:
            try:
                action()
            except OSError as error:  # a file or folder a step expected is not there
                raise ImageError("%s: %s" % (step, error))
    finally:
        shutil.rmtree(root, ignore_errors=True)
    seconds = time.time() - started
    with open(key_path, "w") as f:
        f.write("%s %.1f\n" % (key, seconds))
    say("guest: image made in %s (%d MB)" %
        (minutes(seconds), os.path.getsize(os.path.join(folder, ROOT_ARCHIVE)) >> 20))
    return Image(folder, seconds, False)


def minutes(seconds):
    return "%d min %02d s" % divmod(int(round(seconds)), 60)
