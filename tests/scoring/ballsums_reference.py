#!/usr/bin/python3
"""Expected points sums for the points tests, computed from the rules on their own.

Reads the cases as JSON (per case: weights, disabled presentations, entries
with the map keys they lie under, and the question, presentation and channel
values to ask about) and prints, per case, the three tables of sums:
{"results": [{"byQuest": [[q][c]], "byGroup": [[p][c]], "weighted": [[q][p]],
"window": [[q][p]]}]}. Integer sums wrap as 32-bit integers; the weighted sums
are numpy.float32 all the way, entries in ascending order of their map keys:
the points window's channel by channel, the statistics window's (ПГ + КГР) +
Дых per entry, every presentation for a negative one.

A case that also gives "presentations" (the test's count) and "kinds" (the
kind of each question) gets the figures of both scoring trees besides:
"navigator": {"points": [[c][p]], "totals": [c], "G", "kinf", "kobsch",
"kspec"} (a coefficient list is null where the tree shows none) and
"expert": {"weighted": [[q][p]], "sums": [q], "channelTotals": [[q][c]]}.
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
    """The entries in walk order, without those not in use or of disabled presentations."""
    disabled = set(case["disabled"])
    walk = sorted(case["entries"], key=lambda e: (e["key"][0], e["key"][1]))
    return [e for e in walk if e["bEnable"] and e["iGroup"] not in disabled]


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


def ratio(a, b):
    return float(np.float32(a / b)) if b != 0 else 0.0


def f32_sum(values):
    total = np.float32(0.0)
    for v in values:
        total = np.float32(total + v)
    return total


def navigator(case, entries):
    w = [np.float32(x) for x in case["weights"]]
    disabled = set(case["disabled"])
    presentations = range(1, case["presentations"] + 1)
    points = [[np.float32(0.0) if p in disabled else np.float32(np.float32(sum_by_group(entries, p, c)) * w[c])
               for p in presentations] for c in range(3)]
    totals = [f32_sum(row) for row in points]
    g = f32_sum(totals)
    kinds = case["kinds"]
    control = kinds.index(1) if 1 in kinds else -1
    shown = kinds.count(0) >= 1 and kinds.count(1) == 1 and kinds.count(2) == 0 and control >= 1
    result = {"points": [[float(v) for v in row] for row in points], "totals": [float(t) for t in totals],
              "G": float(g), "kinf": None, "kobsch": None, "kspec": None}
    if shown:
        s = [np.float32(w[c] * np.float32(sum_by_quest(entries, control, c))) for c in range(3)]
        s_sum = f32_sum(s)
        if g > 0:
            result["kinf"] = [ratio(s[c], s_sum) for c in range(3)]
        result["kobsch"] = [ratio(totals[c], g) for c in range(3)]
        result["kspec"] = [ratio(s[c], totals[c]) for c in range(3)]
    return result


def expert(case, entries):
    w = [np.float32(x) for x in case["weights"]]
    disabled = set(case["disabled"])
    presentations = range(1, case["presentations"] + 1)
    by_key = {tuple(e["key"]): e for e in case["entries"]}
    table = [[weighted(entries, case["weights"], q, p) for p in presentations] for q in range(len(case["kinds"]))]
    channel_totals = []
    for q in range(len(case["kinds"])):
        raw = [[score(by_key[(p, q)], c) if (p, q) in by_key and by_key[(p, q)]["bEnable"] else 0
                for p in presentations if p not in disabled]
               for c in range(3)]
        channel_totals.append([float(np.float32(np.float32(sum(r)) * w[c])) for c, r in enumerate(raw)])
    return {"weighted": table, "sums": [float(f32_sum([np.float32(v) for v in row])) for row in table],
            "channelTotals": channel_totals}


def evaluate(case):
    entries = counted(case)
    quests, groups, channels = case.get("quests", []), case.get("groups", []), case.get("channels", [])
    result = {
        "byQuest": [[sum_by_quest(entries, q, c) for c in channels] for q in quests],
        "byGroup": [[sum_by_group(entries, p, c) for c in channels] for p in groups],
        "weighted": [[weighted(entries, case["weights"], q, p) for p in groups] for q in quests],
        "window": [[window_sum(entries, case["weights"], p, q) for p in groups] for q in quests],
    }
    if "presentations" in case:
        result["navigator"] = navigator(case, entries)
        result["expert"] = expert(case, entries)
    return result


def main():
    with open(sys.argv[1], encoding="utf-8") as source:
        cases = json.load(source)["cases"]
    json.dump({"results": [evaluate(case) for case in cases]}, sys.stdout)


if __name__ == "__main__":
    main()
