// Cube roots of four float lanes, all in float, for |x| in [2^-126, 2^126).
//
// With a = |x| = 2^e m, m in [1, 2), p = 2^-e:
// - t0 from a third of the bit pattern (about 3.5 bits), and with v = t0^3 / a - 1 one
//   step of the series t1 = t0 (1 + v)^(-1/3) ~ t0 (1 - v/3 + 2v^2/9): about 12.5 bits.
// - t = t1 rounded to 8 significant bits, so that t^3 has 24 and is exact. Scaled by p,
//   d = t^3 p - m is exact (Sterbenz) and normal for every a of the range, also with
//   flushing on, and u = d / m = t^3 / a - 1 stays below 2^-6.4.
// - The powers from their binomial series in u to u^4 (the next terms below 2^-35, the
//   errors of the float terms about 2^-29 of the result):
//     cbrt a   = t (1 + u)^(-1/3)    = t (1 - u (1/3 - u (2/9 - u (14/81 - 35u/243))))
//     a^(2/3)  = t^2 (1 + u)^(-2/3)  = t^2 (1 - u (2/3 - u (5/9 - u (40/81 - 110u/243))))
//     a^(-1/3) = (1/t) (1 + u)^(1/3) = y (1 + e) (1 + u (1/3 - u (1/9 - u (5/81 - 10u/243))))
//   with y = 1/t rounded and its residual e = 1 - t y exact (y split at 16 bits).
#pragma once

#include <cstdint>

#include "tess_kernels/frame/simd.h"

namespace zorn::tess::cbrt_core {

constexpr int32_t kSingleSeedOffset = 709958130;  // (127 - 127/3 - 0.03306235651) 2^23

enum class RootPower { kCbrt, kInvCbrt, kPow2o3 };

// t (8 significant bits), t^2 (exact) and u = t^3 / a - 1 of a in [2^-126, 2^126).
struct SingleParts {
  simd::F32x4 t, t2, u;
};

[[gnu::always_inline]] inline SingleParts single_parts(simd::F32x4 a) {
  using simd::F32x4;
  using simd::I32x4;
  const I32x4 a_bits = simd::bits(a);
  // p = 2^-e: exponent field 254 - E for the biased exponent E of a.
  const F32x4 p = simd::from_bits(I32x4::splat(0x7F000000) - (a_bits & I32x4::splat(0x7F800000)));
  const F32x4 m = a * p;
  const F32x4 inv = F32x4::splat(1.0f) / m;
  // A third of the bit pattern (the product by 1/3 rounds; the series step absorbs it).
  const I32x4 third =
      simd::truncate_to_int(simd::to_float(a_bits) * F32x4::splat(1.0f / 3));
  const F32x4 t0 = simd::from_bits(third + I32x4::splat(kSingleSeedOffset));
  // (1 + v)^(-1/3) ~ 1 - v/3 + 2v^2/9 in r = 1 + v, in two halves for a shorter chain.
  const F32x4 r = ((t0 * t0) * (t0 * p)) * inv;
  const F32x4 t1 = t0 * ((F32x4::splat(14.0f / 9) - r * F32x4::splat(7.0f / 9)) +
                         (r * F32x4::splat(2.0f / 9)) * r);
  // Rounded to nearest at fraction bit 16 and cut: 8 significant bits.
  const F32x4 t =
      simd::from_bits((simd::bits(t1) + I32x4::splat(1 << 15)) & I32x4::splat(-(1 << 16)));
  const F32x4 t2 = t * t;
  return {t, t2, (t2 * (t * p) - m) * inv};
}

// c0 - c1 u + c2 u^2 - c3 u^3, in two halves (Estrin) for a shorter chain.
[[gnu::always_inline]] inline simd::F32x4 alternating_cubic(simd::F32x4 u, float c0, float c1,
                                                            float c2, float c3) {
  using simd::F32x4;
  return (F32x4::splat(c0) - u * F32x4::splat(c1)) +
         (u * u) * (F32x4::splat(c2) - u * F32x4::splat(c3));
}

// cbrt x, x^(-1/3) (both with the sign of x) or x^(2/3) for |x| in [2^-126, 2^126).
template <RootPower P>
[[gnu::always_inline]] inline simd::F32x4 single_root_power(simd::F32x4 x) {
  using simd::F32x4;
  using simd::I32x4;
  const SingleParts s = single_parts(simd::abs(x));
  const F32x4 u = s.u;
  if constexpr (P == RootPower::kCbrt) {
    const F32x4 series = alternating_cubic(u, 1.0f / 3, 2.0f / 9, 14.0f / 81, 35.0f / 243);
    return simd::or_sign(s.t - (s.t * u) * series, x);
  } else if constexpr (P == RootPower::kPow2o3) {
    const F32x4 series = alternating_cubic(u, 2.0f / 3, 5.0f / 9, 40.0f / 81, 110.0f / 243);
    return s.t2 - (s.t2 * u) * series;
  } else {
    const F32x4 y = F32x4::splat(1.0f) / s.t;
    // t y exactly as t y_hi + t y_lo: 8 + 16 and 8 + 8 significant bits.
    const F32x4 y_hi = simd::from_bits(simd::bits(y) & I32x4::splat(-(1 << 8)));
    const F32x4 e = (F32x4::splat(1.0f) - s.t * y_hi) - s.t * (y - y_hi);
    const F32x4 series = alternating_cubic(u, 1.0f / 3, 1.0f / 9, 5.0f / 81, 10.0f / 243);
    return simd::or_sign(y + y * (e + u * series), x);
  }
}

// Lanes with |x| outside [2^-126, 2^126): zero, subnormal, the top two binades, inf, NaN.
// Moved by 2^31 - 2^23, the range is [INT32_MIN, -2^25) and everything else lies above.
[[gnu::always_inline]] inline int single_outside_range(simd::F32x4 x) {
  using simd::I32x4;
  const I32x4 moved = simd::bits(simd::abs(x)) + I32x4::splat(0x7F800000);
  return simd::lane_mask(moved > I32x4::splat(-(1 << 25) - 1));
}

}  // namespace zorn::tess::cbrt_core
