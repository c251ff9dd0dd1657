"""zorn.interpolate against scipy on random data: values, derivatives, coefficient
layout, axes, extrapolation, and the errors of bad data."""
import numpy as np
import pytest
import scipy.interpolate as si

import zorn
from zorn import interpolate as zi

rng = np.random.default_rng(7)
X = np.sort(rng.uniform(0, 10, 40))
Y = rng.normal(size=(40, 3))
Y_PERIODIC = np.vstack([Y[:-1], Y[:1]])
SITES = np.linspace(-1, 11, 2001)


def close(a, b, rtol=1e-10):
    """Agreement relative to the largest magnitude of the reference (coefficients of
    close nodes are large; the documented agreement is about 1e-14 of it)."""
    a, b = np.asarray(a), np.asarray(b)
    assert a.shape == b.shape
    np.testing.assert_array_equal(np.isnan(a), np.isnan(b))
    scale = np.nanmax(np.abs(b)) or 1.0
    assert np.nanmax(np.abs(a - b)) <= rtol * scale


# One end value per function, two functions sharing a pair: two tasks behind one spline.
BOTH_ENDS = ((1, np.array([0.5, -2.0, 0.5])), (2, np.array([-1.0, 3.0, -1.0])))
CASES = [
    ("not-a-knot", lambda: zi.CubicSpline(X, Y), lambda: si.CubicSpline(X, Y)),
    ("natural", lambda: zi.CubicSpline(X, Y, bc_type="natural"),
     lambda: si.CubicSpline(X, Y, bc_type="natural")),
    ("clamped", lambda: zi.CubicSpline(X, Y, bc_type="clamped"),
     lambda: si.CubicSpline(X, Y, bc_type="clamped")),
    ("given ends", lambda: zi.CubicSpline(X, Y, bc_type=BOTH_ENDS),
     lambda: si.CubicSpline(X, Y, bc_type=BOTH_ENDS)),
    ("periodic", lambda: zi.CubicSpline(X, Y_PERIODIC, bc_type="periodic"),
     lambda: si.CubicSpline(X, Y_PERIODIC, bc_type="periodic")),
    ("two nodes", lambda: zi.CubicSpline(X[::39], Y[::39]),
     lambda: si.CubicSpline(X[::39], Y[::39])),
    ("akima", lambda: zi.Akima1DInterpolator(X, Y), lambda: si.Akima1DInterpolator(X, Y)),
    ("quadratic", lambda: zi.QuadraticSpline(X, Y), lambda: si.make_interp_spline(X, Y, k=2)),
    ("linear", lambda: zi.LinearSpline(X, Y), lambda: si.make_interp_spline(X, Y, k=1)),
]


@pytest.mark.parametrize("name, ours, theirs", CASES, ids=[c[0] for c in CASES])
def test_values_derivatives_and_coefficients_match_scipy(name, ours, theirs):
    a, b = ours(), theirs()
    # (scipy's BSpline writes out of bounds for derivatives above its degree: not asked.)
    for nu in range(4 if isinstance(b, si.PPoly) else b.k + 1):
        close(a(SITES, nu), b(SITES, nu), 1e-12 if nu < 3 else 1e-9)
    above = a(SITES, a.c.shape[0])  # derivatives above the degree vanish (or NaN outside)
    assert np.all((above == 0) | np.isnan(above))
    if isinstance(b, si.PPoly):
        close(a.c, b.c, 1e-12)
        close(a.x, b.x, 0)
    # Coefficients and breaks in scipy's layout evaluate as scipy's own piecewise polynomial.
    close(a(SITES), si.PPoly(a.c, a.x, extrapolate=a.extrapolate)(SITES), 1e-12)


@pytest.mark.parametrize("make", [zi.CubicSpline, zi.Akima1DInterpolator, zi.HymanInterpolator,
                                  zi.QuadraticSpline, zi.LinearSpline])
def test_float32_data_give_a_float32_spline(make):
    a, b = make(X.astype(np.float32), Y.astype(np.float32)), make(X, Y)
    inside = SITES[(SITES >= X[0]) & (SITES <= X[-1])]
    for nu in range(3):
        r = a(inside, nu)
        assert r.dtype == a.c.dtype == a.x.dtype == np.float32
        close(r, b(inside, nu), 1e-4)


@pytest.mark.parametrize("shape, axis", [((2, 40, 3), 1), ((40,), 0), ((3, 4, 40), -1)])
def test_trailing_shapes_and_axes_as_scipy(shape, axis):
    y = rng.normal(size=shape)
    t = rng.uniform(0, 10, (5, 2))
    a, b = zi.CubicSpline(X, y, axis=axis), si.CubicSpline(X, y, axis=axis)
    close(a(t), b(t), 1e-12)
    close(a.c, b.c, 1e-12)


def test_monotone_data_give_a_monotone_hyman_curve():
    y = np.cumsum(rng.exponential(size=40) * (rng.uniform(size=40) < 0.5))  # flat runs
    v = zi.HymanInterpolator(X, y)(np.linspace(X[0], X[-1], 20001))
    assert np.all(np.diff(v) >= -1e-12 * y[-1])
    assert np.array_equal(zi.HymanInterpolator(X, y)(X), y)


def test_extrapolation():
    akima = zi.Akima1DInterpolator(X, Y)
    assert np.isnan(akima([X[0] - 1e-9, X[-1] + 1])).all()
    close(akima([X[0] - 1], extrapolate=True),
          si.Akima1DInterpolator(X, Y)([X[0] - 1], extrapolate=True))
    cubic = zi.CubicSpline(X, Y, extrapolate=False)
    assert np.isnan(cubic(11.0)).all() and not np.isnan(cubic(X[-1])).any()


def test_many_nodes_and_sites_in_random_order():
    # Above the partition size from which the sites are grouped by position before the
    # search; a NaN site falls in some group and gives NaN.
    x = np.cumsum(rng.uniform(0.5, 1.5, 1 << 18))
    y = np.sin(x / 100)
    t = rng.uniform(x[0] - 10, x[-1] + 10, 100000)
    t[7] = np.nan
    a = zi.CubicSpline(x, y, bc_type="natural")
    close(a(t), si.PPoly(a.c, a.x)(t), 1e-12)
    close(a(t[::-3], 1), si.PPoly(a.c, a.x)(t[::-3], 1), 1e-12)


def test_errors():
    with pytest.raises(zorn.InterpolateError) as e:
        zi.CubicSpline(X, Y, bc_type="periodic")
    assert e.value.name == "ZORN_DF_STATUS_NOT_PERIODIC"
    with pytest.raises(zorn.InterpolateError) as e:
        zi.Akima1DInterpolator(X[:4], Y[:4])
    assert e.value.status == -1004
    bad_y = Y.copy()
    bad_y[3, 1] = np.nan
    # Repeated, NaN and infinite nodes, infinite values, in both precisions.
    bad_x = [np.where(np.arange(X.size) == k, v, X) for k, v in
             [(3, X[2]), (4, np.nan), (5, np.inf)]]
    bad_data = [(x, Y) for x in bad_x] + [(X, np.where(Y == Y[6, 0], -np.inf, Y))]
    bad_data += [(x.astype(np.float32), y.astype(np.float32)) for x, y in bad_data]
    value_errors = [lambda x=x, y=y: zi.CubicSpline(x, y) for x, y in bad_data]
    value_errors += [lambda: zi.CubicSpline(X[::-1], Y), lambda: zi.CubicSpline(X, bad_y),
                    lambda: zi.CubicSpline(X, Y[:-1]), lambda: zi.CubicSpline(X[:1], Y[:1]),
                    lambda: zi.CubicSpline(X, Y, bc_type=("not-a-knot", "natural")),
                    lambda: zi.CubicSpline(X, Y, bc_type=((3, 0.0), "natural")),
                    lambda: zi.CubicSpline(X, Y, bc_type=((1, [0.0, 1.0]), "natural")),
                    lambda: zi.CubicSpline(X, Y)(1.0, nu=-1)]
    for make in value_errors:
        with pytest.raises(ValueError):
            make()
    for make in [lambda: zi.CubicSpline(X, Y + 1j), lambda: zi.CubicSpline(X, Y)(1.0, nu=0.5),
                 lambda: zi.LinearSpline(X, Y)(["a"])]:
        with pytest.raises(TypeError):
            make()
