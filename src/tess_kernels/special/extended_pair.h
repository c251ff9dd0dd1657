// Pairs of long doubles hi + lo: with the 64-bit significand of the x87 format (also under
// MinGW-w64) about 2^-126 relative per operation, for the scalar routines whose results
// need more than double-double, such as the integer-order Bessel functions near their
// zeros, where the absolute error must stay far below the value. Knuth's two-sum and
// Dekker's product with a 32 + 32 bit split; operands finite and products in range.
#pragma once

#include <cmath>
#include <cstdint>

namespace zorn::tess {

struct ExtendedPair {
  long double hi, lo;
};

inline ExtendedPair ext_two_sum(long double a, long double b) {
  const long double s = a + b;
  const long double bb = s - a;
  return {s, (a - (s - bb)) + (b - bb)};
}

inline ExtendedPair ext_two_product(long double a, long double b) {
  constexpr long double kSplitter = 4294967297.0L;  // 2^32 + 1
  const long double ca = kSplitter * a, cb = kSplitter * b;
  const long double ah = ca - (ca - a), bh = cb - (cb - b);
  const long double al = a - ah, bl = b - bh;
  const long double p = a * b;
  return {p, ((ah * bh - p) + ah * bl + al * bh) + al * bl};
}

// Sums keep an absolute error near 2^-128 of the larger operand, which is what the
// recurrences need through their cancellations.
inline ExtendedPair ext_sum(ExtendedPair a, ExtendedPair b) {
  const ExtendedPair s = ext_two_sum(a.hi, b.hi);
  return ext_two_sum(s.hi, s.lo + (a.lo + b.lo));
}
inline ExtendedPair ext_difference(ExtendedPair a, ExtendedPair b) {
  return ext_sum(a, {-b.hi, -b.lo});
}
inline ExtendedPair ext_times(ExtendedPair a, long double f) {
  ExtendedPair p = ext_two_product(a.hi, f);
  p.lo += a.lo * f;
  return ext_two_sum(p.hi, p.lo);
}
inline ExtendedPair ext_product(ExtendedPair a, ExtendedPair b) {
  ExtendedPair p = ext_two_product(a.hi, b.hi);
  p.lo += a.hi * b.lo + a.lo * b.hi;
  return ext_two_sum(p.hi, p.lo);
}
// a b - c with one renormalisation, the step of three-term recurrences.
inline ExtendedPair ext_product_difference(ExtendedPair a, ExtendedPair b, ExtendedPair c) {
  const ExtendedPair p = ext_two_product(a.hi, b.hi);
  const ExtendedPair s = ext_two_sum(p.hi, -c.hi);
  return ext_two_sum(s.hi, s.lo + ((p.lo - c.lo) + (a.hi * b.lo + a.lo * b.hi)));
}
// a / d for an integer 0 < d < 2^32: d splits into itself, so that the remainder
// a.hi - q d is exact.
inline ExtendedPair ext_divided_by_integer(ExtendedPair a, long double d) {
  const long double q = a.hi / d;
  const ExtendedPair qd = ext_two_product(q, d);
  return ext_two_sum(q, (((a.hi - qd.hi) - qd.lo) + a.lo) / d);
}
// The first quotient's remainder, exact by Dekker's product, corrects it twice.
inline ExtendedPair ext_quotient(ExtendedPair n, ExtendedPair d) {
  const long double q = n.hi / d.hi;
  const ExtendedPair r = ext_difference(n, ext_times(d, q));
  const long double q2 = r.hi / d.hi;
  const ExtendedPair r2 = ext_difference(r, ext_times(d, q2));
  const ExtendedPair s = ext_two_sum(q, q2);
  return ext_two_sum(s.hi, s.lo + r2.hi / d.hi);
}
inline ExtendedPair ext_scaled(ExtendedPair a, int e) {
  return {std::ldexp(a.hi, e), std::ldexp(a.lo, e)};
}
inline double ext_rounded(ExtendedPair a) {
  // hi + lo to double: hi alone may round to the wrong side of a midpoint; hi's rounding
  // error plus lo, added back in double, fixes it (both are exact in long double).
  const double h = static_cast<double>(a.hi);
  return h + static_cast<double>((a.hi - h) + a.lo);
}

}  // namespace zorn::tess
