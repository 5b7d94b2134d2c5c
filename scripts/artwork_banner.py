"""Tarrow's banner: a true-colour picture with its drawing primitives and hand-drawn 5 x 7
letters, the banner drawn on it, and its encoding as a 24-bit BMP."""

import math
import struct

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
