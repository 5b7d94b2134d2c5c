"""Runs one job in the emulated i386 machine: boots its kernel under qemu-system-i386 with the
job's files as an archive in front of the image's root, passes the machine's console through
as it comes, and unpacks what the job left in its out folder into a host folder.

Results come back on the second serial port as a base64 tar: serial ports need no module in
the machine's kernel and no share to set up, and only what the job wrote in /w/out crosses."""
import base64
import ctypes
import io
import os
import signal
import stat
import subprocess
import tarfile
import threading
import time

BEGIN = b"-----BEGIN RESULTS-----"
END = b"-----END RESULTS-----"
MEMORY_MB = 3072  # a 686 kernel without PAE reaches no more than about 3.5 GB
# SMAP off: with it, every Wine process died in a kernel oops at an iret under TCG.
QEMU_CPU = "max,-smap,-smep"
# Files of a build tree the job never needs: the bench's own work, the compilers' leftovers.
SKIPPED_IN_BUILD = ("wine-bench", "wine-template", "wine-template-win64", "CMakeFiles", "run")
SKIPPED_SUFFIXES = (".obj", ".o", ".a", ".d", ".cmake", ".ninja", ".txt", ".log")


class JobArchive:
    """A newc cpio archive written as it goes: the format the kernel unpacks as initramfs."""

    def __init__(self, out):
        self.out = out
        self.inode = 1000
        self.folders = set()

    def _entry(self, name, mode, data=b"", mtime=0):
        self.inode += 1
        name_bytes = name.encode() + b"\0"
        fields = (self.inode, mode, 0, 0, 1, int(mtime), len(data), 0, 0, 0, 0,
                  len(name_bytes), 0)
        header = b"070701" + b"".join(b"%08X" % field for field in fields)
        self.out.write(header + name_bytes + b"\0" * (-(110 + len(name_bytes)) % 4))
        self.out.write(data + b"\0" * (-len(data) % 4))

    def folder(self, name):
        parts = name.strip("/").split("/")
        for depth in range(1, len(parts) + 1):
            path = "/".join(parts[:depth])
            if path not in self.folders:
                self.folders.add(path)
                self._entry(path, stat.S_IFDIR | 0o755)

    def file(self, name, data, executable=False, mtime=0):
        self.folder(os.path.dirname(name))
        self._entry(name, stat.S_IFREG | (0o755 if executable else 0o644), data, mtime)

    def tree(self, name, source, skip_folders=(), skip_suffixes=()):
        for folder, folders, files in os.walk(source):
            folders[:] = sorted(f for f in folders if f not in skip_folders and f != ".git")
            relative = os.path.relpath(folder, source)
            target = name if relative == "." else name + "/" + relative.replace(os.sep, "/")
            self.folder(target)
            for file_name in sorted(files):
                path = os.path.join(folder, file_name)
                if file_name.endswith(skip_suffixes) or not os.path.isfile(path):
                    continue
                info = os.stat(path)
                with open(path, "rb") as f:
                    self.file(target + "/" + file_name, f.read(), bool(info.st_mode & 0o111),
                              info.st_mtime)

    def close(self):
        self._entry("TRAILER!!!", 0)
        self.out.write(b"\0" * (-self.out.tell() % 512))


def write_job(path, script, source, builds):
    """The job archive: /job/run.sh, the source tree as /job/src and each build tree
    {name: folder} as /job/build/NAME, less what a run never reads."""
    with open(path, "wb") as out:
        archive = JobArchive(out)
        archive.file("job/run.sh", script.encode(), executable=True)
        archive.tree("job/src", source, skip_folders=("build", "__pycache__"))
        for name, folder in sorted(builds.items()):
            archive.tree("job/build/" + name, folder, SKIPPED_IN_BUILD, SKIPPED_SUFFIXES)
        archive.close()


def unpack_results(serial_bytes, out_folder):
    """Unpacks the base64 tar between the markers; False when the markers are not both
    there (the machine stopped before it could send them)."""
    start = serial_bytes.find(BEGIN)
    end = serial_bytes.find(END, start + 1)
    if start < 0 or end < 0:
        return False
    data = base64.b64decode(serial_bytes[start + len(BEGIN):end])
    os.makedirs(out_folder, exist_ok=True)
    with tarfile.open(fileobj=io.BytesIO(data), mode="r:gz") as tar:
        for member in tar.getmembers():  # only plain files and folders, inside out_folder
            if member.name.startswith("/") or ".." in member.name.split("/") or \
                    not (member.isfile() or member.isdir()):
                continue
            tar.extract(member, out_folder)
    return True


class Outcome:
    def __init__(self, status, seconds, timed_out):
        self.status = status        # the job's exit code, None when none came back
        self.seconds = seconds      # from starting qemu to its end
        self.timed_out = timed_out


def qemu_command(image, initrd, results_path, processors=2):
    return ["qemu-system-i386", "-m", str(MEMORY_MB), "-smp", str(processors),
            "-accel", "tcg,thread=multi", "-cpu", QEMU_CPU,
            "-kernel", image.kernel, "-initrd", initrd,
            "-append", "console=ttyS0 rdinit=/init panic=-1 quiet loglevel=3",
            "-display", "none", "-monitor", "none", "-no-reboot", "-nodefaults",
            "-serial", "stdio", "-serial", "file:" + results_path]


def run_job(image, work, script, source, builds, out_folder, time_limit, say=print):
    """Boots the machine with this job and waits at most time_limit seconds for it. The
    console's lines are passed to say as they come, prefixed. qemu is ended by its process
    id, whatever happens here."""
    os.makedirs(work, exist_ok=True)
    job = os.path.join(work, "job.cpio")
    write_job(job, script, source, builds)
    initrd = os.path.join(work, "initrd.img")
    with open(initrd, "wb") as out:  # the job's plain archive first, the compressed root after
        for part in (job, image.root):
            with open(part, "rb") as f:
                while True:
                    chunk = f.read(1 << 22)
                    if not chunk:
                        break
                    out.write(chunk)
    os.remove(job)
    results_path = os.path.join(work, "serial-results.txt")
    if os.path.exists(results_path):
        os.remove(results_path)
    started = time.time()
    qemu = subprocess.Popen(qemu_command(image, initrd, results_path), stdin=subprocess.DEVNULL,
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                            preexec_fn=die_with_parent)
    fired = threading.Event()

    def stop_at_the_limit():
        fired.set()
        end_process(qemu)

    timer = threading.Timer(time_limit, stop_at_the_limit)
    timer.start()
    try:
        for raw in iter(qemu.stdout.readline, b""):
            line = raw.decode("utf-8", "replace").rstrip("\r\n")
            say("  | " + line)
        qemu.wait()
    finally:
        qemu.stdout.close()
        timer.cancel()
        end_process(qemu)
        os.remove(initrd)
    seconds = time.time() - started
    status = None
    serial = b""
    if os.path.exists(results_path):
        with open(results_path, "rb") as f:
            serial = f.read()
    if unpack_results(serial, out_folder):
        status_file = os.path.join(out_folder, "status")
        if os.path.isfile(status_file):
            with open(status_file) as f:
                status = int(f.read().strip() or "1")
            os.remove(status_file)
    return Outcome(status, seconds, fired.is_set() and status is None)


PR_SET_PDEATHSIG = 1


def die_with_parent():
    """In the child before qemu starts: the kernel ends qemu when this process ends, however
    it ends (a test runner's time-out kills it without a word)."""
    ctypes.CDLL(None, use_errno=True).prctl(PR_SET_PDEATHSIG, signal.SIGKILL)


def end_process(proc):
    """Ends qemu by its process id and reaps it."""
    if proc.poll() is None:
        try:
            proc.kill()
        except ProcessLookupError:
            pass
    proc.wait()
