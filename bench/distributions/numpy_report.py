"""The timing and table shared by the numpy comparison scripts of this folder."""
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
