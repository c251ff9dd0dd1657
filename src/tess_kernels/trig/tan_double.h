// Tangent of two lanes from a reduction by multiples of pi/2, without a table: the fast
// path of the double precision Tan kernel, and its evaluation for larger arguments.
//
// An angle a is written k pi/2 + r, k the nearest integer to a 2/pi (held in the low
// mantissa bits of t = a 2/pi + 1.5 2^52) and |r| <= pi/4 carried as r + r_lo. sin r and
// cos r come from their Taylor series, each as a leading part and a small tail:
//   sin r = r + (-r^3/6 + r^5 S(r^2) + r_lo cos r)
//   cos r = w + (((1 - w) - r^2/2) + r^4 C(r^2) - r r_lo),  w = 1 - r^2/2 rounded,
// where the second form keeps the rounding errors of r^2 and of the leading subtraction.
// The tangent is their quotient (-cos r / sin r in odd quadrants), corrected by its
// residual.
#pragma once

#include <cstdint>

#include "tess_kernels/frame/polynomial_double.h"
#include "tess_kernels/frame/simd.h"
#include "tess_kernels/frame/two_sum_double.h"
#include "tess_kernels/trig/sin_core_double.h"

namespace zorn::tess::tangent {

using simd::F64x2;
using simd::I64x2;
using sin_core::ReducedAngle;
using sin_core::SinParts;

// pi/2 in three parts, the digits of the pi/256 parts times 128: k times the first is exact
// for k <= 5340354 and k times the second for k < 2^21; the fast path has k < 2^16.
constexpr double kPiOver2Hi = 128 * sin_core::kPiOver256Hi;
constexpr double kPiOver2Mid = 128 * sin_core::kPiOver256Mid;
constexpr double kPiOver2Lo = 128 * sin_core::kPiOver256Lo;
constexpr double kTwoOverPi = 0.6366197723675814;

// a - k pi/2 for |a| <= 65536.00349206588: p = a - k (pi/2 hi) is exact (a multiple of the
// smaller of ulp(a) and the last bit of k (pi/2 hi), below 1); p - k (pi/2 mid) keeps its
// rounding error as in Dekker's fast two-sum, which is exact here also where |p| is the
// smaller term (then the two agree to within a factor of two, or p has no bits below
// those of r).
inline ReducedAngle reduce(F64x2 a) {
  const F64x2 shifter = F64x2::splat(sin_core::kShifter);
  const F64x2 t = a * F64x2::splat(kTwoOverPi) + shifter;
  const F64x2 k = t - shifter;
  const F64x2 p = a - k * F64x2::splat(kPiOver2Hi);
  const F64x2 mid = k * F64x2::splat(kPiOver2Mid);
  const F64x2 r = p - mid;
  return {r, ((p - r) - mid) - k * F64x2::splat(kPiOver2Lo), simd::bits(t)};
}

// sin r and cos r of r + r_lo, |r| <= pi/4, as leading parts and tails. The series stop
// at r^17 and r^16: the first terms left out are below 2^-62 relative.
struct SinCosParts {
  SinParts sin, cos;
};
inline SinCosParts sin_cos_parts(const ReducedAngle& angle) {
  const F64x2 r = angle.hi;
  const F64x2 z = r * r;
  const F64x2 z2 = z * z;
  const auto c = [](double v) { return F64x2::splat(v); };
  constexpr double kSinAboveR3[] = {1.0 / 120,         -1.0 / 5040,         1.0 / 362880,
                                    -1.0 / 39916800,   1.0 / 6227020800,   -1.0 / 1307674368000,
                                    1.0 / 355687428096000};
  constexpr double kCosAboveR2[] = {1.0 / 24,        -1.0 / 720,          1.0 / 40320,
                                    -1.0 / 3628800,  1.0 / 479001600,     -1.0 / 87178291200,
                                    1.0 / 20922789888000};
  const F64x2 sin_series_above_r3 = estrin(z, kSinAboveR3);
  const F64x2 cos_series = estrin(z, kCosAboveR2);
  // r^2 = z + z_err and r^3 = r3 + r3_err (Dekker's products, the split of r shared), so
  // that the leading terms 1 - r^2/2 and -r^3/6 round only once.
  const F64x2 z_err = two_product(r, r).err;
  const TwoSum cube = two_product(r, z);
  const F64x2 r3 = cube.sum;
  const F64x2 r3_err = cube.err + r * z_err;
  const F64x2 half_z = z * c(0.5);
  const F64x2 w = c(1.0) - half_z;
  const F64x2 cos_tail = (((c(1.0) - w) - half_z) + z2 * cos_series) -
                         (z_err * c(0.5) + r * angle.lo);
  const F64x2 sin_tail = r3 * c(-1.0 / 6) + ((r3 * z) * sin_series_above_r3 +
                                             (r3_err * c(-1.0 / 6) + angle.lo * (w + cos_tail)));
  return {{r, sin_tail}, {w, cos_tail}};
}

// tan(k pi/2 + r) with the sign of x: sin r / cos r for even k, -cos r / sin r for odd k.
inline F64x2 tan_of(const ReducedAngle& angle, F64x2 x) {
  const SinCosParts p = sin_cos_parts(angle);
  const F64x2 odd = simd::from_bits(I64x2::splat(0) - (angle.t_bits & I64x2::splat(1)));
  const F64x2 minus = F64x2::splat(-0.0) & odd;
  const SinParts numerator{simd::select(odd, p.cos.hi, p.sin.hi) ^ minus,
                           simd::select(odd, p.cos.lo, p.sin.lo) ^ minus};
  const SinParts denominator{simd::select(odd, p.sin.hi, p.cos.hi),
                             simd::select(odd, p.sin.lo, p.cos.lo)};
  const F64x2 y = sin_core::quotient(numerator, denominator) + F64x2::splat(0.0);
  return simd::from_bits(simd::bits(y) ^ (simd::bits(x) & I64x2::splat(sin_core::kSignBit)));
}
inline F64x2 tan_lanes(F64x2 x) { return tan_of(reduce(simd::abs(x)), x); }

}  // namespace zorn::tess::tangent
