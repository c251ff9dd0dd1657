#!/usr/bin/python3
"""The gamma family and the integer-valued generators through ctypes against numpy's
Generator, MT19937 on both sides.

    /usr/bin/python3 bench/distributions/compare_numpy_counts.py build/bin

Prints ns per variate (best of 5 calls of 10^6 variates each) for ours and numpy, and
numpy / ours (above 1: numpy is slower).
"""
import ctypes
import sys

import numpy as np

from numpy_report import library_and_stream, print_table

lib, stream = library_and_stream(sys.argv[1] if len(sys.argv) > 1 else "build/bin")

N = 1_000_000
REPEATS = 5
I = ctypes.c_int32
VP = ctypes.c_void_p


def ours(name, dtype, method, *params):
    """A call of generator `name` filling N values of dtype; params as ctypes values."""
    fn = getattr(lib, name)
    out = np.empty(N, dtype=dtype)

    def run():
        assert fn(I(method), stream, I(N), out.ctypes.data_as(VP), *params) >= 0
    return run


D = ctypes.c_double
g = np.random.Generator(np.random.MT19937(5489))
CASES = [
    ("Gamma shape 0.5", ours("_pavodRngGamma", np.float64, 0, D(0.5), D(0), D(1)),
     lambda: g.standard_gamma(0.5, N)),
    ("Gamma shape 2.5", ours("_pavodRngGamma", np.float64, 0, D(2.5), D(0), D(1)),
     lambda: g.standard_gamma(2.5, N)),
    ("Beta 0.5,0.5", ours("_pavodRngBeta", np.float64, 0, D(0.5), D(0.5), D(0), D(1)),
     lambda: g.beta(0.5, 0.5, N)),
    ("Beta 2,3", ours("_pavodRngBeta", np.float64, 0, D(2), D(3), D(0), D(1)),
     lambda: g.beta(2, 3, N)),
    ("ChiSquare v=4", ours("_pavodRngChiSquare", np.float64, 0, I(4)), lambda: g.chisquare(4, N)),
    ("ChiSquare v=5", ours("_pavodRngChiSquare", np.float64, 0, I(5)), lambda: g.chisquare(5, N)),
    ("Uniform integers [-3,3)", ours("_pavoiRngUniform", np.int32, 0, I(-3), I(3)),
     lambda: g.integers(-3, 3, N, dtype=np.int32)),
    ("Bits32", ours("_pavoiRngUniformBits32", np.uint32, 0),
     lambda: g.integers(0, 2**32, N, dtype=np.uint32)),
    ("Bernoulli p=0.3", ours("_pavoiRngBernoulli", np.int32, 0, D(0.3)), lambda: g.random(N) < 0.3),
    ("Geometric p=0.1", ours("_pavoiRngGeometric", np.int32, 0, D(0.1)),
     lambda: g.geometric(0.1, N)),
    ("Poisson 5 method 0", ours("_pavoiRngPoisson", np.int32, 0, D(5)), lambda: g.poisson(5, N)),
    ("Poisson 5 method 1", ours("_pavoiRngPoisson", np.int32, 1, D(5)), lambda: g.poisson(5, N)),
    ("Poisson 500 method 0", ours("_pavoiRngPoisson", np.int32, 0, D(500)),
     lambda: g.poisson(500, N)),
    ("Poisson 500 method 1", ours("_pavoiRngPoisson", np.int32, 1, D(500)),
     lambda: g.poisson(500, N)),
]


print_table(CASES, N, REPEATS)
getattr(lib, "__pavoDeleteStream")(ctypes.byref(stream))
