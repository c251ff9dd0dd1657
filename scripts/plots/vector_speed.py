"""Time per element of every vector function (n = 1000, in cache) against the fastest
128-bit peer measured in the same run (glibc's scalar and libmvec 128-bit functions,
SLEEF's SSE2 functions), from the vector-math benchmark: below 1 we are faster."""
import json
import os
import subprocess
import tempfile

from zorn_library import BUILD, plt, save

PEERS = ("glibc_scalar", "libmvec_128", "sleef_u10_sse2", "sleef_u35_sse2", "gsl_scalar",
         "instruction_loop")
with tempfile.NamedTemporaryFile(suffix=".json") as out:
    subprocess.run([os.path.join(BUILD, "bin", "bench_vector_math"),
                    "--benchmark_filter=n=1000 \\| (zorn|" + "|".join(PEERS) + ")",
                    "--benchmark_min_time=0.05", "--benchmark_repetitions=3",
                    "--benchmark_enable_random_interleaving=true",
                    "--benchmark_report_aggregates_only=true",
                    "--benchmark_out=" + out.name, "--benchmark_out_format=json"],
                   check=True, stdout=subprocess.DEVNULL)
    rows = json.load(open(out.name))["benchmarks"]
times = {}
for row in rows:
    if row.get("aggregate_name") != "median":
        continue
    function, who = row["run_name"].split(" n=1000 | ")
    times.setdefault(function, {})[who.split(" ")[0]] = row["cpu_time"]
ratios = {}
for function, by in sorted(times.items()):
    peers = [t for who, t in by.items() if who != "zorn"]
    if "zorn" in by and peers:
        ratios[function] = by["zorn"] / min(peers)
names = sorted(ratios, key=lambda f: (f[0], ratios[f]))
figure, axis = plt.subplots(figsize=(7, max(4, 0.16 * len(names))))
colours = ["tab:green" if ratios[f] <= 1 else "tab:red" for f in names]
axis.barh(range(len(names)), [ratios[f] for f in names], color=colours)
axis.set_yticks(range(len(names)))
axis.set_yticklabels(names, fontsize=6)
axis.set_xscale("log")
axis.axvline(1.0, color="black", linewidth=0.6)
axis.set(title="Time per element / fastest 128-bit peer (n = 1000, medians of 3)",
         xlabel="ratio (below 1: faster than every 128-bit peer measured)")
axis.invert_yaxis()
save(figure, "vector_speed")
