#!/usr/bin/env bash
# Compares the dynamic symbols a library defines with the expected lists.
# Usage: check-exports.sh <library.so> <directory of *.txt lists>
set -euo pipefail
lib=$1 dir=$2
# AddressSanitizer adds an __odr_asan.<name> marker beside each exported variable.
actual=$(nm -D --defined-only "$lib" | awk '{print $NF}' | grep -v '^__odr_asan\.' | sort -u)
expected=$(cat "$dir"/*.txt | sed 's/#.*//; /^[[:space:]]*$/d' | sort -u)
if [ "$actual" != "$expected" ]; then
  echo "exported symbols differ from $dir/*.txt (< exported only, > listed only):"
  diff <(echo "$actual") <(echo "$expected") | grep '^[<>]' || true
  exit 1
fi
echo "$(echo "$actual" | wc -l) exported symbols as listed"
