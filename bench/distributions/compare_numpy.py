#!/usr/bin/python3
"""Distribution generators through ctypes against numpy's Generator, MT19937 on both sides.

    /usr/bin/python3 bench/distributions/compare_numpy.py build/bin

Prints ns per double variate (best of 5 calls of 10^6 variates each) for ours and
numpy, and numpy / ours (above 1: numpy is slower).
"""
import ctypes
import sys

import numpy as np

from numpy_report import library_and_stream, print_table

lib, stream = library_and_stream(sys.argv[1] if len(sys.argv) > 1 else "build/bin")

N = 1_000_000
REPEATS = 5
D = ctypes.c_double
I = ctypes.c_int32
VP = ctypes.c_void_p
delete_stream = getattr(lib, "__pavoDeleteStream")

MEAN = np.array([1.0, -2.0, 4.0])
FACTOR = np.array([[2.0, 0, 0], [-1, 0.5, 0], [3, 1, 0.25]])


def ours_method(name, method, *params):
    fn = getattr(lib, name)
    out = np.empty(N)

    def run():
        assert fn(I(method), stream, I(N), out.ctypes.data_as(VP), *[D(v) for v in params]) >= 0
    return run


def ours_mv():
    out = np.empty(N // 3 * 3)
    mean = MEAN.ctypes.data_as(VP)
    factor = np.ascontiguousarray(FACTOR).ctypes.data_as(VP)

    def run():
        assert lib._pavodRngGaussianMV(I(1), stream, I(N // 3), out.ctypes.data_as(VP), I(3), I(0),
                                       mean, factor) >= 0
    return run


g = np.random.Generator(np.random.MT19937(5489))
COV = FACTOR @ FACTOR.T
CASES = [
    ("Uniform [0,1)", ours_method("_pavodRngUniform", 0, 0.0, 1.0), lambda: g.random(N)),
    ("Exponential", ours_method("_pavodRngExponential", 0, 0.0, 1.0),
     lambda: g.standard_exponential(N)),
    ("Laplace", ours_method("_pavodRngLaplace", 0, 0.0, 1.0), lambda: g.laplace(0, 1, N)),
    ("Weibull shape 2.5", ours_method("_pavodRngWeibull", 0, 2.5, 0.0, 1.0),
     lambda: g.weibull(2.5, N)),
    ("Cauchy", ours_method("_pavodRngCauchy", 0, 0.0, 1.0), lambda: g.standard_cauchy(N)),
    ("Rayleigh", ours_method("_pavodRngRayleigh", 0, 0.0, 1.0), lambda: g.rayleigh(1, N)),
    ("Gumbel", ours_method("_pavodRngGumbel", 0, 0.0, 1.0), lambda: g.gumbel(0, 1, N)),
    ("Gaussian method 0", ours_method("_pavodRngGaussian", 0, 0.0, 1.0),
     lambda: g.standard_normal(N)),
    ("Gaussian method 1", ours_method("_pavodRngGaussian", 1, 0.0, 1.0),
     lambda: g.standard_normal(N)),
    ("Gaussian method 2", ours_method("_pavodRngGaussian", 2, 0.0, 1.0),
     lambda: g.standard_normal(N)),
    ("Lognormal", ours_method("_pavodRngLognormal", 0, 0.0, 1.0, 0.0, 1.0),
     lambda: g.lognormal(0, 1, N)),
    ("GaussianMV 3-d full", ours_mv(),
     lambda: g.multivariate_normal(MEAN, COV, N // 3, method="cholesky")),
]


print_table(CASES, N, REPEATS)
delete_stream(ctypes.byref(stream))
