"""Largest error of the library's splines against f(t) = 1/(1 + 25 t^2) on [-1, 1], by
node count, beside scipy's CubicSpline and Akima1DInterpolator on the same nodes."""
import ctypes

import numpy as np
from scipy.interpolate import Akima1DInterpolator, CubicSpline

from zorn_library import dbl, i32, i64, lib, plt, save, vp

ORDER_CUBIC, KIND_DEFAULT, STORAGE_ROWS, NON_UNIFORM = 4, 0, 16, 1
END_NOT_A_KNOT, END_FREE, END_AKIMA, SITES_SORTED, RESULT_FSO = 1, 2, 0, 64, 16
CONSTRUCTIONS = [
    ("natural cubic, not-a-knot", "zorn_df_kernel_dDFNaturalCubicSpline1D", END_NOT_A_KNOT),
    ("natural cubic, free ends", "zorn_df_kernel_dDFNaturalCubicSpline1D", END_FREE),
    ("Akima", "zorn_df_kernel_dDFAkimaCubicSpline1D", END_AKIMA),
    ("Hyman (monotone)", "zorn_df_kernel_dDFHymanCubicSpline1D", END_NOT_A_KNOT),
]


def runge(t):
    return 1.0 / (1.0 + 25.0 * t * t)


def ours(x, y, sites, construct, end_kind):
    """The spline of `construct` through (x, y), evaluated at the sorted sites."""
    nx, ns = len(x), len(sites)
    xa, ya, sa = (np.ascontiguousarray(a, dtype=np.float64) for a in (x, y, sites))
    coefficients = np.zeros(4 * (nx - 1))
    result = np.zeros(ns)
    task = vp()
    ptr = lambda a: a.ctypes.data_as(ctypes.POINTER(dbl))  # noqa: E731
    assert lib.zorn_df_kernel_dNewTask1D(ctypes.byref(task), i64(nx), ptr(xa), i64(NON_UNIFORM),
                                         i64(1), ptr(ya), i64(STORAGE_ROWS), i32(1)) == 0
    assert lib.zorn_df_kernel_dEditPPSpline1D(task, i64(ORDER_CUBIC), i64(KIND_DEFAULT),
                                              i64(end_kind), None, i64(0), None, ptr(coefficients),
                                              i64(STORAGE_ROWS)) == 0
    assert getattr(lib, construct)(task, i64(0), i64(0), i64(0)) == 0
    flags = (i32 * 1)(1)
    lib.zorn_df_kernel_dDFInterpolate1D.argtypes = [vp, i64, i64, i64, vp, i64, i64, vp, vp, vp,
                                                    i64] + [vp] * 10
    assert lib.zorn_df_kernel_dDFInterpolate1D(task, 0, 0, ns, sa.ctypes.data, SITES_SORTED, 1,
                                               ctypes.addressof(flags), None, result.ctypes.data,
                                               RESULT_FSO, *([None] * 10)) == 0
    lib.zorn_df_kernel_DeleteTask(ctypes.byref(task))
    return result


counts = [8, 12, 16, 24, 32, 48, 64, 96, 128, 192, 256, 512, 1024]
sites = np.linspace(-1.0, 1.0, 20001)
exact = runge(sites)
figure, axis = plt.subplots(figsize=(7, 4.2))
for label, construct, end_kind in CONSTRUCTIONS:
    errors = []
    for nx in counts:
        x = np.linspace(-1.0, 1.0, nx)
        errors.append(np.max(np.abs(ours(x, runge(x), sites, construct, end_kind) - exact)))
    axis.loglog(counts, errors, "o-", markersize=3, label="zorn: " + label)
for label, make in [("scipy CubicSpline (not-a-knot)", lambda x, y: CubicSpline(x, y)),
                    ("scipy Akima1DInterpolator", Akima1DInterpolator)]:
    errors = [np.max(np.abs(make(np.linspace(-1, 1, nx), runge(np.linspace(-1, 1, nx)))(sites)
                            - exact)) for nx in counts]
    axis.loglog(counts, errors, "x--", markersize=5, linewidth=0.8, label=label)
axis.set(title="Runge's function 1/(1 + 25 t^2) on [-1, 1], equally spaced nodes",
         xlabel="nodes", ylabel="largest |spline - f| on 20001 sites")
axis.grid(True, which="major", linewidth=0.3)
axis.legend(fontsize=8)
save(figure, "spline_accuracy")
