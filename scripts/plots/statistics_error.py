"""Worst relative error of the variance by method, from the accuracy report of the
statistics tool (build/bin/ss_accuracy), against the naive formulas."""
import os
import re
import subprocess

from zorn_library import BUILD, plt, save

report = subprocess.run([os.path.join(BUILD, "bin", "ss_accuracy")], check=True,
                        capture_output=True, text=True).stdout
cases, current = {}, None
for line in report.splitlines():
    if line and not line.startswith(" ") and "(p =" in line:
        current = line.split(" (p =")[0]
        cases[current] = {}
    elif current and re.match(r"\s+\S", line) and "mean" not in line:
        fields = line.split()
        # The method's label is every field before the five numbers.
        numbers = fields[-5:]
        label = " ".join(fields[:-5])
        if len(numbers) == 5:
            value = numbers[1]
            cases[current][label] = float("nan") if value == "inf" else float(value)
labels = list(next(iter(cases.values())).keys())
figure, axis = plt.subplots(figsize=(9, 4.2))
width = 0.8 / len(labels)
for k, label in enumerate(labels):
    values = [max(cases[c].get(label, float("nan")), 1e-18) for c in cases]
    axis.bar([i + k * width for i in range(len(cases))], values, width, label=label, log=True)
axis.set_xticks([i + 0.4 - width / 2 for i in range(len(cases))])
axis.set_xticklabels([c.replace(", ", ",\n") for c in cases], fontsize=7)
axis.axhline(1.0, color="black", linewidth=0.5)
axis.set(title="Variance: worst relative error against long double references",
         ylabel="relative error (1 = no correct digit)")
axis.legend(fontsize=7)
save(figure, "statistics_error")
