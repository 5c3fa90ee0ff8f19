#!/usr/bin/python3
"""Expected points sums for tst_ballsums, computed from the rules on their own.

Reads the cases as JSON (per case: weights, disabled presentations, entries
with the map keys they lie under, and the question, presentation and channel
values to ask about) and prints, per case, the three tables of sums:
{"results": [{"byQuest": [[q][c]], "byGroup": [[p][c]], "weighted": [[q][p]],
"window": [[q][p]]}]}. Integer sums wrap as 32-bit integers; the weighted sums
are numpy.float32 all the way, entries in ascending order of their map keys:
the points window's channel by channel, the statistics window's (ПГ + КГР) +
Дых per entry, every presentation for a negative one.
"""
import json
import sys

import numpy as np

FIELDS = ("GSRPar", "FPGPar", "nRG")


def score(entry, channel):
    return entry[FIELDS[channel]] if channel in (0, 1, 2) else 0


def wrap32(values):
    return (sum(values) + 2**31) % 2**32 - 2**31


def counted(case):
    """The entries in walk order, without those of disabled presentations."""
    disabled = set(case["disabled"])
    walk = sorted(case["entries"], key=lambda e: (e["key"][0], e["key"][1]))
    return [e for e in walk if e["iGroup"] not in disabled]


def sum_by_quest(entries, q, c):
    return wrap32([score(e, c) for e in entries if e["iQuest"] == q])


def sum_by_group(entries, p, c):
    return wrap32([score(e, c) for e in entries if e["iQuest"] >= 0 and (p < 0 or e["iGroup"] == p)])


def weighted(entries, weights, q, p):
    w = [np.float32(x) for x in weights]
    total = np.float32(0.0)
    for e in entries:
        if e["iQuest"] == q and e["iGroup"] == p:
            total = np.float32(total + np.float32(e["GSRPar"]) * w[0])
            total = np.float32(total + np.float32(e["FPGPar"]) * w[1])
            total = np.float32(total + np.float32(e["nRG"]) * w[2])
    return float(total)


def window_sum(entries, weights, p, q):
    w = [np.float32(x) for x in weights]
    total = np.float32(0.0)
    for e in entries:
        if e["iQuest"] == q and (p < 0 or e["iGroup"] == p):
            pulse_and_skin = np.float32(np.float32(e["FPGPar"]) * w[1] + np.float32(e["GSRPar"]) * w[0])
            total = np.float32(total + np.float32(pulse_and_skin + np.float32(e["nRG"]) * w[2]))
    return float(total)


def evaluate(case):
    entries = counted(case)
    quests, groups, channels = case["quests"], case["groups"], case["channels"]
    return {
        "byQuest": [[sum_by_quest(entries, q, c) for c in channels] for q in quests],
        "byGroup": [[sum_by_group(entries, p, c) for c in channels] for p in groups],
        "weighted": [[weighted(entries, case["weights"], q, p) for p in groups] for q in quests],
        "window": [[window_sum(entries, case["weights"], p, q) for p in groups] for q in quests],
    }


def main():
    with open(sys.argv[1], encoding="utf-8") as source:
        cases = json.load(source)["cases"]
    json.dump({"results": [evaluate(case) for case in cases]}, sys.stdout)


if __name__ == "__main__":
    main()
