#!/usr/bin/env python3
"""zorn.stats and zorn.interpolate beside scipy in one process: CPU time per call at
n = 10^6 (and the fixed cost of a call at n = 1), timed and printed by speed.py's runner.

    PYTHONPATH=build/python python3 bench/python/speed_stats_interpolate.py [--repeat 7] [--markdown]
"""
import numpy as np
import scipy.interpolate as si
import scipy.stats

import speed
from zorn import interpolate as zi
from zorn import stats as zs

N = speed.N


def stats_cases():
    rng = np.random.default_rng(2)
    x = rng.normal(3, 2, N)
    x10 = rng.normal(3, 2, (N // 10, 10))
    x1 = x[:2].copy()
    x32 = x.astype(np.float32)
    orders = [0.25, 0.5, 0.75]
    return [
        ("stats", "describe, 10^6 values", lambda: zs.describe(x),
         lambda: scipy.stats.describe(x), N),
        ("stats", "describe, 10^6 float32 values", lambda: zs.describe(x32),
         lambda: scipy.stats.describe(x32), N),
        ("stats", "describe, 10^5 x 10, axis 0", lambda: zs.describe(x10),
         lambda: scipy.stats.describe(x10), N),
        ("stats", "describe + 3 quantiles", lambda: zs.describe(x, quantiles=orders),
         lambda: (scipy.stats.describe(x), np.quantile(x, orders)), N),
        ("stats", "covariance, 10^5 x 10", lambda: zs.describe(x10, covariance=True),
         lambda: (scipy.stats.describe(x10), np.cov(x10, rowvar=False)), N),
        ("call cost", "describe, n = 2", lambda: zs.describe(x1),
         lambda: scipy.stats.describe(x1), 1),
    ]


def interpolate_cases():
    rng = np.random.default_rng(3)
    nodes = np.cumsum(rng.uniform(0.5, 1.5, N))
    values = np.sin(nodes / 100)
    sites = rng.uniform(nodes[0], nodes[-1], N)
    sorted_sites = np.sort(sites)
    nodes32, values32 = nodes.astype(np.float32), values.astype(np.float32)
    small = np.linspace(nodes[0], nodes[-1], 1000)
    ours, theirs = zi.CubicSpline(nodes, values), si.CubicSpline(nodes, values)
    ours_small = zi.CubicSpline(small, np.sin(small / 100))
    theirs_small = si.CubicSpline(small, np.sin(small / 100))
    one = sites[:1].copy()
    return [
        ("splines", "build CubicSpline", lambda: zi.CubicSpline(nodes, values),
         lambda: si.CubicSpline(nodes, values), N),
        ("splines", "build CubicSpline, float32", lambda: zi.CubicSpline(nodes32, values32),
         lambda: si.CubicSpline(nodes32, values32), N),
        ("splines", "build Akima", lambda: zi.Akima1DInterpolator(nodes, values),
         lambda: si.Akima1DInterpolator(nodes, values), N),
        ("splines", "build Hyman / Pchip", lambda: zi.HymanInterpolator(nodes, values),
         lambda: si.PchipInterpolator(nodes, values), N),
        ("splines", "evaluate, random sites", lambda: ours(sites), lambda: theirs(sites), N),
        ("splines", "evaluate, sorted sites", lambda: ours(sorted_sites),
         lambda: theirs(sorted_sites), N),
        ("splines", "evaluate, 10^3 nodes, random", lambda: ours_small(sites),
         lambda: theirs_small(sites), N),
        ("splines", "derivative, 10^3 nodes, random", lambda: ours_small(sites, 1),
         lambda: theirs_small(sites, 1), N),
        ("call cost", "evaluate, n = 1", lambda: ours_small(one), lambda: theirs_small(one), 1),
    ]


if __name__ == "__main__":
    speed.CASE_GROUPS[:] = [stats_cases, interpolate_cases]
    speed.main()
