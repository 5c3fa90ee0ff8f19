#!/usr/bin/env python3
"""Expected values for tst_signalanalysis and tst_filterstate, computed straight
from the routines' formulas on the test signals (run it and paste the output)."""
import math


def sine(size, period, amplitude):
    return [int(round(amplitude * math.sin(2 * math.pi * k / period))) for k in range(size)]


def valleys(x, start, count, w, t, mode):
    """Valleys and low runs; callers keep start >= w and start + count - 1 + w < len(x)."""
    out, i, r = [], 0, 0
    while i < count:
        p = start + i
        if x[p] < -12046:
            r += 1
            i += 1
            continue
        if r > 0:
            out.append(i - r // 2)
        r = 0
        if not (x[p] < x[p - w] - t and x[p] < x[p + w] - t):
            i += 1
            continue
        if mode == 2:
            out.append(i)
        elif mode == 0:
            q = p
            while q + w < len(x) - 1 and x[q] < x[q - w] - t and x[q] < x[q + w] - t:
                q += 1
            out.append(i + (q - p) // 2)
        i += w + 1
    return out


def peaks(x, start, count, w, t, mode):
    return valleys([-v for v in x], start, count, w, t, mode)


def rate(x, start, length, n):
    p = peaks(x, start, length + 2, 4, 3, 0)
    d = [p[k] - p[k - 1] for k in range(1, len(p))]
    if n >= 0:
        d = d[:n]
    if not d:
        return 0
    r = 60000 / ((sum(d) / len(d)) * 50)
    return int(r) if r > 0 else 0


def filter_a(xs):
    s2 = s3 = 0.0
    out = []
    for x in xs:
        y = x / 34.923795 + (1.5198 * s2 + (-0.6384) * s3)
        out.append(s3 + (2 * s2 + y))
        s3, s2 = s2, y
    return out


def filter_b(xs):
    s0 = s1 = 0.0
    out = []
    for x in xs:
        y = x / 143.0526187857 + (1.749922 * s0 + (-0.7777734) * s1)
        out.append(s1 + (2 * s0 + y))
        s1, s0 = s0, y
    return out


if __name__ == "__main__":
    x = sine(200, 20, 2000)
    print("sine peaks mode 0:", peaks(x, 4, 180, 4, 3, 0))
    print("sine valleys mode 0:", valleys(x, 4, 180, 4, 3, 0))
    print("sine peaks mode 2:", peaks(x, 4, 180, 4, 3, 2))
    print("sine pulse valleys w2 t1 mode 2:", valleys(x, 2, 190, 2, 1, 2))
    print("sine rate out vectors (length 180): peaks", peaks(x, 4, 182, 4, 3, 0),
          "valleys", valleys(x, 4, 182, 4, 3, 0))
    print("sine rate all:", rate(x, 4, 180, -1), "first 3:", rate(x, 4, 180, 3))
    y = sine(400, 27, 3000)
    print("sine27 peaks:", peaks(y, 4, 380, 4, 3, 0), "rate:", rate(y, 4, 380, -1))
    step = [0.0] * 5 + [1000.0] * 45
    picks = [0, 4, 5, 6, 7, 10, 15, 25, 49]
    a, b = filter_a(step), filter_b(step)
    print("step A:", [(k, "%.10g" % a[k]) for k in picks])
    print("step B:", [(k, "%.10g" % b[k]) for k in picks])
    c = [1000.0] * 2000
    print("constant A end: %.10g  B end: %.10g" % (filter_a(c)[-1], filter_b(c)[-1]))
