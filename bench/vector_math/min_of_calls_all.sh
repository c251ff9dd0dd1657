#!/bin/sh
# ours / libmvec's 128-bit variant for every one-argument function both have, each timed
# by min_of_calls on the benchmark's arguments: the catalogue's in-cache ratios in a form
# that a loaded or noisy machine moves by a few percent rather than a third.
#   bench/vector_math/min_of_calls_all.sh build/bin [Function...]
bin=${1:?usage: $0 <build/bin> [Function...]}
shift
functions=${*:-Exp Exp2 Exp10 Expm1 Ln Log2 Log10 Log1p Sin Cos Tan SinCos Sinh Cosh Tanh \
Asinh Acosh Atanh Asin Acos Atan Cbrt Erf Erfc}
for f in $functions; do
  for t in s d; do
    "$bin/min_of_calls" "$t$f" "$bin/libzorn_generic.so" |
      awk -v f="$t$f" 'NR == 1 { printf "%-8s %s\n", f, $NF }'
  done
done
