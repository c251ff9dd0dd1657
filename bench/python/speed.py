#!/usr/bin/env python3
"""zorn's Python package beside numpy and scipy in one process: CPU time per call at
n = 10^6 (and the fixed cost of a call at n = 1), medians of interleaved repetitions.

    PYTHONPATH=build/python python3 bench/python/speed.py [--repeat 7] [--markdown]

Each row prints numpy's (or scipy's) time, ours and peer / zorn: above 1 ours is faster.
A case is one row of CASES: (group, label, zorn call, peer call, elements per call);
each call is prepared once, so only the call is timed.
"""
import argparse
import statistics
import sys
import time

import numpy as np

import zorn
from zorn import vm
from zorn.random import Stream

N = 10**6


def vector_math_cases():
    rng = np.random.default_rng(1)
    x = rng.uniform(-10, 10, N)
    pos = rng.uniform(1e-3, 1e3, N)
    out = np.empty(N)
    x1, out1 = x[:1].copy(), np.empty(1)
    cases = []
    for name, ours, peer, arg in [("exp", vm.exp, np.exp, x), ("log", vm.ln, np.log, pos),
                                  ("sin", vm.sin, np.sin, x)]:
        for accuracy in ("ha", "ep"):
            cases.append(("vector math", f"{name} float64 {accuracy}, out=",
                          lambda f=ours, a=arg, acc=accuracy: f(a, out=out, accuracy=acc),
                          lambda f=peer, a=arg: f(a, out=out), N))
    x32 = x.astype(np.float32)
    out32 = np.empty(N, np.float32)
    cases.append(("vector math", "exp float32 ha, out=", lambda: vm.exp(x32, out=out32),
                  lambda: np.exp(x32, out=out32), N))
    cases.append(("call cost", "exp(x), n = 1", lambda: vm.exp(x1), lambda: np.exp(x1), 1))
    cases.append(("call cost", "exp(x, out=), n = 1", lambda: vm.exp(x1, out=out1),
                  lambda: np.exp(x1, out=out1), 1))
    return cases


def random_cases():
    peer = np.random.Generator(np.random.PCG64(1))
    cases = []
    for generator in ("mt19937", "philox", "mcg59"):
        s = Stream(generator, 1)
        for method in ("icdf", "box_muller2"):
            cases.append(("random", f"normal {generator} {method}",
                          lambda s=s, m=method: s.gaussian(N, method=m),
                          lambda: peer.standard_normal(N), N))
    s = Stream("philox", 1)
    cases.append(("random", "uniform philox", lambda: s.uniform(N), lambda: peer.random(N), N))
    cases.append(("random", "poisson(4) philox", lambda: s.poisson(N, lam=4.0),
                  lambda: peer.poisson(4.0, N), N))
    cases.append(("random", "exponential philox", lambda: s.exponential(N),
                  lambda: peer.standard_exponential(N), N))
    cases.append(("call cost", "normal, n = 1", lambda: s.gaussian(1),
                  lambda: peer.standard_normal(1), 1))
    return cases


# The modules that add cases (zorn.stats, zorn.interpolate) append a function here.
CASE_GROUPS = [vector_math_cases, random_cases]


def cpu_time(call, n):
    """CPU seconds of one call: enough calls for about 20 ms, the time per call."""
    calls = max(1, 20000 // max(1, n // 50))
    start = time.process_time()
    for _ in range(calls):
        call()
    return (time.process_time() - start) / calls


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--repeat", type=int, default=7)
    parser.add_argument("--markdown", action="store_true", help="print a markdown table")
    args = parser.parse_args()
    cases = [c for group in CASE_GROUPS for c in group()]
    ours = {c[1]: [] for c in cases}
    peers = {c[1]: [] for c in cases}
    for call in [c[2] for c in cases] + [c[3] for c in cases]:
        call()  # warm-up: first-touch pages, caches of streams
    for _ in range(args.repeat):  # interleaved: each round runs every case once
        for _, label, zorn_call, peer_call, n in cases:
            ours[label].append(cpu_time(zorn_call, n))
            peers[label].append(cpu_time(peer_call, n))
    unit = lambda n: ("ns/call", 1e9) if n == 1 else ("ms/call", 1e3)
    if args.markdown:
        print("| group | case | numpy/scipy | zorn | peer / zorn |\n| --- | --- | --- | --- | --- |")
    for group, label, _, _, n in cases:
        mine, theirs = statistics.median(ours[label]), statistics.median(peers[label])
        name, scale = unit(n)
        if args.markdown:
            print(f"| {group} | {label} | {theirs * scale:.3g} {name} | {mine * scale:.3g} {name} | {theirs / mine:.2f} |")
        else:
            print(f"{group:12s} {label:34s} peer {theirs * scale:9.3f} {name}  zorn {mine * scale:9.3f}"
                  f" {name}  peer/zorn {theirs / mine:6.2f}")
    print(f"numpy {np.__version__}, zorn {zorn.__name__} from {zorn.__file__}", file=sys.stderr)


if __name__ == "__main__":
    main()
