#!/usr/bin/python3
"""Starts the real program on the X server in DISPLAY, with a fresh home, and
checks that it shows its main window, that a click on the subjects dock's
"Добавить обследуемого" creates a subject in the data root, and that it quits
cleanly through the quit question.

usage: startup_test.py PROGRAM [--without-splash]
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

from Xlib import X, XK, display, protocol
from Xlib.ext import xtest
from x_windows import window_titles

TITLE = "Компьютерный полиграф - Воркел"
# The person of the "Добавить обследуемого" picture, in X's byte order (B, G, R, pad).
ADD_SUBJECT_PIXEL = bytes((160, 110, 70))


def wait_for(predicate, seconds):
    end = time.time() + seconds
    while time.time() < end:
        value = predicate()
        if value:
            return value
        time.sleep(0.1)
    return None


def close_window(d, window):
    protocols = d.intern_atom("WM_PROTOCOLS")
    delete = d.intern_atom("WM_DELETE_WINDOW")
    event = protocol.event.ClientMessage(window=window, client_type=protocols, data=(32, [delete, X.CurrentTime, 0, 0, 0]))
    window.send_event(event)
    d.flush()


def press_return(d, window):
    window.set_input_focus(X.RevertToParent, X.CurrentTime)
    keycode = d.keysym_to_keycode(XK.string_to_keysym("Return"))
    xtest.fake_input(d, X.KeyPress, keycode)
    xtest.fake_input(d, X.KeyRelease, keycode)
    d.flush()


def answer_quit_question(d, child, question):
    """Presses Return on the question until the program ends: on a loaded machine
    the first key can reach the window before it takes input."""
    for _ in range(10):
        press_return(d, question)
        try:
            output, _ = child.communicate(timeout=2)
            return output
        except subprocess.TimeoutExpired:
            if "Воркел" not in window_titles(d).values():
                break
    output, _ = child.communicate(timeout=20)
    return output


def find_pixel(d, pattern):
    """The screen position of the first pixel of that colour, or None."""
    root = d.screen().root
    geometry = root.get_geometry()
    image = root.get_image(0, 0, geometry.width, geometry.height, X.ZPixmap, 0xFFFFFFFF)
    data = image.data
    at = data.find(pattern)
    while at >= 0 and at % 4:
        at = data.find(pattern, at + 1)
    if at < 0:
        return None
    return (at // 4) % geometry.width, (at // 4) // geometry.width


def click(d, x, y):
    d.screen().root.warp_pointer(x, y)
    d.sync()
    time.sleep(0.2)
    xtest.fake_input(d, X.ButtonPress, 1)
    xtest.fake_input(d, X.ButtonRelease, 1)
    d.flush()


def add_subject(d, home):
    """Clicks the add-subject button; the new subject file appears in the data root."""
    spot = wait_for(lambda: find_pixel(d, ADD_SUBJECT_PIXEL), 10)
    if not spot:
        print("FAIL: no add-subject button on the screen")
        return False
    click(d, spot[0], spot[1] + 1)
    subject = os.path.join(home, "Documents", ".VorkelData", "Новый обследуемый0.qmz")
    if not wait_for(lambda: os.path.exists(subject), 10):
        print("FAIL: no subject file", subject)
        return False
    return True


def main():
    program = os.path.abspath(sys.argv[1])
    home = tempfile.mkdtemp(prefix="vug-startup-")
    if "--without-splash" in sys.argv:
        # The program alone in a folder of its own: no splash video beside it.
        folder = os.path.join(home, "bin")
        os.makedirs(folder)
        shutil.copy(program, folder)
        program = os.path.join(folder, os.path.basename(program))
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"))
    env.pop("QT_QPA_PLATFORM", None)
    child = subprocess.Popen([program], env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    try:
        d = display.Display()
        main_window = wait_for(lambda: next((w for w, t in window_titles(d).items() if t == TITLE), None), 20)
        if not main_window:
            print("FAIL: no window titled", TITLE)
            return 1
        time.sleep(1)
        if not add_subject(d, home):
            return 1
        time.sleep(0.5)
        close_window(d, main_window)
        question = wait_for(lambda: next((w for w, t in window_titles(d).items() if t == "Воркел"), None), 10)
        if not question:
            print("FAIL: closing asked no quit question")
            return 1
        output = answer_quit_question(d, child, question)
    except subprocess.TimeoutExpired:
        child.kill()
        print("FAIL: the program did not end after the quit question")
        return 1
    finally:
        if child.poll() is None:
            child.kill()
        shutil.rmtree(home, ignore_errors=True)
    text = output.decode("utf-8", "replace")
    print(text)
    if child.returncode != 0:
        print("FAIL: exit code", child.returncode)
        return 1
    if text.count("InspectionEditFancy::onChangedPersone2") < 2:
        print("FAIL: the new subject was not announced to the editor")
        return 1
    if "QLocale=ru" not in text:
        print("FAIL: no QLocale=ru line")
        return 1
    for bad in ("QSqlDatabasePrivate", "QObject::", "Segmentation"):
        if bad in text:
            print("FAIL: unclean exit:", bad)
            return 1
    print("1 passed, 0 failed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
