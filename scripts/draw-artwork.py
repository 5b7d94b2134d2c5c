#!/usr/bin/env python3
"""Draw Tarrow's artwork and write it into resources/art/.

Writes:
  banner.bmp   132 x 66, 24-bit uncompressed BMP shown at the top of the main window
  *.ico        eleven 32 x 32, 16-colour icons (one image each) for the
               category list and the program itself

Everything is drawn from simple primitives, in the modules beside this script:
artwork_icon_canvas.py (the 16-colour canvas and .ico encoding), artwork_icons.py
(the icons) and artwork_banner.py (the banner and .bmp encoding). It needs only the
Python standard library. Run it from anywhere:  python3 scripts/draw-artwork.py
After writing, the files are read back and their headers checked.
"""

import os
import struct
import sys

# The drawings live in modules beside this script; find them from whatever folder it is run.
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from artwork_banner import BANNER_H, BANNER_W, bmp_bytes, draw_banner  # noqa: E402
from artwork_icon_canvas import PALETTE, ico_bytes  # noqa: E402
from artwork_icons import ICONS  # noqa: E402

ART_DIR = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "art")

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
