// Exact products and sums of doubles (Dekker, Knuth), for routines that carry a value
// and its rounding error; constexpr where tables of constants are formed with them.
#pragma once

#include <cmath>

namespace zorn::tess {

struct DoubleDouble {
  double hi, lo;
};

// a + b = s + e exactly (Knuth's two-sum).
constexpr inline DoubleDouble two_sum(double a, double b) {
  const double s = a + b;
  const double bb = s - a;
  return {s, (a - (s - bb)) + (b - bb)};
}

// Veltkamp split of a into 26 + 27 bits with the factor 2^27 + 1.
constexpr inline DoubleDouble split(double a) {
  const double c = 134217729.0 * a;
  const double hi = c - (c - a);
  return {hi, a - hi};
}

// a * b = p + e exactly when no overflow or underflow occurs (Dekker's product).
constexpr inline DoubleDouble two_product(double a, double b) {
  const double p = a * b;
  const DoubleDouble as = split(a), bs = split(b);
  const double e = ((as.hi * bs.hi - p) + as.hi * bs.lo + as.lo * bs.hi) + as.lo * bs.lo;
  return {p, e};
}

// (n.hi + n.lo) / (d.hi + d.lo) rounded: the first quotient's remainder, exact by
// Dekker's product, corrects it.
inline double dd_quotient(DoubleDouble n, DoubleDouble d) {
  const double q = n.hi / d.hi;
  const DoubleDouble qd = two_product(q, d.hi);
  return q + (((n.hi - qd.hi) - qd.lo) + n.lo - q * d.lo) / d.hi;
}

// Double-double arithmetic for the scalar routines: results to about 2^-100 relative,
// operands finite and their products within range.
constexpr inline DoubleDouble dd_sum(DoubleDouble a, DoubleDouble b) {
  const DoubleDouble s = two_sum(a.hi, b.hi);
  return two_sum(s.hi, s.lo + (a.lo + b.lo));
}
constexpr inline DoubleDouble dd_times(DoubleDouble a, double f) {
  DoubleDouble p = two_product(a.hi, f);
  p.lo += a.lo * f;
  return p;
}
constexpr inline DoubleDouble dd_product(DoubleDouble a, DoubleDouble b) {
  DoubleDouble p = two_product(a.hi, b.hi);
  p.lo += a.hi * b.lo + a.lo * b.hi;
  return two_sum(p.hi, p.lo);
}
inline DoubleDouble dd_divide(DoubleDouble n, DoubleDouble d) {
  const double q = dd_quotient(n, d);
  const DoubleDouble qd = dd_product({q, 0.0}, d);
  return two_sum(q, ((n.hi - qd.hi) + (n.lo - qd.lo)) / d.hi);
}
// sqrt(v) for v.hi >= 0: the root's remainder, exact by Dekker's product, corrects it.
inline DoubleDouble dd_sqrt(DoubleDouble v) {
  if (v.hi == 0) return {0.0, 0.0};
  const double r = std::sqrt(v.hi);
  const DoubleDouble r2 = two_product(r, r);
  return two_sum(r, (((v.hi - r2.hi) - r2.lo) + v.lo) / (2 * r));
}

}  // namespace zorn::tess
