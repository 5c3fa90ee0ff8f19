#!/usr/bin/env python3
"""Draws the review screen's tool-bar icons into resources/images/: the two
rulers, the full group, moving and restoring marks, print and save. The
group arrows and the play icon are drawn elsewhere."""
import importlib.util
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
_spec = importlib.util.spec_from_file_location("points_icons", os.path.join(HERE, "draw-points-toolbar-icons.py"))
points_icons = importlib.util.module_from_spec(_spec)
_spec.loader.exec_module(points_icons)

WOOD = (215, 170, 80, 255)
INK = (40, 40, 40, 255)
BLUE = (40, 90, 170, 255)
RED = (190, 40, 40, 255)
GREY = (120, 120, 120, 255)
WHITE = (250, 250, 250, 255)


def ruler(x, y, vertical):
    """A wooden ruler with scale ticks; the vertical one is the same turned."""
    if vertical:
        x, y = y, x
    if not (2 <= x <= 30 and 11 <= y <= 21):
        return None
    tick = (x - 2) % 4 < 0.9 and y < (17 if (x - 2) % 8 < 1 else 14.5)
    if tick or y > 20 or y < 12 or x < 3 or x > 29:
        return INK
    return WOOD


def full_group(x, y):
    """Two square brackets around three marks: a whole group on the screen."""
    for mark in (11, 16, 21):
        if abs(x - mark) < 1 and 9 <= y <= 23:
            return RED
    left = 3 <= x <= 6 and 5 <= y <= 27 and (x < 4.5 or y < 6.5 or y > 25.5)
    right = 26 <= x <= 29 and 5 <= y <= 27 and (x > 27.5 or y < 6.5 or y > 25.5)
    return BLUE if left or right else None


def moving_mark(x, y):
    """A question mark line with a double arrow across it."""
    if abs(x - 16) < 1.2 and 3 <= y <= 29:
        return RED
    if 5 <= x <= 27 and abs(y - 16) < 1.2:
        return BLUE
    if x <= 10 and abs(y - 16) <= (x - 3) * 0.8:
        return BLUE
    if x >= 22 and abs(y - 16) <= (29 - x) * 0.8:
        return BLUE
    return None


def restoring_mark(x, y):
    """A question mark line and a curved arrow turning back to it."""
    if abs(x - 9) < 1.2 and 3 <= y <= 29:
        return RED
    r = ((x - 17) ** 2 + (y - 17) ** 2) ** 0.5
    if abs(r - 8) < 1.3 and (x > 17 or y < 17):
        return BLUE
    if 9 <= x <= 15 and 9 <= y <= 15 and (x - 9) + (y - 9) <= 6:
        return BLUE
    return None


def printer(x, y):
    """A grey printer with a white sheet coming out of it."""
    if 9 <= x <= 23 and 3 <= y <= 13:
        return WHITE if 10 <= x <= 22 and y >= 4 else INK
    if 3 <= x <= 29 and 12 <= y <= 23:
        return (200, 60, 60, 255) if 24 <= x <= 26 and 15 <= y <= 16 else GREY
    if 8 <= x <= 24 and 22 <= y <= 29:
        return WHITE if 9 <= x <= 23 and y <= 28 else INK
    return None


def floppy(x, y):
    """A blue diskette with its shutter and label."""
    if not (4 <= x <= 28 and 4 <= y <= 28) or (x > 24 and y < 8 and x - 24 > y - 4):
        return None
    if 10 <= x <= 22 and 4 <= y <= 11:
        return (200, 200, 210, 255) if not (18 <= x <= 20 and 6 <= y <= 9) else BLUE
    if 8 <= x <= 24 and 16 <= y <= 28:
        return WHITE if y > 17 else INK
    return BLUE


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "resources", "images")
    icons = {
        "RulerV": lambda x, y: ruler(x, y, True),
        "RulerH": lambda x, y: ruler(x, y, False),
        "FullGroup": full_group,
        "changelabelposition.png": moving_mark,
        "changelabelposition_resore.png": restoring_mark,
        "print-icon.png": printer,
        "floppy-icon.png": floppy,
    }
    for name, shape in icons.items():
        with open(os.path.join(folder, name), "wb") as out:
            out.write(points_icons.png(points_icons.render(shape)))


if __name__ == "__main__":
    main()
