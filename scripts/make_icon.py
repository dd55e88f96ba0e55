#!/usr/bin/env python3
"""Draws the programs' icons: one 48 by 48, 32-bit image per .ico file.

usage: make_icon.py OUT.ico (client|update)
"""
import math
import struct
import sys

SIZE = 48


def pixel(kind, x, y):
    cx = cy = (SIZE - 1) / 2
    r = math.hypot(x - cx, y - cy)
    if r > 23:
        return (0, 0, 0, 0)
    # A teal disc (client) or an amber disc (updater) with a light rim.
    base = (32, 150, 160) if kind == "client" else (230, 150, 40)
    if r > 21:
        return (240, 240, 240, 255)
    u, v = x - cx, y - cy
    if kind == "client":
        # A lightning stroke: the volt in the name.
        inside = abs(u + 0.55 * v) < 3.2 and abs(v) < 15 or abs(v) < 2.2 and abs(u) < 7
    else:
        # An upward arrow.
        inside = abs(u) < 3 and -4 < v < 14 or v <= -4 and abs(u) < (v + 16) * 0.9 and v > -16
    if inside:
        return (255, 255, 255, 255)
    shade = 1.0 - r / 60
    return tuple(int(c * shade) for c in base) + (255,)


def icon_bytes(kind):
    rows = []
    for y in range(SIZE - 1, -1, -1):  # bottom-up
        for x in range(SIZE):
            r, g, b, a = pixel(kind, x, y)
            rows.append(struct.pack("<BBBB", b, g, r, a))
    xor = b"".join(rows)
    mask_row = (SIZE + 31) // 32 * 4
    mask = bytes(mask_row * SIZE)  # alpha carries the shape
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    image = header + xor + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 6 + 16)
    return directory + entry + image


if __name__ == "__main__":
    with open(sys.argv[1], "wb") as f:
        f.write(icon_bytes(sys.argv[2]))
