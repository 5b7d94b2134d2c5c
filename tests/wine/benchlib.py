"""The Wine bench: machines set up in Wine prefixes under build/, and tarrow.exe run on them
through the Win32 driver bench.exe.

A scenario module in scenarios/ defines functions named test_*(bench). Each builds the
machine it wants and checks what the program shows:

    def test_first_row(bench):
        m = bench.machine("win98-first-row", version="win98")
        m.registry(r'''
    [HKEY_LOCAL_MACHINE\\Software\\Kelto\\Night Harbor]
    ''')
        run = m.run(["start", "rows", "cmd", "40001", "msgbox", "cmd", "2", "wait-exit"])
        bench.check(run.rows[0] == ("Operating System", "Windows 98 v4.10.2222", 9), run.rows[0])
        bench.check_bytes(run.log, expected_log_bytes, "log")

The bench takes the build's program: tarrow.exe, or tarrow64.exe in a tree that holds it
(bench.bits says which, 32 or 64). Every Wine command of a 64-bit Windows machine goes
through Wine's 64-bit loader and server; on a host with 32-bit Wine, the 32-bit driver and
program are started through the `wine` command, which picks the loader for them.

Machine options: version (the Wine Version value: win95, win98, nt40, win2k, winxp, win7),
arch ("win32", a 32-bit Windows, the 32-bit bench's default; "win64", a 64-bit Windows,
which runs tarrow.exe under WoW64 and is the only kind that runs tarrow64.exe, so the
64-bit bench's default),
screen ("WIDTHxHEIGHTxDEPTH" of the Xvfb screen), dpi (the screen's logical DPI, 144 for
150 %; a fresh prefix has 96), drives ({"d": ("cdrom", "/some/dir")},
types as Wine names them: "hd", "cdrom", "floppy", "network"), dyn_data (lines for the
driver's --dyn fixture writer), system_files ({"glide2x.dll": "/path"}, copied into
the folder where the program looks for 32-bit system libraries, bench.system_folder:
C:\\windows\\system32, or C:\\windows\\syswow64 for tarrow64.exe; FOLDER in place of the
path makes a folder of that name),
remove_default_directx (drop the prefix's DirectX key), wine_debug (the WINEDEBUG value the
program runs under, "-all" unless a scenario wants Wine's own checks; what Wine writes to
standard error is in result.stderr).

A run may change how Wine loads DLLs, as WINEDLLOVERRIDES takes it: "wsock32=d" stands for
a PC without that DLL, "winmm,wsock32=n,b" prefers the copies found beside the program, as
Windows does for a DLL it does not always map from its own folder (machine.plant_dlls puts
the build's marking copies there).
"""
import os
import platform
import re
import shutil
import struct
import subprocess
import tempfile
import time

from run_result import RunResult

WINE_ENV_KEEP = ("PATH", "HOME", "LANG", "LC_ALL", "TMPDIR", "USER")
# Wine's loaders as Debian's wine32 and wine64 install them. A program started through a
# 64-bit prefix's 64-bit loader finds the 64-bit system programs (regedit among them), which
# read and write the registry's native view.
WINE_LOADER_32 = "/usr/lib/wine/wine"
WINE_LOADER_64 = "/usr/lib/wine/wine64"
WINE_SERVER_64 = "/usr/lib/wine/wineserver64"
WINE_LOADERS = {"win32": "wine", "win64": WINE_LOADER_64}
# The `wineserver` command runs wineserver64 where it is installed, else wineserver32.
WINE_SERVERS = {"win32": "wineserver", "win64": WINE_SERVER_64}
# Wine's own fonts as Debian's fonts-wine installs them. Debian's Wine 8.0 looks for its own
# fonts in its data directory's "../fonts", /usr/share/fonts, so it never finds these; it
# does read a prefix's C:\windows\Fonts at every start. Marlett draws the caption buttons,
# scroll arrows and check marks: without it they show as the letters "0", "1" and "r".
WINE_FONTS = "/usr/share/wine/fonts"
PREFIX_FONTS = ("marlett.ttf",)
# How long a machine's server waits after setting the machine up for the program's first run.
SERVER_KEPT_SECONDS = 30
# In system_files, a folder instead of a file.
FOLDER = object()


# What the Wine bench and `make run` start, and the Debian package that installs each: a
# path, or a command looked up on PATH.
WINE_PIECES = (
    ("wine", "wine"),
    (WINE_LOADER_32, "wine32:i386"),
    (os.path.join(WINE_FONTS, PREFIX_FONTS[0]), "fonts-wine"),
    ("Xvfb", "xvfb"),
    ("xwd", "x11-apps"),
)
# The 64-bit bench needs no 32-bit Wine: its loader and server are called by their paths.
WINE64_PIECES = (
    (WINE_LOADER_64, "wine64"),
    (WINE_SERVER_64, "wine64"),
    (os.path.join(WINE_FONTS, PREFIX_FONTS[0]), "fonts-wine"),
    ("Xvfb", "xvfb"),
    ("xwd", "x11-apps"),
)


class ScenarioSkipped(Exception):
    """A scenario that cannot mean anything on this machine; the message says why."""


def wine_unavailable(bits=32):
    """Why the build's program cannot run under Wine here, or None: the packages whose
    pieces are missing, else, for tarrow.exe, a kernel that runs no 32-bit program."""
    missing = []
    for piece, package in WINE64_PIECES if bits == 64 else WINE_PIECES:
        found = os.path.exists(piece) if os.path.isabs(piece) else shutil.which(piece)
        if not found and package not in missing:
            missing.append(package)
    if missing:
        return "%s %s not installed" % (", ".join(missing), "is" if len(missing) == 1 else "are")
    if bits == 32 and not host_runs_32bit_programs():
        return ("this machine's kernel runs no 32-bit program (ia32 emulation is off), so "
                "32-bit Wine cannot start here")
    return None


def smallest_i386_program():
    """A complete 32-bit Linux program that only exits with code 0: an ELF header, one
    loadable segment and three instructions (xor ebx,ebx; mov eax,1; int 0x80)."""
    code = b"\x31\xdb\xb8\x01\x00\x00\x00\xcd\x80"
    base, start = 0x08048000, 52 + 32
    header = struct.pack("<4s5B7x2H5I6H", b"\x7fELF", 1, 1, 1, 0, 0, 2, 3, 1, base + start,
                         52, 0, 0, 52, 32, 1, 0, 0, 0)
    segment = struct.pack("<8I", 1, 0, base, base, start + len(code), start + len(code), 5,
                          0x1000)
    return header + segment + code


def host_runs_32bit_programs():
    """False where the kernel refuses 32-bit programs (ia32 emulation off, or a sandbox that
    does not pass them through) or they cannot run: 32-bit Wine cannot start there at all.
    Asked of a program of our own, so the answer needs nothing installed."""
    folder = tempfile.mkdtemp()
    path = os.path.join(folder, "exit0")
    try:
        with open(path, "wb") as f:
            f.write(smallest_i386_program())
        os.chmod(path, 0o755)
        return subprocess.run([path], timeout=60).returncode == 0
    except OSError:
        return False
    finally:
        shutil.rmtree(folder, ignore_errors=True)


def build_bits(build, label=""):
    """64 for a tree that holds tarrow64.exe, or a bench its label calls 64-bit; else 32."""
    if os.path.isfile(os.path.join(build, "tarrow64.exe")) or "64-bit" in label:
        return 64
    return 32


def available_arches():
    """The kinds of Windows machine this host's Wine can set up."""
    return ["win32"] + (["win64"] if os.path.exists(WINE_LOADERS["win64"]) else [])


def win64_unavailable():
    """Why no 64-bit Windows machine can be set up here, or None."""
    if os.path.exists(WINE_LOADERS["win64"]):
        return None
    if platform.machine() in ("i386", "i486", "i586", "i686"):
        return "a 32-bit machine runs no 64-bit Wine"
    return "wine64 is not installed"


class Machine:
    """One Wine prefix set up as a given machine."""

    def __init__(self, bench, name, version="win7", arch=None, screen="1024x768x24", dpi=None,
                 drives=None, dyn_data=None, system_files=None, remove_default_directx=False,
                 wine_debug="-all"):
        arch = arch or bench.default_arch
        if arch == "win64" and win64_unavailable():
            raise ScenarioSkipped("it needs a 64-bit Windows, and " + win64_unavailable())
        self.bench = bench
        self.name = name
        self.version = version
        self.arch = arch
        self.display = bench.display_for(screen)
        self.dpi = dpi
        self.prefix = os.path.join(bench.work, "prefixes", name)
        self.dyn_data = dyn_data
        self.regs = []
        self.drives = drives or {}
        self.system_files = system_files or {}
        self.remove_default_directx = remove_default_directx
        self.wine_debug = wine_debug
        self.workdir = os.path.join(self.prefix, "drive_c", "work")
        self.prepared = False

    # -- setting the machine up -------------------------------------------------------
    def registry(self, text):
        """Adds registry text in regedit's REGEDIT4 format (without its header line)."""
        self.regs.append(text)

    def env(self):
        return wine_env(self.prefix, self.arch, self.display)

    def wine(self, *args, check=True, timeout=120):
        return subprocess.run([WINE_LOADERS[self.arch]] + list(args), env=self.env(), check=check,
                              stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                              timeout=timeout)

    def keep_server(self, seconds):
        """Starts the prefix's server, to stay that long after its last program ends."""
        subprocess.run([WINE_SERVERS[self.arch], "-p%d" % seconds], env=self.env(),
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def stop_server(self):
        stop_wine_server(self.env(), self.arch)

    def prepare(self):
        if self.prepared:
            return
        self.bench.clone_template(self.prefix, self.arch)
        os.makedirs(self.workdir, exist_ok=True)
        text = ["REGEDIT4", "",
                "[HKEY_CURRENT_USER\\Software\\Wine]", '"Version"="%s"' % self.version, "",
                # Wine draws the caption and menu bar itself when no window manager runs.
                "[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]",
                '"Decorated"="N"', '"Managed"="N"', ""]
        if self.dpi:
            # Wine 8 takes the DPI from this value; only without it does it fall back to
            # HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts,
            # which wineboot sets to 96.
            text += ["[HKEY_CURRENT_USER\\Control Panel\\Desktop]",
                     '"LogPixels"=dword:%08x' % self.dpi, ""]
        if self.remove_default_directx:
            text += ["[-HKEY_LOCAL_MACHINE\\Software\\Microsoft\\DirectX]", ""]
        dosdevices = os.path.join(self.prefix, "dosdevices")
        if self.drives:
            text.append("[HKEY_LOCAL_MACHINE\\Software\\Wine\\Drives]")
            for letter, (kind, target) in sorted(self.drives.items()):
                link = os.path.join(dosdevices, letter.lower() + ":")
                if os.path.lexists(link):
                    os.remove(link)
                os.symlink(target, link)
                text.append('"%s:"="%s"' % (letter.lower(), kind))
            text.append("")
        for extra in self.regs:
            text.append(extra.strip("\n"))
            text.append("")
        system = os.path.join(self.prefix, "drive_c", "windows", self.bench.system_folder)
        for name, source in self.system_files.items():
            target = os.path.join(system, name)
            if os.path.lexists(target):
                os.remove(target)  # never write through a link into the template
            if source is FOLDER:
                os.mkdir(target)
            else:
                shutil.copyfile(source, target)
        regfile = os.path.join(self.workdir, "fixture.reg")
        with open(regfile, "w", encoding="latin-1", newline="\r\n") as f:
            f.write("\n".join(text) + "\n")
        # A server that outlives regedit keeps Wine's system processes (services, devices,
        # desktop) up for the run that follows, which then starts warm: starting them anew
        # costs several times what the run itself does in the emulated machine. Each run
        # still stops the server when it ends.
        self.keep_server(SERVER_KEPT_SECONDS)
        if self.wine("regedit", "/S", "C:\\work\\fixture.reg", check=False).returncode != 0:
            # Seen once in many runs under load: regedit ending with 1 on a freshly cloned
            # 64-bit prefix, its cause not found. A second try on a fresh server; a second
            # failure stops the scenario as before.
            self.stop_server()
            self.keep_server(SERVER_KEPT_SECONDS)
            self.wine("regedit", "/S", "C:\\work\\fixture.reg")
        if self.drives:
            # Drive settings are read when the devices start: start them again, and wait
            # for them with a program that ends at once, so that the run finds every drive.
            self.stop_server()
            self.keep_server(SERVER_KEPT_SECONDS)
            self.wine("cmd", "/c", "exit")
        self.prepared = True

    # -- running the program ----------------------------------------------------------
    def plant_dlls(self, names):
        """Puts the build's marking copies of these DLLs (tests/wine/fixtures/planted_dll.cpp)
        beside the program, in C:\\work."""
        self.prepare()
        for name in names:
            shutil.copyfile(os.path.join(self.bench.build, "planted", name + ".dll"),
                            os.path.join(self.workdir, name + ".dll"))

    def dll_marks(self):
        """The marks the planted DLLs left, by the name the loader gave each, in lower case."""
        return sorted(name[:-len(".mark")].lower() for name in os.listdir(self.workdir)
                      if name.endswith(".mark"))

    def run(self, actions, timeout=180, keep_log=False, background=None, cpu_mhz=None,
            program=None, hold=(), dll_overrides=None):
        """Runs bench.exe with these actions; returns a RunResult. "clip" needs no file name:
        the bench adds one and reads it back into result.clip. An old "tarrow.log" in the
        working directory is removed first unless keep_log is set. background, if given, is
        called once the window has shown, while the driver goes on. program, if given, is
        another build of the program to run in tarrow.exe's place. hold names Windows paths
        of files the driver keeps open without sharing while the program runs. dll_overrides
        adds to WINEDLLOVERRIDES for this run (the driver runs under it too, and needs none
        of the DLLs the program loads itself)."""
        self.prepare()
        exe = os.path.join(self.workdir, "tarrow.exe")
        shutil.copyfile(program or self.bench.tarrow_exe, exe)
        log_path = os.path.join(self.workdir, "tarrow.log")
        if os.path.isfile(log_path) and not keep_log:
            os.remove(log_path)
        clip_path = os.path.join(self.workdir, "clip.bin")
        if os.path.exists(clip_path):
            os.remove(clip_path)
        args = [self.bench.bench_exe, "--cwd", "C:\\work"]
        if self.dyn_data is not None:
            with open(os.path.join(self.workdir, "dyn.txt"), "w", encoding="latin-1") as f:
                f.write("\n".join(self.dyn_data) + "\n")
            args += ["--dyn", "C:\\work\\dyn.txt"]
        if cpu_mhz:
            args += ["--cpu-mhz", cpu_mhz]  # "show", or "delete" to remove it first
        for path in hold:
            args += ["--hold", path]
        args.append("C:\\work\\tarrow.exe")
        for action in actions:
            args.append(action)
            if action == "clip":
                args.append("C:\\work\\clip.bin")
        env = self.env()
        env["WINEDEBUG"] = self.wine_debug  # setting the prefix up stays quiet
        if dll_overrides:
            env["WINEDLLOVERRIDES"] += ";" + dll_overrides
        stderr_path = os.path.join(self.workdir, "wine-stderr.txt")
        stderr_file = open(stderr_path, "wb")
        proc = subprocess.Popen([self.bench.driver_loader()] + args, env=env,
                                stdout=subprocess.PIPE, stderr=stderr_file)
        lines = []
        deadline = time.time() + timeout
        for line in iter(proc.stdout.readline, b""):
            lines.append(line)
            if background and line.startswith(b"shown "):
                time.sleep(0.5)
                background()
            if time.time() > deadline:
                proc.kill()
        proc.wait()
        stderr_file.close()
        output = b"".join(lines).decode("latin-1")
        log = open(log_path, "rb").read() if os.path.isfile(log_path) else None
        clip = open(clip_path, "rb").read() if os.path.exists(clip_path) else None
        self.stop_server()
        with open(stderr_path, "rb") as f:
            stderr = f.read().decode("latin-1")
        result = RunResult(output, log, clip, stderr)
        if proc.returncode != 0 or result.errors:
            prompts = "".join("; after the prompt %s %r" % prompt for prompt in result.prompts)
            self.bench.check(False, "%s: driver failed (%d): %s%s" %
                             (self.name, proc.returncode, "; ".join(result.errors), prompts))
        return result

    def report(self, **options):
        """Starts the program, reads the rows, writes the log, ends the program; options as
        for run."""
        return self.run(["start", "rows", "cmd", "40001", "msgbox", "cmd", "2", "wait-exit"],
                        **options)

    def screenshot(self, png_path):
        """Saves the whole Xvfb screen as a PNG (the program must be showing)."""
        xwd = png_path + ".xwd"
        subprocess.run(["xwd", "-root", "-silent", "-display", self.display, "-out", xwd],
                       check=True)
        subprocess.run(["python3", os.path.join(self.bench.source, "scripts", "xwd2png.py"),
                        xwd, png_path], check=True)
        os.remove(xwd)


def wine_env(prefix, arch, display):
    """The environment of every Wine command on a prefix. WINEARCH is always given: with
    Debian's wine64 installed beside wine32, a new prefix is otherwise a 64-bit Windows."""
    env = {k: v for k, v in os.environ.items() if k in WINE_ENV_KEEP}
    env.update(WINEPREFIX=prefix, WINEARCH=arch, WINEDEBUG="-all", DISPLAY=display,
               WINEDLLOVERRIDES="mscoree,mshtml=,winemenubuilder.exe=d")
    return env


def stop_wine_server(env, arch):
    """Ends the prefix's wineserver and waits until it is gone."""
    subprocess.run([WINE_SERVERS[arch], "-k"], env=env, stderr=subprocess.DEVNULL)
    subprocess.run([WINE_SERVERS[arch], "-w"], env=env, stderr=subprocess.DEVNULL)


def install_prefix_fonts(prefix):
    """Copies those of PREFIX_FONTS the prefix lacks into its C:\\windows\\Fonts, also into a
    template made before fonts-wine was installed. Without fonts-wine it copies nothing."""
    windows = os.path.join(prefix, "drive_c", "windows")
    names = {name.lower(): name for name in os.listdir(windows)}
    fonts = os.path.join(windows, names.get("fonts", "Fonts"))  # Wine names it "Fonts"
    os.makedirs(fonts, exist_ok=True)
    present = {name.lower() for name in os.listdir(fonts)}
    for name in PREFIX_FONTS:
        source = os.path.join(WINE_FONTS, name)
        if name.lower() not in present and os.path.isfile(source):
            shutil.copyfile(source, os.path.join(fonts, name))


# Rows whose figures tell the moment they were taken: two runs on one machine agree on their
# labels and the form of their details, not on the figures.
MOMENT_LABELS = ("CPU Speed", "% Memory Used", "Free Disk Space", "Available Swap File")


def moment_form(text):
    """A row's details (or a log line) with each run of digits as one "#" and no padding at
    the end: "1.23 GB " and "12.34 GB" have one form, "1.23 GB" and "-1MHz" do not."""
    if isinstance(text, bytes):
        return re.sub(rb"[0-9]+", b"#", text).rstrip(b" ")
    return re.sub(r"[0-9]+", "#", text).rstrip(" ")


def lasting_lines(log):
    """A log's lines, those that tell the moment it was taken by their label and form."""
    prefixes = tuple(label.encode() for label in MOMENT_LABELS)
    return [moment_form(line) if line.startswith(prefixes) else line
            for line in (log or b"").split(b"\r\n")]


def log_bytes(rows):
    """The exact bytes of "tarrow.log" for these (label, details) rows."""
    return b"".join(("%-16s\t\t%-16s\r\n" % (r[0], r[1])).encode("latin-1") for r in rows)


def clip_bytes(rows):
    """The exact CF_TEXT bytes of the clipboard for these (label, details) rows."""
    return b"".join(("%-50s\t\t%-30s\r\n" % (r[0], r[1])).encode("latin-1") for r in rows)


class Bench:
    """Owns the Xvfb screens, the template prefix and the check results."""

    def __init__(self, build, source, work, bits=None):
        build, source, work = (os.path.abspath(p) for p in (build, source, work))
        os.makedirs(work, exist_ok=True)
        self.build = build
        self.source = source
        self.work = work
        self.bits = bits or build_bits(build)
        self.tarrow_exe = os.path.join(build, "tarrow64.exe" if self.bits == 64 else "tarrow.exe")
        # tarrow64.exe runs only on a 64-bit Windows, and looks for the 32-bit libraries
        # (Glide's) in its 32-bit system folder, as tarrow.exe does in its own.
        self.default_arch = "win64" if self.bits == 64 else "win32"
        self.system_folder = "syswow64" if self.bits == 64 else "system32"
        self.bench_exe = os.path.join(build, "bench.exe")
        self.screens = {}
        self.failures = []
        self.checks = 0
        self.current = ""

    # -- checks in the style of Wine's own tests --------------------------------------
    def check(self, condition, message):
        self.checks += 1
        if not condition:
            self.failures.append("%s: %s" % (self.current, message))
            print("    FAIL %s" % message, flush=True)
        return condition

    def check_equal(self, expected, got, what):
        return self.check(expected == got, "%s: expected %r, got %r" % (what, expected, got))

    def check_bytes(self, expected, got, what):
        if expected == got:
            return self.check(True, what)
        detail = "missing"
        if got is not None:
            exp_lines, got_lines = expected.split(b"\n"), got.split(b"\n")
            for i, (e, g) in enumerate(zip(exp_lines, got_lines)):
                if e != g:
                    detail = "line %d: expected %r, got %r" % (i + 1, e, g)
                    break
            else:
                detail = "%d lines expected, %d got" % (len(exp_lines), len(got_lines))
        return self.check(False, "%s differs: %s" % (what, detail))

    # -- machines ---------------------------------------------------------------------
    def machine(self, name, **options):
        return Machine(self, name, **options)

    def arches(self):
        """The kinds of Windows machine this bench sets up."""
        return ["win64"] if self.bits == 64 else available_arches()

    def driver_loader(self):
        """The Wine command that starts the driver bench.exe, a program of the build."""
        return WINE_LOADERS[self.default_arch]

    def system_path(self, name):
        """The Windows path of a file that system_files puts in place."""
        return "C:\\windows\\%s\\%s" % (self.system_folder, name)

    def glide_fixture(self, name):
        """A fixture library to stand as a Glide library. Glide's libraries are 32-bit on
        every Windows, so the 64-bit bench takes the win32 tree's builds beside its own."""
        tree = self.build if self.bits == 32 else os.path.join(os.path.dirname(self.build),
                                                                "win32")
        path = os.path.join(tree, "fixtures", name + ".dll")
        if not os.path.isfile(path):
            raise RuntimeError("%s is missing: build the win32 tree (make win32)" % path)
        return path

    def display_for(self, screen):
        if screen not in self.screens:
            read_end, write_end = os.pipe()
            proc = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", screen,
                                     "-nolisten", "tcp", "-auth", "/dev/null"],
                                    pass_fds=(write_end,), stdout=subprocess.DEVNULL,
                                    stderr=subprocess.DEVNULL)
            os.close(write_end)
            number = b""
            while not number.endswith(b"\n"):
                chunk = os.read(read_end, 16)
                if not chunk:
                    raise RuntimeError("Xvfb did not start")
                number += chunk
            os.close(read_end)
            self.screens[screen] = (proc, ":" + number.decode().strip())
        return self.screens[screen][1]

    def template(self, arch="win32"):
        """The freshly booted prefix that machines of this arch are cloned from."""
        path = os.path.join(self.build, "wine-template" if arch == "win32" else
                            "wine-template-" + arch)
        stamp = os.path.join(path, ".ready")
        if not os.path.exists(stamp):
            shutil.rmtree(path, ignore_errors=True)
            env = wine_env(path, arch, self.display_for("1024x768x24"))
            boot = ["wineboot"] if arch == "win32" else [WINE_LOADERS[arch], "wineboot"]
            subprocess.run(boot + ["-i"], env=env, check=True, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, timeout=600)
            subprocess.run([WINE_SERVERS[arch], "-w"], env=env, stderr=subprocess.DEVNULL)
            open(stamp, "w").close()
        install_prefix_fonts(path)
        return path

    def clone_template(self, prefix, arch="win32"):
        """A fresh prefix: the template's files hard-linked, its registry files copied, so
        that nothing a run writes reaches the template."""
        template = self.template(arch)
        shutil.rmtree(prefix, ignore_errors=True)
        os.makedirs(os.path.dirname(prefix), exist_ok=True)
        subprocess.run(["cp", "-al", template, prefix], check=True)
        for name in ("system.reg", "user.reg", "userdef.reg"):
            target = os.path.join(prefix, name)
            os.remove(target)
            shutil.copyfile(os.path.join(template, name), target)

    def close(self):
        for proc, _display in self.screens.values():
            proc.terminate()
            proc.wait()

    def temp_dir(self):
        return tempfile.mkdtemp(dir=self.work)
