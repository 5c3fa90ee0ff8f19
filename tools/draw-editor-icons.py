#!/usr/bin/env python3
"""Draws the examination editor's and the subjects dock's pictures into
resources/images/: add test, add presentation, move down and up, collapse and
expand, talk yes and no, extra information, undo, redo, delete polygram and add
subject. Rendering and PNG writing are the points window's."""
import math
import os
import sys

from sibling_script import load_module

BASE = load_module("draw-points-toolbar-icons.py")

BLUE = (40, 90, 170, 255)
GREEN = (40, 150, 60, 255)
RED = (200, 40, 40, 255)
DARK = (60, 60, 60, 255)
PAPER = (250, 250, 245, 255)
FOLDER = (214, 160, 40, 255)
WHITE = (255, 255, 255, 255)


def plus_badge(x, y, cx=24, cy=24, colour=GREEN):
    """A round badge with a white plus, at the lower right by default."""
    d = math.hypot(x - cx, y - cy)
    if d > 7:
        return None
    if (abs(x - cx) <= 1.3 and abs(y - cy) <= 4.5) or (abs(y - cy) <= 1.3 and abs(x - cx) <= 4.5):
        return WHITE
    return colour


def sheet(x, y):
    if not (5 <= x <= 22 and 3 <= y <= 27):
        return None
    if x < 6 or x > 21 or y < 4 or y > 26:
        return DARK
    if 8 <= x <= 19 and any(abs(y - line) < 0.6 for line in (9, 13, 17, 21)):
        return (120, 120, 120, 255)
    return PAPER


def add_test(x, y):
    return plus_badge(x, y) or sheet(x, y)


def add_group(x, y):
    badge = plus_badge(x, y)
    if badge:
        return badge
    if 4 <= x <= 18 and 3 <= y <= 28:
        column = int((x - 4) / 5)
        if (x - 4) % 5 < 3.6 and int(y - 3) % 5 < 3.5 and column < 3:
            return BLUE if column == 2 else (150, 170, 200, 255)
    return None


def arrow(x, y, down):
    if not down:
        y = 32 - y
    if 12 <= x <= 20 and 4 <= y <= 18:
        return BLUE
    if 17 <= y <= 28 and abs(x - 16) <= (28 - y) * 1.0:
        return BLUE
    return None


def folder(x, y, sign):
    if sign == "+" and (abs(x - 20) <= 1.4 and 11 <= y <= 23):
        return WHITE
    if abs(y - 17) <= 1.4 and 14 <= x <= 26:
        return WHITE
    if 3 <= x <= 14 and 6 <= y <= 10:
        return FOLDER
    if 3 <= x <= 29 and 9 <= y <= 27:
        return (180, 125, 20, 255) if x < 4 or x > 28 or y > 26 else FOLDER
    return None


def check(x, y):
    # two strokes of a tick
    def near(ax, ay, bx, by, width):
        t = max(0.0, min(1.0, ((x - ax) * (bx - ax) + (y - ay) * (by - ay)) / ((bx - ax) ** 2 + (by - ay) ** 2)))
        return math.hypot(x - (ax + t * (bx - ax)), y - (ay + t * (by - ay))) <= width
    if near(5, 17, 13, 25, 2.6) or near(13, 25, 27, 7, 2.6):
        return GREEN
    return None


def cross(x, y):
    if (abs((x - 16) - (y - 16)) <= 3 or abs((x - 16) + (y - 16)) <= 3) and abs(x - 16) <= 10 and abs(y - 16) <= 10:
        return RED
    return None


def extra_information(x, y):
    d = math.hypot(x - 16, y - 16)
    if d > 13:
        return None
    if (abs(x - 16) <= 1.8 and 13 <= y <= 24) or math.hypot(x - 16, y - 9) <= 2:
        return WHITE
    return BLUE


def turn(x, y, mirrored):
    """An arc over the top whose left end is an arrow head pointing down (undo)."""
    if mirrored:
        x = 32 - x
    d = math.hypot(x - 18, y - 19)
    if 7 <= d <= 11 and y <= 19:
        return BLUE
    if 18 <= y <= 27 and abs(x - 9) <= (27 - y) * 0.75:
        return BLUE
    return None


def delete_polygram(x, y):
    if abs(y - (14 + 6 * math.sin(x / 3.0))) <= 1.4 and 2 <= x <= 30:
        return DARK
    if x >= 16 and y >= 16:
        return cross((x - 16) * 2, (y - 16) * 2)
    return None


def user_add(x, y):
    badge = plus_badge(x, y)
    if badge:
        return badge
    if math.hypot(x - 12, y - 9) <= 5.5:
        return (70, 110, 160, 255)
    if 14 <= y <= 28 and math.hypot((x - 12) / 10.0, (y - 28) / 13.0) <= 1:
        return (70, 110, 160, 255)
    return None


def main():
    folder_path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "resources", "images")
    icons = {
        "addTest.png": add_test,
        "addGroup.png": add_group,
        "Down-2-2-icon.png": lambda x, y: arrow(x, y, True),
        "Up-2-2-icon.png": lambda x, y: arrow(x, y, False),
        "Collapse-Folder-icon.png": lambda x, y: folder(x, y, "-"),
        "Plus-Folder-icon.png": lambda x, y: folder(x, y, "+"),
        "AnswerYes.png": check,
        "AnswerNo.png": cross,
        "AnswerShow.png": extra_information,
        "undo-icon.png": lambda x, y: turn(x, y, False),
        "redo-icon.png": lambda x, y: turn(x, y, True),
        "iconDelete22222.png": delete_polygram,
        "user-add.png": user_add,
    }
    for name, shape in icons.items():
        with open(os.path.join(folder_path, name), "wb") as out:
            out.write(BASE.png(BASE.render(shape)))


if __name__ == "__main__":
    main()
