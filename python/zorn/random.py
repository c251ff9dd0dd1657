"""Random streams and distributions.

    s = zorn.random.Stream("philox", seed=2026)
    x = s.gaussian(10**6)                       # N(0, 1), float64, method "icdf"
    k = s.poisson((100, 3), lam=4.0)            # int32 counts, shape (100, 3)
    t = s.copy(); t.skip_ahead(10**12)          # or s.leapfrog(k, nstreams)
    s2 = pickle.loads(pickle.dumps(s))          # or to_bytes/from_bytes, save/load

Every built-in generator (`generators()`), with `index=` choosing a member of the WH and
MT2203 families and `dimension=` the dimension of the Sobol and Niederreiter sequences
(a quasi-random draw of size (n, d) gives n points). Each distribution is a method
taking `size` (None for one value, an int or a tuple) first; real ones take
`dtype=np.float32` too. Invalid parameters raise ValueError, failures of the library
RandomError.
"""
from ._random import Stream, generators

__all__ = ["Stream", "generators", "family"]


def family(generator, count, seed=0):
    """`count` independent streams: the first `count` members of a family of generators
    (wh, mt2203), each seeded with `seed`."""
    return [Stream(generator, seed, index=i) for i in range(count)]
