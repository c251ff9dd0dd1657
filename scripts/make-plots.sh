#!/usr/bin/env bash
# Regenerates the SVG plots of docs/plots from runs of the built library (through
# ctypes) and of its accuracy tools, beside numpy and scipy on the same data.
# Usage: scripts/make-plots.sh <build directory>
set -euo pipefail
build=$(cd "$1" && pwd)
source=$(cd "$(dirname "$0")/.." && pwd)
cd "$source/scripts/plots"
for script in gaussian_histogram spline_accuracy statistics_error vector_speed vector_accuracy; do
  /usr/bin/python3 "$script.py" "$build" "$source/docs/plots"
done
