#!/usr/bin/env bash
# Runs every benchmark program of the build, ours and the peers side by side.
set -euo pipefail
build=$1
shopt -s nullglob
progs=("$build"/bin/bench_*)
if [ ${#progs[@]} -eq 0 ]; then echo "no benchmarks built yet"; exit 0; fi
for p in "${progs[@]}"; do echo "== $(basename "$p")"; "$p"; done
