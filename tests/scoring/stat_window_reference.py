#!/usr/bin/python3
"""Expected points and metric columns of the statistics window, from the rules
on their own, for tst_statwindow.

Reads the examination as JSON: per recorded test its weights, disabled
presentations, the entries of the three scales ("3210123", "101", "012") with
the map keys they lie under, its question and presentation counts, its metric
case (questions, presentations, cells [[p, q, k, value]], params) and the
statistical question means with the fit's quality. Prints per test, per
question, the texts and classes of columns 1-5 and the texts of columns 1-4 of
each presentation row: {"tests": [{"questions": [{"texts", "classes",
"presentations"}]}]}. The points sums come from ballsums_reference (numpy.float32
in this window's order), the metric sums from metric_reference (numpy).
"""
import importlib.util
import json
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
SCALES = ("3210123", "101", "012")


def load(name):
    found = importlib.util.spec_from_file_location(name, os.path.join(HERE, name + ".py"))
    module = importlib.util.module_from_spec(found)
    found.loader.exec_module(module)
    return module


BALLS = load("ballsums_reference")
METRIC = load("metric_reference")


def text(value):
    return "%.2f" % value


def statistical_class(v, quality):
    return "green" if v < 0 else "grey" if v < quality else "red"


def signed_class(f):
    return "red" if f < 0 else "green" if f > 0 else "grey"


def class_012(f):
    return "green" if f <= 5.0 else "red"


def metric_class(v, low, high):
    return "green" if v <= low else "grey" if v < high else "red"


def evaluate(test, quality):
    counted = {scale: BALLS.counted({"disabled": test["disabled"], "entries": test["scales"][scale]})
               for scale in SCALES}

    def points(scale, group, q):
        return BALLS.window_sum(counted[scale], test["weights"], group, q)

    # A presentation disabled for the points counts in the metric column neither.
    metric = dict(test["metric"], cells=[c for c in test["metric"]["cells"] if c[0] not in test["disabled"]])
    _, _, sums, _, low, high = METRIC.expected_collect(metric)
    sums = [float(s) for s in sums]
    rows = []
    for q in range(test["questions"]):
        values = [test["statistical"][q], points("3210123", -1, q), points("101", -1, q), points("012", -1, q),
                  sums[q] if q < len(sums) else 0.0]
        classes = [statistical_class(values[0], quality), signed_class(values[1]), signed_class(values[2]),
                   class_012(values[3]), metric_class(values[4], low, high)]
        classes = ["grey" if v == 0 else c for v, c in zip(values, classes)]
        presentations = [[text(points(scale, p, q)) for scale in SCALES]
                         for p in range(1, test["presentations"] + 1)]
        rows.append({"texts": [text(v) for v in values], "classes": classes, "presentations": presentations})
    return {"questions": rows}


def main():
    with open(sys.argv[1], encoding="utf-8") as source:
        examination = json.load(source)
    json.dump({"tests": [evaluate(test, examination["quality"]) for test in examination["tests"]]}, sys.stdout)


if __name__ == "__main__":
    main()
