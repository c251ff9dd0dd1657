#!/usr/bin/python3
"""SciPy's side of the quasi-random benchmark: ns per coordinate of qmc.Sobol (without
scrambling) drawing blocks of 1000 points in double precision, and of ours through
ctypes on the same blocks in the same process. Best of `repeats` runs of `calls` calls.

Usage: bench_scipy.py [<build>/bin/libzorn_generic.so]
"""
import ctypes
import sys
import time
import warnings

import numpy as np
from scipy.stats import qmc

POINTS = 1000
SOBOL = 0x600000
lib = ctypes.CDLL(sys.argv[1] if len(sys.argv) > 1 else "build/bin/libzorn_generic.so")
lib.__pavoNewStreamEx.argtypes = [ctypes.POINTER(ctypes.c_void_p), ctypes.c_uint32, ctypes.c_int32,
                                   ctypes.POINTER(ctypes.c_uint32)]
lib.__pavodBRngSobol.argtypes = [ctypes.c_void_p, ctypes.c_int32, ctypes.POINTER(ctypes.c_double),
                                 ctypes.c_double, ctypes.c_double]
lib.__pavoDeleteStream.argtypes = [ctypes.POINTER(ctypes.c_void_p)]


def best(run, calls, repeats):
    times = []
    for _ in range(repeats):
        start = time.perf_counter()
        run(calls)
        times.append(time.perf_counter() - start)
    return min(times) / calls


def scipy_run(d):
    engine = qmc.Sobol(d, scramble=False)

    def run(calls):
        engine.reset()
        for _ in range(calls):
            engine.random(POINTS)
    return run


def ours_run(d):
    out = np.empty(POINTS * d)
    pointer = out.ctypes.data_as(ctypes.POINTER(ctypes.c_double))

    def run(calls):
        stream = ctypes.c_void_p()
        seed = ctypes.c_uint32(d)
        lib.__pavoNewStreamEx(ctypes.byref(stream), SOBOL, 1, ctypes.byref(seed))
        for _ in range(calls):
            if lib.__pavodBRngSobol(stream, POINTS * d, pointer, 0.0, 1.0) != 0:
                raise RuntimeError("gen_double failed")
        lib.__pavoDeleteStream(ctypes.byref(stream))
    return run


def main():
    warnings.simplefilter("ignore")  # scipy warns that 1000 is not a power of 2
    print(f"{'case':44} {'implementation':28} {'ns/item':>12} {'peer / zorn':>14}")
    for d in (1, 2, 10, 40):
        case = f"sobol d={d} double"
        ours = best(ours_run(d), 200, 5) / (POINTS * d) * 1e9
        peer = best(scipy_run(d), 200, 5) / (POINTS * d) * 1e9
        print(f"{case:44} {'zorn (ctypes)':28} {ours:12.3f}")
        print(f"{case:44} {'scipy qmc.Sobol':28} {peer:12.3f} {peer / ours:13.2f}x")


if __name__ == "__main__":
    main()
