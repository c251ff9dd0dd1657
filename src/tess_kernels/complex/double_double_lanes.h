// Double-double arithmetic on two lanes for the complex lane kernels: values carried as
// hi + lo (the hyperbolic cores' Sum) to about 2^-100 relative, with Dekker's products
// on truncated splits (of which only the product of the two 27-bit tails rounds, at
// 2^-106 of the product) and Knuth's sums. Operands and results stay where no product overflows and no tail
// falls below the normal range; the kernels send other elements to their scalar forms.
#pragma once

#include "tess_kernels/frame/simd_double.h"
#include "tess_kernels/frame/two_sum_double.h"
#include "tess_kernels/inv_trig_hyp/hyperbolic_core_double.h"
#include "tess_kernels/inv_trig_hyp/inverse_trig_core_double.h"

namespace zorn::tess::cx::dd {

using simd::F64x2;
using Sum = hyperbolic::Sum;

[[gnu::always_inline]] inline TwoSum product(F64x2 a, F64x2 b) {
  return two_product(truncated_split(a), truncated_split(b));
}

[[gnu::always_inline]] inline Sum exact_sum(F64x2 a, F64x2 b) {
  const TwoSum s = two_sum(a, b);
  return {s.sum, s.err};
}
[[gnu::always_inline]] inline Sum exact_product(F64x2 a, F64x2 b) {
  const TwoSum p = product(a, b);
  return {p.sum, p.err};
}

[[gnu::always_inline]] inline Sum add(Sum a, Sum b) {
  const TwoSum s = two_sum(a.hi, b.hi);
  return {s.sum, s.err + (a.lo + b.lo)};
}
[[gnu::always_inline]] inline Sum add(Sum a, F64x2 b) {
  const TwoSum s = two_sum(a.hi, b);
  return {s.sum, s.err + a.lo};
}
// a + b where |a.hi| >= |b.hi| (or a.hi = 0).
[[gnu::always_inline]] inline Sum add_smaller(Sum a, Sum b) {
  const TwoSum s = fast_two_sum(a.hi, b.hi);
  return {s.sum, s.err + (a.lo + b.lo)};
}

// a b, the product of the two tails left out (2^-106 of it).
[[gnu::always_inline]] inline Sum multiply(Sum a, Sum b) {
  const TwoSum p = product(a.hi, b.hi);
  return {p.sum, p.err + (a.hi * b.lo + a.lo * b.hi)};
}
[[gnu::always_inline]] inline Sum square(Sum a) {
  const Split h = truncated_split(a.hi);
  const TwoSum p = two_product(h, h);
  return {p.sum, p.err + F64x2::splat(2.0) * (a.hi * a.lo)};
}

// v times a power of two.
[[gnu::always_inline]] inline Sum scale(Sum v, double f) {
  return {v.hi * F64x2::splat(f), v.lo * F64x2::splat(f)};
}

// n / d with one division: q = n.hi / d.hi by the reciprocal of d.hi, and the tail from
// the remainder n - q d (n.hi - q d.hi exact: Dekker's product, and q d.hi is near n.hi).
[[gnu::always_inline]] inline Sum divide(Sum n, Sum d) {
  const F64x2 inv = F64x2::splat(1.0) / d.hi;
  const F64x2 q = n.hi * inv;
  const TwoSum qd = product(q, d.hi);
  return {q, ((((n.hi - qd.sum) - qd.err) + n.lo) - q * d.lo) * inv};
}

// sqrt(q) for q > 0 (no tail below the normal range): the root s of the head and one
// Newton correction (q - s^2) / 2s, the reciprocal 1/2s taken as s / 2q, 1/q from the
// divider-free rough reciprocal (2^-8.6 relative) and Newton steps beside the root. By
// default one more step, 1/q to 2^-17 relative, which leaves the root about 2^-69
// relative; kPrecise takes two, 1/q to 2^-34, for about 2^-86 (roots whose sum cancels).
template <bool kPrecise = false>
[[gnu::always_inline]] inline Sum root(Sum q) {
  const F64x2 s = hyperbolic::sqrt(q.hi);
  const F64x2 one = F64x2::splat(1.0);
  F64x2 r = inverse_trig::rough_reciprocal(q.hi);
  if constexpr (kPrecise) r = r + r * (one - q.hi * r);
  const F64x2 half_inverse = r * (one - F64x2::splat(0.5) * (q.hi * r));
  const Split h = truncated_split(s);
  const TwoSum ss = two_product(h, h);
  return {s, (((q.hi - ss.sum) - ss.err) + q.lo) * (s * half_inverse)};
}

}  // namespace zorn::tess::cx::dd
