"""zorn.stats against numpy/scipy on random data, axis conventions, portions, errors."""
import math
import pickle

import numpy as np
import pytest
import scipy.stats

import zorn
from zorn import stats

rng = np.random.default_rng(20261207)


def close(a, b, rtol):
    np.testing.assert_allclose(np.asarray(a, float), np.asarray(b, float), rtol=rtol, atol=0)


def same_describe(ours, theirs, rtol):
    assert ours.nobs == theirs.nobs
    close(ours.minmax, theirs.minmax, rtol)
    for k in range(2, 6):
        close(ours[k], theirs[k], rtol)


@pytest.mark.parametrize("shape, axis", [((1000,), 0), ((500, 3), 0), ((3, 500), 1),
                                         ((4, 50, 5), 1), ((40, 6), None), ((7, 300), -1)])
@pytest.mark.parametrize("method, rtol", [("one-pass", 1e-12), ("per-observation", 1e-12),
                                          ("fast", 1e-9)])
@pytest.mark.parametrize("ddof, bias", [(1, True), (0, False)])
def test_describe_matches_scipy(shape, axis, method, rtol, ddof, bias):
    x = rng.normal(2.0, 3.0, shape) ** 3
    ours = stats.describe(x, axis=axis, ddof=ddof, bias=bias, method=method)
    same_describe(ours, scipy.stats.describe(x, axis=axis, ddof=ddof, bias=bias), rtol)


def test_one_pass_survives_a_large_mean():
    x = 1e9 + rng.normal(0, 1, 100000)
    d = x - 1e9  # exact: the data are within a few units of 1e9
    m2 = math.fsum((d - math.fsum(d) / d.size) ** 2) / (d.size - 1)
    assert stats.describe(x).variance == pytest.approx(m2, rel=1e-12)


@pytest.mark.parametrize("axis", [0, 1])
def test_weights_match_numpy(axis):
    x = rng.normal(size=(400, 4)) if axis == 0 else rng.normal(size=(4, 400))
    w = rng.uniform(0.1, 10, 400)
    r = stats.describe(x, axis=axis, weights=w, covariance=True)
    close(r.mean, np.average(x, axis=axis, weights=w), 1e-13)
    c = np.cov(x, rowvar=axis == 1, aweights=w)
    close(r.covariance, c, 1e-12)
    close(r.variance, np.diag(c), 1e-12)
    close(r.correlation, c / np.sqrt(np.outer(np.diag(c), np.diag(c))), 1e-12)
    # Equal weights of 2 give the unweighted variance (reliability weights).
    close(stats.describe(x, axis=axis, weights=np.full(400, 2.0)).variance,
          np.var(x, axis=axis, ddof=1), 1e-13)


@pytest.mark.parametrize("shape, axis, q", [((1001,), 0, [0, 0.25, 0.5, 1]), ((300, 3), 0, 0.9),
                                            ((3, 300), 1, [[0.1, 0.2], [0.3, 1.0]]),
                                            ((5, 20, 2), 1, [0.5])])
def test_quantiles_and_order_statistics_match_numpy(shape, axis, q):
    x = rng.normal(size=shape)
    r = stats.describe(x, axis=axis, quantiles=q, order_statistics=True)
    close(r.quantiles, np.quantile(x, q, axis=axis), 1e-14)
    assert np.array_equal(r.order_statistics, np.sort(x, axis=axis))


@pytest.mark.parametrize("method", ["one-pass", "fast"])
def test_portions_merges_and_pickles_equal_one_call(method):
    x = rng.normal(5, 2, (3000, 3))
    w = rng.uniform(0, 3, 3000)
    whole = stats.describe(x, weights=w, method=method, covariance=True)
    cuts = [0, 1, 1, 700, 2999, 3000]
    acc = stats.Accumulator(method=method, covariance=True)
    parts = []
    for a, b in zip(cuts, cuts[1:]):
        acc = pickle.loads(pickle.dumps(acc)).update(x[a:b], weights=w[a:b])
        parts.append(stats.Accumulator(method=method, covariance=True).update(x[a:b], w[a:b]))
    merged = stats.Accumulator(method=method, covariance=True)
    for part in parts:
        merged.merge(part)
    for r in (acc.result(), merged.result()):
        same_describe(r, whole, 1e-10)
        close(r.covariance, whole.covariance, 1e-10)


def test_float32_data_give_float32_estimates():
    x = rng.gamma(2.0, 3.0, (2000, 3)).astype(np.float32)
    r = stats.describe(x, covariance=True, quantiles=[0.25, 0.5])
    acc = stats.Accumulator()
    for part in np.array_split(x, 3):
        acc.update(part)
    theirs = scipy.stats.describe(x.astype(np.float64))
    for ours in (r, acc.result()):
        assert {np.asarray(f).dtype for f in (*ours.minmax, *ours[2:])} == {np.dtype(np.float32)}
        same_describe(ours, theirs, 1e-5)
    assert r.covariance.dtype == r.quantiles.dtype == np.float32
    close(r.quantiles, np.quantile(x, [0.25, 0.5], axis=0), 1e-6)


def test_nan_propagates_as_in_numpy():
    x = rng.normal(size=(100, 3))
    x[7, 1] = np.nan
    r = stats.describe(x, quantiles=[0.5])
    s = scipy.stats.describe(x)
    for ours, theirs in [(r.minmax[0], s.minmax[0]), (r.mean, s.mean), (r.quantiles[0],
                                                                         np.quantile(x, 0.5, 0))]:
        assert np.array_equal(np.isnan(ours), np.isnan(theirs))


def test_errors():
    x = rng.normal(size=(10, 2))
    with pytest.raises(zorn.StatsError) as e:
        stats.describe(x, quantiles=[0.5, 1.0000001])
    assert e.value.name == "PAVO_SS_STATUS_BAD_QUANTILE_ORDERS" and e.value.status == -4022
    cases = [(TypeError, dict(a=x + 1j)), (ValueError, dict(a=x, weights=np.ones(3))),
             (ValueError, dict(a=x, weights=-np.ones(10))), (ValueError, dict(a=x[:0])),
             (ValueError, dict(a=x, method="two-pass")), (ValueError, dict(a=x, axis=2)),
             (TypeError, dict(a=x, weights=np.ones(10, complex)))]
    for error, kwargs in cases:
        with pytest.raises(error):
            stats.describe(**kwargs)
    acc = stats.Accumulator().update(x)
    with pytest.raises(ValueError):
        acc.update(np.ones((4, 3)))
    with pytest.raises(ValueError):
        acc.merge(stats.Accumulator(method="fast").update(x))
    with pytest.raises(ValueError):
        stats.Accumulator().result()
