#!/usr/bin/env bash
# Runs every fuzz_<name> program of a build, one after the other on one worker, for a
# number of seconds each (or, with a third argument, for that many executions each),
# over its seed corpus in fuzz/<name>/corpus with its dictionary fuzz/<name>/<name>.dict.
# Inputs that grow coverage are kept in a scratch corpus in the build; a crash stops
# the run, prints the end of its log and leaves its input in the build folder.
#   scripts/run-fuzz.sh build-fuzz 60               # CI: a minute per target
#   scripts/run-fuzz.sh build-fuzz 0 10000000       # release: 10^7 executions per target
set -euo pipefail
build=$1 seconds=$2 runs=${3:--1}
shopt -s nullglob
progs=("$build"/bin/fuzz_*)
if [ ${#progs[@]} -eq 0 ]; then echo "no fuzz targets built" >&2; exit 1; fi
for p in "${progs[@]}"; do
  name=$(basename "$p"); name=${name#fuzz_}
  work="$build/corpus-$name"; mkdir -p "$work"
  args=(-max_total_time="$seconds" -runs="$runs" -print_final_stats=1 -artifact_prefix="$build/crash-$name-")
  [ -f "fuzz/$name/$name.dict" ] && args+=(-dict="fuzz/$name/$name.dict")
  echo "== fuzz_$name"
  log="$build/fuzz-$name.log"
  if ! "$p" "${args[@]}" "$work" "fuzz/$name/corpus" >"$log" 2>&1; then
    tail -n 60 "$log"; echo "fuzz_$name found a fault (full log: $log)" >&2; exit 1
  fi
  grep -E "^(stat::number_of_executed_units|stat::average_exec_per_sec|stat::peak_rss_mb)|DONE" "$log" || true
done
