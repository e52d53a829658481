#!/usr/bin/env python3
"""Makes Lullwatch's generated assets from nothing but arithmetic (no source images or recordings).

  res/background.bmp          the main window's background: a calm night scene, 234x320, 24-bit BMP.
                              Its left part carries the step column (digits 5 to 1 at the heights of the
                              step buttons) and a light track behind the level meter.
  res/lullwatch.ico            the program's icon group: a crescent moon on a night-blue disc, at 48, 32 and
                              16 pixels, each with 4, 8 and 24 bits per pixel.
  profiles/sounds/demo-room.wav  the demo profile's room: 60 s at 8 kHz, unsigned 8-bit mono. A quiet room
                              (digital silence with a faint dither and a few soft rustles) and, from 45 s,
                              a synthesised child's cry (a harmonic voice with vibrato in sobbing bursts).

Run from the repository root: python3 scripts/make-assets.py. The output is the same on every run.
"""
import math
import random
import struct
import wave

W, H = 234, 320

DIGITS = {  # 5x7 glyphs, one string per row
    "1": ["..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."],
    "2": [".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"],
    "3": ["####.", "....#", "....#", ".###.", "....#", "....#", "####."],
    "4": ["...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."],
    "5": ["#####", "#....", "####.", "....#", "....#", "#...#", ".###."],
}


def lerp(a, b, t):
    return tuple(int(round(x + (y - x) * t)) for x, y in zip(a, b))


def background():
    px = [[(0, 0, 0)] * W for _ in range(H)]
    top, bottom = (8, 14, 44), (40, 58, 110)
    for y in range(H):
        for x in range(W):
            px[y][x] = lerp(top, bottom, y / (H - 1))
    rnd = random.Random(1234)
    for _ in range(90):  # stars, right of the step column
        x, y = rnd.randrange(80, W), rnd.randrange(0, 220)
        b = rnd.randrange(150, 256)
        px[y][x] = (b, b, min(255, b + 20))
    cx, cy, r = 180, 52, 20  # crescent moon
    for y in range(cy - r, cy + r + 1):
        for x in range(cx - r, cx + r + 1):
            if (x - cx) ** 2 + (y - cy) ** 2 <= r * r and (x - cx + 9) ** 2 + (y - cy + 4) ** 2 > r * r:
                px[y][x] = (250, 238, 180)
    for x in range(W):  # two rolling hills
        h1 = int(250 + 14 * math.sin(x / 37.0) + 6 * math.sin(x / 11.0))
        h2 = int(275 + 10 * math.sin(x / 23.0 + 1.3))
        for y in range(h1, H):
            px[y][x] = (18, 40, 46)
        for y in range(h2, H):
            px[y][x] = (10, 26, 30)
    for y in range(0, 226):  # the step column and the meter's track: a lighter panel
        for x in range(0, 72):
            r_, g_, b_ = px[y][x]
            px[y][x] = (r_ + (90 - r_) // 3, g_ + (110 - g_) // 3, b_ + (160 - b_) // 3)
    # Digits 5 (top) to 1 (bottom) at the heights of the step buttons, between the buttons and the meter.
    for i, d in enumerate("54321"):
        y0 = (10, 55, 96, 137, 177)[i] - 7
        for gy, row in enumerate(DIGITS[d]):
            for gx, c in enumerate(row):
                if c == "#":
                    for dy in range(2):
                        for dx in range(2):
                            px[y0 + gy * 2 + dy][33 + gx * 2 + dx] = (235, 235, 250)
    rows = []
    for y in range(H - 1, -1, -1):  # bottom-up, BGR, rows padded to 4 bytes
        row = b"".join(struct.pack("BBB", b, g, r) for (r, g, b) in px[y])
        rows.append(row + b"\0" * ((4 - len(row) % 4) % 4))
    data = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, W, H, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open("res/background.bmp", "wb") as f:
        f.write(header + info + data)


def demo_room():
    rate, seconds = 8000, 60
    rnd = random.Random(42)
    out = bytearray()
    for n in range(rate * seconds):
        t = n / rate
        s = 0.0
        if t < 45.0:
            s = -0.8 * rnd.random()  # dither that stays inside the quiet band (127, 128)
            for start in (12.0, 26.5, 38.0):  # soft rustles
                if start <= t < start + 0.6:
                    s += 3.0 * (rnd.random() - 0.5) * math.sin(math.pi * (t - start) / 0.6)
        elif t < 57.0:
            k = t - 45.0
            burst = k % 2.4  # sobbing bursts of 1.8 s with short breaths between
            if burst < 1.8:
                env = math.sin(math.pi * burst / 1.8) ** 0.6
                f0 = 420 + 80 * math.sin(2 * math.pi * 5.5 * t) + 60 * (burst / 1.8)
                phase = 2 * math.pi * f0 * t
                voice = math.sin(phase) + 0.5 * math.sin(2 * phase) + 0.25 * math.sin(3 * phase)
                s = 70.0 * env * voice / 1.75 + 2.0 * (rnd.random() - 0.5)
        out.append(max(0, min(255, 128 + int(math.floor(s + 0.5)) if s >= 0 else 128 + int(math.ceil(s - 0.5)))))
    with wave.open("profiles/sounds/demo-room.wav", "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(1)
        w.setframerate(rate)
        w.writeframes(bytes(out))


def icon_pixel(size, x, y):
    """0 transparent, 1 night blue, 2 moon yellow."""
    c = (size - 1) / 2.0
    r = size / 2.0
    if (x - c) ** 2 + (y - c) ** 2 > r * r:
        return 0
    mr = size * 0.3
    if (x - c) ** 2 + (y - c) ** 2 <= mr * mr and (x - c + size * 0.14) ** 2 + (y - c + size * 0.06) ** 2 > mr * mr:
        return 2
    return 1


def icon():
    colours = [(0, 0, 0), (28, 40, 96), (250, 236, 170)]
    images = []
    for size in (48, 32, 16):
        for bpp in (4, 8, 24):
            rows, mask = [], []
            for y in range(size - 1, -1, -1):  # bottom-up
                idx = [icon_pixel(size, x, y) for x in range(size)]
                if bpp == 24:
                    row = b"".join(struct.pack("BBB", *reversed(colours[i])) for i in idx)
                elif bpp == 8:
                    row = bytes(idx)
                else:
                    row = bytes((idx[x] << 4) | (idx[x + 1] if x + 1 < size else 0) for x in range(0, size, 2))
                rows.append(row + b"\0" * ((4 - len(row) % 4) % 4))
                bits = bytearray((size + 31) // 32 * 4)
                for x, i in enumerate(idx):
                    if i == 0:
                        bits[x // 8] |= 0x80 >> (x % 8)
                mask.append(bytes(bits))
            palette = b""
            if bpp < 24:
                entries = [colours[i] if i < len(colours) else (0, 0, 0) for i in range(1 << bpp)]
                palette = b"".join(struct.pack("BBBB", b, g, r, 0) for (r, g, b) in entries)
            header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bpp, 0, 0, 0, 0, 0, 0)
            images.append((size, bpp, header + palette + b"".join(rows) + b"".join(mask)))
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, bpp, data in images:
        colour_count = 16 if bpp == 4 else 0
        out += struct.pack("<BBBBHHII", size, size, colour_count, 0, 1, bpp, len(data), offset)
        offset += len(data)
    out += b"".join(data for _, _, data in images)
    with open("res/lullwatch.ico", "wb") as f:
        f.write(out)


if __name__ == "__main__":
    background()
    icon()
    demo_room()
