"""The main window and its commands: the first row on every Windows version, the single
copy, both exports, the ways out, the About box, when and where the window shows, and the
log written from a command line."""
import os
import shutil

from benchlib import clip_bytes, lasting_lines, log_bytes

VK_RETURN, VK_ESCAPE = 13, 27
ID_OK, ID_COPY = 2, 1000
ID_FILE_CREATELOG, ID_FILE_EXIT, ID_EDIT_COPY, ID_HELP_ABOUT = 40001, 40002, 40003, 40004

OS_ROWS = [
    ("win95", "Windows 95 v4.0.950"),
    ("win98", "Windows 98 v4.10.2222"),
    ("nt40", "Windows NT4 Service Pack 6a v4.0.1381"),
    ("win2k", "Windows 2000 v5.0.2195"),
    ("winxp", "Windows 2000 v5.1.2600"),
    ("win7", "Windows NT6 v6.1.7601"),
    # Windows 8.1 and later tell a program their real version only when its manifest
    # declares it supports them; without one they say 6.2.9200.
    ("win81", "Windows NT6 v6.3.9600"),
    ("win10", "Windows NT10 v10.0.18362"),
]


def test_operating_system_row_on_every_version(bench):
    for version, text in OS_ROWS:
        run = bench.machine("os-" + version, version=version).report()
        bench.check(run.rows and run.rows[0] == ("Operating System", text, 9),
                    "%s: first row %r" % (version, run.rows[:1]))
        bench.check_equal(0, run.exit_code, version + " exit code")


def test_window_shows_complete_and_centred(bench):
    run = bench.machine("shell-show", screen="1024x768x24").run(["start", "rows", "cmd", "2",
                                                                "wait-exit"])
    rows, x, y, width, height, screen_w, screen_h = run.shown
    bench.check_equal(len(run.rows), rows, "rows when the window first showed")
    bench.check(rows >= 1, "the window showed with no row")
    bench.check_equal((int((screen_w - width) / 2), int((screen_h - height) / 2)), (x, y),
                      "window origin")


def test_small_screen_gives_negative_origin(bench):
    run = bench.machine("shell-small", screen="320x240x16").run(["start", "cmd", "2", "wait-exit"])
    _rows, x, y, width, height, screen_w, screen_h = run.shown
    bench.check(width > screen_w and height > screen_h, "window %dx%d on %dx%d" %
                (width, height, screen_w, screen_h))
    bench.check_equal((int((screen_w - width) / 2), int((screen_h - height) / 2)), (x, y),
                      "window origin on a small screen")
    bench.check(x < 0 and y < 0, "origin %d,%d is not negative" % (x, y))


def test_second_copy_brings_the_first_forward(bench):
    run = bench.machine("shell-second").run(["start", "second", "cmd", "2", "wait-exit"])
    code, first_in_front, windows = run.second
    bench.check_equal(0, code, "second copy's exit code")
    bench.check_equal(0, windows, "windows of the second copy")
    bench.check_equal(1, first_in_front, "first copy in front")
    bench.check_equal(0, run.exit_code, "first copy's exit code")


def test_every_way_out_ends_with_code_zero(bench):
    m = bench.machine("shell-exit")
    for name, actions in [("OK", ["cmd", str(ID_OK)]), ("Escape", ["key", str(VK_ESCAPE)]),
                          ("File, Exit", ["cmd", str(ID_FILE_EXIT)]), ("close box", ["close"])]:
        run = m.run(["start"] + actions + ["wait-exit"])
        bench.check_equal(0, run.exit_code, name + " exit code")


def test_exports_match_the_report(bench):
    m = bench.machine("shell-export", version="win98")
    m.prepare()
    with open(os.path.join(m.workdir, "tarrow.log.old"), "w") as f:
        f.write("old")
    run = m.run(["start", "rows", "cmd", str(ID_COPY), "sleep", "300", "clip",
                 "cmd", str(ID_FILE_CREATELOG), "msgbox", "cmd", str(ID_FILE_CREATELOG), "msgbox",
                 "cmd", str(ID_OK), "wait-exit"])
    rows = run.rows
    bench.check(len(rows) >= 1, "no rows")
    bench.check_bytes(clip_bytes(rows), run.clip, "clipboard from the button")
    bench.check_bytes(log_bytes(rows), run.log, "log file written twice")
    bench.check_equal([("Log File Created", "Log file created successfully")] * 2, run.msgboxes,
                      "log messages")

    run = m.run(["start", "rows", "cmd", str(ID_EDIT_COPY), "sleep", "300", "clip",
                 "cmd", str(ID_OK), "wait-exit"])
    bench.check_bytes(clip_bytes(run.rows), run.clip, "clipboard from Edit, Copy")


def test_log_replaces_an_old_file(bench):
    m = bench.machine("shell-replace")
    m.prepare()
    with open(os.path.join(m.workdir, "tarrow.log"), "wb") as f:
        f.write(b"an old log that is much longer than the new one\r\n" * 200)
    run = m.run(["start", "rows", "cmd", str(ID_FILE_CREATELOG), "msgbox", "cmd", str(ID_OK),
                 "wait-exit"], keep_log=True)
    bench.check_bytes(log_bytes(run.rows), run.log, "replaced log file")


def test_log_that_cannot_be_created(bench):
    m = bench.machine("shell-nolog")
    m.prepare()
    blocker = os.path.join(m.workdir, "tarrow.log")
    os.makedirs(os.path.join(blocker, "inside"), exist_ok=True)  # a folder takes the name
    run = m.run(["start", "cmd", str(ID_FILE_CREATELOG), "msgbox", "cmd", str(ID_OK), "wait-exit"],
                keep_log=True)
    bench.check_equal([("Log File Creation Error", "Could not open file for writing.")],
                      run.msgboxes, "message")
    bench.check(os.path.isdir(os.path.join(blocker, "inside")), "the folder was changed")


def test_about_box_closes_only_on_ok_and_enter(bench):
    run = bench.machine("shell-about").run([
        "start", "cmd", str(ID_HELP_ABOUT), "sleep", "300",
        "about-key", str(VK_ESCAPE), "sleep", "300", "about-close", "sleep", "300", "windows",
        "about-key", str(VK_RETURN), "sleep", "500", "windows",
        "cmd", str(ID_HELP_ABOUT), "sleep", "300", "about-ok", "sleep", "500", "windows",
        "cmd", str(ID_OK), "wait-exit"])
    about = ("#32770", "About Tarrow")
    groups = run.window_lists
    bench.check_equal(3, len(groups), "window listings")
    bench.check(about in groups[0], "About box closed by Escape or its close box: %r" % groups[0])
    bench.check(about not in groups[1], "About box still open after Enter: %r" % groups[1])
    bench.check(about not in groups[2], "About box still open after OK: %r" % groups[2])
    bench.check_equal(0, run.exit_code, "exit code")


# Run from a command line: one Windows of the 95 family, one of the NT family.
LOG_RUN_VERSIONS = ("win98", "winxp")


def read_work_file(machine, name):
    path = os.path.join(machine.workdir, name)
    return open(path, "rb").read() if os.path.isfile(path) else None


def test_log_from_the_command_line(bench):
    for version in LOG_RUN_VERSIONS:
        m = bench.machine("shell-log-" + version, version=version)
        menu = m.report()
        run = m.run(["log", "/log", "log", '-LOG "FILE WITH SPACES.log"', "log", "/?"])
        # (exit code, a main-class window, a visible window) of each run
        bench.check_equal([(0, 0, 0), (0, 0, 0), (0, 0, 1)], [r[:3] for r in run.log_runs],
                          version + ": /log, -LOG FILE and /? runs")
        bench.check(len(lasting_lines(menu.log)) > 10, version + ": the menu's log is short")
        bench.check_equal(lasting_lines(menu.log), lasting_lines(run.log), version + " /log")
        bench.check_equal(lasting_lines(menu.log),
                          lasting_lines(read_work_file(m, "FILE WITH SPACES.log")),
                          version + " -LOG \"FILE WITH SPACES.log\"")
        bench.check_equal([], [n for n in os.listdir(m.workdir) if n.endswith(".new")],
                          version + ": new files left behind")


def test_log_run_that_cannot_write_keeps_the_old_log(bench):
    m = bench.machine("shell-log-blocked", version="winxp")
    m.prepare()
    folder = os.path.join(m.workdir, "tarrow.log")
    os.makedirs(os.path.join(folder, "inside"))  # a folder takes the log's name
    run = m.run(["log", "/log"], keep_log=True)
    code, _main_class, visible, milliseconds = run.log_runs[0]
    bench.check_equal((1, 0), (code, visible), "/log on a folder: exit code, a window shown")
    bench.check(milliseconds < 60000, "/log on a folder ran %d ms" % milliseconds)
    bench.check(os.path.isdir(os.path.join(folder, "inside")), "the folder was changed")

    # An old log held open without sharing cannot be replaced, from the command line or
    # from the menu: it stays as it was, and no new file is left beside it.
    shutil.rmtree(folder)
    old = b"the complete log of an earlier run\r\n" * 50
    with open(folder, "wb") as f:
        f.write(old)
    run = m.run(["log", "/log", "start", "cmd", str(ID_FILE_CREATELOG), "msgbox",
                 "cmd", str(ID_OK), "wait-exit"], keep_log=True, hold=["C:\\work\\tarrow.log"])
    bench.check_equal(1, run.log_runs[0][0] if run.log_runs else None, "/log exit code")
    bench.check_equal([("Log File Creation Error", "Could not open file for writing.")],
                      run.msgboxes, "menu's message")
    bench.check_bytes(old, run.log, "the old log")
    bench.check(not os.path.exists(folder + ".new"), "the new file was left behind")


def test_log_run_beside_the_window(bench):
    m = bench.machine("shell-log-beside", version="win98")
    run = m.run(["start", "rows", "layout", "log", "/log beside.log", "rows", "layout",
                 "windows", "cmd", str(ID_OK), "wait-exit"])
    bench.check_equal([(0, 0, 0)], [r[:3] for r in run.log_runs], "/log beside the window")
    half = len(run.rows) // 2
    bench.check(half > 0 and run.rows[:half] == run.rows[half:], "the window's rows changed")
    half = len(run.controls) // 2
    bench.check(half > 0 and run.controls[:half] == run.controls[half:],
                "the window's layout changed")
    bench.check_equal([[("TarrowClass", "Tarrow 1.0")]], run.window_lists, "windows")
    bench.check_equal(lasting_lines(log_bytes(run.rows[:len(run.rows) // 2])),
                      lasting_lines(read_work_file(m, "beside.log")), "beside.log")
    bench.check_equal(0, run.exit_code, "the window's exit code")
