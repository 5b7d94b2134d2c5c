#!/usr/bin/env python3
"""Draw Tarrow's artwork and write it into resources/art/.

Writes:
  banner.bmp   132 x 66, 24-bit uncompressed BMP shown at the top of the main window
  *.ico        eleven 32 x 32, 16-colour icons (one image each) for the
               category list and the program itself

Everything is drawn here from simple primitives; the script needs only the
Python standard library. Run it from anywhere:  python3 scripts/draw-artwork.py
After writing, the files are read back and their headers checked.
"""

import math
import os
import struct
import sys

ART_DIR = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "art")

# ---------------------------------------------------------------------------
# 16-colour icons
# ---------------------------------------------------------------------------

# The standard 16-colour Windows palette, in index order, as (R, G, B).
PALETTE = [
    (0x00, 0x00, 0x00),  # 0  black
    (0x80, 0x00, 0x00),  # 1  dark red
    (0x00, 0x80, 0x00),  # 2  dark green
    (0x80, 0x80, 0x00),  # 3  dark yellow
    (0x00, 0x00, 0x80),  # 4  dark blue
    (0x80, 0x00, 0x80),  # 5  dark magenta
    (0x00, 0x80, 0x80),  # 6  dark cyan
    (0xC0, 0xC0, 0xC0),  # 7  light grey
    (0x80, 0x80, 0x80),  # 8  dark grey
    (0xFF, 0x00, 0x00),  # 9  red
    (0x00, 0xFF, 0x00),  # 10 green
    (0xFF, 0xFF, 0x00),  # 11 yellow
    (0x00, 0x00, 0xFF),  # 12 blue
    (0xFF, 0x00, 0xFF),  # 13 magenta
    (0x00, 0xFF, 0xFF),  # 14 cyan
    (0xFF, 0xFF, 0xFF),  # 15 white
]
(BLACK, DRED, DGREEN, DYELLOW, DBLUE, DMAGENTA, DCYAN, LGREY,
 DGREY, RED, GREEN, YELLOW, BLUE, MAGENTA, CYAN, WHITE) = range(16)

ICON_SIZE = 32


class Icon:
    """A 32 x 32 grid of palette indices; None marks a transparent pixel.

    Coordinates are (x, y) with y growing downwards; rectangle corners are
    inclusive.
    """

    def __init__(self):
        self.px = [[None] * ICON_SIZE for _ in range(ICON_SIZE)]

    def put(self, x, y, c):
        if 0 <= x < ICON_SIZE and 0 <= y < ICON_SIZE:
            self.px[y][x] = c

    def get(self, x, y):
        if 0 <= x < ICON_SIZE and 0 <= y < ICON_SIZE:
            return self.px[y][x]
        return None

    def rect(self, x0, y0, x1, y1, c):
        """Filled rectangle."""
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.put(x, y, c)

    def frame(self, x0, y0, x1, y1, c):
        """One-pixel rectangle outline."""
        for x in range(x0, x1 + 1):
            self.put(x, y0, c)
            self.put(x, y1, c)
        for y in range(y0, y1 + 1):
            self.put(x0, y, c)
            self.put(x1, y, c)

    def box(self, x0, y0, x1, y1, fill, edge=BLACK):
        """Filled rectangle with a one-pixel outline."""
        self.rect(x0, y0, x1, y1, fill)
        self.frame(x0, y0, x1, y1, edge)

    def line(self, x0, y0, x1, y1, c):
        """One-pixel line (Bresenham)."""
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        err = dx + dy
        while True:
            self.put(x0, y0, c)
            if x0 == x1 and y0 == y1:
                break
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def thick_line(self, x0, y0, x1, y1, width, c):
        """Line of the given width with round ends: every pixel whose centre
        lies within width/2 of the segment."""
        half = width / 2.0
        vx, vy = x1 - x0, y1 - y0
        length2 = vx * vx + vy * vy or 1
        for y in range(ICON_SIZE):
            for x in range(ICON_SIZE):
                px, py = x + 0.5 - (x0 + 0.5), y + 0.5 - (y0 + 0.5)
                t = max(0.0, min(1.0, (px * vx + py * vy) / length2))
                ex, ey = px - t * vx, py - t * vy
                if ex * ex + ey * ey <= half * half:
                    self.put(x, y, c)

    def disc(self, cx, cy, r, c):
        """Filled circle centred on the point (cx, cy) in pixel-edge units,
        so (16, 16) is the exact middle of the icon."""
        for y in range(ICON_SIZE):
            for x in range(ICON_SIZE):
                if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r:
                    self.put(x, y, c)

    def ring(self, cx, cy, r_out, r_in, c):
        """Annulus between two radii (same centre convention as disc)."""
        for y in range(ICON_SIZE):
            for x in range(ICON_SIZE):
                d2 = (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2
                if r_in * r_in < d2 <= r_out * r_out:
                    self.put(x, y, c)

    def clear_disc(self, cx, cy, r):
        """Make a round hole (transparent pixels)."""
        self.disc(cx, cy, r, None)

    def polygon(self, points, c):
        """Filled polygon: every pixel whose centre is inside (even-odd)."""
        n = len(points)
        for y in range(ICON_SIZE):
            cy = y + 0.5
            for x in range(ICON_SIZE):
                cx = x + 0.5
                inside = False
                for i in range(n):
                    ax, ay = points[i]
                    bx, by = points[(i + 1) % n]
                    if (ay > cy) != (by > cy):
                        xi = ax + (cy - ay) * (bx - ax) / (by - ay)
                        if cx < xi:
                            inside = not inside
                if inside:
                    self.put(x, y, c)

    def polyline(self, points, c, closed=True):
        """Outline through the given integer points."""
        n = len(points)
        for i in range(n if closed else n - 1):
            (ax, ay), (bx, by) = points[i], points[(i + 1) % n]
            self.line(ax, ay, bx, by, c)

    def outline(self, c=BLACK, diagonal=True):
        """Give every coloured shape a one-pixel border: transparent pixels
        next to a non-black pixel become c."""
        near = [(-1, 0), (1, 0), (0, -1), (0, 1)]
        if diagonal:
            near += [(-1, -1), (1, -1), (-1, 1), (1, 1)]
        marks = []
        for y in range(ICON_SIZE):
            for x in range(ICON_SIZE):
                if self.px[y][x] is not None:
                    continue
                for dx, dy in near:
                    v = self.get(x + dx, y + dy)
                    if v is not None and v != BLACK:
                        marks.append((x, y))
                        break
        for x, y in marks:
            self.px[y][x] = c


def ico_bytes(icon):
    """Encode one Icon as a .ico file holding a single 32 x 32, 4 bpp image."""
    size = ICON_SIZE
    xor_stride = ((size * 4 + 31) // 32) * 4  # bytes per 4 bpp row
    and_stride = ((size + 31) // 32) * 4      # bytes per 1 bpp row
    xor, mask = bytearray(), bytearray()
    for y in range(size - 1, -1, -1):         # rows are stored bottom-up
        row = icon.px[y]
        xrow = bytearray(xor_stride)
        mrow = bytearray(and_stride)
        for x, v in enumerate(row):
            index = BLACK if v is None else v
            if x % 2 == 0:
                xrow[x // 2] |= index << 4
            else:
                xrow[x // 2] |= index
            if v is None:                     # mask bit 1 = transparent
                mrow[x // 8] |= 0x80 >> (x % 8)
        xor += xrow
        mask += mrow

    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    image_size = len(xor) + len(mask)
    header = struct.pack(
        "<IiiHHIIiiII",
        40,          # biSize
        size,        # biWidth
        size * 2,    # biHeight: XOR bitmap plus AND mask
        1,           # biPlanes
        4,           # biBitCount
        0,           # biCompression = BI_RGB
        image_size,  # biSizeImage
        0, 0,        # pixels per metre
        16,          # biClrUsed
        0,           # biClrImportant
    )
    image = header + palette + bytes(xor) + bytes(mask)
    icondir = struct.pack("<HHH", 0, 1, 1)  # reserved, type = icon, count
    entry = struct.pack(
        "<BBBBHHII",
        size, size,   # bWidth, bHeight
        16,           # bColorCount
        0,            # bReserved
        1,            # wPlanes
        4,            # wBitCount
        len(image),   # dwBytesInRes
        6 + 16,       # dwImageOffset: right after ICONDIR and one entry
    )
    return icondir + entry + image


# --- the icons -------------------------------------------------------------

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

# ---------------------------------------------------------------------------
# The banner (24-bit colour)
# ---------------------------------------------------------------------------

BANNER_W, BANNER_H = 132, 66
# The banner's frame is 41 dialog units tall; inside its border and sunken edge that leaves
# 61 to 63 pixel rows at 96 DPI, depending on how the dialog font's height rounds. The
# control centres the bitmap and clips it there, so the picture keeps its edges inside rows
# 3 to 63, and the rows beyond continue those edges (seen only on larger frames, at 120 DPI
# and above, as a slightly broader edge).
BANNER_TOP, BANNER_BOTTOM = 3, 63

# Hand-drawn 5 x 7 letters: '#' is ink, '.' is paper.
FONT_5X7 = {
    "T": ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."],
    "a": [".....", ".....", ".###.", "....#", ".####", "#...#", ".####"],
    "r": [".....", ".....", "#.##.", "##..#", "#....", "#....", "#...."],
    "o": [".....", ".....", ".###.", "#...#", "#...#", "#...#", ".###."],
    "w": [".....", ".....", "#...#", "#...#", "#.#.#", "#.#.#", ".#.#."],
    "A": [".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "C": [".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."],
    "D": ["####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."],
    "G": [".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".###."],
    "I": [".###.", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."],
    "N": ["#...#", "##..#", "#.#.#", "#.#.#", "#..##", "#...#", "#...#"],
    "O": [".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "S": [".####", "#....", "#....", ".###.", "....#", "....#", "####."],
    " ": [".....", ".....", ".....", ".....", ".....", ".....", "....."],
}

# Letter pairs that sit closer together (in font pixels) so the gaps look even.
KERNING = {"Ta": -1}


def mix(a, b, t):
    """Blend two RGB colours; t = 0 gives a, t = 1 gives b."""
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


class Picture:
    """A true-colour image; pixels are (R, G, B) tuples, y grows downwards."""

    def __init__(self, w, h, colour=(0, 0, 0)):
        self.w, self.h = w, h
        self.px = [[colour] * w for _ in range(h)]

    def put(self, x, y, c, alpha=1.0):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = mix(self.px[y][x], c, alpha) if alpha < 1 else c

    def rect(self, x0, y0, x1, y1, c, alpha=1.0):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.put(x, y, c, alpha)

    def vgradient(self, x0, y0, x1, y1, top, bottom):
        """Rectangle shaded from one colour at the top to another at the bottom."""
        for y in range(y0, y1 + 1):
            c = mix(top, bottom, (y - y0) / max(1, y1 - y0))
            for x in range(x0, x1 + 1):
                self.put(x, y, c)

    def rounded(self, x0, y0, x1, y1, c):
        """Filled rectangle with its corner pixels cut off."""
        self.rect(x0 + 1, y0, x1 - 1, y1, c)
        self.rect(x0, y0 + 1, x1, y1 - 1, c)

    def line(self, x0, y0, x1, y1, c, alpha=1.0):
        """One-pixel line (Bresenham)."""
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        err = dx + dy
        while True:
            self.put(x0, y0, c, alpha)
            if x0 == x1 and y0 == y1:
                break
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def glow(self, cx, cy, radius, c, strength):
        """Soft round light that fades out towards the radius."""
        for y in range(max(0, int(cy - radius)), min(self.h, int(cy + radius) + 1)):
            for x in range(max(0, int(cx - radius)), min(self.w, int(cx + radius) + 1)):
                d = math.hypot(x - cx, y - cy) / radius
                if d < 1:
                    self.put(x, y, c, strength * (1 - d) ** 2)

    def text(self, x, y, s, scale, shade, shadow=None):
        """Draw s in the 5 x 7 font. shade(row) gives the colour of each ink
        row (0 .. 7*scale-1); shadow, if given, is drawn one step down-right."""
        for pass_ in ("shadow", "ink"):
            if pass_ == "shadow" and shadow is None:
                continue
            cx = x
            for i, ch in enumerate(s):
                glyph = FONT_5X7[ch]
                for gy, row in enumerate(glyph):
                    for gx, bit in enumerate(row):
                        if bit != "#":
                            continue
                        for sy in range(scale):
                            for sx in range(scale):
                                px, py = cx + gx * scale + sx, y + gy * scale + sy
                                if pass_ == "shadow":
                                    self.put(px + 1, py + 1, shadow, 0.7)
                                else:
                                    self.put(px, py, shade(gy * scale + sy))
                cx += (6 + KERNING.get(s[i:i + 2], 0)) * scale
        return cx - scale  # x just past the last letter

    def text_width(self, s, scale):
        kern = sum(KERNING.get(s[i:i + 2], 0) for i in range(len(s) - 1))
        return (len(s) * 6 - 1 + kern) * scale


def draw_banner():
    pic = Picture(BANNER_W, BANNER_H)
    # background: deep blue shading to teal, with a light bevel at the edges
    pic.vgradient(0, 0, BANNER_W - 1, BANNER_H - 1, (18, 30, 70), (14, 84, 118))
    pic.glow(27, 31, 34, (90, 170, 230), 0.45)
    pic.rect(0, 0, BANNER_W - 1, BANNER_TOP, (120, 170, 220))
    pic.rect(0, BANNER_BOTTOM, BANNER_W - 1, BANNER_H - 1, (6, 30, 50))
    # faint dotted grid on the right-hand side, like a circuit board
    for y in range(BANNER_TOP + 1, BANNER_BOTTOM - 2, 6):
        for x in range(54, BANNER_W - 3, 6):
            pic.put(x, y, (140, 200, 240), 0.12)

    # monitor glyph
    ox, oy = 8, 11
    pic.rounded(ox - 1, oy - 1, ox + 36, oy + 28, (10, 14, 24))       # outline
    for y in range(oy, oy + 28):                                      # casing
        shade = mix((226, 230, 236), (150, 156, 168), (y - oy) / 27)
        for x in range(ox, ox + 36):
            pic.put(x, y, shade)
    pic.rect(ox, oy, ox + 35, oy, (250, 252, 255))                    # top highlight
    sx0, sy0, sx1, sy1 = ox + 3, oy + 3, ox + 32, oy + 23
    pic.rect(sx0 - 1, sy0 - 1, sx1 + 1, sy1 + 1, (70, 76, 88))        # screen recess
    pic.vgradient(sx0, sy0, sx1, sy1, (8, 34, 26), (4, 18, 14))       # screen
    for x in range(sx0 + 3, sx1, 5):                                  # screen grid
        pic.line(x, sy0, x, sy1, (40, 110, 80), 0.35)
    for y in range(sy0 + 2, sy1, 5):
        pic.line(sx0, y, sx1, y, (40, 110, 80), 0.35)
    # a pulse trace with a soft glow
    base = sy0 + 12
    trace = [(sx0, base), (sx0 + 8, base), (sx0 + 10, base - 4), (sx0 + 12, base + 4),
             (sx0 + 14, base - 9), (sx0 + 16, base + 6), (sx0 + 18, base - 2),
             (sx0 + 20, base), (sx1, base)]
    for (ax, ay), (bx, by) in zip(trace, trace[1:]):
        for dx, dy in ((-1, 0), (1, 0), (0, -1), (0, 1)):
            pic.line(ax + dx, ay + dy, bx + dx, by + dy, (60, 220, 120), 0.3)
    for (ax, ay), (bx, by) in zip(trace, trace[1:]):
        pic.line(ax, ay, bx, by, (150, 255, 170))
    # glass reflection across the upper-left of the screen
    for i in range(10):
        pic.line(sx0 + i, sy0, sx0, sy0 + i, (255, 255, 255), 0.10)
    pic.rect(ox + 30, oy + 25, ox + 31, oy + 25, (60, 230, 90))       # power light
    # stand
    pic.rect(ox + 13, oy + 29, ox + 22, oy + 33, (10, 14, 24))
    pic.vgradient(ox + 14, oy + 29, ox + 21, oy + 32, (120, 126, 138), (90, 96, 108))
    pic.rounded(ox + 5, oy + 33, ox + 30, oy + 38, (10, 14, 24))
    pic.vgradient(ox + 6, oy + 34, ox + 29, oy + 37, (214, 218, 226), (140, 146, 158))

    # the name, in large letters with a drop shadow and a metallic shade
    tx = 54
    name_w = pic.text_width("Tarrow", 2)
    ty = 17
    top, mid, bottom = (255, 255, 255), (200, 232, 255), (120, 190, 240)
    shade = lambda r: mix(top, mid, r / 7) if r < 7 else mix(mid, bottom, (r - 7) / 6)
    pic.text(tx, ty, "Tarrow", 2, shade, shadow=(0, 8, 24))
    # a thin rule that fades out to the right
    for x in range(tx, tx + name_w + 4):
        pic.put(x, ty + 18, (110, 200, 255), 0.9 * (1 - (x - tx) / (name_w + 6)))
    # the subtitle
    sub = "DIAGNOSTICS"
    sub_x = tx + (name_w - pic.text_width(sub, 1)) // 2
    pic.text(sub_x, ty + 23, sub, 1, lambda r: (150, 215, 245), shadow=(0, 10, 28))
    return pic


def bmp_bytes(pic):
    """Encode a Picture as an uncompressed 24-bit BMP (rows bottom-up, BGR,
    each row padded to a multiple of 4 bytes)."""
    stride = (pic.w * 3 + 3) & ~3
    rows = bytearray()
    for y in range(pic.h - 1, -1, -1):
        row = bytearray()
        for r, g, b in pic.px[y]:
            row += bytes((b, g, r))
        row += bytes(stride - len(row))
        rows += row
    info = struct.pack("<IiiHHIIiiII", 40, pic.w, pic.h, 1, 24, 0, len(rows),
                       2835, 2835, 0, 0)
    offset = 14 + len(info)
    head = struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset)
    return head + info + bytes(rows)


# ---------------------------------------------------------------------------
# Read-back checks
# ---------------------------------------------------------------------------

def check_ico(data, name):
    """Raise ValueError unless data is a single 32 x 32, 4 bpp icon laid out
    as ico_bytes() promises."""
    def need(cond, what):
        if not cond:
            raise ValueError("%s: %s" % (name, what))
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    need((reserved, kind, count) == (0, 1, 1), "ICONDIR must describe one icon")
    w, h, colours, res, planes, bits, size, offset = struct.unpack_from("<BBBBHHII", data, 6)
    need((w, h, colours, res, planes, bits) == (32, 32, 16, 0, 1, 4), "bad ICONDIRENTRY")
    need(offset == 22 and offset + size == len(data), "bad image offset or size")
    (bi_size, bi_w, bi_h, bi_planes, bi_bits, bi_comp,
     bi_image) = struct.unpack_from("<IiiHHII", data, offset)
    need((bi_size, bi_w, bi_h, bi_planes, bi_bits, bi_comp) == (40, 32, 64, 1, 4, 0),
         "bad BITMAPINFOHEADER")
    need(size == 40 + 16 * 4 + 32 * 16 + 32 * 4, "image has the wrong length")
    need(bi_image == 32 * 16 + 32 * 4, "biSizeImage does not match")
    pal = data[offset + 40: offset + 40 + 64]
    for i, (r, g, b) in enumerate(PALETTE):
        need(pal[i * 4: i * 4 + 4] == bytes((b, g, r, 0)), "palette entry %d" % i)
    xor = data[offset + 104: offset + 104 + 512]
    mask = data[offset + 616:]
    opaque = 0
    for row in range(32):
        for x in range(32):
            v = (xor[row * 16 + x // 2] >> (4 if x % 2 == 0 else 0)) & 15
            transparent = mask[row * 4 + x // 8] & (0x80 >> (x % 8))
            need(not transparent or v == 0, "transparent pixel must be black in XOR")
            opaque += not transparent
    need(opaque > 200, "icon is nearly empty")


def check_bmp(data, name):
    def need(cond, what):
        if not cond:
            raise ValueError("%s: %s" % (name, what))
    magic, file_size, _, _, offset = struct.unpack_from("<2sIHHI", data, 0)
    need(magic == b"BM" and file_size == len(data) and offset == 54, "bad file header")
    bi_size, w, h, planes, bits, comp, image = struct.unpack_from("<IiiHHII", data, 14)
    need((bi_size, w, h, planes, bits, comp) == (40, BANNER_W, BANNER_H, 1, 24, 0),
         "bad BITMAPINFOHEADER")
    stride = (w * 3 + 3) & ~3
    need(image == stride * h and len(data) == 54 + image, "pixel data has the wrong length")


def main():
    os.makedirs(ART_DIR, exist_ok=True)
    written = []
    path = os.path.join(ART_DIR, "banner.bmp")
    with open(path, "wb") as f:
        f.write(bmp_bytes(draw_banner()))
    written.append(path)
    for name, draw in ICONS:
        path = os.path.join(ART_DIR, name)
        with open(path, "wb") as f:
            f.write(ico_bytes(draw()))
        written.append(path)

    for path in written:
        with open(path, "rb") as f:
            data = f.read()
        name = os.path.basename(path)
        (check_bmp if name.endswith(".bmp") else check_ico)(data, name)
        print("%-14s %6d bytes" % (name, len(data)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
