"""The eleven 32 x 32, 16-colour icons: one per category of the list, and the program's own,
each drawn on the icon canvas of artwork_icon_canvas.py."""

import math

from artwork_icon_canvas import (ICON_SIZE, Icon, BLACK, DRED, DGREEN, DYELLOW, DBLUE, DCYAN,
                                 LGREY, DGREY, RED, GREEN, YELLOW, BLUE, MAGENTA, CYAN, WHITE)


def small_monitor(ic, x, y, screen):
    """A 14 x 15 computer monitor with its top-left corner at (x, y)."""
    ic.box(x, y, x + 13, y + 10, LGREY)          # casing
    ic.box(x + 2, y + 2, x + 11, y + 8, screen)  # screen
    ic.put(x + 3, y + 3, WHITE)                  # glint on the glass
    ic.put(x + 4, y + 3, WHITE)
    ic.put(x + 3, y + 4, WHITE)
    ic.box(x + 5, y + 10, x + 8, y + 12, DGREY)  # neck
    ic.box(x + 2, y + 12, x + 11, y + 14, LGREY)  # foot


def draw_network():
    """Two computers joined by a cable."""
    ic = Icon()
    # cable first so the computers sit on top of it
    ic.thick_line(7, 15, 7, 23, 3, YELLOW)
    ic.thick_line(7, 23, 18, 23, 3, YELLOW)
    ic.thick_line(24, 14, 24, 8, 3, YELLOW)
    ic.thick_line(24, 8, 14, 8, 3, YELLOW)
    ic.outline()
    small_monitor(ic, 0, 1, BLUE)
    small_monitor(ic, 18, 16, CYAN)
    return ic


def draw_video():
    """A strip of film with a play symbol."""
    ic = Icon()
    ic.rect(0, 5, 31, 26, BLACK)
    for x in range(1, 32, 4):                 # sprocket holes
        ic.rect(x, 7, x + 1, 8, WHITE)
        ic.rect(x, 23, x + 1, 24, WHITE)
    for x0 in (1, 11, 21):                    # three frames: sky over grass
        ic.rect(x0, 11, x0 + 8, 16, CYAN)
        ic.rect(x0, 17, x0 + 8, 20, GREEN)
    # play button over the middle frame
    ic.polygon([(10, 8), (10, 24), (24, 16)], RED)
    ic.polyline([(10, 8), (10, 24), (24, 16)], BLACK)
    ic.line(10, 8, 23, 15, BLACK)
    return ic


def draw_titles():
    """A boxed game seen from slightly above, with a disc on its cover."""
    ic = Icon()
    front = [(2, 9), (21, 9), (21, 30), (2, 30)]
    top = [(2, 9), (9, 2), (28, 2), (21, 9)]
    side = [(21, 9), (28, 2), (28, 23), (21, 30)]
    ic.polygon(top, CYAN)
    ic.polygon(side, DBLUE)
    ic.polygon(front, BLUE)
    # cover art: a title band and a disc
    ic.rect(4, 11, 19, 14, YELLOW)
    ic.disc(12, 22.5, 6, LGREY)
    ic.disc(12, 22.5, 4, WHITE)
    ic.disc(12, 22.5, 1.5, BLUE)
    ic.put(8, 20, WHITE)
    # edges
    ic.polyline([(2, 9), (9, 2), (28, 2), (28, 23), (21, 30), (2, 30)], BLACK)
    ic.line(2, 9, 21, 9, BLACK)
    ic.line(21, 9, 28, 2, BLACK)
    ic.line(21, 9, 21, 30, BLACK)
    return ic


def draw_memory():
    """A memory module: green board, black chips, gold contacts."""
    ic = Icon()
    ic.box(0, 7, 31, 24, DGREEN)
    ic.rect(1, 8, 30, 8, GREEN)                  # lit top edge
    for x0 in (2, 10, 18, 26):                   # four chips
        w = 5 if x0 < 26 else 3
        ic.rect(x0, 10, x0 + w, 17, BLACK)
        ic.rect(x0 + 1, 11, x0 + w - 1, 11, DGREY)
    for x in range(2, 30, 2):                    # gold contact fingers
        ic.rect(x, 20, x, 23, YELLOW)
    ic.rect(15, 20, 16, 24, None)                # key notch
    ic.frame(14, 19, 17, 19, BLACK)
    ic.line(14, 19, 14, 24, BLACK)
    ic.line(17, 19, 17, 24, BLACK)
    ic.put(0, 16, None)                          # side clip notches
    ic.put(31, 16, None)
    ic.put(1, 15, BLACK)
    ic.put(1, 16, BLACK)
    ic.put(1, 17, BLACK)
    ic.put(30, 15, BLACK)
    ic.put(30, 16, BLACK)
    ic.put(30, 17, BLACK)
    return ic


def draw_directx():
    """A solid cube with one bright colour per face."""
    ic = Icon()
    top = [(16, 1), (30, 8), (16, 15), (2, 8)]
    left = [(2, 8), (16, 15), (16, 31), (2, 24)]
    right = [(16, 15), (30, 8), (30, 24), (16, 31)]
    ic.polygon(top, GREEN)
    ic.polygon(left, RED)
    ic.polygon(right, BLUE)
    ic.polyline([(16, 0), (30, 7), (30, 24), (16, 31), (2, 24), (2, 7)], BLACK)
    ic.line(2, 8, 16, 15, BLACK)
    ic.line(30, 8, 16, 15, BLACK)
    ic.line(16, 15, 16, 31, BLACK)
    return ic


def draw_display():
    """A monitor showing a landscape: sky, sun, hills."""
    ic = Icon()
    ic.box(0, 1, 31, 23, LGREY)          # casing
    ic.box(3, 4, 28, 20, BLUE)           # screen
    ic.disc(22, 9, 3, YELLOW)            # sun
    ic.disc(9, 27, 10, GREEN)            # hills
    ic.disc(25, 30, 11, DGREEN)
    ic.frame(3, 4, 28, 20, BLACK)
    ic.rect(0, 21, 31, 31, None)         # trim the hills below the screen
    ic.rect(1, 21, 30, 22, LGREY)        # bottom of the casing
    ic.frame(0, 1, 31, 23, BLACK)
    ic.put(27, 22, GREEN)                # power light
    ic.box(11, 23, 20, 26, DGREY)        # neck
    ic.box(5, 26, 26, 29, LGREY)         # foot
    ic.rect(6, 27, 25, 27, WHITE)
    ic.frame(5, 26, 26, 29, BLACK)
    return ic


def draw_drive():
    """A hard disk box seen from slightly above, with an activity light."""
    ic = Icon()
    front = [(1, 14), (25, 14), (25, 28), (1, 28)]
    top = [(1, 14), (7, 8), (31, 8), (25, 14)]
    side = [(25, 14), (31, 8), (31, 22), (25, 28)]
    ic.polygon(top, WHITE)
    ic.polygon(side, DGREY)
    ic.polygon(front, LGREY)
    ic.polyline([(1, 14), (7, 8), (31, 8), (31, 22), (25, 28), (1, 28)], BLACK)
    ic.line(1, 14, 25, 14, BLACK)
    ic.line(25, 14, 31, 8, BLACK)
    ic.line(25, 14, 25, 28, BLACK)
    # front panel: grille lines and a green light
    for y in (18, 21, 24):
        ic.line(4, y, 15, y, DGREY)
    ic.box(19, 19, 22, 22, GREEN)
    ic.put(20, 20, WHITE)
    return ic


def draw_processor():
    """A square chip with pins on every side and a gold die."""
    ic = Icon()
    for p in (8, 11, 14, 17, 20, 23):            # pins (2 px wide)
        ic.rect(p, 1, p + 1, 6, LGREY)
        ic.rect(p, 25, p + 1, 30, LGREY)
        ic.rect(1, p, 6, p + 1, LGREY)
        ic.rect(25, p, 30, p + 1, LGREY)
    ic.outline()
    ic.box(5, 5, 26, 26, DGREY)                  # package
    ic.rect(6, 6, 25, 6, LGREY)                  # lit top edge
    ic.rect(6, 6, 6, 25, LGREY)
    ic.box(10, 10, 21, 21, YELLOW)               # die
    ic.rect(12, 12, 19, 19, DYELLOW)
    ic.rect(13, 13, 18, 18, YELLOW)
    ic.put(8, 8, WHITE)                          # pin-1 mark
    return ic


def draw_cdrom():
    """A shiny disc with a rainbow sheen and a centre hole."""
    ic = Icon()
    cx = cy = 16
    ic.disc(cx, cy, 15.5, BLACK)
    ic.disc(cx, cy, 14.5, LGREY)
    # coloured sheen in two opposite wedges
    for y in range(ICON_SIZE):
        for x in range(ICON_SIZE):
            if ic.get(x, y) != LGREY:
                continue
            a = math.degrees(math.atan2(y + 0.5 - cy, x + 0.5 - cx)) % 180
            if 20 <= a < 35:
                ic.put(x, y, CYAN)
            elif 35 <= a < 50:
                ic.put(x, y, WHITE)
            elif 50 <= a < 65:
                ic.put(x, y, MAGENTA)
            elif 65 <= a < 75:
                ic.put(x, y, YELLOW)
    ic.disc(cx, cy, 6, DGREY)                    # hub
    ic.disc(cx, cy, 5, WHITE)
    ic.disc(cx, cy, 3, BLACK)
    ic.clear_disc(cx, cy, 2.2)                   # hole
    return ic


def draw_os():
    """An application window with a title bar and four panes."""
    ic = Icon()
    ic.box(0, 2, 31, 29, LGREY)                  # frame
    ic.rect(1, 3, 30, 8, DBLUE)                  # title bar
    ic.rect(2, 5, 12, 6, WHITE)                  # caption text
    ic.box(25, 4, 29, 7, LGREY)                  # close button
    ic.line(26, 5, 28, 6, BLACK)
    ic.line(0, 9, 31, 9, BLACK)
    panes = [(3, 11, 14, 18, RED), (17, 11, 28, 18, GREEN),
             (3, 21, 14, 27, BLUE), (17, 21, 28, 27, YELLOW)]
    for x0, y0, x1, y1, c in panes:
        ic.box(x0, y0, x1, y1, c)
        ic.put(x0 + 2, y0 + 2, WHITE)            # glint
        ic.put(x0 + 3, y0 + 2, WHITE)
        ic.put(x0 + 2, y0 + 3, WHITE)
    return ic


def draw_tarrow():
    """The program's icon: a magnifying glass over a chip."""
    ic = Icon()
    # the chip underneath
    for p in (6, 10, 14, 18):
        ic.rect(p, 4, p + 1, 27, LGREY)
        ic.rect(1, p + 3, 24, p + 4, LGREY)
    ic.outline()
    ic.box(4, 7, 21, 24, DGREY)
    ic.box(8, 11, 17, 20, YELLOW)
    ic.rect(10, 13, 15, 18, DYELLOW)
    # what the lens shows: the same picture, seen through blue-green glass
    glass = {None: CYAN, BLACK: DBLUE, DGREY: DCYAN, LGREY: WHITE,
             YELLOW: WHITE, DYELLOW: CYAN}
    lcx, lcy, lr = 14, 14, 8.5
    for y in range(ICON_SIZE):
        for x in range(ICON_SIZE):
            if (x + 0.5 - lcx) ** 2 + (y + 0.5 - lcy) ** 2 <= lr * lr:
                ic.put(x, y, glass[ic.get(x, y)])
    # handle, then the rim on top of it
    ic.thick_line(21, 21, 28, 28, 6, BLACK)
    ic.thick_line(21, 21, 28, 28, 4, DRED)
    ic.line(23, 22, 28, 27, RED)
    ic.ring(lcx, lcy, 11, 8.5, BLACK)
    ic.ring(lcx, lcy, 10, 9, DGREY)
    ic.ring(lcx, lcy, 10, 8.5, LGREY)
    ic.ring(lcx, lcy, 11, 10, BLACK)
    # glint on the glass
    ic.line(9, 10, 11, 8, WHITE)
    ic.put(9, 9, WHITE)
    return ic


ICONS = [
    ("network.ico", draw_network),
    ("video.ico", draw_video),
    ("titles.ico", draw_titles),
    ("memory.ico", draw_memory),
    ("directx.ico", draw_directx),
    ("display.ico", draw_display),
    ("drive.ico", draw_drive),
    ("processor.ico", draw_processor),
    ("cdrom.ico", draw_cdrom),
    ("os.ico", draw_os),
    ("tarrow.ico", draw_tarrow),
]
