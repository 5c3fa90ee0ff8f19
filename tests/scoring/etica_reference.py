#!/usr/bin/env python3
"""Expected reaction features for tst_ceticareference, computed from the recipe
on their own: reads a recording as JSON (three channels, marks, analysis
interval) and prints {"outcome": ..., "rows": [[14 features] per label]}.

Beyond the bare recipe: the breathing ring read at index W wraps to slot 0; the
feature range is clamped to the records that exist; the walk stops at the end
of the shortest channel; a negative segment or an empty channel gives zero rows.
"""
import json
import sys

import numpy as np

STEP = 10


def pulse_measures(x):
    """(A, P, M) after each sample of the pulse channel."""
    out = np.zeros((len(x), 3))
    y = y1 = y2 = 0.0
    prev_f = prev_d = 0.0
    count, total = 0, 0.0
    a = p = m = 0.0
    for i, v in enumerate(x):
        y2, y1 = y1, y
        y = 1.5198 * y1 - 0.6384 * y2 + v / 34.923795
        f = y + 2 * y1 + y2
        d = f - prev_f
        prev_f = f
        count += 1
        total += abs(v - m)
        if prev_d * d < 0 and d >= 0:
            p, a, m = count, total / count, v
            count, total = 0, 0.0
        prev_d = d
        out[i] = (a, p, m)
    return out


def breathing_measures(x, w_len):
    """(A, P, M) after each sample of the breathing channel."""
    out = np.zeros((len(x), 3))
    ring = np.zeros(w_len)
    w = 0
    y = y1 = y2 = 0.0
    prev_f = prev_d = 0.0
    since = 0
    h = [0, 0, 0]
    phase = 0
    a = p = m = 0.0

    def slots(idx):
        idx = np.where(idx < 0, idx + w_len, idx)
        return ring[np.where(idx == w_len, 0, idx)]

    for i, v in enumerate(x):
        since += 1
        phase = (phase + 1) % STEP
        y2, y1 = y1, y
        y = v / 143.0526187857 + 1.749922 * y1 - 0.7777734 * y2
        f = 2 * y1 + y + y2
        d = f - prev_f
        if d > 0 and prev_d <= 0 and since > (h[0] + h[1] + h[2]) // 6:
            h = [h[1], h[2], since]
            since = 0
        if h[2] == 0:
            h[2] = 1
        prev_d, prev_f = d, f
        if w == w_len:
            ring[0] = v
            w = 1
        else:
            ring[w] = v
            w += 1
        if phase == 0:
            h[2] = min(h[2], w_len)
            n = h[2]
            window = slots(w - np.arange(n))
            m = window.mean()
            s = np.abs(window - m).mean()
            if s <= 0:
                s = 1.0
            k = np.arange(1, n + 1)
            g = 64 * np.abs(slots(w - k) - slots(w - k + 1)).sum()
            a, p = s, min(g / n / s, w_len)
        out[i] = (a, p, m)
    return out


def features(records, b, e):
    row = np.zeros(14)
    b, e = max(b, 0), min(e, len(records))
    if b >= e:
        return row
    part = np.array(records[b:e])  # records x (pulse A P M, breathing A P M, skin A)
    sd, mean = part.std(axis=0), part.mean(axis=0)
    row[0:3], row[3:6] = sd[0:3], mean[0:3]
    row[6:9], row[9:12] = sd[3:6], mean[3:6]
    row[12], row[13] = sd[6], mean[6]
    return row


def evaluate(rec):
    interval = rec["interval"]
    w_len = int(interval["nIALength"]) * 20
    capacity = w_len // STEP
    b = int(interval["nIABegin"]) * 20 // STEP
    e = int(interval["nIAEnd"]) * 20 // STEP
    first = rec["firstQuestionEnd"]
    segments = rec["segmentLengths"]
    rows = np.zeros((len(segments), 14))
    if first < 0 or any(s < 0 for s in segments):
        return "negative segment", rows
    channels = [np.array(rec[name], dtype=float) for name in ("pulse", "breathing", "skinGalvanic")]
    n = min(len(c) for c in channels)
    if n == 0:
        return "empty channel", rows
    if w_len < 1:
        return "evaluated", rows
    pulse = pulse_measures(channels[0][:n])
    breathing = breathing_measures(channels[1][:n], w_len)
    skin = channels[2][:n]

    pos = first
    for label, length in enumerate(segments):
        records = []
        for counter in range(length):
            if pos >= n:
                return "evaluated", rows
            if pos % STEP == 0 and len(records) < capacity:
                records.append(list(pulse[pos]) + list(breathing[pos]) + [skin[pos]])
            if counter == w_len:
                rows[label] = features(records, b, e)
            pos += 1
    return "evaluated", rows


def main():
    with open(sys.argv[1], encoding="utf-8") as f:
        rec = json.load(f)
    outcome, rows = evaluate(rec)
    json.dump({"outcome": outcome, "rows": [[float(v) for v in r] for r in rows]}, sys.stdout)


if __name__ == "__main__":
    main()
