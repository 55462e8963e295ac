#!/usr/bin/env python3
"""Turns an X window dump (Xvfb's frame buffer file, 24 or 32 bits per
pixel) into a PNG, with nothing but the standard library.

usage: windows_screen_photo.py SCREEN.xwd OUT.png"""
import struct
import sys
import zlib


def main(source, target):
    data = open(source, "rb").read()
    fields = struct.unpack(">25I", data[:100])
    header_size, byte_order = fields[0], fields[7]
    bits_per_pixel, bytes_per_line = fields[11], fields[12]
    width, height, ncolors = fields[4], fields[5], fields[19]
    if bits_per_pixel not in (24, 32):
        sys.exit(f"{source}: {bits_per_pixel} bits per pixel, not a true-colour screen")
    step = bits_per_pixel // 8
    at = header_size + ncolors * 12
    rows = []
    for y in range(height):
        line = data[at + y * bytes_per_line: at + y * bytes_per_line + width * step]
        row = bytearray(b"\0")
        for x in range(0, width * step, step):
            b, g, r = (line[x], line[x + 1], line[x + 2]) if byte_order == 0 else \
                (line[x + step - 1], line[x + step - 2], line[x + step - 3])
            row += bytes((r, g, b))
        rows.append(bytes(row))

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + \
            struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(b"".join(rows), 9)) + chunk(b"IEND", b"")
    open(target, "wb").write(png)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
