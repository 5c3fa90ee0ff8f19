#!/usr/bin/env python3
"""Draws the questionnaire's and the pre-test dock's pictures into
resources/images/: photo from the camera, photo from a file, the record button
and the camera background shown until the first frame. Rendering and PNG writing are the points window's; the plus
badge is the editor's."""
import math
import os
import sys

from sibling_script import load_module

BASE = load_module("draw-points-toolbar-icons.py")
EDITOR = load_module("draw-editor-icons.py")

BODY = (60, 70, 85, 255)
LENS = (120, 170, 220, 255)
SKY = (150, 200, 240, 255)
HILL = (80, 150, 80, 255)
SUN = (245, 200, 60, 255)
FRAME = (110, 80, 50, 255)


def camera(x, y, scale=1.0, body=BODY, lens=LENS):
    """A camera facing the viewer, in a 32-unit square."""
    x, y = x / scale, y / scale
    d = math.hypot(x - 15, y - 17)
    if d <= 4.5:
        return lens
    if d <= 6.5:
        return tuple(int(c * 0.6) for c in body[:3]) + (255,)
    if 3 <= x <= 27 and 10 <= y <= 25:
        return body
    if 10 <= x <= 20 and 7 <= y <= 10:
        return body
    return None


def photo_from_camera(x, y):
    return EDITOR.plus_badge(x, y) or camera(x, y)


def picture(x, y):
    """A framed landscape: sky, sun and a hill."""
    if not (3 <= x <= 27 and 5 <= y <= 25):
        return None
    if x < 5 or x > 25 or y < 7 or y > 23:
        return FRAME
    if math.hypot(x - 20, y - 11) <= 2.5:
        return SUN
    if y > 23 - 9 * math.exp(-((x - 11) / 6.0) ** 2):
        return HILL
    return SKY


def photo_from_file(x, y):
    return EDITOR.plus_badge(x, y) or picture(x, y)


def record(x, y):
    d = math.hypot(x - 16, y - 16)
    if d <= 11:
        return (200, 30, 30, 255) if d <= 10 else (120, 20, 20, 255)
    return None


def background(x, y):
    """A pale camera over a soft grey, scaled to the dialog's picture."""
    shape = camera(x - 32, y - 32, 6.0, (205, 208, 214, 255), (225, 228, 232, 255))
    if shape:
        return shape
    shade = int(235 - 20 * math.hypot(x - 128, y - 128) / 181)
    return (shade, shade, shade + 3, 255)


def main():
    folder_path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "resources", "images")
    for name, shape in {"photo_from_camera.png": photo_from_camera, "photo_from_file.png": photo_from_file,
                        "Media-Controls-Record-icon.png": record}.items():
        with open(os.path.join(folder_path, name), "wb") as out:
            out.write(BASE.png(BASE.render(shape)))
    with open(os.path.join(folder_path, "Camera-background.png"), "wb") as out:
        out.write(BASE.png(BASE.render(background, 256), 256))


if __name__ == "__main__":
    main()
