#!/usr/bin/python3
"""The inverse error functions and the normal quantile through ctypes against scipy's
erfinv, erfcinv and ndtri (numpy arrays in, arrays out; scipy has them in double only,
so the single precision lines compare against scipy on float32 arrays, which it widens).

    /usr/bin/python3 bench/vector_math/compare_scipy.py build/bin

Prints ns per element for ours and scipy (best of 30 calls on the same 10^4 uniform
arguments, in L2: the call overhead of ctypes stays near 0.1 ns per element), and
scipy / ours (above 1: scipy is slower).
"""
import ctypes
import os
import sys
import time

import numpy as np
from scipy import special

N = 10000
REPEATS = 30
lib_dir = sys.argv[1] if len(sys.argv) > 1 else "build/bin"
ctypes.CDLL(os.path.join(lib_dir, "libzorn_core.so"), mode=ctypes.RTLD_GLOBAL)
lib = ctypes.CDLL(os.path.join(lib_dir, "libzorn_generic.so"))


def best_ns(fn):
    best = float("inf")
    for _ in range(REPEATS):
        start = time.perf_counter()
        fn()
        best = min(best, time.perf_counter() - start)
    return best / N * 1e9


def ours(name, a):
    kernel = getattr(lib, name)
    r = np.empty_like(a)
    pa, pr = a.ctypes.data_as(ctypes.c_void_p), r.ctypes.data_as(ctypes.c_void_p)
    return lambda: kernel(ctypes.c_int32(N), pa, pr)


def theirs(fn, a):
    r = np.empty_like(a)
    return lambda: fn(a, out=r)


rng = np.random.default_rng(20261207)
cases = []
for letter, dtype in (("s", np.float32), ("d", np.float64)):
    x = rng.uniform(-1, 1, N).astype(dtype)
    q = rng.uniform(0, 2, N).astype(dtype)
    p = rng.uniform(0, 1, N).astype(dtype)
    cases += [(letter + "ErfInv", ours("_tess%sErfInv" % letter, x), theirs(special.erfinv, x)),
              (letter + "ErfcInv", ours("_tess%sErfcInv" % letter, q), theirs(special.erfcinv, q)),
              (letter + "CdfNormInv", ours("_tess%sCdfNormInv" % letter, p),
               theirs(special.ndtri, p))]

print(f"{'case':12} {'zorn ns':>9} {'scipy ns':>9} {'scipy/zorn':>11}")
for name, z_fn, s_fn in cases:
    z, s = best_ns(z_fn), best_ns(s_fn)
    print(f"{name:12} {z:9.2f} {s:9.2f} {s / z:11.2f}")
