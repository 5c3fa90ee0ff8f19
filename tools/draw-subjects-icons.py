#!/usr/bin/env python3
"""Draws the subjects dock's pictures into resources/images/: new folder,
questionnaire, link, rename and show folder. Rendering and PNG writing are the
points window's; the badge and folder shapes are the editor's."""
import math
import os
import sys

from sibling_script import load_module

BASE = load_module("draw-points-toolbar-icons.py")
EDITOR = load_module("draw-editor-icons.py")

BLUE = EDITOR.BLUE
DARK = EDITOR.DARK
PERSON = (60, 100, 150, 255)  # apart from "Добавить обследуемого", which the start-up test looks for
PENCIL = (230, 170, 40, 255)
TIP = (240, 210, 170, 255)


def near_segment(x, y, ax, ay, bx, by, width):
    t = max(0.0, min(1.0, ((x - ax) * (bx - ax) + (y - ay) * (by - ay)) / ((bx - ax) ** 2 + (by - ay) ** 2)))
    return math.hypot(x - (ax + t * (bx - ax)), y - (ay + t * (by - ay))) <= width


def pencil(x, y):
    """A pencil lying from the lower left to the upper right."""
    if near_segment(x, y, 9, 23, 25, 7, 3.2):
        if near_segment(x, y, 9, 23, 12, 20, 3.2):
            return DARK if math.hypot(x - 6.5, y - 25.5) <= 2.2 else TIP
        return PENCIL
    if math.hypot(x - 6, y - 26) <= 2:
        return DARK
    return None


def folder(x, y):
    """The editor's folder without its sign."""
    if abs(y - 17) <= 1.4 and 14 <= x <= 26:
        return EDITOR.FOLDER
    return EDITOR.folder(x, y, "")


def folder_add(x, y):
    return EDITOR.plus_badge(x, y) or folder(x, y)


def person(x, y):
    if math.hypot(x - 12, y - 9) <= 5.5:
        return PERSON
    if 14 <= y <= 28 and math.hypot((x - 12) / 10.0, (y - 28) / 13.0) <= 1:
        return PERSON
    return None


def user_edit(x, y):
    if x >= 14 and y >= 12:
        small = pencil((x - 14) * 32 / 18.0, (y - 12) * 32 / 20.0)
        if small:
            return small
    return person(x, y)


def link(x, y):
    """A page with a bent arrow in its lower left corner."""
    if 2 <= x <= 17 and 15 <= y <= 30:
        if x < 3 or x > 16 or y < 16 or y > 29:
            return DARK
        if near_segment(x, y, 5, 27, 9, 21, 1.3) or near_segment(x, y, 9, 21, 14, 21, 1.3):
            return BLUE
        if 11 <= x <= 14 and abs(y - 21) <= (14 - x) * 1.2 + 0.5 and x >= 12:
            return BLUE
        return EDITOR.WHITE
    return EDITOR.sheet(x + 4, y - 1)


def file_explorer(x, y):
    """A folder under a magnifying glass."""
    d = math.hypot(x - 20, y - 13)
    if 5 <= d <= 7.5:
        return DARK
    if d < 5:
        return (200, 225, 250, 255)
    if near_segment(x, y, 25, 18, 29, 23, 1.8):
        return DARK
    return folder(x, y + 2)


def main():
    folder_path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "resources", "images")
    icons = {
        "folder-add.png": folder_add,
        "Male-user-edit-icon.png": user_edit,
        "Shortcuts-icon.png": link,
        "edit.png": pencil,
        "iconFileExplorer.png": file_explorer,
    }
    for name, shape in icons.items():
        with open(os.path.join(folder_path, name), "wb") as out:
            out.write(BASE.png(BASE.render(shape)))


if __name__ == "__main__":
    main()
