#!/usr/bin/python3
"""Agreement of our spline coefficients with SciPy's on random data.

Usage: compare_scipy.py <build>/bin/libzorn_generic.so

Builds natural (free-end) and not-a-knot cubics and Akima splines through random data
with our library (through ctypes) and with SciPy's CubicSpline / Akima1DInterpolator,
and prints the largest difference of the coefficients, relative to the largest
coefficient of the same cell, over the interior cells (cells 2 ... nx-4; the end cells are compared too and listed apart). Exits
non-zero when an interior difference exceeds 1e-12.
"""
import ctypes
import sys

import numpy as np
from scipy.interpolate import Akima1DInterpolator, CubicSpline

TOLERANCE = 1e-12
lib = ctypes.CDLL(sys.argv[1] if len(sys.argv) > 1 else "build/bin/libzorn_generic.so")
dptr = ctypes.POINTER(ctypes.c_double)
i64 = ctypes.c_int64
lib.zorn_df_kernel_dNewTask1D.argtypes = [ctypes.POINTER(ctypes.c_void_p), i64, dptr, i64, i64,
                                          dptr, i64, ctypes.c_int32]
lib.zorn_df_kernel_dEditPPSpline1D.argtypes = [ctypes.c_void_p, i64, i64, i64, dptr, i64, dptr,
                                               dptr, i64]
lib.zorn_df_kernel_DeleteTask.argtypes = [ctypes.POINTER(ctypes.c_void_p)]
for name in ("NaturalCubic", "AkimaCubic"):
    getattr(lib, f"zorn_df_kernel_dDF{name}Spline1D").argtypes = [ctypes.c_void_p, i64, i64, i64]


def ours(x, y, construction, kind, end_kind):
    """Coefficients, shape (nx-1, 4), ascending powers of (t - x_i)."""
    nx = len(x)
    coefficients = np.zeros(4 * (nx - 1))
    task = ctypes.c_void_p()
    as_ptr = lambda a: a.ctypes.data_as(dptr)
    status = lib.zorn_df_kernel_dNewTask1D(ctypes.byref(task), nx, as_ptr(x), 1, 1, as_ptr(y), 16, 1)
    status = status or lib.zorn_df_kernel_dEditPPSpline1D(task, 4, kind, end_kind, None, 0, None,
                                                          as_ptr(coefficients), 0)
    status = status or getattr(lib, f"zorn_df_kernel_dDF{construction}Spline1D")(task, 0, 0, 0)
    lib.zorn_df_kernel_DeleteTask(ctypes.byref(task))
    if status != 0:
        raise RuntimeError(f"{construction}: status {status}")
    return coefficients.reshape(nx - 1, 4)


def scipy_coefficients(ppoly):
    return ppoly.c[::-1].T  # SciPy stores descending powers, cells in columns


def relative_difference(a, b):
    return np.max(np.abs(a - b) / np.maximum(np.abs(b).max(axis=1, keepdims=True), 1e-300), axis=1)


def main():
    rng = np.random.default_rng(20261206)
    cases = [
        ("natural cubic vs CubicSpline(natural)", "NaturalCubic", 2, 2,
         lambda x, y: CubicSpline(x, y, bc_type="natural")),
        ("not-a-knot cubic vs CubicSpline(not-a-knot)", "NaturalCubic", 2, 1,
         lambda x, y: CubicSpline(x, y, bc_type="not-a-knot")),
        ("Akima (own ends) vs Akima1DInterpolator", "AkimaCubic", 0, 0,
         lambda x, y: Akima1DInterpolator(x, y)),
    ]
    worst = 0.0
    print(f"{'case':46} {'nx':>6} {'interior max rel':>17} {'end cells max rel':>18}")
    for title, construction, kind, end_kind, reference in cases:
        for nx in (8, 100, 10000):
            x = np.cumsum(rng.uniform(0.1, 1.0, nx))
            y = rng.normal(size=nx)
            a = ours(x, y, construction, kind, end_kind)
            b = scipy_coefficients(reference(x, y))
            d = relative_difference(a, b)
            interior, ends = d[2:-2].max(), max(d[:2].max(), d[-2:].max())
            worst = max(worst, interior)
            print(f"{title:46} {nx:6d} {interior:17.2e} {ends:18.2e}")
    print(f"largest interior difference {worst:.2e} (tolerance {TOLERANCE:.0e})")
    return 0 if worst <= TOLERANCE else 1


if __name__ == "__main__":
    sys.exit(main())
