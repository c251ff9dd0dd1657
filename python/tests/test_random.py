"""zorn.random: streams reproduced through every persistence route, skip-ahead and
leapfrog against plain draws, distributions against scipy, errors."""
import copy
import pickle

import numpy as np
import pytest
from scipy import stats

import zorn
from zorn.random import Stream, family, generators

QUASI = {"sobol", "niederreiter"}
REPRODUCIBLE = [g for g in generators() if g != "nondeterministic"]


def make(generator, seed=2026, **kw):
    return Stream(generator, seed, dimension=3 if generator in QUASI else None, **kw)


ROUTES = {
    "copy": lambda s, tmp: s.copy(),
    "deepcopy": lambda s, tmp: copy.deepcopy(s),
    "pickle": lambda s, tmp: pickle.loads(pickle.dumps(s)),
    "bytes": lambda s, tmp: Stream.from_bytes(s.to_bytes()),
    "file": lambda s, tmp: (s.save(str(tmp / "s.bin")), Stream.load(str(tmp / "s.bin")))[1],
}


@pytest.mark.parametrize("route", ROUTES)
@pytest.mark.parametrize("generator", REPRODUCIBLE)
def test_streams_continue_identically_after_each_route(generator, route, tmp_path):
    s = make(generator)
    s.gaussian(7, method="box_muller2")  # leaves half a pair pending on the stream
    t = ROUTES[route](s, tmp_path)
    assert t.generator == generator and t.identifier == s.identifier
    np.testing.assert_array_equal(t.gaussian(9, method="box_muller2"), s.gaussian(9, method="box_muller2"))
    np.testing.assert_array_equal(t.uniform(100), s.uniform(100))


def plain_or_refused(operation, refusal):
    try:
        operation()
    except zorn.RandomError as e:
        assert e.name == refusal
        return False
    return True


@pytest.mark.parametrize("generator", REPRODUCIBLE)
def test_skip_ahead_matches_plain_draws(generator):
    reference, s = make(generator).uniform(2000), make(generator)
    if plain_or_refused(lambda: s.skip_ahead(1234), "PAVO_STATUS_SKIP_AHEAD_UNSUPPORTED"):
        np.testing.assert_array_equal(s.uniform(100), reference[1234:1334])


# Member k of N takes outputs k, k + N, ...; WH steps before each output, so its member k
# starts at output k + N - 1 (the members still take disjoint outputs).
@pytest.mark.parametrize("generator", REPRODUCIBLE)
def test_leapfrog_matches_plain_draws(generator):
    reference, s = make(generator).uniform(2000), make(generator)
    start = 2 + (5 - 1 if generator == "wh" else 0)
    if plain_or_refused(lambda: s.leapfrog(2, 5), "PAVO_STATUS_LEAPFROG_UNSUPPORTED"):
        np.testing.assert_array_equal(s.uniform(100), reference[start:start + 500:5])


def test_multiword_skip_ahead_equals_repeated_skips():
    a, b = Stream("philox", 5), Stream("philox", 5)
    a.skip_ahead(2**64 + 10)
    for _ in range(2):
        b.skip_ahead(2**63)
    b.skip_ahead(10)
    np.testing.assert_array_equal(a.bits32(16), b.bits32(16))


def test_families_and_seeds_give_distinct_streams():
    draws = [s.bits32(8) for s in family("mt2203", 3, seed=1)]
    draws += [Stream("mt2203", 1, index=0).bits32(8), Stream("mt2203", 2).bits32(8)]
    assert draws[0].tolist() == draws[3].tolist()
    assert len({tuple(d) for d in draws}) == 4
    assert Stream("mt19937", 2**40 + 1).bits32(4).tolist() != Stream("mt19937", 1).bits32(4).tolist()
    points = Stream("sobol", dimension=2).uniform((4, 2))
    np.testing.assert_array_equal(points, [[0.5, 0.5], [0.75, 0.25], [0.25, 0.75], [0.375, 0.375]])


N = 20000
CONTINUOUS = [
    ("uniform", dict(low=-1.0, high=3.0), stats.uniform(-1, 4)),
    ("gaussian", dict(mean=1.0, sigma=2.0), stats.norm(1, 2)),
    ("gaussian", dict(mean=1.0, sigma=2.0, method="box_muller"), stats.norm(1, 2)),
    ("gaussian", dict(method="box_muller2"), stats.norm()),
    ("exponential", dict(displacement=1.0, scale=2.0), stats.expon(1, 2)),
    ("laplace", dict(displacement=1.0, scale=2.0), stats.laplace(1, 2)),
    ("cauchy", dict(displacement=1.0, scale=2.0), stats.cauchy(1, 2)),
    ("rayleigh", dict(scale=2.0), stats.rayleigh(0, 2 / np.sqrt(2))),
    ("gumbel", dict(displacement=1.0, scale=2.0), stats.gumbel_l(1, 2)),
    ("weibull", dict(shape=1.5, scale=2.0), stats.weibull_min(1.5, 0, 2)),
    ("lognormal", dict(mean=0.5, sigma=0.7, method="icdf"), stats.lognorm(0.7, 0, np.exp(0.5))),
    ("gamma", dict(shape=0.6, scale=2.0), stats.gamma(0.6, 0, 2)),
    ("gamma", dict(shape=3.5), stats.gamma(3.5)),
    ("beta", dict(p=0.5, q=2.5), stats.beta(0.5, 2.5)),
    ("chisquare", dict(df=5), stats.chi2(5)),
]
DISCRETE = [
    ("integers", dict(low=-3, high=4), stats.randint(-3, 4)),
    ("bernoulli", dict(p=0.3), stats.bernoulli(0.3)),
    ("geometric", dict(p=0.2), stats.geom(0.2, loc=-1)),
    ("poisson", dict(lam=3.5), stats.poisson(3.5)),
    ("poisson", dict(lam=250.0), stats.poisson(250.0)),
]


@pytest.mark.parametrize("dtype", [np.float64, np.float32])
@pytest.mark.parametrize("name,params,law", CONTINUOUS, ids=lambda v: v if isinstance(v, str) else "")
def test_continuous_distributions_follow_their_law(name, params, law, dtype):
    x = getattr(Stream("philox", 11), name)(N, dtype=dtype, **params)
    assert x.dtype == dtype and x.shape == (N,)
    assert stats.kstest(x, law.cdf).pvalue > 1e-4


@pytest.mark.parametrize("name,params,law", DISCRETE, ids=lambda v: v if isinstance(v, str) else "")
def test_discrete_distributions_follow_their_law(name, params, law):
    k = getattr(Stream("mrg32k3a", 11), name)(N, **params)
    values, counts = np.unique(k, return_counts=True)
    expected = N * law.pmf(values)
    keep = expected > 20  # chi-square over the well-populated cells
    observed, expected = counts[keep], expected[keep]
    assert stats.chisquare(observed, expected * observed.sum() / expected.sum()).pvalue > 1e-4
    assert counts[~keep].sum() < 0.02 * N


def test_gaussian_mv_has_the_requested_covariance():
    factor = np.array([[2.0, 0, 0], [-1, 0.5, 0], [3, 1, 0.25]])
    mean = np.array([1.0, -2, 4])
    x = Stream("mt19937", 3).gaussian_mv(50000, mean, factor)
    assert x.shape == (50000, 3)
    np.testing.assert_allclose(x.mean(axis=0), mean, atol=0.05)
    np.testing.assert_allclose(np.cov(x.T), factor @ factor.T, rtol=0.05, atol=0.03)
    packed = factor.T[np.triu_indices(3)]  # the lower triangle, column after column
    np.testing.assert_allclose(Stream("mt19937", 3).gaussian_mv(10, mean, packed, storage="packed"), x[:10],
                               rtol=1e-15)


def test_sizes_and_raw_words():
    s = Stream("philox", 1)
    assert isinstance(s.gaussian(), np.float64) and s.gaussian(0).shape == (0,)
    assert s.poisson((2, 3, 4), lam=2.0).shape == (2, 3, 4) and s.poisson(3, lam=2.0).dtype == np.int32
    assert s.bits64(5).dtype == np.uint64 and Stream("mcg59").bits(5).shape == (5, 2)
    np.testing.assert_array_equal(Stream("philox", 1).bits32(8), Stream("philox", 1).bits(8))


@pytest.mark.parametrize("call,error,name", [
    (lambda s: s.gaussian(3, sigma=0.0), ValueError, None),
    (lambda s: s.gaussian(3, sigma=np.nan), ValueError, None),
    (lambda s: s.uniform(3, low=1.0, high=1.0), ValueError, None),
    (lambda s: s.gaussian(3, method="ziggurat"), ValueError, None),
    (lambda s: s.poisson(3, lam=-1.0), ValueError, None),
    (lambda s: s.bernoulli(3, p=1.5), ValueError, None),
    (lambda s: s.gamma((2, -1)), ValueError, None),
    (lambda s: s.uniform(3, dtype=np.int32), TypeError, None),
    (lambda s: s.gaussian_mv(3, [0.0, 0.0], np.eye(3)), ValueError, None),
    (lambda s: Stream("no-such-generator"), ValueError, None),
    (lambda s: Stream("mt2203", index=6024), ValueError, None),
    (lambda s: Stream(0x123456), zorn.RandomError, "PAVO_STATUS_INVALID_BRNG"),
    (lambda s: Stream("r250").skip_ahead(1), zorn.RandomError, "PAVO_STATUS_SKIP_AHEAD_UNSUPPORTED"),
    (lambda s: Stream("mcg31m1").skip_ahead(2**64), zorn.RandomError, "PAVO_STATUS_SKIP_AHEAD_EX_UNSUPPORTED"),
    (lambda s: s.leapfrog(0, -1), zorn.RandomError, "PAVO_STATUS_BAD_LEAPFROG_COUNT"),
    (lambda s: Stream("r250").bits32(2), zorn.RandomError, "PAVO_STATUS_NO_FIXED_WORDS"),
    (lambda s: Stream.from_bytes(s.to_bytes()[:-1]), zorn.RandomError, "PAVO_STATUS_SHORT_READ"),
    (lambda s: Stream.from_bytes(b"\0" * 64), zorn.RandomError, "PAVO_STATUS_FILE_BAD_HEADER"),
    (lambda s: Stream.load("/nonexistent/stream"), zorn.RandomError, "PAVO_STATUS_OPEN_FAILED"),
    (lambda s: (s.close(), s.uniform(3)), ValueError, None),
])
def test_wrong_arguments_raise(call, error, name):
    with pytest.raises(error) as caught:
        call(Stream("mcg31m1", 1))
    if name is not None:
        assert caught.value.name == name and name in str(caught.value) and caught.value.status < 0
