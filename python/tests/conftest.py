"""Shared fixtures: a seeded numpy generator for random test data, and the tolerance in
units of machine epsilon that each accuracy mode's results meet (docs/accuracy.md)."""
import numpy as np
import pytest


@pytest.fixture
def rng():
    return np.random.default_rng(20261207)


# Relative error allowed against numpy/scipy, in units of the type's epsilon: the
# library's bounds (HA 1 ulp, LA 4 ulp, EP about half the mantissa) plus numpy's own
# error, which is up to a few ulp for its single-precision and complex functions.
ULPS = {"ha": 4, "la": 8}
EP_BITS = {np.float32: 11, np.float64: 26}


def tolerance(dtype, accuracy):
    real = np.finfo(np.dtype(dtype)).dtype.type
    if accuracy == "ep":
        return 2.0 ** -EP_BITS[real] * 4
    return float(np.finfo(real).eps) * ULPS[accuracy]
