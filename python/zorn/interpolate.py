"""Piecewise-polynomial interpolation shaped like scipy.interpolate.

Every class takes nodes `x` (1-D, strictly increasing, finite) and values `y` with the
nodes along `axis` and any trailing shape; `obj(t, nu=0)` gives the value or the
derivative of order `nu` with the shape of `t` in place of the node axis; `obj.x` are the
breakpoints and `obj.c` the coefficients in scipy's layout, c[k, i, ...] multiplying
(t - x[i]) ** (order - 1 - k).

Boundary conditions (`bc_type`), as scipy's CubicSpline: "not-a-knot", "natural",
"clamped", "periodic", or a pair (left, right) of "natural", "clamped" or
(derivative order 1 or 2, value). A value applies to every function of y.
"""
import math
import numbers

import numpy as np

from . import _interpolate

__all__ = ["CubicSpline", "Akima1DInterpolator", "HymanInterpolator", "QuadraticSpline",
           "LinearSpline"]

# End condition kinds of the library's tasks.
_NOT_A_KNOT, _FREE, _PERIODIC = 1, 2, 64
_D1_LEFT, _D1_RIGHT, _D2_LEFT, _D2_RIGHT = 4, 8, 16, 32


def _real(a, what, dtype=np.float64):
    a = np.asarray(a)
    if a.dtype.kind not in "biuf":
        raise TypeError(f"{what} must hold real numbers, not {a.dtype}")
    return a.astype(dtype, copy=False)


def _end(condition):
    """One end as (derivative order, value: a number or an array over the functions of y)."""
    if isinstance(condition, str):
        named = {"natural": (2, 0.0), "clamped": (1, 0.0)}
        if condition not in named:
            raise ValueError(f"{condition!r} applies to both ends or is not a known condition")
        return named[condition]
    try:
        order, value = condition
    except (TypeError, ValueError):
        raise ValueError(f"an end condition must be a name or (order, value), not {condition!r}")
    if order not in (1, 2):
        raise ValueError(f"the derivative order of an end condition must be 1 or 2, not {order!r}")
    return order, _real(value, "an end value")


def _end_conditions(bc_type, n):
    """(end condition kind, left value, right value); a value is a number or an array
    shaped as one node's values of y."""
    if isinstance(bc_type, str) and bc_type == "periodic":
        return _PERIODIC, 0.0, 0.0
    if isinstance(bc_type, str) and bc_type == "not-a-knot":
        # Two nodes leave no knot to drop: the straight line, as free ends give.
        return (_FREE if n == 2 else _NOT_A_KNOT), 0.0, 0.0
    left, right = (bc_type, bc_type) if isinstance(bc_type, str) else tuple(bc_type)
    (lo, lv), (ro, rv) = _end(left), _end(right)
    kind = (_D1_LEFT if lo == 1 else _D2_LEFT) | (_D1_RIGHT if ro == 1 else _D2_RIGHT)
    return kind, lv, rv


# From this many nodes on the partition no longer fits the caches and a search per
# random site misses them repeatedly: grouping the sites by position first and searching
# them group after group is then faster (measured crossover about 2e5 nodes on this
# machine). The groups are 2^16 equal parts of the nodes' span, ordered by numpy's
# linear-time stable sort of 16-bit keys: a full sort of the sites costs more than the
# misses it saves.
_GROUP_SITES_FROM_NODES = 1 << 18
_SITE_GROUPS = 1 << 16


class _PiecewisePolynomial:
    _construction = None
    _default_extrapolate = True

    def __init__(self, x, y, axis, ends, extrapolate):
        x, y = np.asarray(x), np.asarray(y)
        # float32 nodes and values give a float32 spline, built and evaluated in float32.
        self._dtype = np.float32 if x.dtype == y.dtype == np.float32 else np.float64
        spline = _interpolate.Spline32 if self._dtype == np.float32 else _interpolate.Spline
        x, y = _real(x, "x", self._dtype), _real(y, "y", self._dtype)
        if x.ndim != 1:
            raise ValueError("x must be 1-dimensional")
        if y.ndim == 0:
            raise ValueError("y must have at least one dimension")
        axis = np.core.numeric.normalize_axis_index(axis, y.ndim)
        if y.shape[axis] != x.size:
            raise ValueError(f"the length of y along axis={axis} doesn't match the length of x")
        nodes_first = np.moveaxis(y, axis, 0)
        self._trailing = nodes_first.shape[1:]
        values = np.ascontiguousarray(nodes_first).reshape(x.size, -1)
        x = np.ascontiguousarray(x)
        kind, left, right = ends
        try:
            left, right = (np.broadcast_to(v, self._trailing).reshape(-1) for v in (left, right))
        except ValueError:
            raise ValueError(f"end values must broadcast to the shape {self._trailing} of the "
                             "values at one node") from None
        # The library's task takes one pair of end values for all its functions: functions
        # with different pairs are built as separate tasks, one per distinct pair.
        pairs, group = np.unique(np.stack([left, right], axis=1), axis=0, return_inverse=True)
        group = group.reshape(-1)
        if len(pairs) == 1:
            self._parts = [(None, spline(self._construction, x, values, kind, *pairs[0]))]
        else:
            self._parts = [(columns, spline(
                self._construction, x, np.ascontiguousarray(values[:, columns]), kind, *pair))
                for pair, columns in ((pairs[k], np.flatnonzero(group == k))
                                      for k in range(len(pairs)))]
        self._nodes = x.size
        # One function in one task, on a partition whose sites need no grouping: a call
        # with an array of the spline's type and the default extrapolation goes straight
        # to the task (the fixed cost of a call on few sites).
        self._direct = (self._parts[0][1] if len(self._parts) == 1 and self._trailing == ()
                        and x.size < _GROUP_SITES_FROM_NODES else None)
        self._dtype_object = np.dtype(self._dtype)
        self._c = None
        self.x = self._parts[0][1].breaks
        self.axis = axis
        self.extrapolate = self._default_extrapolate if extrapolate is None else extrapolate

    def _evaluate(self, sites, nu, extrapolate):
        """(sites, functions) values of every part at 1-D sites."""
        if len(self._parts) == 1:
            return self._parts[0][1].evaluate(sites, nu, extrapolate)
        out = np.empty((sites.size, math.prod(self._trailing)), self._dtype)
        for columns, spline in self._parts:
            out[:, columns] = spline.evaluate(sites, nu, extrapolate).reshape(sites.size, -1)
        return out

    @property
    def c(self):
        if self._c is None:
            parts = [(columns, spline.coefficients) for columns, spline in self._parts]
            order, pieces = parts[0][1].shape[2], parts[0][1].shape[1]
            c = np.empty((sum(p.shape[0] for _, p in parts), pieces, order), self._dtype)
            for columns, part in parts:  # (functions, pieces, ascending powers)
                c[slice(None) if columns is None else columns] = part
            self._c = np.ascontiguousarray(c[:, :, ::-1].transpose(2, 1, 0)).reshape(
                order, pieces, *self._trailing)
        return self._c

    def __call__(self, x, nu=0, extrapolate=None):
        if (self._direct is not None and extrapolate is None and type(x) is np.ndarray
                and x.dtype is self._dtype_object and type(nu) is int
                and type(self.extrapolate) is bool):
            return self._direct.evaluate(x, nu, self.extrapolate)
        if not isinstance(nu, numbers.Integral):
            raise TypeError(f"the derivative order must be an integer, not {nu!r}")
        extrapolate = self.extrapolate if extrapolate is None else extrapolate
        t = _real(x, "x", self._dtype)
        sites = t.ravel()
        if extrapolate == "periodic":
            lo, hi = self.x[0], self.x[-1]
            sites = lo + np.mod(sites - lo, hi - lo)
            extrapolate = True
        if (self._nodes >= _GROUP_SITES_FROM_NODES and sites.size > 1
                and not np.all(sites[1:] >= sites[:-1])):
            lo, hi = self.x[0], self.x[-1]
            with np.errstate(invalid="ignore"):  # NaN sites fall in any group
                group = ((sites - lo) * ((_SITE_GROUPS - 1) / (hi - lo))).clip(
                    0, _SITE_GROUPS - 1).astype(np.uint16)
            order = np.argsort(group, kind="stable")
            values = self._evaluate(sites[order], int(nu), bool(extrapolate))
            out = np.empty_like(values)
            out[order] = values
        else:
            out = self._evaluate(sites, int(nu), bool(extrapolate))
        out = out.reshape(t.shape + self._trailing)
        if self.axis != 0:  # the sites' axes take the place of the node axis, as in scipy
            order = list(range(out.ndim))
            order = order[t.ndim:t.ndim + self.axis] + order[:t.ndim] + order[t.ndim + self.axis:]
            out = out.transpose(order)
        return out


class CubicSpline(_PiecewisePolynomial):
    """The C2 cubic spline through the data (scipy.interpolate.CubicSpline)."""
    _construction = "cubic"

    def __init__(self, x, y, axis=0, bc_type="not-a-knot", extrapolate=None):
        if extrapolate is None and isinstance(bc_type, str) and bc_type == "periodic":
            extrapolate = "periodic"
        super().__init__(x, y, axis, _end_conditions(bc_type, np.size(x)), extrapolate)


class Akima1DInterpolator(_PiecewisePolynomial):
    """Akima's (1970) local cubic, with his extrapolated chord slopes at the ends
    (scipy.interpolate.Akima1DInterpolator; at least 5 nodes). NaN outside the nodes
    unless `extrapolate`."""
    _construction = "akima"
    _default_extrapolate = False

    def __init__(self, x, y, axis=0, extrapolate=None):
        super().__init__(x, y, axis, (0, 0.0, 0.0), extrapolate)


class HymanInterpolator(_PiecewisePolynomial):
    """A monotonicity-preserving local cubic, in the role of scipy's PchipInterpolator:
    three-point (Bessel) slopes limited by Hyman's (1983) filter, so that monotone data
    give a monotone curve; at least 4 nodes."""
    _construction = "hyman"

    def __init__(self, x, y, axis=0, bc_type="not-a-knot", extrapolate=None):
        super().__init__(x, y, axis, _end_conditions(bc_type, np.size(x)), extrapolate)


class QuadraticSpline(_PiecewisePolynomial):
    """The C1 quadratic spline through the data with knots midway between the nodes
    (scipy.interpolate.make_interp_spline(x, y, k=2) for "not-a-knot")."""
    _construction = "quadratic"

    def __init__(self, x, y, axis=0, bc_type="not-a-knot", extrapolate=None):
        super().__init__(x, y, axis, _end_conditions(bc_type, 3), extrapolate)


class LinearSpline(_PiecewisePolynomial):
    """The broken line through the data (numpy.interp inside, extended by the end
    pieces outside unless `extrapolate` is False)."""
    _construction = "linear"

    def __init__(self, x, y, axis=0, extrapolate=None):
        super().__init__(x, y, axis, (0, 0.0, 0.0), extrapolate)
