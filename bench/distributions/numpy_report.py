"""The timing and table shared by the numpy comparison scripts of this folder."""
import ctypes
import os
import time


def best_ns(fn, n, repeats):
    """Nanoseconds per variate of the fastest of `repeats` calls that each draw `n`."""
    best = float("inf")
    for _ in range(repeats):
        start = time.perf_counter()
        fn()
        best = min(best, time.perf_counter() - start)
    return best / n * 1e9


def print_table(cases, n, repeats):
    """One line per (name, ours, numpy) case: both times and numpy / ours."""
    print(f"{'case':24} {'zorn ns':>9} {'numpy ns':>9} {'numpy/zorn':>11}")
    for name, zorn_fn, numpy_fn in cases:
        z, v = best_ns(zorn_fn, n, repeats), best_ns(numpy_fn, n, repeats)
        print(f"{name:24} {z:9.2f} {v:9.2f} {v / z:11.2f}")


def library_and_stream(lib_dir):
    """libzorn_generic.so (its sibling loaded first, globally) and an MT19937 stream
    seeded with 5489, the seed numpy's MT19937 comparison uses."""
    ctypes.CDLL(os.path.join(lib_dir, "libzorn_core.so"), mode=ctypes.RTLD_GLOBAL)
    lib = ctypes.CDLL(os.path.join(lib_dir, "libzorn_generic.so"))
    stream = ctypes.c_void_p()
    seed = (ctypes.c_uint32 * 1)(5489)
    assert getattr(lib, "__pavoNewStreamEx")(ctypes.byref(stream), 0x800000, 1, seed) == 0
    return lib, stream
