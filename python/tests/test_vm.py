"""zorn.vm against numpy/scipy on random data, over dtypes, layouts and error states."""
import numpy as np
import pytest
import scipy.special as sp
from conftest import tolerance

import zorn
from zorn import vm

# (function, reference, low, high, real types, complex): arguments drawn uniformly from
# [low, high) (and the same box for both parts of complex arguments).
UNARY = [
    ("exp", np.exp, -50, 50, True, True), ("exp2", np.exp2, -50, 50, True, False),
    ("expm1", np.expm1, -5, 5, True, False), ("ln", np.log, 1e-3, 1e3, True, True),
    ("log10", np.log10, 1e-3, 1e3, True, True), ("log2", np.log2, 1e-3, 1e3, True, False),
    ("log1p", np.log1p, -0.9, 10, True, False), ("sin", np.sin, -10, 10, True, True),
    ("cos", np.cos, -10, 10, True, True), ("tan", np.tan, -1.5, 1.5, True, True),
    ("sinh", np.sinh, -5, 5, True, True), ("cosh", np.cosh, -5, 5, True, True),
    ("tanh", np.tanh, -5, 5, True, True), ("asin", np.arcsin, -1, 1, True, True),
    ("acos", np.arccos, -1, 1, True, True), ("atan", np.arctan, -10, 10, True, True),
    ("asinh", np.arcsinh, -10, 10, True, True), ("acosh", np.arccosh, 1, 10, True, True),
    ("atanh", np.arctanh, -0.99, 0.99, True, True), ("sqrt", np.sqrt, 0, 100, True, True),
    ("cbrt", np.cbrt, -100, 100, True, False), ("erf", sp.erf, -3, 3, True, False),
    ("erfc", sp.erfc, -3, 3, True, False), ("erf_inv", sp.erfinv, -0.99, 0.99, True, False),
    ("cdf_norm", sp.ndtr, -5, 5, True, False), ("cdf_norm_inv", sp.ndtri, 0.01, 0.99, True, False),
    ("lgamma", sp.gammaln, 0.1, 50, True, False), ("tgamma", sp.gamma, 0.1, 20, True, False),
    ("j0", sp.j0, 0, 20, True, False), ("y1", sp.y1, 0.5, 20, True, False),
    ("exp_int1", sp.exp1, 0.1, 10, True, False), ("i0", sp.i0, -10, 10, True, False),
    ("sqr", np.square, -100, 100, True, False), ("inv", np.reciprocal, 0.5, 100, True, False),
    ("abs", np.abs, -10, 10, True, True), ("floor", np.floor, -10, 10, True, False),
]
BINARY = [("add", np.add), ("sub", np.subtract), ("mul", np.multiply), ("div", np.divide),
          ("pow", np.power), ("atan2", np.arctan2), ("hypot", np.hypot), ("fmax", np.fmax)]
COMPLEX_BINARY = {"add", "sub", "mul", "div", "pow"}
# scipy's special functions are double references of their own few-ulp error, and the
# relative error of any double reference grows without bound near a zero of the function:
# these are compared relative to max(|f|, 1).
NEAR_ZEROS = {"erfc", "cdf_norm", "lgamma", "tgamma", "j0", "y1", "exp_int1", "i0"}


def draw(rng, dtype, low, high, n=1000):
    if np.dtype(dtype).kind == "c":
        return (rng.uniform(low, high, n) + 1j * rng.uniform(low, high, n)).astype(dtype)
    return rng.uniform(low, high, n).astype(dtype)


def assert_close(got, want, dtype, accuracy="ha", floor=None):
    assert got.dtype == np.dtype(dtype) or got.dtype == np.finfo(np.dtype(dtype)).dtype
    want = np.asarray(want, dtype=np.result_type(got.dtype, np.float64))
    scale = np.maximum(np.abs(want), floor or np.finfo(np.dtype(dtype)).tiny)
    err = np.abs(got - want) / scale
    # numpy's complex functions are themselves a few ulp off.
    slack = 2 if np.dtype(dtype).kind == "c" else 1
    assert np.nanmax(err) <= slack * tolerance(dtype, accuracy), np.nanmax(err)


def cases(table, complex_too):
    for row in table:
        for dtype in (np.float32, np.float64) + ((np.complex64, np.complex128) if row[5] and complex_too else ()):
            yield pytest.param(row, dtype, id=f"{row[0]}-{np.dtype(dtype).name}")


@pytest.mark.parametrize("accuracy", ["ha", "la", "ep"])
@pytest.mark.parametrize("row,dtype", list(cases(UNARY, True)))
def test_unary_functions_match_numpy(rng, row, dtype, accuracy):
    name, reference, low, high = row[:4]
    x = draw(rng, dtype, low, high)
    want = reference(x.astype(np.complex256 if x.dtype.kind == "c" else np.float64))
    floor = 1.0 if name in NEAR_ZEROS else None
    assert_close(getattr(vm, name)(x, accuracy=accuracy), want, dtype, accuracy, floor)


@pytest.mark.parametrize("dtype", [np.float32, np.float64, np.complex64, np.complex128])
@pytest.mark.parametrize("name,reference", BINARY)
def test_binary_functions_match_numpy(rng, name, reference, dtype):
    if np.dtype(dtype).kind == "c" and name not in COMPLEX_BINARY:
        with pytest.raises(TypeError):
            getattr(vm, name)(draw(rng, dtype, 1, 2), draw(rng, dtype, 1, 2))
        return
    a, b = draw(rng, dtype, 0.5, 4), draw(rng, dtype, -3, 3)
    want = reference(a.astype(np.complex128 if a.dtype.kind == "c" else np.float64), b)
    assert_close(getattr(vm, name)(a, b), want, dtype)


def test_functions_of_other_shapes_match_scipy(rng):
    x = rng.uniform(-8, 8, 500)
    s, c = vm.sin_cos(x)
    assert_close(s, np.sin(x), np.float64)
    assert_close(c, np.cos(x), np.float64)
    integral, fraction = vm.modf(x)
    np.testing.assert_array_equal(integral + fraction, x)
    np.testing.assert_array_equal(integral, np.trunc(x))
    assert_close(vm.powx(np.abs(x), 1.7), np.abs(x) ** 1.7, np.float64)
    assert_close(vm.jn(3, np.abs(x) + 1), sp.jv(3, np.abs(x) + 1), np.float64, floor=1.0)
    y = rng.uniform(1, 2, 500)
    assert_close(vm.linear_frac(x, y, 2.0, 1.0, 3.0, -0.5), (2 * x + 1) / (3 * y - 0.5), np.float64)
    assert_close(vm.cis(x), np.exp(1j * x), np.complex128)
    z = draw(rng, np.complex128, -3, 3)
    assert_close(vm.arg(z), np.angle(z), np.float64)
    np.testing.assert_array_equal(vm.conj(z), np.conj(z))


@pytest.mark.parametrize("dtype", [np.float32, np.complex128])
def test_layouts_give_the_contiguous_result(rng, dtype):
    base = draw(rng, dtype, -2, 2, 4 * 6 * 5).reshape(4, 6, 5)
    views = [base[:, :, 1], base[::-1, 2, ::-2], base[:, ::2, :], base.T, base[1:3]]
    for view in views:
        want = vm.exp(np.ascontiguousarray(view))
        np.testing.assert_array_equal(vm.exp(view), want)
        out = np.zeros(base.shape, dtype)[::-1, ::2].T[..., :1] if view.ndim == 3 else None
        if out is not None and out.shape == view.shape:
            assert vm.exp(view, out=out) is out
            np.testing.assert_array_equal(out, want)
    for out in (np.empty(12, dtype)[::-2], np.empty((6, 2), dtype)[:, 1]):
        x = draw(rng, dtype, -2, 2, 6)
        vm.sin(x, out=out)
        np.testing.assert_array_equal(out, vm.sin(x))


def test_in_place_and_overlapping_outputs_match_copies(rng):
    x = rng.uniform(-2, 2, 101)
    want = vm.exp(x.copy())
    y = x.copy()
    vm.exp(y, out=y)
    np.testing.assert_array_equal(y, want)
    y = x.copy()
    vm.exp(y[:-1], out=y[1:])  # each result lands on the next argument
    np.testing.assert_array_equal(y[1:], want[:-1])
    a = x.copy()
    vm.add(a[1:], a[:-1], out=a[:-1])
    np.testing.assert_array_equal(a[:-1], x[1:] + x[:-1])


def test_argument_conversion_and_broadcasting():
    assert isinstance(vm.exp(1.0), np.float64) and vm.exp(1.0) == np.exp(1.0)
    assert vm.exp(np.arange(3)).dtype == np.float64
    np.testing.assert_array_equal(vm.add(np.ones((3, 1)), np.arange(4.0)), np.ones((3, 1)) + np.arange(4.0))
    assert vm.exp(np.float32(1)).dtype == np.float32
    frozen = np.linspace(0, 1, 9)
    frozen.setflags(write=False)
    np.testing.assert_array_equal(vm.exp(frozen), vm.exp(frozen.copy()))


def read_only(a):
    a.setflags(write=False)
    return a


@pytest.mark.parametrize("call,error", [
    (lambda: vm.exp(np.ones(3), accuracy="xx"), ValueError),
    (lambda: vm.cbrt(np.ones(3, np.complex128)), TypeError),
    (lambda: vm.exp(np.ones(3), out=np.empty(3, np.float32)), TypeError),
    (lambda: vm.exp(np.ones(3), out=np.empty(4)), ValueError),
    (lambda: vm.exp(np.ones(3), out=read_only(np.ones(3))), ValueError),
    (lambda: vm.sin_cos(np.ones(3), out=np.empty(3)), TypeError),
    (lambda: vm.cis(np.ones(3, np.complex64)), TypeError),
])
def test_wrong_arguments_raise(call, error):
    with pytest.raises(error):
        call()


@pytest.mark.parametrize("name,value,category,words", [
    ("ln", -1.0, "invalid", "invalid value"), ("ln", 0.0, "divide", "divide by zero"),
    ("exp", 1000.0, "over", "overflow"), ("exp", -1000.0, "under", "underflow"),
])
def test_element_errors_follow_numpy_error_state(name, value, category, words):
    x = np.ones(50)
    x[37] = value
    with np.errstate(all="ignore"):
        with np.errstate(**{category: "raise"}):
            with pytest.raises(zorn.VectorMathError) as caught:
                getattr(vm, name)(x)
    assert words in str(caught.value) and "index 37" in str(caught.value)
    assert isinstance(caught.value, FloatingPointError) and caught.value.status > 0
    with np.errstate(all="ignore"), np.errstate(**{category: "warn"}):
        with pytest.warns(RuntimeWarning, match=f"{words}.*index 37"):
            getattr(vm, name)(x)
    with np.errstate(all="ignore"):
        getattr(vm, name)(x)  # no report: pytest's filter turns warnings into failures
        getattr(vm, name)(np.ones(3))
