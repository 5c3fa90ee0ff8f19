#!/usr/bin/env python3
"""Expected discriminant fit for tst_cmathstatreference, computed on its own:
reads a feature table as JSON ({"rows": [[14 features] per entry], "kinds",
"groups", "mask", and "weights": the coefficients the program fitted}) and
prints the fit ({"fitted": false} when it cannot be made) with two checks that
use no formula of the fit: numpy.corrcoef of each feature, standardised within
its presentation, with the class over the fitting entries, and of the
composite sum(weights_j * s_j) with the class.

The class y is 1 for kind 1 and 0 for every other kind but 2; kind 2 is scored
but not fitted. A feature's correlation is the point-biserial one of the
feature standardised over the fitting entries; the score is the fitted
composite on the features standardised over all entries.
"""
import json
import sys

import numpy as np

M = 14


def spread(block):
    """Column means and population deviations; equal values give exactly 0."""
    mean = block[0] + (block - block[0]).mean(axis=0)
    return mean, np.sqrt(((block - mean) ** 2).mean(axis=0))


def by_presentation(x, groups, mask):
    z = np.zeros_like(x)
    for g in np.unique(groups):
        members = groups == g
        mean, dev = spread(x[members])
        z[members] = (x[members] - mean) / np.maximum(dev, 1e-4)
    z[:, ~mask] = 0.0
    return z


def standardize(cols, minimum):
    mean, dev = spread(cols)
    usable = (dev > 0) & (dev >= minimum)
    return np.where(usable, (cols - mean) / np.where(usable, dev, 1.0), 0.0)


def t_of(r, a):
    d = np.where(r * r > 0.99, 0.10000000000000005, np.sqrt(np.clip(1 - r * r, 0, None)))
    return np.minimum(np.abs(r) * a / d, 99.0)


def fit(x, kinds, groups, mask):
    n = len(kinds)
    fitting = kinds != 2
    control = kinds == 1
    if control.sum() == 0 or fitting.sum() == control.sum():
        return None
    z = by_presentation(x, groups, mask)
    y = control[fitting].astype(float)
    N = fitting.sum()
    p = y.mean()
    sp = np.sqrt(p * (1 - p))

    s = standardize(z[fitting], 0.0)
    r = s.T @ y / N / sp
    t = t_of(r, 1 / sp)
    order = np.argsort(-t, kind="stable")

    beta = np.zeros(M)
    beta[order[0]] = 1.0
    S = s[:, order[0]].copy()
    R = r[order[0]]
    for f in order[1:]:
        c = s[:, f] @ S / N
        w = 0.0
        if r[f] != 0 and abs(R) >= 1e-9:
            q = r[f] / R
            if abs(1 - q * c) >= 1e-9:
                w = (q - c) / (1 - q * c)
        S = S + w * s[:, f]
        beta[f] += w
        rho = max(1e-5, np.sqrt(S @ S / N))
        R = (S @ y / N) / rho / sp
        S, beta = S / rho, beta / rho

    d_total = 0.031622776601683805 if R * R > 0.999 else np.sqrt(1 - R * R)
    T = abs(R) / sp / d_total
    composite = standardize(z, 1e-4) @ beta
    composite = composite / max(1e-5, np.sqrt(composite @ composite / n)) * np.sign(R)
    return {
        "fitted": True,
        "scores": composite.tolist(),
        "rTotal": float(R),
        "tTotal": float(T),
        "quality": float(T / np.sqrt(T * T + 4)),
        "featureR": r.tolist(),
        "featureT": t.tolist(),
        "order": [int(j) for j in order],
        "weights": beta.tolist(),
        "controlCount": int(control.sum()),
        "excludedCount": int((kinds == 2).sum()),
        "z": z,
    }


def corrcoef_checks(z, y, weights):
    """numpy's own correlations with the class: of each feature that varies
    (None for the others), and of the composite with the given weights."""
    per_feature = [float(np.corrcoef(z[:, j], y)[0, 1]) if np.ptp(z[:, j]) > 0 else None for j in range(M)]
    composite = standardize(z, 0.0) @ weights
    return per_feature, float(np.corrcoef(composite, y)[0, 1])


def main():
    with open(sys.argv[1], encoding="utf-8") as f:
        table = json.load(f)
    x = np.array(table["rows"], dtype=float).reshape(-1, M)
    kinds = np.array(table["kinds"], dtype=int)
    groups = np.array(table["groups"], dtype=int)
    mask = np.array([(table["mask"] >> j) & 1 == 1 for j in range(M)])
    result = fit(x, kinds, groups, mask)
    if result is None:
        json.dump({"fitted": False}, sys.stdout)
        return
    fitting = kinds != 2
    result["corrcoefR"], result["corrcoefTotal"] = corrcoef_checks(
        result.pop("z")[fitting], (kinds[fitting] == 1).astype(float), np.array(table["weights"], dtype=float))
    json.dump(result, sys.stdout)


if __name__ == "__main__":
    main()
