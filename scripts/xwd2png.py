#!/usr/bin/env python3
"""Converts an X window dump (xwd -root, 24 or 32 bits, ZPixmap) to a PNG file,
optionally cropped to a rectangle, using only the standard library."""
import struct
import sys
import zlib


def read_xwd(path):
    data = open(path, "rb").read()
    fields = struct.unpack(">25I", data[:100])
    header_size, _version, pixmap_format, depth, width, height = fields[:6]
    byte_order, bits_per_pixel, bytes_per_line = fields[7], fields[11], fields[12]
    ncolors = fields[19]
    if pixmap_format != 2 or bits_per_pixel not in (24, 32):
        raise SystemExit("xwd2png: only 24/32-bit ZPixmap dumps are handled (depth %d)" % depth)
    offset = header_size + ncolors * 12
    return data[offset:], width, height, bytes_per_line, bits_per_pixel // 8, byte_order


def to_png(pixels, width, height, stride, step, byte_order, box):
    left, top, right, bottom = box
    rows = []
    for y in range(top, bottom):
        line = pixels[y * stride:(y + 1) * stride]
        out = bytearray(b"\0")
        for x in range(left, right):
            p = line[x * step:x * step + step]
            # LSB-first dumps hold B, G, R; MSB-first hold (pad,) R, G, B.
            if byte_order == 0:
                out += bytes((p[2], p[1], p[0]))
            else:
                out += bytes(p[-3:])
        rows.append(bytes(out))

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

    head = struct.pack(">IIBBBBB", right - left, bottom - top, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", head) +
            chunk(b"IDAT", zlib.compress(b"".join(rows), 9)) + chunk(b"IEND", b""))


def main():
    if len(sys.argv) not in (3, 7):
        raise SystemExit("usage: xwd2png.py IN.xwd OUT.png [left top right bottom]")
    pixels, width, height, stride, step, order = read_xwd(sys.argv[1])
    box = (0, 0, width, height)
    if len(sys.argv) == 7:
        l, t, r, b = (int(v) for v in sys.argv[3:7])
        box = (max(0, l), max(0, t), min(width, r), min(height, b))
    open(sys.argv[2], "wb").write(to_png(pixels, width, height, stride, step, order, box))


if __name__ == "__main__":
    main()
