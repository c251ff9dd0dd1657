"""Summary statistics with numpy's axis conventions.

`describe` gives in one call what `scipy.stats.describe` gives (same conventions: variance
with `ddof`, skewness and excess kurtosis biased unless `bias=False`) plus, on request,
weights, the covariance and correlation matrices, quantiles and order statistics.
`Accumulator` gives the same moments over data that arrives in portions; accumulators
over separate parts of a data set merge exactly.

Methods: "one-pass" (blocked update of central sums, accurate whatever the mean),
"per-observation" (the same update observation by observation) and "fast" (central
moments from raw moments: loses about log10((mean/sd)**k) digits at order k).
"""
import math
from collections import namedtuple

import numpy as np

from . import _stats

__all__ = ["describe", "Accumulator", "DescribeResult"]


class DescribeResult(namedtuple("DescribeResult",
                                ("nobs", "minmax", "mean", "variance", "skewness", "kurtosis"))):
    """The six fields of scipy.stats.describe; further estimates as attributes:
    `covariance`, `correlation` (p x p over the variables flattened), `quantiles` (orders
    first, as numpy.quantile), `order_statistics` (sorted along the axis) and
    `sum_of_weights`. An attribute that was not requested is None."""

    covariance = correlation = quantiles = order_statistics = sum_of_weights = None


def _float_data(a, what, dtype=None):
    """`a` as a float array: of `dtype`, or float32 kept and anything else as float64."""
    a = np.asarray(a)
    if a.dtype.kind not in "biuf":
        raise TypeError(f"{what} must hold real numbers, not {a.dtype}")
    if dtype is None:
        dtype = np.float32 if a.dtype == np.float32 else np.float64
    return a.astype(dtype, copy=False)


# The extension's classes and functions by the precision of the data.
_SUMMARY = {np.float64: _stats.RunningSummary, np.float32: _stats.RunningSummary32}
_ORDER_STATISTICS = {np.float64: _stats.order_statistics, np.float32: _stats.order_statistics32}


def _as_block(a, axis, dtype=None):
    """The data as a C-contiguous 2-D block without a copy where the layout allows:
    (block, variables in rows?, shape of the variables)."""
    a = _float_data(a, "the data", dtype)
    if axis is None:
        a, axis = a.reshape(-1), 0
    if a.ndim == 0:
        raise ValueError("the data must have at least one dimension")
    axis = np.core.numeric.normalize_axis_index(axis, a.ndim)
    shape = a.shape[:axis] + a.shape[axis + 1:]
    p = math.prod(shape)
    first = np.moveaxis(a, axis, 0)
    if first.flags.c_contiguous:
        if p == 1:  # one variable: its values in a row (the faster loop)
            return first.reshape(1, -1), True, shape
        return first.reshape(-1, p), False, shape  # observation after observation
    last = np.ascontiguousarray(np.moveaxis(a, axis, -1))
    return last.reshape(p, -1), True, shape


def _weights(weights, n, dtype):
    if weights is None:
        return None
    w = np.ascontiguousarray(_float_data(weights, "weights", dtype))
    if w.shape != (n,):
        raise ValueError(f"weights must be 1-D with one value per observation ({n})")
    return w


_METHODS = ("one-pass", "per-observation", "fast")


def _estimates(summary, shape, ddof, bias):
    """scipy.stats.describe's estimates from a running summary, over variables of `shape`."""
    p = summary.p
    s = summary.partial
    W, V = s[0], s[1]
    mean = s[2:2 + p]
    M2, M3, M4 = (s[2 + k * p:2 + (k + 1) * p] for k in (1, 2, 3))
    with np.errstate(divide="ignore", invalid="ignore"):
        m2, m3, m4 = M2 / W, M3 / W, M4 / W
        variance = M2 / (W - ddof * V / W)
        # As scipy: a spread below the resolution of the mean gives NaN, not noise.
        flat = m2 <= (np.finfo(mean.dtype).resolution * mean) ** 2
        skewness = np.where(flat, np.nan, m3 / m2 ** 1.5)
        kurtosis = np.where(flat, np.nan, m4 / m2 ** 2 - 3)
        if not bias:
            n = W * W / V  # the effective count; the count itself with unit weights
            if n > 2:
                skewness = skewness * np.sqrt((n - 1) * n) / (n - 2)
            if n > 3:
                kurtosis = ((n * n - 1) * (kurtosis + 3) - 3 * (n - 1) ** 2) / ((n - 2) * (n - 3))
    nan = summary.nan_seen
    minimum = np.where(nan, np.nan, summary.minimum)
    maximum = np.where(nan, np.nan, summary.maximum)
    shaped = [v.reshape(shape) if shape else v[0]
              for v in (minimum, maximum, mean, variance, skewness, kurtosis)]
    result = DescribeResult(summary.count, (shaped[0], shaped[1]), *shaped[2:])
    result.sum_of_weights = W
    if summary.cross_products:
        C = s[2 + 4 * p:].reshape(p, p)
        with np.errstate(divide="ignore", invalid="ignore"):
            result.covariance = C / (W - ddof * V / W)
            d = np.sqrt(np.diag(C))
            result.correlation = C / np.outer(d, d)
    return result


def describe(a, axis=0, ddof=1, bias=True, weights=None, method="one-pass",
             covariance=False, quantiles=None, order_statistics=False):
    """Statistics of `a` along `axis` (None: the flattened data), as scipy.stats.describe.

    weights: one non-negative weight per observation along the axis (reliability
    weights: variance M2 / (W - ddof * V / W), W and V the sums of the weights and of
    their squares, as numpy.cov's aweights). covariance: also the covariance and
    correlation matrices of the variables (the other axes flattened). quantiles: orders
    in [0, 1] (numpy.quantile's linear rule; NaN for a variable holding NaN).
    order_statistics: also the data sorted along the axis.
    """
    block, rows, shape = _as_block(a, axis)
    n = block.shape[1] if rows else block.shape[0]
    if n == 0:
        raise ValueError("the data must not be empty")
    p = block.shape[0] if rows else block.shape[1]
    dtype = block.dtype.type
    summary = _SUMMARY[dtype](p, bool(covariance), method)
    summary.add(block, rows, _weights(weights, n, dtype))
    result = _estimates(summary, shape, ddof, bias)
    if quantiles is not None or order_statistics:
        orders = None
        if quantiles is not None:
            orders = np.ascontiguousarray(_float_data(quantiles, "quantiles", dtype).reshape(-1))
        q, s = _ORDER_STATISTICS[dtype](block, rows, orders, bool(order_statistics))
        if q is not None:
            q = np.where(summary.nan_seen[:, None], np.nan, q)
            result.quantiles = q.T.reshape(np.shape(quantiles) + shape)
        if s is not None:
            data_axis = 0 if axis is None else np.core.numeric.normalize_axis_index(axis, np.ndim(a))
            if rows:
                s = np.moveaxis(s.reshape(shape + (n,)), -1, data_axis)
            else:
                s = np.moveaxis(s.reshape((n,) + shape), 0, data_axis)
            result.order_statistics = s
    return result


class Accumulator:
    """Moments, minimum and maximum (and optionally covariance and correlation) of data
    that arrives in portions along `axis`: `update(block)` per portion, `result()` at any
    time, equal to `describe` over all portions so far. `merge(other)` adds the summary of
    an accumulator fed elsewhere (another thread, process or file)."""

    def __init__(self, axis=0, method="one-pass", covariance=False):
        if method not in _METHODS:
            raise ValueError(f"unknown method {method!r} (one of {', '.join(_METHODS)})")
        self._axis, self._method, self._covariance = axis, method, bool(covariance)
        self._summary = None
        self._shape = None

    def update(self, block, weights=None):
        """Adds a portion; the first one fixes the precision (float32 data: float32 sums)."""
        dtype = None if self._summary is None else self._dtype
        data, rows, shape = _as_block(block, self._axis, dtype)
        if self._summary is None:
            p = data.shape[0] if rows else data.shape[1]
            self._dtype = data.dtype.type
            self._summary = _SUMMARY[self._dtype](p, self._covariance, self._method)
            self._shape = shape
        elif shape != self._shape:
            raise ValueError(f"a block of variables {shape} after blocks of {self._shape}")
        n = data.shape[1] if rows else data.shape[0]
        self._summary.add(data, rows, _weights(weights, n, self._dtype))
        return self

    def merge(self, other):
        if other._summary is None:
            return self
        if self._summary is None:
            self._dtype = other._dtype
            self._summary = _SUMMARY[self._dtype](other._summary.p, self._covariance, self._method)
            self._shape = other._shape
        elif other._shape != self._shape:
            raise ValueError(f"variables {other._shape} merged into {self._shape}")
        elif other._dtype != self._dtype:
            raise ValueError(f"{other._dtype.__name__} sums merged into {self._dtype.__name__}")
        self._summary.merge(other._summary)
        return self

    @property
    def nobs(self):
        return 0 if self._summary is None else self._summary.count

    def result(self, ddof=1, bias=True):
        if self._summary is None or self._summary.count == 0:
            raise ValueError("no observation has been added")
        return _estimates(self._summary, self._shape, ddof, bias)
