"""Largest error in ulps of every one-argument vector function, ours and the 128-bit
peers', on the same arguments (random domain and hard cases) against MPFR, measured by
the accuracy harness (build/bin/peer_accuracy)."""
import csv
import io
import os
import subprocess

from zorn_library import BUILD, plt, save

SAMPLES = os.environ.get("ZORN_PEER_SAMPLES", "20000")
table = subprocess.run([os.path.join(BUILD, "bin", "peer_accuracy"), SAMPLES], check=True,
                       capture_output=True, text=True).stdout
errors = {}
for row in csv.DictReader(io.StringIO(table)):
    errors.setdefault((row["type"], row["function"]), {})[row["implementation"]] = \
        float(row["max_ulp"])
implementations = sorted({who for by in errors.values() for who in by},
                         key=lambda who: (who != "zorn", who))
markers = dict(zip(implementations, "o^sDvx+*"))
figure, axes = plt.subplots(1, 2, figsize=(11, 6), sharey=False)
for axis, precision, title in zip(axes, "sd", ("float", "double")):
    functions = sorted(f for t, f in errors if t == precision)
    for who in implementations:
        ys, xs = [], []
        for k, f in enumerate(functions):
            value = errors[(precision, f)].get(who)
            if value is not None:
                xs.append(k)
                # Errors beyond the axis (a failed special value counts as infinite)
                # are drawn at its top.
                ys.append(min(max(value, 0.05), 1e4))
        axis.semilogy(xs, ys, markers[who], markersize=4 if who != "zorn" else 6,
                      fillstyle="none" if who != "zorn" else "full", label=who)
    axis.axhline(1.0, color="black", linewidth=0.5)
    axis.set_xticks(range(len(functions)))
    axis.set_xticklabels(functions, rotation=90, fontsize=7)
    axis.set(title=title + ": largest error against MPFR", ylabel="ulp", ylim=(0.04, 2e4))
axes[0].legend(fontsize=7)
save(figure, "vector_accuracy")
