"""The display rows on Xvfb screens of several sizes, depths and DPI settings: "Resolution" and
"Color Depth", adjacent, right after the memory rows; and the window laid out whole at every
DPI, the banner's picture whole in its frame, with a screenshot of the window at 96 DPI and of
each scaled one in the bench's work folder."""
import functools
import os
import struct

from benchlib import log_bytes

# (Xvfb screen, logical DPI, resolution text, colour depth text as Wine reports the depth)
SCREENS = [
    ("800x600x16", 96, "800 x 600", "16-Bit"),
    ("1024x768x24", 96, "1024 x 768", "32-Bit"),
    ("1280x1024x24", 96, "1280 x 1024", "32-Bit"),
    ("640x480x8", 96, "640 x 480", "8-Bit"),
    # 150 %: Windows 8.1 and later would answer 1280 x 720 to a program that does not declare
    # itself DPI-aware. Wine 8 takes every program for DPI-aware, manifest or not, so here the
    # row only shows that the program still works with the larger font and window.
    ("1920x1080x24", 144, "1920 x 1080", "32-Bit"),
]
BANNER, REPORT_LIST = 0xFFFF, 1002  # the banner's id -1 as the template's 16 bits hold it


def banner_picture(source):
    """The banner bitmap's size and the rows of its picture: from the last row that repeats
    the top edge to the first row that repeats the bottom edge. The rows beyond only
    broaden the edges, so the control may clip them."""
    with open(os.path.join(source, "resources", "art", "banner.bmp"), "rb") as f:
        data = f.read()
    offset, = struct.unpack_from("<I", data, 10)
    width, height = struct.unpack_from("<ii", data, 18)
    stride = (width * 3 + 3) & ~3
    rows = [data[offset + (height - 1 - y) * stride:][:width * 3] for y in range(height)]
    top = 0
    while top + 1 < height and rows[top + 1] == rows[0]:
        top += 1
    bottom = height - 1
    while bottom > 0 and rows[bottom - 1] == rows[-1]:
        bottom -= 1
    return (width, height), (top, bottom)
CONTROLS = {1000: "Button", 2: "Button", BANNER: "Static", REPORT_LIST: "SysListView32"}


def overlap(a, b):
    return a[0] < b[0] + b[2] and b[0] < a[0] + a[2] and a[1] < b[1] + b[3] and b[1] < a[1] + a[3]


def check_layout(bench, name, run):
    """Every control whole inside the client area and apart from the others, the banner's frame
    centred, both columns inside the list. Returns the list's width."""
    width, height = run.client
    bench.check_equal(CONTROLS, {ident: cls for ident, cls, _ in run.controls}, name + " controls")
    boxes = {ident: box for ident, _, box in run.controls}
    for ident, (x, y, w, h) in boxes.items():
        bench.check(w > 0 and h > 0 and x >= 0 and y >= 0 and x + w <= width and y + h <= height,
                    "%s: control %d at %r outside the %dx%d client area" %
                    (name, ident, (x, y, w, h), width, height))
        for other, box in boxes.items():
            bench.check(other <= ident or not overlap(boxes[ident], box),
                        "%s: controls %d and %d overlap" % (name, ident, other))
    x, _, w, _ = boxes.get(BANNER, (0, 0, 0, 0))
    bench.check(abs(2 * x + w - width) <= 2, "%s: banner frame at %d, %d wide, in %d" %
                (name, x, w, width))
    # The control centres the bitmap in its client area and clips what does not fit.
    (bitmap_width, bitmap_height), (picture_top, picture_bottom) = banner_picture(bench.source)
    banner_width, banner_height = run.banner or (0, 0)
    top = banner_height // 2 - bitmap_height // 2  # the bitmap's first row in the client area
    first, last = max(0, -top), min(bitmap_height, banner_height - top) - 1
    bench.check(banner_width >= bitmap_width and first <= picture_top and last >= picture_bottom,
                "%s: banner %r shows bitmap rows %d to %d of the picture's %d to %d" %
                (name, run.banner, first, last, picture_top, picture_bottom))
    list_width, *columns = run.columns
    bench.check(len(columns) == 2 and min(columns) > 0 and sum(columns) <= list_width,
                "%s: columns %r in a list %d wide" % (name, columns, list_width))
    return boxes.get(REPORT_LIST, (0, 0, 0, 0))[2]


def test_screen_sizes_and_depths(bench):
    list_widths = {}
    for screen, dpi, resolution, depth in SCREENS:
        name = "%s at %d DPI" % (screen, dpi)
        m = bench.machine("display-%s-%ddpi" % (screen, dpi), screen=screen, dpi=dpi)
        screenshot = None
        if dpi != 96 or screen == "1024x768x24":
            png = os.path.join(bench.work, "display-%s-%ddpi.png" % (screen, dpi))
            screenshot = functools.partial(m.screenshot, png)  # while the driver sleeps
            print("    screenshot " + png)
        run = m.run(["start", "layout", "sleep", "1500", "rows", "cmd", "40001", "msgbox",
                     "cmd", "2", "wait-exit"], background=screenshot)
        list_widths[dpi] = check_layout(bench, name, run)
        labels = run.labels()
        if not bench.check("Resolution" in labels, name + ": no resolution row"):
            continue
        at = labels.index("Resolution")
        expected_pair = [("Resolution", resolution, 5), ("Color Depth", depth, 5)]
        bench.check_equal(expected_pair, run.rows[at:at + 2], name + " rows")
        bench.check_equal("% Memory Used", labels[at - 1], name + " row before")
        expected = run.rows[:at] + expected_pair + run.rows[at + 2:]
        bench.check_bytes(log_bytes(expected), run.log, name + " log")
    # Dialog units follow the font, whose widths round to whole pixels: about dpi / 96.
    for dpi, list_width in list_widths.items():
        ratio = list_width / list_widths[96]
        bench.check(0.85 < ratio / (dpi / 96) < 1.15, "list %d wide at %d DPI, %d at 96" %
                    (list_width, dpi, list_widths[96]))
