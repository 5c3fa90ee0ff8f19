#!/usr/bin/env python3
"""Draws the recording screen's pictures into resources/images/: the cursor of
the remote-control mode, a target whose centre is the hot spot."""
import importlib.util
import os
import sys


def load_painter():
    here = os.path.dirname(os.path.abspath(__file__))
    found = importlib.util.spec_from_file_location("points", os.path.join(here, "draw-points-toolbar-icons.py"))
    module = importlib.util.module_from_spec(found)
    found.loader.exec_module(module)
    return module


def remote_control_cursor(x, y):
    """Two rings and a cross hair in red with a white rim, open in the middle."""
    dx, dy = x - 16, y - 16
    r = (dx * dx + dy * dy) ** 0.5
    for radius in (13, 7):
        if abs(r - radius) < 1.2:
            return (200, 30, 30, 255)
        if abs(r - radius) < 2.2:
            return (255, 255, 255, 220)
    if 3 < r and (abs(dx) < 0.9 or abs(dy) < 0.9):
        return (200, 30, 30, 255)
    if 3 < r and (abs(dx) < 1.9 or abs(dy) < 1.9):
        return (255, 255, 255, 220)
    return None


def main():
    painter = load_painter()
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "resources", "images")
    pictures = {"RemoteControlCursor.png": remote_control_cursor}
    for name, shape in pictures.items():
        with open(os.path.join(folder, name), "wb") as out:
            out.write(painter.png(painter.render(shape)))


if __name__ == "__main__":
    main()
