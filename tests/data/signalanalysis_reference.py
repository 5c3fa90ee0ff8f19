#!/usr/bin/env python3
"""Expected values for tst_signalanalysis and tst_filterstate, computed straight
from the routines' formulas on the test signals (run it and paste the output)."""
import json
import math
import sys


def sine(size, period, amplitude):
    return [int(round(amplitude * math.sin(2 * math.pi * k / period))) for k in range(size)]


def valleys(x, start, count, w, t, mode):
    """Valleys and low runs over the part of the window that was recorded; a
    sample whose comparison window leaves the recording is never a valley."""
    def low(p):
        return p - w >= 0 and p + w < len(x) and x[p] < x[p - w] - t and x[p] < x[p + w] - t

    out, r = [], 0
    i, end = max(0, -start), min(count, len(x) - start)
    while i < end:
        p = start + i
        if x[p] < -12046:
            r += 1
            i += 1
            continue
        if r > 0:
            out.append(i - r // 2)
        r = 0
        if not low(p):
            i += 1
            continue
        if mode == 2:
            out.append(i)
        elif mode == 0:
            q = p
            while q + w < len(x) - 1 and low(q):
                q += 1
            out.append(i + (q - p) // 2)
        i += w + 1
    return out


def peaks(x, start, count, w, t, mode):
    return valleys([-v for v in x], start, count, w, t, mode)


def rate(x, start, length, n):
    return rate_and_peaks(x, start, length, n)[0]


def rate_and_peaks(x, start, length, n):
    p = peaks(x, start, length + 2, 4, 3, 0)
    d = [p[k] - p[k - 1] for k in range(1, len(p))]
    if n >= 0:
        d = d[:n]
    if not d:
        return 0, p
    r = 60000 / ((sum(d) / len(d)) * 50)
    return (int(r) if r > 0 else 0), p


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


# --- automatic measurement of the metric catalogue, from the parameters' names ---

def to_int16(v):
    return int(max(-32768.0, min(32767.0, v)))


def search_series(raw, divisor, filt, shift):
    """The channel on the 12-bit scale plus 10000, truncated to int16; filtered,
    the output of sample i goes to i - shift for i >= shift and the places never
    written stay 0."""
    scaled = [v / divisor for v in raw]
    if filt is None:
        return [to_int16(v + 10000) for v in scaled]
    y = filt(scaled)
    out = [0] * len(raw)
    for i in range(shift, len(raw)):
        out[i - shift] = to_int16(y[i] + 10000)
    return out


def distance(a, b):
    d = int(math.sqrt((a[0] - b[0]) ** 2 + (a[1] - b[1]) ** 2))
    return d // 10 if a[0] == b[0] else d


def arg_best(lst, s, start, better):
    best = -1
    for k in range(len(lst)):
        if best < 0 or better(s[start + lst[k]], s[start + lst[best]]):
            best = k
    return best


def first_between(lst, a, b):
    lo, hi = min(a, b), max(a, b)
    return next((k for k, v in enumerate(lst) if lo < v < hi), -1)


def weakest_swing(s, start, p, q, limit):
    best, found = limit, (-1, -1)
    for i in range(1, len(p) - 1):
        a1, a2 = first_between(q, p[i - 1], p[i]), first_between(q, p[i], p[i + 1])
        if a1 < 0 or a2 < 0:
            continue
        d1 = s[start + p[i]] - s[start + q[a1]]
        d2 = s[start + p[i]] - s[start + q[a2]]
        if d1 < best or d2 < best:
            best = d2 if d2 < d1 else d1
            found = (i, a2 if d2 < d1 else a1)
    return found


def vertical(raw, start, off, m, a):
    return ((off + m, raw[start + m]), (off + m, raw[start + a]))


def with_distance(c):
    return None if c is None else (c[0], c[1], distance(c[0], c[1]))


def gsr(kind, raw, f, start, length):
    if not 0 <= start < len(raw):
        return None
    mn = peaks(f, start, length, 10, 2, 0)
    k = arg_best(mn, f, start, lambda a, b: a > b)
    if k < 0 or mn[k] == 0:
        return None
    p = mn[k]

    def lowest(lo, hi):
        r = [i for i in range(max(lo, 0), min(hi, len(f) - 1) + 1)]
        return min(r, key=lambda i: (f[i], i)) if r else None

    low = {"режим-1": start, "режим-2": lowest(start, start + p - 1),
           "режим-3": lowest(start + p, start + length - 1)}.get(kind)
    if low is None:
        return None
    return with_distance(((p, raw[start + p]), (p, raw[low])))


def pulse(sub, leaf, raw, g, start, length, limit):
    mn = peaks(g, start, length, 2, 1, 2)
    mx = valleys(g, start, length, 2, 1, 2)
    if not mn or not mx:
        return None
    at = lambda k: raw[start + mx[k]]
    big = lambda s: arg_best(mx, s, start, lambda a, b: a > b)
    small = lambda s: arg_best(mx, s, start, lambda a, b: a < b)
    if sub == "Спад":
        k, j = big(raw), (0 if leaf == "режим 1" else small(raw))
        return with_distance(((mx[k], at(k)), (mx[k], at(j))))
    if sub == "Подъем":
        k, j = big(g), (0 if leaf == "режим 1" else small(g))
        return with_distance(((mx[k], at(j)), (mx[k], at(k))))
    if sub == "Амплитуда":
        i, a = weakest_swing(raw, start, mn, mx, limit)
        return None if i < 0 else with_distance(vertical(raw, start, 0, mn[i], mx[a]))
    n = int(leaf.split()[0])
    v, L = rate_and_peaks(g, start, length, n)
    if v <= 0 or n >= len(L):
        return None
    y = raw[start + L[0]]
    return ((L[0], y), (L[n], y), v)


def breath(sub, leaf, raw, b, mark, ia, limit):
    group, qs, qe = mark
    if sub.startswith("Длина"):
        o = qe if "конец" in sub else qs
        count = int(leaf.split()[0]) * 20
        if not (0 <= o < len(raw) and 0 <= o + count < len(raw)):
            return None
        total = sum(abs(raw[i] - raw[i - 1]) for i in range(max(o, 1), min(o + count - 1, len(raw) - 1) + 1))
        return ((o - qs, raw[o]), (o - qs + count, raw[o]), total)
    start, length = (qe, ia) if "конец" in sub else (qs, qe - qs + ia)
    off = start - qs
    mn = peaks(b, start, length, 12, 3, 0)
    mx = valleys(b, start, length, 12, 3, 0)
    if sub == "Амплитуда":
        i, a = weakest_swing(raw, start, mn, mx, limit)
        return None if i < 0 else with_distance(vertical(raw, start, off, mn[i], mx[a]))
    end = None
    if leaf == "2 цикла" and len(mn) >= 3 and mx:
        end = mn[2]
    elif leaf == "2.5 цикла" and len(mn) >= 3 and len(mx) >= 3:
        end = next((m for m in mx if m > mn[2]), None)
    elif leaf == "3 цикла" and len(mn) >= 4 and len(mx) >= 3:
        end = mn[3]
    if end is None or off + mn[0] < 0 or off + end < 0:
        return None
    y = raw[start + mn[0]]
    return with_distance(((off + mn[0], y), (off + end, y)))


def measure(recording):
    """Records [uid, group, theme, x1, y1, x2, y2, value] of every parameter and mark."""
    divisor = 16 if recording["sixteen"] else 1
    ia, limit = recording["ia"], 10000 * divisor
    records = []
    for param in recording["params"]:
        code = param["channel"]
        raw = recording["channels"].get(str(code), [])
        _, sub, leaf = param["name"].split("\n")
        if code == 0:
            f = search_series(raw, divisor, None, 0)
            one = lambda m: gsr(leaf, raw, f, m[2], m[3] - m[2] + ia)
        elif code in (4, 7, 9):
            g = search_series(raw, divisor, filter_a, 3)
            one = lambda m: pulse(sub, leaf, raw, g, m[2], m[3] - m[2] + ia, limit)
        elif code in (2, 3):
            b = search_series(raw, divisor, filter_b, 10)
            one = lambda m: breath(sub, leaf, raw, b, (m[0], m[2], m[3]), ia, limit)
        else:
            continue
        for m in recording["marks"]:
            r = one(m)
            c = [0, 0, 0, 0, 0] if r is None else [r[0][0], r[0][1], r[1][0], r[1][1], r[2]]
            records.append([param["uid"], m[0], m[1]] + c)
    return records


if __name__ == "__main__" and len(sys.argv) > 1:
    with open(sys.argv[1]) as source:
        json.dump(measure(json.load(source)), sys.stdout)
    sys.exit(0)


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
