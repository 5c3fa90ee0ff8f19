#!/usr/bin/env python3
"""Draws resources/images/MetrVal_*.png: for each kind of automatic metric
parameter a schematic curve of its channel, the question shaded, and what is
measured marked in red (vertical arrows for amplitudes, horizontal spans for
durations and cycle counts, the measured stretch of curve for lengths)."""
import importlib.util
import math
import os
import sys

W, H = 320, 160
S = 3  # supersampling for smooth edges

BACKGROUND = (255, 255, 255)
GRID = (232, 232, 232)
QUESTION = (255, 244, 190)
CURVE = (30, 60, 150)
MEASURE = (210, 30, 30)
GUIDE = (150, 150, 150)

Q_START, Q_END = 70, 115  # the question mark, in picture x


def load_png_writer():
    here = os.path.dirname(os.path.abspath(__file__))
    found = importlib.util.spec_from_file_location("addquest", os.path.join(here, "draw-addquest-picture.py"))
    module = importlib.util.module_from_spec(found)
    found.loader.exec_module(module)
    return module.png


class Canvas:
    def __init__(self):
        self.px = [[BACKGROUND] * (W * S) for _ in range(H * S)]

    def dot(self, x, y, radius, colour):
        cx, cy, r = x * S, y * S, radius * S
        for sy in range(max(0, int(cy - r)), min(H * S, int(cy + r) + 1)):
            for sx in range(max(0, int(cx - r)), min(W * S, int(cx + r) + 1)):
                if (sx + 0.5 - cx) ** 2 + (sy + 0.5 - cy) ** 2 <= r * r:
                    self.px[sy][sx] = colour

    def rect(self, x0, y0, x1, y1, colour):
        for sy in range(max(0, int(y0 * S)), min(H * S, int(y1 * S))):
            row = self.px[sy]
            for sx in range(max(0, int(x0 * S)), min(W * S, int(x1 * S))):
                row[sx] = colour

    def line(self, x0, y0, x1, y1, width, colour, dash=0):
        length = math.hypot(x1 - x0, y1 - y0)
        steps = max(1, int(length * S * 2))
        for i in range(steps + 1):
            f = i / steps
            if dash and int(f * length / dash) % 2:
                continue
            self.dot(x0 + (x1 - x0) * f, y0 + (y1 - y0) * f, width / 2, colour)

    def polyline(self, points, width, colour):
        for (x0, y0), (x1, y1) in zip(points, points[1:]):
            self.line(x0, y0, x1, y1, width, colour)

    def triangle(self, a, b, c, colour):
        def side(p, q, r):
            return (r[0] - q[0]) * (p[1] - q[1]) - (r[1] - q[1]) * (p[0] - q[0])

        xs, ys = [a[0], b[0], c[0]], [a[1], b[1], c[1]]
        for sy in range(max(0, int(min(ys) * S)), min(H * S, int(max(ys) * S) + 1)):
            for sx in range(max(0, int(min(xs) * S)), min(W * S, int(max(xs) * S) + 1)):
                p = ((sx + 0.5) / S, (sy + 0.5) / S)
                d = (side(p, a, b), side(p, b, c), side(p, c, a))
                if all(v >= 0 for v in d) or all(v <= 0 for v in d):
                    self.px[sy][sx] = colour

    def arrow(self, x0, y0, x1, y1):
        """A dimension line with heads at both ends."""
        self.line(x0, y0, x1, y1, 1.6, MEASURE)
        length = math.hypot(x1 - x0, y1 - y0)
        ux, uy = (x1 - x0) / length, (y1 - y0) / length
        for (tx, ty), sign in (((x0, y0), 1), ((x1, y1), -1)):
            bx, by = tx + sign * ux * 7, ty + sign * uy * 7
            self.triangle((tx, ty), (bx - uy * 3.5, by + ux * 3.5), (bx + uy * 3.5, by - ux * 3.5), MEASURE)

    def rows(self):
        out = []
        for y in range(H):
            row = []
            for x in range(W):
                acc = [0, 0, 0]
                for sy in range(S):
                    for sx in range(S):
                        c = self.px[y * S + sy][x * S + sx]
                        acc[0] += c[0]
                        acc[1] += c[1]
                        acc[2] += c[2]
                row.append(tuple(round(v / (S * S)) for v in acc) + (255,))
            out.append(row)
        return out


def base():
    c = Canvas()
    for x in range(20, W, 40):
        c.rect(x, 0, x + 1, H, GRID)
    for y in range(20, H, 40):
        c.rect(0, y, W, y + 1, GRID)
    c.rect(Q_START, 0, Q_END, H, QUESTION)
    return c


def sample(f, x0=4, x1=W - 4):
    return [(x, f(x)) for x in [x0 + i * 0.5 for i in range(int((x1 - x0) * 2) + 1)]]


def bump(x, centre, width):
    return math.exp(-((x - centre) / width) ** 2)


def guide(c, x0, x1, y):
    c.line(x0, y, x1, y, 1, GUIDE, dash=4)


# --- КГР: a small wave before the question, the reaction after it ---
def gsr(x):
    return 120 - 22 * bump(x, 45, 12) + 9 * bump(x, 100, 12) - 70 * bump(x, 160, 26) + 22 * bump(x, 228, 20)


def gsr_picture(mode):
    c = base()
    c.polyline(sample(gsr), 2.2, CURVE)
    peak = (160, gsr(160))
    # mode 1 from the preceding wave, 2 from the start of the rise, 3 down to the following half-wave
    low = {1: (45, gsr(45)), 2: (100, gsr(100)), 3: (228, gsr(228))}[mode]
    x0, x1 = min(low[0], peak[0]) - 12, max(low[0], peak[0]) + 12
    guide(c, x0, x1, low[1])
    guide(c, x0, x1, peak[1])
    x = x1 + 8 if mode == 3 else x0 - 8
    c.arrow(x, low[1], x, peak[1])
    return c


# --- breathing ---
PERIOD = 52


def breath(x, amplitude=lambda x: 30):
    return 80 - amplitude(x) * math.sin(2 * math.pi * (x - 8) / PERIOD)


def peaks_from(start, count):
    first = 8 + PERIOD / 4 + PERIOD * math.ceil((start - 8 - PERIOD / 4) / PERIOD)
    return [first + k * PERIOD for k in range(count)]


def breath_length():
    c = base()
    c.polyline(sample(breath), 2.2, CURVE)
    c.polyline(sample(breath, Q_START, Q_START + 150), 3.2, MEASURE)
    c.arrow(Q_START, 145, Q_START + 150, 145)
    c.line(Q_START, 130, Q_START, 150, 1, GUIDE, dash=3)
    c.line(Q_START + 150, 130, Q_START + 150, 150, 1, GUIDE, dash=3)
    return c


def breath_period(cycles):
    c = base()
    c.polyline(sample(breath), 2.2, CURVE)
    start = peaks_from(Q_START, 1)[0]
    end = start + cycles * PERIOD
    for x in (start, end):
        c.line(x, breath(x) - 8, x, 150, 1, GUIDE, dash=3)
        c.dot(x, breath(x), 3.5, MEASURE)
    c.arrow(start, 142, end, 142)
    return c


def breath_ampl_min():
    def amplitude(x):
        return 30 - 20 * bump(x, 175, 40)

    c = base()
    c.polyline(sample(lambda x: breath(x, amplitude)), 2.2, CURVE)
    top = peaks_from(150, 1)[0]
    low = top + PERIOD / 2
    guide(c, top - 10, low + 20, breath(top, amplitude))
    guide(c, top - 10, low + 20, breath(low, amplitude))
    c.arrow(low + 12, breath(top, amplitude), low + 12, breath(low, amplitude))
    return c


# --- pulse (АД, ПГ) ---
BEAT = 22


def pg_shape(phase):
    """Steep rise, slow fall."""
    return math.sin(math.pi * phase / 0.3) if phase < 0.3 else (1 - (phase - 0.3) / 0.7) ** 1.5 * 0.9


def ad_shape(phase):
    """Rounder, with the dicrotic notch on the fall."""
    return 0.5 * (1 - math.cos(2 * math.pi * phase)) * (1 - 0.25 * bump(phase, 0.62, 0.06)) if phase < 0.9 else \
        0.5 * (1 - math.cos(2 * math.pi * phase))


def pulse_wave(x, amplitude=lambda x: 18, level=lambda x: 85, shape=pg_shape):
    return level(x) - amplitude(x) * shape(((x - 4) % BEAT) / BEAT)


def beat_tops(start, count, shape=pg_shape):
    offset = 0.15 if shape is pg_shape else 0.5
    first = 4 + offset * BEAT + BEAT * math.ceil((start - 4 - offset * BEAT) / BEAT)
    return [first + k * BEAT for k in range(count)]


def pulse_count(shape, cycles=6):
    def wave(x):
        return pulse_wave(x, shape=shape)

    c = base()
    c.polyline(sample(wave), 2.0, CURVE)
    tops = beat_tops(Q_START, cycles + 1, shape)
    for x in tops:
        c.dot(x, wave(x), 3.2, MEASURE)
    c.arrow(tops[0], 135, tops[-1], 135)
    for x in (tops[0], tops[-1]):
        c.line(x, wave(x) + 6, x, 150, 1, GUIDE, dash=3)
    return c


def pulse_rise(mode):
    def level(x):
        return 110 - 45 * (1 / (1 + math.exp(-(x - 150) / 18))) + 10 * bump(x, 95, 20)

    c = base()
    c.polyline(sample(lambda x: pulse_wave(x, lambda _: 12, level, ad_shape)), 2.0, CURVE)
    c.polyline(sample(level, 10, W - 10), 1.2, GUIDE)
    top = (250, level(250))
    low = (Q_START, level(Q_START)) if mode == 1 else (95, level(95))
    guide(c, low[0] - 10, top[0] + 20, low[1])
    guide(c, low[0] - 10, top[0] + 20, top[1])
    c.arrow(top[0] + 12, low[1], top[0] + 12, top[1])
    return c


def pulse_ampl_min(shape):
    def amplitude(x):
        return 40 - 22 * bump(x, 185, 30)

    def wave(x):
        return pulse_wave(x, amplitude, shape=shape)

    c = base()
    c.polyline(sample(wave), 2.0, CURVE)
    top = beat_tops(180, 1, shape)[0]
    guide(c, top - 8, top + 34, wave(top))
    guide(c, top - 8, top + 34, 85)
    c.arrow(top + 28, 85, top + 28, wave(top))
    return c


def pulse_fall(mode):
    def amplitude(x):
        return 34 - 24 * (1 / (1 + math.exp(-(x - 150) / 14))) + 8 * bump(x, 40, 18) * (mode == 2)

    c = base()
    c.polyline(sample(lambda x: pulse_wave(x, amplitude, lambda _: 110)), 2.0, CURVE)
    c.polyline(sample(lambda x: 110 - amplitude(x) * 0.96, 10, W - 10), 1.2, GUIDE)
    start = Q_START if mode == 1 else 40
    end = 250
    before, after = 110 - amplitude(start) * 0.96, 110 - amplitude(end) * 0.96
    guide(c, start - 10, end + 20, before)
    guide(c, start - 10, end + 20, after)
    c.arrow(end + 14, before, end + 14, after)
    return c


PICTURES = {
    "MetrVal_GSR_ampl_mode1.png": lambda: gsr_picture(1),
    "MetrVal_GSR_ampl_mode2.png": lambda: gsr_picture(2),
    "MetrVal_GSR_ampl_mode3.png": lambda: gsr_picture(3),
    "MetrVal_RG_length.png": breath_length,
    "MetrVal_RG_period2.png": lambda: breath_period(2),
    "MetrVal_RG_period25.png": lambda: breath_period(2.5),
    "MetrVal_RG_period3.png": lambda: breath_period(3),
    "MetrVal_RG_ampl_min.png": breath_ampl_min,
    "MetrVal_AD_period_count.png": lambda: pulse_count(ad_shape),
    "MetrVal_AD_up_mode1.png": lambda: pulse_rise(1),
    "MetrVal_AD_up_mode2.png": lambda: pulse_rise(2),
    "MetrVal_AD_ampl_min.png": lambda: pulse_ampl_min(ad_shape),
    "MetrVal_PG_freq.png": lambda: pulse_count(pg_shape),
    "MetrVal_PG_down_mode1.png": lambda: pulse_fall(1),
    "MetrVal_PG_down_mode2.png": lambda: pulse_fall(2),
    "MetrVal_PG_ampl_min.png": lambda: pulse_ampl_min(pg_shape),
}

if __name__ == "__main__":
    folder = sys.argv[1] if len(sys.argv) > 1 else "resources/images"
    png = load_png_writer()
    for name, draw in PICTURES.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(png(draw().rows()))
