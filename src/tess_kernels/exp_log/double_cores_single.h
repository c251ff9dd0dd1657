// Double precision pieces of the four-lane single precision fast paths: each works on two
// lanes at once and keeps the relative error near 2^-31, so that the one final rounding
// to single precision stays within about 0.51 ulp.
#pragma once

#include "tess_kernels/frame/simd.h"

namespace zorn::tess {

// 2^z = scale (1 + q) for z in about [-151, 129]: scale = 2^k with k the nearest integer
// to z (taken from the bits of the 1.5 * 2^52 shifter), q = 2^f - 1 for f = z - k in
// [-1/2, 1/2] by its Taylor series to degree 8 (truncation below 2^-32 of 2^f; keeping
// q without its constant term keeps it accurate as f goes to 0).
struct PowerOfTwoParts {
  simd::F64x2 scale;
  simd::F64x2 q;
};
inline PowerOfTwoParts power_of_two_parts(simd::F64x2 z) {
  using simd::F64x2;
  const F64x2 shifter = F64x2::splat(6755399441055744.0);
  const F64x2 t = z + shifter;
  const F64x2 f = z - (t - shifter);
  const auto c = [](double v) { return F64x2::splat(v); };
  // Coefficients (ln 2)^i / i!.
  const F64x2 q =
      f * (c(0.6931471805599453) +
           f * (c(0.24022650695910072) +
                f * (c(0.05550410866482158) +
                     f * (c(0.009618129107628477) +
                          f * (c(0.0013333558146428443) +
                               f * (c(0.0001540353039338161) +
                                    f * (c(1.5252733804059841e-05) +
                                         f * c(1.321548679014431e-06))))))));
  return {simd::power_of_two_from_low_bits(t), q};
}

// ln(1 + f) for f in about [-1/3, 1/3]: with s = f / (2 + f), |s| <= 1/5,
// ln(1 + f) = 2 atanh s = s (2 + 2 s^2 / 3 + 2 s^4 / 5 + ... + 2 s^12 / 13); the first
// term left out is below 2^-36 of the sum.
inline simd::F64x2 ln_one_plus(simd::F64x2 f) {
  using simd::F64x2;
  const auto c = [](double v) { return F64x2::splat(v); };
  const F64x2 s = f / (c(2.0) + f);
  const F64x2 s2 = s * s;
  return s * (c(2.0) +
              s2 * (c(2.0 / 3) +
                    s2 * (c(2.0 / 5) +
                          s2 * (c(2.0 / 7) +
                                s2 * (c(2.0 / 9) + s2 * (c(2.0 / 11) + s2 * c(2.0 / 13)))))));
}

// Four float lanes through a function of two doubles, rounded back once per lane.
template <class Fn>
simd::F32x4 in_double(simd::F32x4 x, Fn fn) {
  return simd::to_float(fn(simd::low_to_double(x)), fn(simd::high_to_double(x)));
}

}  // namespace zorn::tess
