#!/usr/bin/python3
"""Summary statistics through ctypes against numpy/scipy, in the same process and run.

    /usr/bin/python3 bench/summary_stats/compare_numpy.py build-stats/bin

Prints CPU ns per observation (all threads counted) for: mean + variance + skewness + kurtosis of 10^7 values,
covariance and correlation of 10 variables x 10^6 observations, 5 quantiles of 10^7
values and a full sort, with one plain read of the data (numpy sum) for scale.
"""
import ctypes
import os
import sys
import time

import numpy as np
import scipy.stats

LIB_DIR = sys.argv[1] if len(sys.argv) > 1 else "build/bin"
core = ctypes.CDLL(os.path.join(LIB_DIR, "libzorn_core.so"), mode=ctypes.RTLD_GLOBAL)
lib = ctypes.CDLL(os.path.join(LIB_DIR, "libzorn_generic.so"))
core.zorn_core_threading_service.restype = ctypes.c_void_p
SERVICE = ctypes.c_void_p(core.zorn_core_threading_service())

dp = ctypes.POINTER(ctypes.c_double)
ip = ctypes.POINTER(ctypes.c_int32)
lib._pavodSSBasic.argtypes = [ctypes.c_void_p, ctypes.c_uint64, ctypes.c_int32, ctypes.c_void_p]
lib._pavodSSQuantiles.argtypes = [ctypes.c_void_p, ctypes.c_uint64, ctypes.c_int32,
                                  ctypes.c_void_p]

# Names with two leading underscores would be mangled inside a class body.
new_task = getattr(lib, "__pavodSSNewTask")
edit_task = getattr(lib, "__pavodSSEditTask")
edit_moments = getattr(lib, "__pavodSSEditMoments")
edit_cov_cor = getattr(lib, "__pavodSSEditCovCor")
edit_quantiles = getattr(lib, "__pavodSSEditQuantiles")

MEAN, C2, KURT, SKEW = 0x1, 0x10, 0x80, 0x100
COV, COR = 0x1000, 0x2000
QUANTILES, ORDER_STATS = 0x10000, 0x20000
ROWS, COLUMNS = 0x10000, 0x20000


def ptr(a):
    return a.ctypes.data_as(dp)


class Task:
    """A task over x (p variables) with every result array these cases use."""

    def __init__(self, x, p, storage):
        n = x.size // p
        self.ints = np.array([p, n, storage, 0, 5, ROWS], dtype=np.int32)
        self.x = x
        self.res = {k: np.zeros(p) for k in ("mean", "r2", "r3", "r4", "c2", "c3", "c4",
                                              "kurt", "skew")}
        self.cov, self.cor = np.zeros(p * p), np.zeros(p * p)
        self.w = np.zeros(2)
        self.orders = np.array([0.1, 0.25, 0.5, 0.75, 0.9])
        self.q = np.zeros(5 * p)
        self.stats = np.zeros(x.size)
        self.handle = ctypes.c_void_p()
        ip0 = self.ints.ctypes.data
        addr = lambda i: ctypes.c_void_p(ip0 + 4 * i)
        new_task(ctypes.byref(self.handle), addr(0), addr(1), addr(2), ptr(x), None,
                             None, 0)
        r = self.res
        edit_moments(self.handle, ptr(r["mean"]), ptr(r["r2"]), ptr(r["r3"]),
                                 ptr(r["r4"]), ptr(r["c2"]), ptr(r["c3"]), ptr(r["c4"]))
        edit_cov_cor(self.handle, None, ptr(self.cov), addr(3), ptr(self.cor), addr(3))
        edit_task(self.handle, 14, ptr(r["kurt"]))
        edit_task(self.handle, 15, ptr(r["skew"]))
        edit_task(self.handle, 23, ptr(self.w))
        edit_quantiles(self.handle, addr(4), ptr(self.orders), ptr(self.q),
                                   ptr(self.stats), addr(5))

    def basic(self, mask, method=0x2):
        self.w[:] = 0
        assert lib._pavodSSBasic(self.handle, mask, method, SERVICE) == 0

    def quantiles(self, mask):
        assert lib._pavodSSQuantiles(self.handle, mask, 0x1, SERVICE) == 0


def best_ns(fn, count, repeat=7):
    """Best process CPU time per item: on a shared machine the wall clock mostly measures
    the other processes. Work on several threads counts the time of all of them."""
    best = float("inf")
    for _ in range(repeat):
        t = time.process_time()
        fn()
        best = min(best, time.process_time() - t)
    return best * 1e9 / count


def main():
    rng = np.random.default_rng(1)
    n = 10_000_000
    x = rng.normal(1.0, 1.0, n)
    one = Task(x, 1, ROWS)
    rows = []

    def case(name, ours, theirs, count):
        a, b = best_ns(ours, count), best_ns(theirs, count)
        rows.append((name, a, b))

    case("mean+var+skew+kurt (0x2), 1e7", lambda: one.basic(MEAN | C2 | SKEW | KURT),
         lambda: (x.mean(), x.var(ddof=1), scipy.stats.skew(x), scipy.stats.kurtosis(x)), n)
    case("same, fast method 0x1", lambda: one.basic(MEAN | C2 | SKEW | KURT, 0x1),
         lambda: x.sum(), n)
    wide = rng.normal(1.0, 1.0, (1_000_000, 10))  # observations in rows: layout 0x20000
    flat = np.ascontiguousarray(wide).ravel()
    ten = Task(flat, 10, COLUMNS)
    case("covariance 10 x 1e6 (per observation)", lambda: ten.basic(MEAN | COV),
         lambda: np.cov(wide, rowvar=False), 1_000_000)
    case("correlation 10 x 1e6 (per observation)", lambda: ten.basic(MEAN | COR),
         lambda: np.corrcoef(wide, rowvar=False), 1_000_000)
    case("5 quantiles, 1e7", lambda: one.quantiles(QUANTILES),
         lambda: np.quantile(x, one.orders), n)
    case("full sort, 1e7", lambda: one.quantiles(ORDER_STATS), lambda: np.sort(x), n)

    np.testing.assert_allclose(one.q, np.quantile(x, one.orders), rtol=1e-15)
    ten.basic(MEAN | COV)
    np.testing.assert_allclose(ten.cov.reshape(10, 10), np.cov(wide, rowvar=False), rtol=1e-12)
    print(f"{'case':42} {'zorn ns':>10} {'numpy/scipy ns':>15} {'ratio':>8}")
    for name, a, b in rows:
        print(f"{name:42} {a:10.2f} {b:15.2f} {b / a:7.2f}x")
    print("(for the fast method the peer column is one plain read: numpy sum)")


if __name__ == "__main__":
    main()
