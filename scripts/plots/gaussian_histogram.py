"""Histogram of 10^6 normal variates of each Gaussian method against the density."""
import ctypes
import math

from zorn_library import dbl, i32, lib, plt, save, u32, vp

METHODS = [(0, "Box-Muller (one per pair)"), (1, "Box-Muller (both halves)"), (2, "inversion")]
N, SEED = 1_000_000, 2026
GENERATOR = 0x1000000  # Philox4x32-10

figure, axes = plt.subplots(1, 2, figsize=(10, 3.8))
edges = [-5 + 0.1 * k for k in range(101)]
centres = [(a + b) / 2 for a, b in zip(edges, edges[1:])]
density = [math.exp(-c * c / 2) / math.sqrt(2 * math.pi) for c in centres]
# Expected count of each bin: N times the exact probability of the bin.
expected = [N * 0.5 * (math.erf(b / math.sqrt(2)) - math.erf(a / math.sqrt(2)))
            for a, b in zip(edges, edges[1:])]
axes[0].plot(centres, density, color="black", linewidth=1, label="density")
for method, label in METHODS:
    stream = vp()
    seed = u32(SEED)
    assert lib.__pavoNewStreamEx(ctypes.byref(stream), u32(GENERATOR), i32(1), ctypes.byref(seed)) == 0
    r = (dbl * N)()
    assert lib._pavodRngGaussian(i32(method), stream, i32(N), r, dbl(0.0), dbl(1.0)) == 0
    lib.__pavoDeleteStream(ctypes.byref(stream))
    counts = [0] * (len(edges) - 1)
    for x in r:
        k = int((x + 5) * 10)
        if 0 <= k < len(counts):
            counts[k] += 1
    heights = [c / (N * 0.1) for c in counts]
    axes[0].step(centres, heights, where="mid", linewidth=0.8, label=label)
    # Deviation from the expected count, in standard deviations of the count.
    z = [(c - e) / math.sqrt(e) for c, e in zip(counts, expected)]
    axes[1].plot(centres, z, ".", markersize=3, label=label)
axes[0].set(title="10^6 variates per method (Philox4x32-10)", xlabel="x", ylabel="density")
axes[0].legend(fontsize=8)
axes[1].axhline(0, color="black", linewidth=0.5)
for bound in (-3, 3):
    axes[1].axhline(bound, color="grey", linewidth=0.5, linestyle="--")
axes[1].set(title="count - expected, in standard deviations", xlabel="x", ylim=(-5, 5))
axes[1].legend(fontsize=8)
save(figure, "gaussian_histogram")
