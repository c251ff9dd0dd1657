// Exact products and sums of doubles (Dekker, Knuth), for routines that carry a value
// and its rounding error.
#pragma once

namespace zorn::tess {

struct DoubleDouble {
  double hi, lo;
};

// a + b = s + e exactly (Knuth's two-sum).
inline DoubleDouble two_sum(double a, double b) {
  const double s = a + b;
  const double bb = s - a;
  return {s, (a - (s - bb)) + (b - bb)};
}

// Veltkamp split of a into 26 + 27 bits with the factor 2^27 + 1.
inline DoubleDouble split(double a) {
  const double c = 134217729.0 * a;
  const double hi = c - (c - a);
  return {hi, a - hi};
}

// a * b = p + e exactly when no overflow or underflow occurs (Dekker's product).
inline DoubleDouble two_product(double a, double b) {
  const double p = a * b;
  const DoubleDouble as = split(a), bs = split(b);
  const double e = ((as.hi * bs.hi - p) + as.hi * bs.lo + as.lo * bs.hi) + as.lo * bs.lo;
  return {p, e};
}

}  // namespace zorn::tess
