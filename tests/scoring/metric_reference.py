#!/usr/bin/python3
"""Checks the metric statistics routines against values computed with scipy and numpy.

    metric_reference.py student  <metric_dump>   the Student table
    metric_reference.py routines <metric_dump>   variance ... collectQuestValues
"""
import importlib.util
import json
import os
import subprocess
import sys

import numpy as np
from scipy import stats


def load_table_script():
    """The printed rows, levels and dfs, as the table's generating script keeps them."""
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scoring", "metric",
                        "make-student-table.py")
    found = importlib.util.spec_from_file_location("student_table", path)
    module = importlib.util.module_from_spec(found)
    found.loader.exec_module(module)
    return module


TABLE = load_table_script()
LEVELS, DFS, PRINTED = TABLE.LEVELS, TABLE.DFS, TABLE.PRINTED

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def exact_t(df, level):
    p = (1 + level) / 2
    return stats.norm.ppf(p) if df == -1 else stats.t.ppf(p, df)


def check_student(dump):
    out = subprocess.run([dump, "student"], check=True, capture_output=True, text=True).stdout
    rows = [line.split() for line in out.splitlines()]
    check(len(rows) == 442, "table has %d rows, not 442" % len(rows))
    expected_keys = [(df, level) for df in DFS for level in LEVELS]
    for i, (row, key) in enumerate(zip(rows, expected_keys)):
        df, level, t = int(row[0]), float(row[1]), float(row[2])
        check((df, level) == key, "row %d is (%d, %g), not %s" % (i, df, level, key))
        e = exact_t(df, level)
        # 0.2 %, or half a unit in the last kept decimal where rounding alone
        # exceeds that (0.126 for 0.12566)
        half_unit = 0.5 * 10 ** -(3 if e < 2 else 2 if e < 30 else 1)
        check(abs(t - e) <= max(0.002 * e, half_unit + 1e-12),
              "df %d level %g: %g against %.5f" % (df, level, t, e))
        if df in PRINTED:
            check(t == PRINTED[df][LEVELS.index(level)], "df %d level %g: %g is not the printed value" % (df, level, t))
    for g in range(0, len(rows), 13):
        ts = [float(r[2]) for r in rows[g:g + 13]]
        check(all(a < b for a, b in zip(ts, ts[1:])), "df %s does not rise with the level" % rows[g][0])


def close(actual, expected, what):
    actual = np.asarray(actual, dtype=float)
    expected = np.asarray(expected, dtype=float)
    scale = max(1.0, float(np.max(np.abs(expected)))) if expected.size else 1.0
    ok = actual.shape == expected.shape and np.allclose(actual, expected, rtol=1e-12, atol=1e-12 * scale)
    check(ok, "%s: %s against %s" % (what, actual.tolist(), expected.tolist()))


def zscores(row):
    row = np.asarray(row, dtype=float)
    s = row.std()
    return (row - row.mean()) / s if s > 0 else np.zeros_like(row)


def make_cases(rng):
    rows = [list(rng.normal(rng.uniform(-1e3, 1e3), rng.uniform(1e-3, 1e3), rng.integers(1, 40))) for _ in range(200)]
    near_constant = [[2.3] * 5, [0.7] * 3, [1e6 + 0.1] * 7]
    ints = [[list(map(int, rng.integers(-70000, 70000, 12))) for _ in range(3)] for _ in range(50)]
    ints.append([[40000, 50000, 60000], [5, 5, 5], [32767, 32768, -32769]])
    signs = [{"values": list(rng.normal(0, 5, rng.integers(0, 20))), "sign": int(s)} for s in rng.integers(-1, 2, 60)]

    def shape(rows_, cols):
        return [list(rng.normal(0, 3, cols + int(rng.integers(-2, 3)))) for _ in range(rows_)]

    adds = [{"acc": shape(int(rng.integers(0, 5)), 4), "add": shape(int(rng.integers(0, 5)), 4)} for _ in range(50)]
    weighted = []
    for _ in range(50):
        k, q = int(rng.integers(1, 6)), int(rng.integers(1, 10))
        weighted.append({"values": [list(rng.normal(0, 2, q)) for _ in range(k)],
                         "params": [{"dK": float(rng.normal(0, 2)), "enable": bool(rng.integers(0, 2))} for _ in range(k)],
                         "score": list(rng.normal(0, 1, int(rng.integers(0, q + 3))))})
    collect = []
    for _ in range(40):
        n, p, k = int(rng.integers(1, 9)), int(rng.integers(0, 4)), int(rng.integers(1, 5))
        cells = [[pp, qq, kk, int(rng.integers(-50000, 100000))]
                 for pp in range(1, p + 1) for qq in range(n) for kk in range(k) if rng.random() < 0.8]
        collect.append({"questions": n, "presentations": p, "cells": cells,
                        "params": [{"dK": float(rng.normal(1, 1)), "enable": bool(rng.random() < 0.8)} for _ in range(k)]})
    return {"variance": rows + near_constant, "normalize": ints, "meanOfSign": signs, "addVectors": adds,
            "weightedSum": weighted, "collect": collect}


def expected_collect(case):
    n, p, k = case["questions"], case["presentations"], len(case["params"])
    raw = np.zeros((p, k, n))
    for pp, qq, kk, v in case["cells"]:
        raw[pp - 1, kk, qq] = v
    z = np.array([[zscores(raw[pp, kk]) for kk in range(k)] for pp in range(p)]).reshape(p, k, n)
    values = z.sum(axis=0) if p else np.zeros((0, n))
    w = np.array([c["dK"] if c["enable"] else 0.0 for c in case["params"]])
    sums = w @ values if p else np.zeros(0)
    sigma = sums.std() if p else 0.0
    t = sums / sigma if sigma > 0 else np.zeros_like(sums)
    low = sums[sums < 0].mean() if np.any(sums < 0) else 0.0
    high = sums[sums > 0].mean() if np.any(sums > 0) else 0.0
    return values if p else np.zeros((0,)), z, sums, t, low, high


def check_routines(dump):
    cases = make_cases(np.random.default_rng(20240517))
    out = subprocess.run([dump, "routines"], input=json.dumps(cases), check=True, capture_output=True, text=True).stdout
    got = json.loads(out)
    for i, (row, v) in enumerate(zip(cases["variance"], got["variance"])):
        close([v], [np.var(row)], "variance %d" % i)
    for i, (rows, result) in enumerate(zip(cases["normalize"], got["normalize"])):
        close(result, [zscores(r) for r in rows], "normalizeRows %d" % i)
    for i, (c, m) in enumerate(zip(cases["meanOfSign"], got["meanOfSign"])):
        v = np.asarray(c["values"])
        sel = v[v * c["sign"] > 0]
        close([m], [sel.mean() if sel.size else 0.0], "meanOfSign %d" % i)
    for i, (c, result) in enumerate(zip(cases["addVectors"], got["addVectors"])):
        acc, add = c["acc"], c["add"]
        expected = [[(acc[r][j] if r < len(acc) and j < len(acc[r]) else 0.0) + add[r][j] for j in range(len(add[r]))]
                    for r in range(len(add))]
        check(len(result) == len(expected), "addVectors %d: %d rows" % (i, len(result)))
        for r, (a, e) in enumerate(zip(result, expected)):
            close(a, e, "addVectors %d row %d" % (i, r))
    for i, (c, score) in enumerate(zip(cases["weightedSum"], got["weightedSum"])):
        q = len(c["values"][0])
        w = np.array([p["dK"] if p["enable"] else 0.0 for p in c["params"]])
        base = np.array((c["score"] + [0.0] * q)[:q])
        close(score, base + w @ np.array(c["values"]), "weightedSum %d" % i)
    for i, (c, result) in enumerate(zip(cases["collect"], got["collect"])):
        values, z, sums, t, low, high = expected_collect(c)
        if c["presentations"] == 0:
            check(result["values"] == [] and result["z"] == [] and result["sums"] == [],
                  "collect %d: a test without presentations gave values" % i)
            continue
        close(result["values"], values, "collect %d values" % i)
        close(result["z"], z.transpose(0, 2, 1), "collect %d z map" % i)
        close(result["sums"], sums, "collect %d sums" % i)
        close(result["t"], t, "collect %d t" % i)
        close([result["low"], result["high"]], [low, high], "collect %d limits" % i)


if __name__ == "__main__":
    {"student": check_student, "routines": check_routines}[sys.argv[1]](sys.argv[2])
    for f in failures[:40]:
        print("FAIL", f)
    print("%d failures" % len(failures))
    sys.exit(1 if failures else 0)
