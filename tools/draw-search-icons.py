#!/usr/bin/env python3
"""Draws the pictures of the search keys and the subject search into
resources/images/: export and import of keys, and search.
Rendering and PNG writing are the points window's."""
import math
import os
import sys

from sibling_script import load_module

BASE = load_module("draw-points-toolbar-icons.py")

BLUE = (40, 90, 170, 255)
GREEN = (40, 150, 60, 255)
DARK = (60, 60, 60, 255)
PAPER = (250, 250, 245, 255)
GLASS = (200, 225, 250, 255)


def sheet(x, y):
    if not (3 <= x <= 18 and 3 <= y <= 28):
        return None
    if x < 4 or x > 17 or y < 4 or y > 27:
        return DARK
    if 6 <= x <= 15 and any(abs(y - line) < 0.6 for line in (9, 13, 17, 21)):
        return (120, 120, 120, 255)
    return PAPER


def horizontal_arrow(x, y, left, right, colour, pointing_right):
    """A thick arrow along y = 16 from left to right, its head at one end."""
    head = right if pointing_right else left
    length = abs(x - head)
    if length <= 8 and abs(y - 16) <= length and left <= x <= right:
        return colour
    if left <= x <= right and abs(y - 16) <= 2.2 and length > 6:
        return colour
    return None


def export_keys(x, y):
    # keys leave the sheet: an arrow out to the right
    return horizontal_arrow(x, y, 13, 30, GREEN, True) or sheet(x, y)


def import_keys(x, y):
    # keys come onto the sheet: an arrow in from the right, pointing left
    return horizontal_arrow(x, y, 11, 30, BLUE, False) or sheet(x, y)


def magnifier(x, y):
    d = math.hypot(x - 13, y - 13)
    if d <= 7:
        return GLASS
    if d <= 10:
        return DARK
    # the handle, from the rim towards the lower right
    t = ((x - 13) + (y - 13)) / 2
    if 7 <= t <= 15 and abs((x - 13) - (y - 13)) <= 4.2:
        return (120, 80, 40, 255)
    return None


def main():
    folder_path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "resources", "images")
    icons = {
        "export-icon.png": export_keys,
        "import-icon.png": import_keys,
        "search-icon.png": magnifier,
    }
    for name, shape in icons.items():
        if len(sys.argv) > 2 and name not in sys.argv[2:]:
            continue
        with open(os.path.join(folder_path, name), "wb") as out:
            out.write(BASE.png(BASE.render(shape)))


if __name__ == "__main__":
    main()
