#!/usr/bin/python3
"""The main road in the real program, driven only by real input (XTEST) and
found through the accessibility bus: a new subject, three questions added to
the questions book, a test built from the tool bar and the book, recorded on
the demonstration unit, saved and reviewed; then the subject file is read back
with Python's sqlite3 and with a fresh Inspection (the check program).

usage: mainroad_test.py PROGRAM CHECK_PROGRAM
Runs on the X server in DISPLAY, on a private D-Bus session bus of its own.
"""
import json
import os
import shutil
import signal
import sqlite3
import subprocess
import sys
import tempfile
import time

from Xlib import X, XK, display
from Xlib.ext import xtest
from x_windows import window_titles

TITLE = "Компьютерный полиграф - Воркел"
SUBJECT = "Новый обследуемый0.qmz"
TEST = "Новый тест"
BOOK_ROOT = "Российская система вопросов"
ABOVE = "Нейтральный вопрос"
BELOW = "Проверочниый вопрос"  # the book's own default text
MIDDLE = "Контрольный вопрос"
QUESTIONS = 3
PRESENTATIONS = 2
HELD_SECONDS = 2.5


class Failure(Exception):
    pass


def pump_events():
    """Lets the accessibility library take the program's change signals, so
    its view of new windows, names and states is current."""
    if "gi.repository.GLib" in sys.modules:
        context = sys.modules["gi.repository.GLib"].MainContext.default()
        while context.pending():
            context.iteration(False)


def wait_for(predicate, seconds, what):
    end = time.time() + seconds
    while time.time() < end:
        pump_events()
        value = predicate()
        if value:
            return value
        time.sleep(0.1)
    raise Failure("timed out waiting for " + what)


def start_private_bus(env):
    """A session bus of our own. Its accessibility bus starts once this script
    first asks for it, after the program is up: the program's bridge joins
    when it sees that bus appear."""
    bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"], env=env,
                           stdout=subprocess.PIPE, start_new_session=True)
    address = bus.stdout.readline().decode().strip()
    if not address:
        raise Failure("no private D-Bus session bus")
    return bus, address


class Screen:
    """Real input on the X server: pointer, buttons and keys through XTEST."""

    def __init__(self):
        self.d = display.Display()

    def window_titled(self, title):
        return next((w for w, name in window_titles(self.d).items() if name == title), None)

    def move(self, x, y):
        xtest.fake_input(self.d, X.MotionNotify, x=int(x), y=int(y))
        self.d.sync()

    def glide(self, start, end, steps=25):
        for i in range(1, steps + 1):
            self.move(start[0] + (end[0] - start[0]) * i / steps, start[1] + (end[1] - start[1]) * i / steps)
            time.sleep(0.03)

    def button(self, number, press):
        xtest.fake_input(self.d, X.ButtonPress if press else X.ButtonRelease, number)
        self.d.sync()

    def click(self, x, y, number=1):
        self.move(x, y)
        time.sleep(0.15)
        self.button(number, True)
        self.button(number, False)
        time.sleep(0.3)

    def drag(self, start, end):
        self.move(*start)
        time.sleep(0.2)
        self.button(1, True)
        time.sleep(0.2)
        self.glide(start, (start[0] + 30, start[1]), 5)
        self.glide((start[0] + 30, start[1]), end)
        time.sleep(0.4)
        self.move(end[0], end[1] + 1)
        time.sleep(0.3)
        self.move(*end)
        time.sleep(0.3)
        self.button(1, False)
        time.sleep(0.5)

    def key(self, name, press):
        code = self.d.keysym_to_keycode(XK.string_to_keysym(name))
        xtest.fake_input(self.d, X.KeyPress if press else X.KeyRelease, code)
        self.d.sync()

    def tap(self, name, hold=0.05):
        self.key(name, True)
        time.sleep(hold)
        self.key(name, False)


class Program:
    """The program's widgets as the accessibility bus shows them."""

    def __init__(self, screen):
        import pyatspi  # only once the bus address is in the environment
        from gi.repository import GLib  # noqa: F401 (pumped by wait_for)

        self.at = pyatspi
        self.screen = screen
        # Pop-up menus are no children of the application: they are caught as they show.
        self.popups = []
        self.at.Registry.registerEventListener(self.on_event, "object:state-changed:showing", "window:create",
                                               "focus:", "object:state-changed:focused")
        self.app = wait_for(self.find_app, 30, "the program on the accessibility bus")
        # Windows, names and states change all the time: ask the program afresh.
        self.app.setCacheMask(0)

    def on_event(self, event):
        if not event.detail1:
            return
        # On a busy machine the question of the role can time out while the
        # menu is shown all the same: such a source is kept, and the search
        # tells whether it holds the item.
        try:
            role = event.source.getRoleName()
        except Exception:
            role = None
        if role in ("popup menu", None):
            self.popups = (self.popups + [event.source])[-3:]

    def find_app(self):
        for app in self.at.Registry.getDesktop(0):
            if app is not None and app.name == "vugVorkel":
                return app
        return None

    def dump(self, path):
        with open(path, "w") as out:
            def walk(acc, depth):
                try:
                    out.write("%s%s '%s' %s\n" % ("  " * depth, acc.getRoleName(), acc.name,
                                                   "showing" if self.visible(acc) else ""))
                    for i in range(acc.childCount):
                        walk(acc.getChildAtIndex(i), depth + 1)
                except Exception as error:
                    out.write("%s! %r\n" % ("  " * depth, error))
            walk(self.app, 0)

    def extents(self, acc):
        return acc.queryComponent().getExtents(self.at.DESKTOP_COORDS)

    def visible(self, acc):
        try:
            state = acc.getState()
            box = self.extents(acc)
        except Exception:
            return False
        return state.contains(self.at.STATE_SHOWING) and box.width > 0 and box.height > 0 and box.x >= 0

    def find(self, role, name, seconds=10, root=None, contains=False):
        self.app.clearCache()

        def match(acc):
            try:
                if acc.getRoleName() != role:
                    return False
                found = name in acc.name if contains else acc.name == name
            except Exception:
                return False
            return found and self.visible(acc)

        def search():
            # Pop-ups first: they are small, while the main window's tree is
            # slow to walk on a busy machine.
            for top in [root] if root else self.popups[::-1] + [self.app]:
                try:
                    found = self.at.findDescendant(top, match)
                except Exception:  # a pop-up gone meanwhile
                    continue
                if found:
                    return found
            return None

        return wait_for(search, seconds, "%s '%s'" % (role, name))

    def center(self, acc):
        box = self.extents(acc)
        return box.x + box.width // 2, box.y + box.height // 2

    def click(self, role, name, number=1, **kwargs):
        acc = self.find(role, name, **kwargs)
        self.screen.click(*self.center(acc), number=number)
        return acc

    def enabled(self, acc):
        return acc.getState().contains(self.at.STATE_ENABLED)

    def menu_item(self, name):
        self.click("menu item", name)

    def context_menu_item(self, role, name, item):
        """Chooses item of the context menu of the widget named name. On a busy
        machine a right click can land before the widget takes it: the menu is
        asked for again rather than counted on."""
        for _ in range(3):
            self.click(role, name)
            self.click(role, name, number=3)
            try:
                self.menu_item(item)
                return
            except Failure:
                self.screen.tap("Escape")
        raise Failure("no menu item '%s' over %s '%s'" % (item, role, name))

    def answer_yes(self, question):
        """Answers the question box that says question with its Yes button."""
        box = self.find("label", question, 15, contains=True)
        dialog = box.parent
        while dialog is not None and dialog.getRoleName() not in ("dialog", "alert", "frame"):
            dialog = dialog.parent
        for name in ("&Да", "Да", "&Yes", "Yes"):
            try:
                button = self.find("push button", name, 0.5, root=dialog)
            except Failure:
                continue
            self.screen.click(*self.center(button))
            return
        raise Failure("no Yes button under: " + question)


def resize_main_window(screen):
    window = wait_for(lambda: screen.window_titled(TITLE), 30, "the main window")
    window.configure(x=0, y=0, width=1580, height=980)
    screen.d.sync()
    time.sleep(1)
    window.set_input_focus(X.RevertToParent, X.CurrentTime)
    screen.d.sync()
    return window


def add_book_questions(program):
    program.click("page tab", "Справочник вопросов")
    for kind in ("Добавить НЕЙТРАЛЬНЫЙ вопрос", "Добавить ПРОВЕРОЧНЫЙ вопрос", "Добавить КОНТРОЛЬНЫЙ вопрос"):
        program.context_menu_item("table cell", BOOK_ROOT, kind)
    program.find("table cell", ABOVE)
    program.find("table cell", BELOW)


def build_test(program, screen):
    program.click("push button", "Добавить тест")
    test = program.find("table cell", TEST, contains=True)
    screen.click(*program.center(test))
    program.click("push button", "Добавить КОНТРОЛЬНЫЙ вопрос")
    # The book holds the same text: questions are looked for in one tree or the other.
    examination = test.parent
    book = program.find("table cell", BOOK_ROOT).parent
    for text, edge in ((ABOVE, "above"), (BELOW, "below")):
        target = program.find("table cell", MIDDLE, root=examination)
        box = program.extents(target)
        y = box.y + 3 if edge == "above" else box.y + box.height - 3
        source = program.find("table cell", text, root=book)
        screen.drag(program.center(source), (box.x + box.width // 3, y))
        program.find("table cell", text, root=examination)
    target = program.find("table cell", MIDDLE, root=examination)
    screen.click(*program.center(target))
    program.click("push button", "Добавить предъявление")


def record_test(program, screen, window):
    program.click("push button", "Запись полиграммы - F5")
    program.menu_item(TEST)
    program.find("push button", "Завершить запись", 20)
    time.sleep(2)  # a few seconds of signal before the first question
    window.set_input_focus(X.RevertToParent, X.CurrentTime)
    screen.d.sync()
    # The first question held past the X server's auto-repeat delay, then answered.
    screen.tap("space", hold=HELD_SECONDS)
    time.sleep(0.4)
    screen.tap("space", hold=0.2)
    time.sleep(1.8)  # the answer time of one second runs out
    for _ in range(QUESTIONS * PRESENTATIONS - 1):
        screen.tap("space", hold=0.5)
        time.sleep(1.8)
    program.click("push button", "Завершить запись")
    program.answer_yes("завершить запись")
    program.answer_yes("сохранить")


def review_test(program, screen, window):
    # The mode tabs are painted, not widgets: their keys choose them.
    window.set_input_focus(X.RevertToParent, X.CurrentTime)
    screen.d.sync()
    time.sleep(0.3)
    screen.key("Alt_L", True)
    screen.tap("2")
    screen.key("Alt_L", False)
    listed = program.find("list item", TEST, 20, contains=True)
    program.screen.click(*program.center(listed))
    # The widest sweep first; the group fits the view at the narrowest.
    sweep = program.find("combo box", "сек.", contains=True)
    program.screen.click(*program.center(sweep))
    program.click("list item", "4 сек.", root=sweep, contains=True)
    wait_for(lambda: "4 сек." in sweep.name, 10, "the widest sweep")
    before = sweep.name
    program.click("push button", "Отобразить полную группу")
    wait_for(lambda: sweep.name.strip() == "1 сек.", 10, "the sweep the full-group action chooses")
    return before, sweep.name


def check_file(path, check_program):
    rows = sqlite3.connect(path).execute("select test_id, data_type from inspection").fetchall()
    kinds = {}
    for test_id, kind in rows:
        kinds.setdefault(test_id, set()).add(kind)
    if len(kinds) != 1 or not {1, 2} <= next(iter(kinds.values())):
        raise Failure("stored rows: %r" % rows)
    output = subprocess.run([check_program, path], capture_output=True, timeout=30)
    if output.returncode != 0:
        raise Failure("the check program failed: " + output.stderr.decode())
    tests = [json.loads(line) for line in output.stdout.decode().splitlines()]
    if len(tests) != 1:
        raise Failure("tests read back: %r" % tests)
    test = tests[0]
    # The tool bar's question first; the dropped ones joined presentation I
    # above and below it, and the other presentations at their end.
    if test["questions"] != [MIDDLE, ABOVE, BELOW]:
        raise Failure("questions: %r" % test["questions"])
    expected = [[-1, -1], [-1, 1], [1, 1], [0, 1], [2, 1]]
    for group in range(2, PRESENTATIONS + 1):
        expected += [[-1, group]] + [[i, group] for i in range(QUESTIONS)]
    if test["plan"] != expected or test["planFault"]:
        raise Failure("plan: %r %s" % (test["plan"], test["planFault"]))
    marked = sorted((theme, group) for theme, group, _, _, _ in test["marks"])
    wanted = sorted((i, g) for i in range(QUESTIONS) for g in range(1, PRESENTATIONS + 1))
    if not test["recorded"] or marked != wanted or test["samples"] < 100:
        raise Failure("recording: %r" % test)
    # The held question spans the hold (20 ticks a second); its answer came after it.
    _, _, start, end, answer = test["marks"][0]
    if end - start < (HELD_SECONDS - 0.3) * 20 or answer <= end:
        raise Failure("held question: %r" % test["marks"][0])
    return test


def main():
    program_path = os.path.abspath(sys.argv[1])
    check_program = os.path.abspath(sys.argv[2])
    home = tempfile.mkdtemp(prefix="vug-mainroad-")
    data = os.path.join(home, "data")
    os.makedirs(os.path.join(home, ".config", "Vorkel"))
    os.makedirs(data)
    runtime = os.path.join(home, "run")
    os.makedirs(runtime, mode=0o700)
    with open(os.path.join(home, ".config", "Vorkel", "2.0.conf"), "w") as settings:
        settings.write("[Generic]\nsNameDriverDll=vugSensorDemo.so\nbEnableVideoForRecord=false\niIA=1\n"
                       "sRootFolder=%s\nsPathFileSprav=%s\n" % (data, os.path.join(data, "svorkel.sqmz")))
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"),
               XDG_DATA_HOME=os.path.join(home, ".local", "share"), XDG_RUNTIME_DIR=runtime,
               QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    env.pop("QT_QPA_PLATFORM", None)
    bus = child = program = None
    try:
        bus, address = start_private_bus(env)
        env["DBUS_SESSION_BUS_ADDRESS"] = os.environ["DBUS_SESSION_BUS_ADDRESS"] = address
        log = open(os.path.join(home, "program.log"), "w")
        child = subprocess.Popen([program_path], env=env, stdout=log, stderr=subprocess.STDOUT)
        screen = Screen()
        window = resize_main_window(screen)
        program = Program(screen)

        program.click("push button", "Добавить обследуемого")
        subject = os.path.join(data, SUBJECT)
        wait_for(lambda: os.path.exists(subject), 10, "the subject file")
        wait_for(lambda: program.enabled(program.find("push button", "Добавить тест")), 10,
                 "the new subject opened in the editor")
        started = time.time()
        add_book_questions(program)
        phases = ["book %.1f" % (time.time() - started)]
        build_test(program, screen)
        phases.append("test %.1f" % (time.time() - started))
        record_test(program, screen, window)
        phases.append("recording %.1f" % (time.time() - started))
        before, after = review_test(program, screen, window)
        phases.append("review %.1f s" % (time.time() - started))
        print("after", ", ".join(phases))
        test = check_file(subject, check_program)
        print("sweep %r -> %r; %d marks, %d samples" % (before, after, len(test["marks"]), test["samples"]))
    except Failure as failure:
        print("FAIL:", failure)
        if os.environ.get("VUG_MAINROAD_DUMP") and program is not None:
            program.dump(os.environ["VUG_MAINROAD_DUMP"])
        if os.environ.get("VUG_MAINROAD_SHOT"):
            subprocess.run("xwd -root -silent | convert xwd:- %s" % os.environ["VUG_MAINROAD_SHOT"], shell=True)
        return 1
    finally:
        if child is not None:
            child.kill()
            child.wait()
            if os.environ.get("VUG_MAINROAD_LOG"):
                with open(os.path.join(home, "program.log"), errors="replace") as log:
                    print(log.read())
        if bus is not None:
            os.killpg(bus.pid, signal.SIGTERM)
            bus.wait()
        shutil.rmtree(home, ignore_errors=True)
    print("1 passed, 0 failed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
