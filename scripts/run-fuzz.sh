#!/usr/bin/env bash
# Runs every fuzz_<name> program of a build for a number of seconds, over its corpus
# in fuzz/<name>/corpus (inputs it finds that grow coverage are kept in a scratch copy).
set -euo pipefail
build=$1 seconds=$2
shopt -s nullglob
progs=("$build"/bin/fuzz_*)
if [ ${#progs[@]} -eq 0 ]; then echo "no fuzz targets built yet"; exit 0; fi
for p in "${progs[@]}"; do
  name=$(basename "$p"); name=${name#fuzz_}
  work="$build/corpus-$name"; mkdir -p "$work"
  [ -d "fuzz/$name/corpus" ] && cp -n fuzz/"$name"/corpus/* "$work"/ 2>/dev/null || true
  echo "== fuzz_$name for ${seconds}s"
  "$p" -max_total_time="$seconds" -print_final_stats=1 "$work"
done
