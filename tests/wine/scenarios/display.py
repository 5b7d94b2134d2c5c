"""The display rows on Xvfb screens of several sizes and depths: "Resolution" and
"Color Depth", adjacent, right after the memory rows."""
from benchlib import log_bytes

# (Xvfb screen, resolution text, colour depth text as Wine reports the depth)
SCREENS = [
    ("800x600x16", "800 x 600", "16-Bit"),
    ("1024x768x24", "1024 x 768", "32-Bit"),
    ("1280x1024x24", "1280 x 1024", "32-Bit"),
    ("640x480x8", "640 x 480", "8-Bit"),
]


def test_screen_sizes_and_depths(bench):
    for screen, resolution, depth in SCREENS:
        run = bench.machine("display-" + screen, screen=screen).report()
        labels = run.labels()
        if not bench.check("Resolution" in labels, screen + ": no resolution row"):
            continue
        at = labels.index("Resolution")
        expected_pair = [("Resolution", resolution, 5), ("Color Depth", depth, 5)]
        bench.check_equal(expected_pair, run.rows[at:at + 2], screen + " rows")
        bench.check_equal("% Memory Used", labels[at - 1], screen + " row before")
        expected = run.rows[:at] + expected_pair + run.rows[at + 2:]
        bench.check_bytes(log_bytes(expected), run.log, screen + " log")
