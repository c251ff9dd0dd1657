#!/bin/sh
# ours / libmvec's 128-bit variant for every real function both have, each timed
# by min_of_calls on the benchmark's arguments: the catalogue's in-cache ratios in a form
# that a loaded or noisy machine moves by a few percent rather than a third. With
# --complex, the c and z functions against their peer loops (glibc's scalar complex
# functions, the language's operators), ours / peer and peer / ours.
#   bench/vector_math/min_of_calls_all.sh build/bin [--complex] [Function...]
bin=${1:?usage: $0 <build/bin> [--complex] [Function...]}
shift
types="s d"
options=
if [ "$1" = --complex ]; then
  shift
  types="c z"
  # Turns of 10 calls rather than 2000: the peers' time moved by up to 40% between runs
  # (shared virtual cores), and short turns let ours and the peer see the same machine.
  options="--calls 10 --rounds 600"
  functions=${*:-Exp Ln Log10 Sqrt Sin Cos Tan Sinh Cosh Tanh Asin Acos Atan Asinh Acosh \
Atanh Pow Powx Abs Arg CIS Mul MulByConj Div}
fi
functions=${*:-${functions:-Exp Exp2 Exp10 Expm1 Ln Log2 Log10 Log1p Sin Cos Tan SinCos Sinh \
Cosh Tanh Asinh Acosh Atanh Asin Acos Atan Atan2 Pow Hypot Cbrt Erf Erfc}}
for f in $functions; do
  for t in $types; do
    "$bin/min_of_calls" "$t$f" "$bin/libzorn_generic.so" $options |
      awk -v f="$t$f" -v c="$types" 'NR == 1 {
        if (c == "c z") printf "%-12s %s  %.2f\n", f, $NF, 1 / $NF
        else printf "%-8s %s\n", f, $NF }'
  done
done
