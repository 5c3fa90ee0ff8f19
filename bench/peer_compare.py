#!/usr/bin/env python3
"""Page steps of our review window beside EDFbrowser, a separate viewer of the
same kind of recordings, on one Xvfb 1920x1080 screen with openbox.

Both show the same hour of 13 noisy channels at 20 samples a second, at 77 s
(our sweep 1000) and 310 s (sweep 4000) a screen, on both of Qt's raster fill
paths (QT_NO_CPU_FEATURE empty: AVX2 fills; =avx2: SSE2 fills). The peer pages
with PageDown/PageUp, ours by clicks in the horizontal scroll bar's trough, one
screen a step. Figures: CPU of each process (/proc/<pid>/stat utime+stime) per
step, less its idle CPU over the same wall time, three interleaved rounds.

Usage: bench/peer_compare.py [build/bin]
"""
import os
import socket
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
BIN = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "build", "bin"))
OURS = os.path.join(BIN, "bench_peer_review")
TICK = os.sysconf("SC_CLK_TCK")
ROUNDS = 3
STEP_GAP = 0.12
# Steps each way: 40 at 77 s; at 310 s ten steps page the hour.
SPANS = {77: (0, 40), 310: (-1, 10)}
PATHS = (("AVX2 fills", ""), ("SSE2 fills", "avx2"))


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICK


def settle(pid, quiet=0.4, limit=30.0):
    """Waits until the process has spent no CPU for `quiet` seconds."""
    last, since, start = cpu_seconds(pid), time.time(), time.time()
    while time.time() - since < quiet and time.time() - start < limit:
        time.sleep(0.05)
        now = cpu_seconds(pid)
        if now != last:
            last, since = now, time.time()


def idle_rate(pid, seconds=2.0):
    settle(pid)
    before, t = cpu_seconds(pid), time.time()
    time.sleep(seconds)
    return (cpu_seconds(pid) - before) / (time.time() - t)


def xdotool(*args, env):
    return subprocess.run(["xdotool", *args], env=env, capture_output=True, text=True).stdout.split()


def window_of(pid, env, timeout=30):
    end = time.time() + timeout
    while time.time() < end:
        ids = xdotool("search", "--onlyvisible", "--pid", str(pid), env=env)
        if ids:
            return ids[-1]
        time.sleep(0.3)
    raise RuntimeError(f"no window for {pid}")


class Peer:
    def __init__(self, edf, env, port):
        self.proc = subprocess.Popen(["edfbrowser", f"--rc-host-port={port}"], env=env,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.env, self.pid = env, self.proc.pid
        self.win = window_of(self.pid, env)
        xdotool("windowmove", self.win, "0", "0", env=env)
        xdotool("windowsize", self.win, "1920", "1080", env=env)
        for _ in range(100):
            try:
                self.sock = socket.create_connection(("127.0.0.1", port), timeout=5)
                break
            except OSError:
                time.sleep(0.2)
        # Given on the command line the file stays closed here; opened by command it shows
        # no signal, so all 13 go on, fitted to the screen.
        self.command(f"FILE:OPEN {edf}")
        time.sleep(2)
        settle(self.pid)
        for n in range(1, 14):
            self.command(f"SIGNAL:ADD:LABEL ch{n} 1")
            time.sleep(0.3)
        self.command("SIGNAL:AMPLITUDE:FIT:ALL")
        settle(self.pid)

    def command(self, text):
        self.sock.sendall((text + "\n").encode())

    def start_at(self, span):
        self.command(f"TIMESCALE {span}")
        self.command("VIEWTIME 0")

    def activate(self):
        xdotool("windowactivate", "--sync", self.win, env=self.env)

    def step(self, forward):
        xdotool("key", "Next" if forward else "Prior", env=self.env)


class Ours:
    def __init__(self, sweep_index, env):
        self.proc = subprocess.Popen([OURS, str(sweep_index)], env=env, stdout=subprocess.PIPE,
                                     stderr=subprocess.DEVNULL, text=True)
        self.env, self.pid = env, self.proc.pid
        words = self.proc.stdout.readline().split()
        self.info = " ".join(words)
        x, self.y, width = int(words[3]), int(words[4]), int(words[5])
        # Inside the trough, clear of the arrow buttons and of the slider at either end.
        self.right, self.left = x + width - 30, x + 30
        # What the view shows: its width in pixels at sweep/1000 ticks a pixel, 20 ticks a second.
        self.span = int(words[-1]) * int(words[1]) / 1000 / 20
        self.win = window_of(self.pid, env)
        settle(self.pid)

    def start_at(self, span):
        pass  # one process per span; each round pages back to the start

    def activate(self):
        xdotool("windowactivate", "--sync", self.win, env=self.env)

    def step(self, forward):
        xdotool("mousemove", str(self.right if forward else self.left), str(self.y), "click", "1", env=self.env)


def page(viewer, steps, forward):
    """CPU seconds of `steps` page steps one way, less idle CPU of the same wall time."""
    settle(viewer.pid)
    before, t = cpu_seconds(viewer.pid), time.time()
    for _ in range(steps):
        viewer.step(forward)
        time.sleep(STEP_GAP)
    settle(viewer.pid)
    return cpu_seconds(viewer.pid) - before, time.time() - t


def measure(viewer, span, steps, results, key):
    viewer.activate()
    viewer.start_at(span)
    time.sleep(0.5)
    rate = idle_rate(viewer.pid)
    fwd, fwd_wall = page(viewer, steps, True)
    back, back_wall = page(viewer, steps, False)
    fwd -= rate * fwd_wall
    back -= rate * back_wall
    results.setdefault(key, []).append(((fwd + back) / (2 * steps), fwd, rate))


def main():
    if not os.access(OURS, os.X_OK):
        sys.exit(f"build bench_peer_review first: {OURS}")
    subprocess.run([os.path.join(HERE, "peer_setup.sh")], check=True)
    work = tempfile.mkdtemp(prefix="peer_compare.")
    edf = os.path.join(work, "hour.edf")
    subprocess.run([OURS, "--edf", edf], check=True, env={**os.environ, "QT_QPA_PLATFORM": "offscreen"})
    display = ":%d" % (90 + os.getpid() % 500)
    xvfb = subprocess.Popen(["Xvfb", display, "-screen", "0", "1920x1080x24", "-nolisten", "tcp"],
                            stderr=subprocess.DEVNULL)
    time.sleep(1.5)
    base = {k: v for k, v in os.environ.items() if k not in ("QT_NO_CPU_FEATURE", "QT_QPA_PLATFORM")}
    base.update(DISPLAY=display, HOME=work)
    wm = subprocess.Popen(["openbox"], env=base, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    time.sleep(1)
    results, infos = {}, []
    try:
        for name, disabled in PATHS:
            env = {**base, "QT_NO_CPU_FEATURE": disabled}
            peer = Peer(edf, env, 20000 + os.getpid() % 20000)
            ours = {span: Ours(index, env) for span, (index, _) in SPANS.items()}
            infos += [f"{name}: ours {o.info}" for o in ours.values()]
            for r in range(ROUNDS):
                for span, (_, steps) in SPANS.items():
                    measure(ours[span], span, steps, results, ("ours", name, span))
                    # The peer shows what ours shows.
                    measure(peer, ours[span].span, steps, results, ("peer", name, span))
            if os.environ.get("PEER_SHOT"):
                subprocess.run(["import", "-window", "root", os.environ["PEER_SHOT"] + f"-{disabled or 'avx2on'}.png"],
                               env=base)
            for viewer in (peer, *ours.values()):
                viewer.proc.terminate()
                viewer.proc.wait()
    finally:
        wm.terminate()
        xvfb.terminate()
    print("\n".join(infos))
    print("peer timescale set to ours' shown span:", {k: round(v.span, 1) for k, v in ours.items()})
    print("load average: %.2f %.2f %.2f" % os.getloadavg())
    print(f"{'fill path':<11} {'span':>5}  {'ours ms/step':>12} {'peer ms/step':>12} {'ratio':>6}  budget 0.5x")
    median = lambda xs: sorted(xs)[len(xs) // 2]
    ratio = lambda o, p: o / p if p > 0 else float("inf")
    for name, _ in PATHS:
        for span, (_, steps) in SPANS.items():
            o = median([x[0] for x in results[("ours", name, span)]]) * 1e3
            p = median([x[0] for x in results[("peer", name, span)]]) * 1e3
            print(f"{name:<11} {span:>4}s  {o:12.1f} {p:12.1f} {ratio(o, p):6.2f}  {'met' if o <= 0.5 * p else 'NOT met'}")
        o = median([x[1] for x in results[("ours", name, 310)]])
        p = median([x[1] for x in results[("peer", name, 310)]])
        print(f"{name:<11} hour at 310 s ({SPANS[310][1]} steps): ours {o:.2f} s, peer {p:.2f} s CPU,"
              f" ratio {ratio(o, p):.2f}  {'met' if o <= 0.5 * p else 'NOT met'}")
    print("rounds (ms/step):", {" ".join(map(str, k)): [round(x[0] * 1e3, 1) for x in v] for k, v in results.items()})


if __name__ == "__main__":
    main()
