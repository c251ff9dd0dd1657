"""CPU time of zorn.stats and zorn.interpolate against scipy at n = 10**6, in one process.

Each case runs ours and the peer alternately, `--repeat` times each, and prints the
median CPU time (time.process_time, every thread counted) and the ratio peer / ours.

    PYTHONPATH=build/python /usr/bin/python3 bench/python/speed_stats_interpolate.py
"""
import argparse
import statistics
import time

import numpy as np
import scipy.interpolate as si
import scipy.stats

from zorn import interpolate as zi
from zorn import stats as zs


def cpu_ms(work):
    start = time.process_time()
    work()
    return (time.process_time() - start) * 1e3


def compare(ours, peer, repeat):
    times = [], []
    for _ in range(repeat):  # interleaved, so that a change of load hits both
        times[0].append(cpu_ms(ours))
        times[1].append(cpu_ms(peer))
    return statistics.median(times[0]), statistics.median(times[1])


def cases(n, rng):
    x1 = rng.normal(3, 2, n)
    x10 = rng.normal(3, 2, (n // 10, 10))
    nodes = np.cumsum(rng.uniform(0.5, 1.5, n))
    values = np.sin(nodes / 100)
    small = np.linspace(nodes[0], nodes[-1], 1000)
    small_values = np.sin(small / 100)
    sites = rng.uniform(nodes[0], nodes[-1], n)
    sorted_sites = np.sort(sites)
    ours_big, theirs_big = zi.CubicSpline(nodes, values), si.CubicSpline(nodes, values)
    ours_small = zi.CubicSpline(small, small_values)
    theirs_small = si.CubicSpline(small, small_values)
    one = np.array([sites[0]])
    return [
        ("describe, 1e6 values", lambda: zs.describe(x1), lambda: scipy.stats.describe(x1)),
        ("describe, 1e5 x 10, axis 0", lambda: zs.describe(x10), lambda: scipy.stats.describe(x10)),
        ("describe + 3 quantiles, 1e6", lambda: zs.describe(x1, quantiles=[0.25, 0.5, 0.75]),
         lambda: (scipy.stats.describe(x1), np.quantile(x1, [0.25, 0.5, 0.75]))),
        ("build CubicSpline, 1e6 nodes", lambda: zi.CubicSpline(nodes, values),
         lambda: si.CubicSpline(nodes, values)),
        ("build Akima, 1e6 nodes", lambda: zi.Akima1DInterpolator(nodes, values),
         lambda: si.Akima1DInterpolator(nodes, values)),
        ("build Hyman / Pchip, 1e6 nodes", lambda: zi.HymanInterpolator(nodes, values),
         lambda: si.PchipInterpolator(nodes, values)),
        ("evaluate, 1e6 nodes, 1e6 random sites", lambda: ours_big(sites),
         lambda: theirs_big(sites)),
        ("evaluate, 1e6 nodes, 1e6 sorted sites", lambda: ours_big(sorted_sites),
         lambda: theirs_big(sorted_sites)),
        ("evaluate, 1e3 nodes, 1e6 random sites", lambda: ours_small(sites),
         lambda: theirs_small(sites)),
        ("first derivative, 1e3 nodes, 1e6 random", lambda: ours_small(sites, 1),
         lambda: theirs_small(sites, 1)),
        ("evaluate, 1e3 nodes, 1 site (per call)", lambda: [ours_small(one) for _ in range(1000)],
         lambda: [theirs_small(one) for _ in range(1000)]),
    ]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--repeat", type=int, default=7)
    args = parser.parse_args()
    rng = np.random.default_rng(2026)
    print(f"{'case':42} {'zorn ms':>10} {'scipy ms':>10} {'ratio':>8}")
    for name, ours, peer in cases(10**6, rng):
        mine, theirs = compare(ours, peer, args.repeat)
        print(f"{name:42} {mine:10.2f} {theirs:10.2f} {theirs / mine:7.1f}x")
    print("(the one-site row times 1000 calls)")


if __name__ == "__main__":
    main()
