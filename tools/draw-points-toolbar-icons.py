#!/usr/bin/env python3
"""Draws the scoring windows' icons into resources/images/: the previous and
next presentation arrows, the reaction matrix grid, the workbook export, the
statistics window's calculator and the close icon of a fragment image."""
import os
import struct
import sys
import zlib

SIZE = 32
SCALE = 4  # supersampling for smooth edges


def arrow(x, y, pointing_right):
    """A blue arrow: shaft and head, mirrored for the left one."""
    if not pointing_right:
        x = SIZE - x
    if 5 <= x <= 18 and 12 <= y <= 20:
        return (40, 90, 170, 255)
    if 16 <= x <= 28 and abs(y - 16) <= (28 - x) * 0.9:
        return (40, 90, 170, 255)
    return None


def matrix(x, y):
    """A 3 by 3 grid of cells, the middle row tinted as scored reactions."""
    if not (3 <= x <= 29 and 3 <= y <= 29):
        return None
    if (x - 3) % 26 / 26 * 3 % 1 < 0.1 or (y - 3) % 26 / 26 * 3 % 1 < 0.1 or x > 28.4 or y > 28.4:
        return (60, 60, 60, 255)
    row = int((y - 3) / 26 * 3)
    return (230, 120, 90, 255) if row == 1 else (245, 245, 245, 255)


def workbook(x, y):
    """A green sheet with a white X and a few table lines."""
    if 12 <= x <= 29 and 6 <= y <= 26:
        if abs(y - 11) < 0.7 or abs(y - 16) < 0.7 or abs(y - 21) < 0.7 or abs(x - 20) < 0.7:
            return (30, 110, 60, 255)
        return (235, 245, 235, 255)
    if 3 <= x <= 17 and 3 <= y <= 29:
        dx, dy = x - 10, y - 16
        if abs(abs(dx) - abs(dy) * 0.6) < 1.4 and abs(dy) < 6:
            return (255, 255, 255, 255)
        return (30, 120, 60, 255)
    return None


def calculator(x, y):
    """A grey calculator: a green display over a 4 by 4 keypad, the last key orange."""
    if not (7 <= x <= 25 and 3 <= y <= 29):
        return None
    if x < 8.2 or x > 23.8 or y < 4.2 or y > 27.8:
        return (70, 70, 80, 255)
    if 9.5 <= x <= 22.5 and 5.5 <= y <= 10.5:
        return (150, 200, 150, 255)
    kx, ky = (x - 9.5) / 3.35, (y - 12.5) / 3.9
    if 0 <= kx < 4 and 0 <= ky < 4 and kx % 1 < 0.75 and ky % 1 < 0.75:
        return (235, 130, 40, 255) if int(kx) == 3 and int(ky) == 3 else (245, 245, 245, 255)
    return (120, 120, 130, 255)


def close(x, y):
    """A red square with a white cross, 16 pixels: it fits the 20-pixel close square of an image."""
    if not (1 <= x <= 15 and 1 <= y <= 15):
        return None
    if 4 <= x <= 12 and 4 <= y <= 12 and (abs(x - y) < 1.2 or abs(x + y - 16) < 1.2):
        return (255, 255, 255, 255)
    return (200, 40, 40, 255)


def render(shape, size=SIZE):
    rows = []
    for py in range(size):
        row = bytearray([0])
        for px in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(SCALE):
                for sx in range(SCALE):
                    c = shape(px + (sx + 0.5) / SCALE, py + (sy + 0.5) / SCALE) or (0, 0, 0, 0)
                    acc = [a + b * c[3] / 255 if i < 3 else a + b for i, (a, b) in enumerate(zip(acc, c))]
            alpha = acc[3] / SCALE ** 2
            colour = [int(acc[i] * 255 / acc[3]) if acc[3] else 0 for i in range(3)]
            row += bytes(colour + [int(alpha)])
        rows.append(bytes(row))
    return b"".join(rows)


def png(pixels, size=SIZE):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(pixels, 9)) + chunk(b"IEND", b"")


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "resources", "images")
    icons = {
        "PrevGroup": lambda x, y: arrow(x, y, False),
        "NextGroup": lambda x, y: arrow(x, y, True),
        "Table-icon": matrix,
        "Microsoft-Excel-icon.png": workbook,
        "Apps-Calc-icon.png": calculator,
    }
    for name, shape in icons.items():
        with open(os.path.join(folder, name), "wb") as out:
            out.write(png(render(shape)))
    with open(os.path.join(folder, "Close-icon.png"), "wb") as out:
        out.write(png(render(close, 16), 16))


if __name__ == "__main__":
    main()
