#!/usr/bin/python3
"""SciPy's side of the data-fitting benchmark: ns per node for construction and ns per
site for value plus first derivative, on the same shapes as bench_data_fitting
(uneven nodes, 10^7 random and sorted sites over 10^3 nodes). Best of `repeats`."""
import time

import numpy as np
from scipy.interpolate import Akima1DInterpolator, CubicSpline


def best(fn, repeats):
    times = []
    for _ in range(repeats):
        start = time.perf_counter()
        fn()
        times.append(time.perf_counter() - start)
    return min(times)


def data(n):
    rng = np.random.default_rng(42)
    x = np.cumsum(rng.uniform(0.1, 1.0, n))
    return x, np.sin(x) + 0.1 * rng.uniform(-1, 1, n)


def main():
    print(f"{'case':44} {'implementation':28} {'ns/item':>12}")
    for n, label in ((1000, "1e3"), (1000000, "1e6")):
        x, y = data(n)
        repeats = 50 if n == 1000 else 3
        t = best(lambda: CubicSpline(x, y, bc_type="natural"), repeats)
        print(f"{'build natural cubic ' + label:44} {'scipy CubicSpline':28} {t / n * 1e9:12.3f}")
        t = best(lambda: Akima1DInterpolator(x, y), repeats)
        print(f"{'build akima ' + label:44} {'scipy Akima1DInterpolator':28} {t / n * 1e9:12.3f}")
    x, y = data(1000)
    spline = CubicSpline(x, y, bc_type="natural")
    derivative = spline.derivative()
    rng = np.random.default_rng(7)
    sites = rng.uniform(x[0], x[-1], 10000000)
    for name, s in (("random", sites), ("sorted", np.sort(sites))):
        t = best(lambda: (spline(s), derivative(s)), 2)
        print(f"{'value+d1 1e7 ' + name + ' sites':44} {'scipy PPoly':28} {t / s.size * 1e9:12.3f}")


if __name__ == "__main__":
    main()
