#!/usr/bin/env bash
# Runs the full MPFR accuracy sweep and prints the table of maximum ulp errors.
# Extra arguments go to zorn_accuracy, e.g. --function Exp,Ln or --type sd.
set -euo pipefail
build=$1
shift
if [ ! -x "$build/bin/zorn_accuracy" ]; then echo "no accuracy measurements built yet"; exit 0; fi
"$build/bin/zorn_accuracy" --full "$@"
