"""The 16-colour icon canvas for Tarrow's artwork: the standard Windows palette, a 32 x 32
grid of palette indices with the shapes the icons are drawn from, and its .ico encoding."""

import struct

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
