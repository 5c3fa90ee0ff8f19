"""Recomputes the metric window's question scores with numpy.

Reads JSON from the file named by the first argument:
  {"weights": [w_k], "enabled": [bool_k], "values": [[[v_k for k] for q] for p]}
and prints {"sums": [...], "t": [...], "columns": [[sum over p of z, per k] per q]}.
"""
import json
import sys

import numpy as np


def main():
    with open(sys.argv[1], encoding="utf-8") as source:
        case = json.load(source)
    values = np.array(case["values"], dtype=float)  # p, q, k
    weights = np.array(case["weights"], dtype=float) * np.array(case["enabled"], dtype=float)
    columns = np.zeros(values.shape[1:])
    for presentation in values:
        mean = presentation.mean(axis=0)
        std = presentation.std(axis=0)  # population, per parameter over the questions
        safe = np.where(std == 0, 1.0, std)
        columns += np.where(std == 0, 0.0, (presentation - mean) / safe)
    sums = columns @ weights
    sigma = sums.std()
    t = np.zeros_like(sums) if sigma == 0 else sums / sigma
    json.dump({"sums": sums.tolist(), "t": t.tolist(), "columns": columns.tolist()}, sys.stdout)


if __name__ == "__main__":
    main()
