#!/usr/bin/env python3
"""Draws the reference-book docks' pictures into resources/images/: the two set
flags, new folder, edit, copy, paste, delete, refresh, and the international
question kinds' add pictures (the question card of addQuest_Ru.png with the
kind's Latin letters)."""
import importlib.util
import math
import os
import sys

SIZE = 32
SCALE = 4  # supersampling for smooth edges


def load_card_module():
    here = os.path.dirname(os.path.abspath(__file__))
    found = importlib.util.spec_from_file_location("addquest", os.path.join(here, "draw-addquest-picture.py"))
    module = importlib.util.module_from_spec(found)
    found.loader.exec_module(module)
    return module


CARD = load_card_module()


def render(shape, size):
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SCALE):
                for sx in range(SCALE):
                    r, g, b, a = shape(px + (sx + 0.5) / SCALE, py + (sy + 0.5) / SCALE) or (0, 0, 0, 0)
                    acc[0] += r * a
                    acc[1] += g * a
                    acc[2] += b * a
                    acc[3] += a
            if acc[3] == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(round(c / acc[3]) for c in acc[:3]) + (round(acc[3] / SCALE ** 2),))
        rows.append(row)
    return rows


def in_rect(x, y, left, top, right, bottom):
    return left <= x <= right and top <= y <= bottom


def flag_frame(x, y):
    return in_rect(x, y, 2, 6, 30, 26)


def russia(x, y):
    if not flag_frame(x, y):
        return None
    if y < 12.67:
        return (250, 250, 250, 255)
    if y < 19.33:
        return (0, 57, 166, 255)
    return (213, 43, 30, 255)


def united_states(x, y):
    if not flag_frame(x, y):
        return None
    if in_rect(x, y, 2, 6, 14, 16.8):
        if (int((x - 2) / 2.4) + int((y - 6) / 2.16)) % 2 == 0 and math.hypot(
                (x - 2) % 2.4 - 1.2, (y - 6) % 2.16 - 1.08) < 0.7:
            return (255, 255, 255, 255)
        return (60, 59, 110, 255)
    stripe = int((y - 6) / (20 / 13))
    return (178, 34, 52, 255) if stripe % 2 == 0 else (255, 255, 255, 255)


def folder_shape(x, y):
    if in_rect(x, y, 3, 7, 14, 11):
        return (214, 160, 40, 255)
    if in_rect(x, y, 3, 10, 27, 26):
        if in_rect(x, y, 4, 12, 26, 25):
            return (250, 205, 90, 255)
        return (190, 140, 30, 255)
    return None


def plus_badge(x, y, cx, cy, radius):
    d = math.hypot(x - cx, y - cy)
    if d > radius:
        return None
    arm = radius * 0.62
    if (abs(x - cx) <= 1.3 and abs(y - cy) <= arm) or (abs(y - cy) <= 1.3 and abs(x - cx) <= arm):
        return (255, 255, 255, 255)
    return (30, 110, 40, 255) if d > radius - 1 else (60, 170, 70, 255)


def folder_add(x, y):
    return plus_badge(x, y, 23.5, 23.5, 7.5) or folder_shape(x, y)


def edit(x, y):
    # a pencil lying from lower left to upper right
    u = (x - y) / math.sqrt(2)  # across the pencil
    v = (x + y) / math.sqrt(2)  # along it
    if abs(u) > 3.6 or v < 7 or v > 41:
        return None
    if v < 12:
        if abs(u) <= (v - 7) * 0.72:
            return (40, 40, 40, 255) if v < 9 else (235, 200, 150, 255)
        return None
    if v > 36:
        return (230, 120, 140, 255)
    if v > 34:
        return (170, 170, 170, 255)
    return (240, 180, 30, 255) if abs(u) < 3 else (160, 110, 20, 255)


def sheet(x, y, left, top, right, bottom):
    if not in_rect(x, y, left, top, right, bottom):
        return None
    if not in_rect(x, y, left + 1, top + 1, right - 1, bottom - 1):
        return (70, 90, 140, 255)
    line = (y - top - 4) % 4
    if in_rect(x, y, left + 3, top + 3, right - 3, bottom - 3) and line < 1:
        return (150, 170, 210, 255)
    return (250, 250, 255, 255)


def copy(x, y):
    return sheet(x, y, 12, 11, 28, 29) or sheet(x, y, 4, 3, 20, 21)


def paste(x, y):
    front = sheet(x, y, 13, 12, 28, 29)
    if front:
        return front
    if in_rect(x, y, 11, 2, 19, 7):
        return (120, 120, 130, 255)
    if in_rect(x, y, 4, 5, 24, 28):
        return (150, 100, 50, 255) if not in_rect(x, y, 5, 6, 23, 27) else (200, 150, 90, 255)
    return None


def delete(x, y):
    u, v = x - 16, y - 16
    if max(abs(u), abs(v)) > 11:
        return None
    if abs(u - v) < 3.2 or abs(u + v) < 3.2:
        return (200, 30, 30, 255)
    return None


def refresh(x, y):
    u, v = x - 16, y - 16
    r = math.hypot(u, v)
    angle = math.degrees(math.atan2(v, u)) % 360
    if 8 <= r <= 12 and not (300 <= angle <= 350):
        return (40, 130, 60, 255)
    # arrow head at the gap's clockwise end, pointing down along the circle
    hx, hy = 16 + 10 * math.cos(math.radians(300)), 16 + 10 * math.sin(math.radians(300))
    du, dv = x - hx, y - hy
    if -1 < dv < 6 and abs(du) <= 6 - (dv + 1) * 0.9:
        return (40, 130, 60, 255)
    return None


# 5 x 7 letters for the international kinds' pictures, one string a row.
GLYPHS = {
    "P": ["####.", "#...#", "#...#", "####.", "#....", "#....", "#...."],
    "I": ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "#####"],
    "C": [".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."],
    "R": ["####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"],
    "S": [".####", "#....", "#....", ".###.", "....#", "....#", "####."],
    "o": [".....", ".....", ".###.", "#...#", "#...#", "#...#", ".###."],
    "G": [".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".###."],
}


def letters(text):
    """The card with text centred on it in dark blue blocks."""
    cell = 3.4 if len(text) == 1 else 2.6
    width = (len(text) * 6 - 1) * cell
    left = (44 - width) / 2
    top = (46 - 7 * cell) / 2

    def shape(x, y):
        col = int((x - left) // cell)
        row = int((y - top) // cell)
        if 0 <= row < 7 and 0 <= col < len(text) * 6:
            letter, within = divmod(col, 6)
            if within < 5 and GLYPHS[text[letter]][row][within] == "#":
                return (20, 30, 90, 255)
        return CARD.colour_at(x, y)
    return shape


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "resources", "images")
    icons = {
        "RU-Russia-Flag-icon": russia,
        "United-States-Flag-1-icon": united_states,
        "folder-add": folder_add,
        "edit": edit,
        "iconCopy.png": copy,
        "iconPaste.png": paste,
        "iconDelete.png": delete,
        "iconRefresh": refresh,
    }
    for name, shape in icons.items():
        with open(os.path.join(folder, name), "wb") as out:
            out.write(CARD.png(render(shape, SIZE)))
    for kind in ["P", "I", "C", "R", "SR", "So", "GC"]:
        with open(os.path.join(folder, "addQuest_Usa_" + kind), "wb") as out:
            out.write(CARD.png(render(letters(kind), CARD.SIZE)))


if __name__ == "__main__":
    main()
