#!/usr/bin/env python3
"""Draws the recording screen's pictures into resources/images/: the tool bar's
icons and the cursor of the remote-control mode, a target whose centre is the
hot spot."""
import importlib.util
import math
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


def inside(x, y, left, top, right, bottom):
    return left <= x <= right and top <= y <= bottom


def pause(x, y):
    """Two rounded blue bars."""
    if inside(x, y, 8, 6, 13, 26) or inside(x, y, 19, 6, 24, 26):
        return (40, 90, 170, 255)
    return None


def stop(x, y):
    """A red square with a darker rim."""
    if inside(x, y, 7, 7, 25, 25):
        return (200, 40, 40, 255) if inside(x, y, 8.5, 8.5, 23.5, 23.5) else (130, 20, 20, 255)
    return None


def clear(x, y):
    """A sheet whose left part is crossed out in red."""
    dx, dy = x - 12, y - 16
    if abs(abs(dx) - abs(dy)) < 1.5 and abs(dx) < 6:
        return (210, 40, 40, 255)
    if inside(x, y, 5, 5, 27, 27):
        if abs(y - 12) < 0.6 or abs(y - 17) < 0.6 or abs(y - 22) < 0.6:
            return (150, 150, 150, 255)
        return (250, 250, 250, 255) if inside(x, y, 6, 6, 26, 26) else (90, 90, 90, 255)
    return None


def remote(x, y):
    """A grey hand-held remote with three coloured buttons."""
    for cx, cy, colour in ((16, 10, (210, 40, 40, 255)), (16, 17, (40, 160, 60, 255)), (16, 23, (40, 90, 170, 255))):
        if (x - cx) ** 2 + (y - cy) ** 2 < 5:
            return colour
    if inside(x, y, 10, 4, 22, 28):
        return (70, 70, 70, 255)
    return None


def canvas(x, y):
    """A frame with its four corners drawn out."""
    corner = (min(x, 32 - x) < 9) and (min(y, 32 - y) < 9)
    if corner and (min(x, 32 - x) < 6 or min(y, 32 - y) < 6) and min(x, 32 - x) > 3 and min(y, 32 - y) > 3:
        return (40, 90, 170, 255)
    if inside(x, y, 10, 10, 22, 22):
        return (180, 200, 230, 255)
    return None


def order(x, y):
    """Three lines of text and an arrow that swaps two of them."""
    if any(abs(y - line) < 1.2 for line in (8, 16, 24)) and inside(x, y, 4, 0, 20, 32):
        return (60, 60, 60, 255)
    if inside(x, y, 24, 9, 26, 23):
        return (40, 140, 60, 255)
    if abs(x - 25) < (y - 4) * 0.9 and 4 <= y <= 10 or abs(x - 25) < (28 - y) * 0.9 and 22 <= y <= 28:
        return (40, 140, 60, 255)
    return None


def monitor(x, y):
    """A screen on a foot showing a green curve."""
    if inside(x, y, 4, 5, 28, 22):
        if inside(x, y, 6, 7, 26, 20) and abs(y - (14 - 4 * math.sin((x - 6) / 3))) < 1.2:
            return (60, 200, 80, 255)
        return (30, 30, 30, 255) if inside(x, y, 6, 7, 26, 20) else (120, 120, 120, 255)
    if inside(x, y, 14, 22, 18, 26) or inside(x, y, 9, 26, 23, 28):
        return (120, 120, 120, 255)
    return None


def main():
    painter = load_painter()
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "resources", "images")
    pictures = {
        "RemoteControlCursor.png": remote_control_cursor,
        "PauseSoft.png": pause,
        "Actions-media-playback-stop-icon.png": stop,
        "Clear-icon.png": clear,
        "Remote-Controll-2-icon.png": remote,
        "canvas-size-icon.png": canvas,
        "Order-icon.png": order,
        "utilities-system-monitor-icon.png": monitor,
    }
    for name, shape in pictures.items():
        with open(os.path.join(folder, name), "wb") as out:
            out.write(painter.png(painter.render(shape)))


if __name__ == "__main__":
    main()
