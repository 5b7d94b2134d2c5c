"""The main window and its commands: the first row on every Windows version, the single
copy, both exports, the ways out, the About box, and when and where the window shows."""
import os

from benchlib import clip_bytes, log_bytes

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
