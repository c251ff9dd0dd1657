"""The Python tour of `make demo`: zorn.vm and zorn.random beside numpy, then the
sections of the other modules, one file tour_<name>.py each beside this one."""
import glob
import os
import pickle
import runpy
import time

import numpy as np

import zorn
from zorn import vm
from zorn.random import Stream


def cpu(call, repeat=5):
    best = float("inf")
    for _ in range(repeat):
        start = time.process_time()
        call()
        best = min(best, time.process_time() - start)
    return best


def section(title):
    print(f"\n== Python: {title}")


def vector_math():
    section("vector math (zorn.vm)")
    x = np.linspace(-5, 5, 10**6)
    y = vm.exp(x)
    print(f"exp of 10^6 doubles: largest relative difference from numpy "
          f"{np.max(np.abs(y - np.exp(x)) / np.exp(x)):.2e}")
    print(f"CPU time: numpy {cpu(lambda: np.exp(x, out=y)) * 1e3:.2f} ms, "
          f"zorn {cpu(lambda: vm.exp(x, out=y)) * 1e3:.2f} ms (HA), "
          f"{cpu(lambda: vm.exp(x, out=y, accuracy='ep')) * 1e3:.2f} ms (EP)")
    grid = np.arange(12.0).reshape(3, 4)
    print("a strided view, read in place:", vm.sqrt(grid[:, ::2]).round(3).tolist())
    print("complex64:", vm.exp(np.array([1j * np.pi], np.complex64)))
    try:
        with np.errstate(invalid="raise"):
            vm.ln(np.array([1.0, 2.0, -3.0]))
    except zorn.VectorMathError as e:
        print("under np.errstate(invalid='raise'):", e)


def random_streams():
    section("random streams (zorn.random)")
    s = Stream("philox", seed=2026)
    x = s.gaussian(10**6)
    print(f"10^6 normals from philox: mean {x.mean():+.4f}, std {x.std():.4f}")
    peer = np.random.default_rng(2026)
    print(f"CPU time: numpy standard_normal {cpu(lambda: peer.standard_normal(10**6)) * 1e3:.2f} ms, "
          f"zorn gaussian {cpu(lambda: s.gaussian(10**6)) * 1e3:.2f} ms")
    t = pickle.loads(pickle.dumps(s))
    print("a pickled stream continues the same sequence:",
          bool((t.poisson(1000, lam=4.0) == s.poisson(1000, lam=4.0)).all()))
    ahead = s.copy()
    ahead.skip_ahead(10**6)
    s.uniform(10**6)
    print("skip_ahead(10^6) lands where 10^6 draws do:", bool(ahead.uniform(4).tolist() == s.uniform(4).tolist()))
    print("the first points of a 2-D Sobol sequence:", Stream("sobol", dimension=2).uniform((4, 2)).tolist())


def main():
    print("zorn Python tour")
    vector_math()
    random_streams()
    for path in sorted(glob.glob(os.path.join(os.path.dirname(__file__), "tour_*.py"))):
        runpy.run_path(path, run_name="__main__")


if __name__ == "__main__":
    main()
