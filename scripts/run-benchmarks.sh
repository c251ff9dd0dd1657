#!/usr/bin/env bash
# Runs every benchmark program of the build, ours and the peers side by side.
set -euo pipefail
build=$1
shopt -s nullglob
progs=("$build"/bin/bench_*)
if [ ${#progs[@]} -eq 0 ]; then echo "no benchmarks built yet"; exit 0; fi
for p in "${progs[@]}"; do echo "== $(basename "$p")"; "$p"; done
# scipy's inverse error functions and normal quantile are peers only through Python.
if /usr/bin/python3 -c 'import numpy, scipy' 2>/dev/null; then
  echo "== compare_scipy (inverse error functions)"
  /usr/bin/python3 "$(dirname "$0")/../bench/vector_math/compare_scipy.py" "$build/bin"
fi
