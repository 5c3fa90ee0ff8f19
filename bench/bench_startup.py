#!/usr/bin/python3
"""Start-up as the examiner sees it: from launching the program to its titled
main window mapped on the current X display (start a window manager there
first). A first start in a fresh home, then warm starts, each beside a baseline
launched the same way in the same run: the program with GStreamer's own element
ranking (GST_PLUGIN_FEATURE_RANK set, but empty), so that the display-device
probe of the video sink search runs as it did before.

With --subjects N the data folder holds N subject files; with --beside
another build of the program is the baseline instead, launched alike.

Usage: bench_startup.py [--program build/bin/vugVorkel] [--runs 5] [--subjects N] [--beside other/bin/vugVorkel]
"""
import argparse
import os
import shutil
import sqlite3
import statistics
import subprocess
import tempfile
import time

from Xlib import X, display, protocol

TITLE = "Компьютерный полиграф - Воркел"
POLL_S = 0.005


def fill_data_folder(home, subjects):
    """subjects files of an empty subject each, in the default data folder."""
    folder = os.path.join(home, "Documents", ".VorkelData")
    os.makedirs(folder)
    if subjects <= 0:
        return
    first = os.path.join(folder, "Обследуемый 00000.qmz")
    database = sqlite3.connect(first)
    database.execute("CREATE TABLE inspection (test_id VARCHAR(40) NOT NULL, data_type integer NOT NULL, "
                     "data BLOB NOT NULL);")
    database.commit()
    database.close()
    for n in range(1, subjects):
        shutil.copyfile(first, os.path.join(folder, "Обследуемый %05d.qmz" % n))


def fresh_home(subjects=0):
    home = tempfile.mkdtemp(prefix="vorkel-startup-")
    config = os.path.join(home, ".config", "Vorkel")
    os.makedirs(config)
    # As tools/run.sh does on a first start: the demonstration device.
    with open(os.path.join(config, "2.0.conf"), "w") as settings:
        settings.write("[Generic]\nsNameDriverDll=vugSensorDemo.so\n")
    fill_data_folder(home, subjects)
    return home


class Screen:
    def __init__(self):
        self.display = display.Display()
        self.root = self.display.screen().root
        self.atom = {name: self.display.intern_atom(name)
                     for name in ("_NET_WM_NAME", "_NET_WM_PID", "UTF8_STRING", "WM_PROTOCOLS", "WM_DELETE_WINDOW")}

    def _property(self, window, name, kind):
        reply = window.get_full_property(self.atom[name], kind)
        return reply.value if reply else None

    def titled_window(self, pid):
        """The viewable window of the process that carries the title, or None."""
        pending = [self.root]
        while pending:
            window = pending.pop()
            try:
                pending.extend(window.query_tree().children)
                owner = self._property(window, "_NET_WM_PID", X.AnyPropertyType)
                if owner is None or owner[0] != pid:
                    continue
                name = self._property(window, "_NET_WM_NAME", self.atom["UTF8_STRING"])
                if name is None or name.decode("utf-8", "replace") != TITLE:
                    continue
                if window.get_attributes().map_state == X.IsViewable:
                    return window
            except Exception:  # the window went away meanwhile
                continue
        return None

    def close(self, window):
        event = protocol.event.ClientMessage(window=window, client_type=self.atom["WM_PROTOCOLS"],
                                             data=(32, [self.atom["WM_DELETE_WINDOW"], X.CurrentTime, 0, 0, 0]))
        window.send_event(event)
        self.display.flush()


def start_once(screen, program, home, baseline, limit_s=60.0, ranking=True):
    """Seconds from the launch to the titled window, or None when it never came."""
    environment = dict(os.environ, HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"))
    environment.pop("GST_PLUGIN_FEATURE_RANK", None)
    if baseline and ranking:
        environment["GST_PLUGIN_FEATURE_RANK"] = ""
    started = time.monotonic()
    process = subprocess.Popen([program], env=environment, cwd=os.path.dirname(program),
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    seconds = None
    window = None
    while time.monotonic() - started < limit_s and process.poll() is None:
        window = screen.titled_window(process.pid)
        if window is not None:
            seconds = time.monotonic() - started
            break
        time.sleep(POLL_S)
    # Closed as the examiner closes it, so that the next start finds its settings.
    if window is not None:
        time.sleep(1.0)
        screen.close(window)
    try:
        process.wait(timeout=15)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()
    return seconds


def shown(seconds):
    return "never" if seconds is None else "%.2f s" % seconds


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    here = os.path.dirname(os.path.abspath(__file__))
    parser.add_argument("--program", default=os.path.join(here, "..", "build", "bin", "vugVorkel"))
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--subjects", type=int, default=0)
    parser.add_argument("--beside")
    arguments = parser.parse_args()
    programs = {False: os.path.abspath(arguments.program),
                True: os.path.abspath(arguments.beside or arguments.program)}
    ranking = arguments.beside is None
    screen = Screen()

    homes = {baseline: fresh_home(arguments.subjects) for baseline in (False, True)}

    def start(baseline):
        return start_once(screen, programs[baseline], homes[baseline], baseline, ranking=ranking)

    first = {baseline: start(baseline) for baseline in (False, True)}
    warm = {False: [], True: []}
    for _ in range(arguments.runs):
        for baseline in (False, True):
            warm[baseline].append(start(baseline))

    baseline_name = "baseline, GStreamer's own ranking" if ranking else "baseline " + programs[True]
    for baseline, name in ((False, "program"), (True, baseline_name)):
        times = [t for t in warm[baseline] if t is not None]
        median = statistics.median(times) if times else None
        print("%s: first start in a fresh home %s; warm median of %d %s (%s)"
              % (name, shown(first[baseline]), len(warm[baseline]), shown(median),
                 ", ".join(shown(t) for t in warm[baseline])))
    print("target: titled main window within 1.5 s")


if __name__ == "__main__":
    main()
