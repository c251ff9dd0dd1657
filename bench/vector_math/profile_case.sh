#!/usr/bin/env bash
# Where the time of one benchmark case goes: samples the case with perf's software clock
# (no hardware counters are needed) and prints the share of each function, then the
# instructions of our kernel that hold at least 0.5% of its samples. Samples land on
# the instruction after a stall (skid): read them by region, not by single instruction.
# Usage: bench/vector_math/profile_case.sh <build dir> '<case> | zorn' [seconds]
set -eu
build=$1
filter=$2
seconds=${3:-1}
data=$(mktemp /tmp/profile_case.XXXXXX)
trap 'rm -f "$data"' EXIT
perf record -q -e cpu-clock -o "$data" "$build/bin/bench_vector_math" \
  --benchmark_filter="$filter" --benchmark_min_time="$seconds" >/dev/null 2>&1
perf report -i "$data" --stdio --no-children --sort symbol 2>/dev/null |
  awk '/^ +[0-9]/ && shown++ < 8' 
kernel=$(perf report -i "$data" --stdio --no-children --sort dso,symbol 2>/dev/null |
  awk '/libzorn_generic/ { sub(/.*\[\.\] /, ""); sub(/ +-.*$/, ""); sub(/ +$/, ""); print; exit }')
[ -n "$kernel" ] || exit 0
echo
perf annotate -i "$data" --stdio -s "$kernel" 2>/dev/null |
  awk -F: '$1 + 0 >= 0.5 { print }'
