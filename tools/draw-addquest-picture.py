#!/usr/bin/env python3
"""Draws resources/images/addQuest_Ru.png: a question card with a green plus,
the background on which the program writes a question kind's letter."""
import math
import struct
import sys
import zlib

SIZE = 48
SCALE = 4  # supersampling for smooth edges


def rounded_rect(x, y, left, top, right, bottom, radius):
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2 and left <= x <= right and top <= y <= bottom


def colour_at(x, y):
    """RGBA of one point of the picture in 0..48 coordinates."""
    # green plus badge at the lower right, over the card
    bx, by = 38.5, 38.5
    if math.hypot(x - bx, y - by) <= 8.5:
        if (abs(x - bx) <= 1.6 and abs(y - by) <= 5.5) or (abs(y - by) <= 1.6 and abs(x - bx) <= 5.5):
            return (255, 255, 255, 255)
        if math.hypot(x - bx, y - by) >= 7.5:
            return (30, 110, 40, 255)
        return (60, 170, 70, 255)
    # the card: dark frame, light face
    if rounded_rect(x, y, 3, 3, 41, 43, 5):
        if rounded_rect(x, y, 4.5, 4.5, 39.5, 41.5, 3.5):
            shade = int(250 - (y - 4.5) * 0.6)
            return (shade, shade, 255, 255)
        return (70, 90, 140, 255)
    return (0, 0, 0, 0)


def pixel(px, py):
    acc = [0, 0, 0, 0]
    for sy in range(SCALE):
        for sx in range(SCALE):
            r, g, b, a = colour_at(px + (sx + 0.5) / SCALE, py + (sy + 0.5) / SCALE)
            acc[0] += r * a
            acc[1] += g * a
            acc[2] += b * a
            acc[3] += a
    n = SCALE * SCALE
    alpha = acc[3] / n
    if acc[3] == 0:
        return (0, 0, 0, 0)
    return tuple(round(c / acc[3]) for c in acc[:3]) + (round(alpha),)


def png(rows):
    """PNG file content of rows of RGBA pixels."""
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    raw = b"".join(b"\x00" + bytes(v for p in row for v in p) for row in rows)
    header = struct.pack(">IIBBBBB", len(rows[0]), len(rows), 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


if __name__ == "__main__":
    out = sys.argv[1] if len(sys.argv) > 1 else "resources/images/addQuest_Ru.png"
    with open(out, "wb") as f:
        f.write(png([[pixel(x, y) for x in range(SIZE)] for y in range(SIZE)]))
