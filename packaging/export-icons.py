#!/usr/bin/env python3
"""Exports the program's icon to the hicolor icon theme: the 24-bit images of its icon group
(res/lullwatch.ico: 16, 32 and 48 pixels) as they are, and larger renderings of the same drawing (a
crescent moon on a night-blue disc, scripts/make-assets.py) for the sizes the icon group lacks, drawn with
4x4 samples per pixel so that their edges are smooth.

  export-icons.py <lullwatch.ico> <make-assets.py> <output folder> <name>

writes <output folder>/<n>x<n>/apps/<name>.png for every size. Only the Python standard library.
"""
import importlib.util
import os
import struct
import sys
import zlib

LARGER = (64, 128, 256)
COLOURS = [(0, 0, 0), (28, 40, 96), (250, 236, 170)]


def png(size, rgba_rows):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    raw = b"".join(b"\0" + bytes(row) for row in rgba_rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def icon_images(path):
    """The 24-bit images of the icon group: {size: rows of RGBA bytes, top first}."""
    data = open(path, "rb").read()
    _, kind, count = struct.unpack_from("<HHH", data, 0)
    if kind != 1:
        raise SystemExit(path + ": not an icon group")
    images = {}
    for i in range(count):
        width, height, _, _, _, bpp, _, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        size = width or 256
        if bpp != 24 or width != height:
            continue
        header_size = struct.unpack_from("<I", data, offset)[0]
        pixels = offset + header_size
        stride = (size * 3 + 3) // 4 * 4
        mask = pixels + stride * size
        mask_stride = (size + 31) // 32 * 4
        rows = []
        for y in range(size - 1, -1, -1):  # the image is stored bottom-up
            row = bytearray()
            for x in range(size):
                b, g, r = data[pixels + y * stride + 3 * x:pixels + y * stride + 3 * x + 3]
                transparent = data[mask + y * mask_stride + x // 8] & (0x80 >> (x % 8))
                row += bytes((r, g, b, 0 if transparent else 255))
            rows.append(row)
        images[size] = rows
    return images


def rendering(icon_pixel, size, samples=4):
    rows = []
    for y in range(size):
        row = bytearray()
        for x in range(size):
            r = g = b = a = 0
            for sy in range(samples):
                for sx in range(samples):
                    # Sample points in the pixel, in the drawing's coordinates of a 'size' pixel icon.
                    i = icon_pixel(size, x - 0.5 + (sx + 0.5) / samples, y - 0.5 + (sy + 0.5) / samples)
                    if i:
                        cr, cg, cb = COLOURS[i]
                        r, g, b, a = r + cr, g + cg, b + cb, a + 1
            row += bytes((r // a, g // a, b // a, 255 * a // (samples * samples))) if a else bytes(4)
        rows.append(row)
    return rows


def main():
    ico, assets, out, name = sys.argv[1:5]
    found = importlib.util.spec_from_file_location("make_assets", assets)
    module = importlib.util.module_from_spec(found)
    found.loader.exec_module(module)
    images = icon_images(ico)
    for size in LARGER:
        images.setdefault(size, rendering(module.icon_pixel, size))
    for size, rows in sorted(images.items()):
        folder = "%s/%dx%d/apps" % (out, size, size)
        os.makedirs(folder, exist_ok=True)
        with open("%s/%s.png" % (folder, name), "wb") as f:
            f.write(png(size, rows))


if __name__ == "__main__":
    main()
