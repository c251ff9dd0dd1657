// Single precision Sin, Cos and Tan: four-lane fast paths for |x| <= 10000, lanes above
// reduced inside the kernel with the 96-bit window of 2/pi (large_argument_single.h),
// and callouts for ±inf (NaN, status 1) and NaN (passed through, status 0).
#pragma once

#include <cstdint>

#include "tess_kernels/frame/lane_loop_single.h"
#include "tess_kernels/frame/simd.h"
#include "tess_kernels/trig/sin_core_double.h"

namespace zorn::tess {

namespace trig_single {

constexpr float kFastPathLimit = 10000.0f;

// sin, cos or tan of finite x beyond the fast path, |x| > 10000.
float large_argument(sin_core::Fn f, float x);

// Lanes beyond the fast path: |x| > 10000, ±inf and NaN (one compare, false for NaN).
inline int beyond_fast_path(simd::F32x4 x) {
  return simd::lane_mask_not_less_equal(simd::abs(x), simd::F32x4::splat(kFastPathLimit));
}

// The finite lanes among `special` given their large-argument results in y; returns the
// others (±inf and NaN).
int finish_large_lanes(sin_core::Fn f, const float x[4], float y[4], int special);

// sin x (kCos false) or cos x (kCos true) for |x| <= 10000: n the nearest integer to
// |x|/pi (to |x|/pi + 1/2 for the cosine, whose angle is then n - 1/2) by the float
// shifter, its parity from the last bit of t; r = |x| - n pi in double with pi in two
// parts; sin r by an odd degree-7 polynomial rounded once to float; the sign from the
// parity (and for the sine the sign of x).
template <bool kCos>
[[gnu::always_inline]] inline simd::F32x4 sin_cos_fast(simd::F32x4 x) {
  using simd::F32x4;
  using simd::F64x2;
  using simd::I32x4;
  const F32x4 a = simd::abs(x);
  const F32x4 shifter = F32x4::splat(12582912.0f);  // 1.5 * 2^23
  const F32x4 scaled = (kCos ? a + F32x4::splat(1.5707964f) : a) * F32x4::splat(0.31830987f);
  const F32x4 t = scaled + shifter;
  // The cosine's angle n - 1/2, exact in float (n < 2^22), one subtraction for four lanes.
  const F32x4 n = kCos ? (t - shifter) - F32x4::splat(0.5f) : t - shifter;
  const auto sin_of_remainder = [](F64x2 ad, F64x2 nd) {
    const F64x2 r = (ad - nd * F64x2::splat(3.1415926535846666)) -
                    nd * F64x2::splat(5.126688303189038e-12);
    const F64x2 r2 = r * r;
    return r + r * r2 *
                   (F64x2::splat(-0.1666665955042783) +
                    r2 * (F64x2::splat(0.00833306624608569) +
                          r2 * (F64x2::splat(-0.00019809602902257352) +
                                r2 * F64x2::splat(2.605780638722852e-06))));
  };
  const F32x4 y = simd::to_float(sin_of_remainder(simd::low_to_double(a), simd::low_to_double(n)),
                                 sin_of_remainder(simd::high_to_double(a), simd::high_to_double(n)));
  I32x4 sign = simd::bits(t) << 31;
  if constexpr (!kCos) sign = sign ^ (simd::bits(x) & I32x4::splat(INT32_MIN));
  return simd::from_bits(simd::bits(y) ^ sign);
}

// tan of two lanes, |x| <= 10000: k the nearest integer to |x| 2/pi, r = |x| - k pi/2
// with pi/2 in two parts (k < 2^13, so k times the first, 128 pi/256 hi, is exact; the
// second is off by 2^-87, well below the 2^-30 that r keeps for every float), and
// tan r = r P(r^2) / Q(r^2), Lambert's continued fraction
//   tan r = r / (1 - r^2 / (3 - r^2 / (5 - r^2 / (7 - r^2 / (9 - r^2 / 11)))))
// as one quotient (below 2^-34 relative for |r| <= pi/4); -Q / (r P) for odd k. One
// division for both quadrants, no branches.
[[gnu::always_inline]] inline simd::F64x2 tan_pair(simd::F64x2 x) {
  using simd::F64x2;
  using simd::I64x2;
  constexpr double kPiOver2Hi = 128 * sin_core::kPiOver256Hi;
  constexpr double kPiOver2Rest = 128 * sin_core::kPiOver256Mid + 128 * sin_core::kPiOver256Lo;
  const F64x2 a = simd::abs(x);
  const F64x2 shifter = F64x2::splat(sin_core::kShifter);
  const F64x2 t = a * F64x2::splat(0.6366197723675814) + shifter;
  const F64x2 k = t - shifter;
  const F64x2 r = (a - k * F64x2::splat(kPiOver2Hi)) - k * F64x2::splat(kPiOver2Rest);
  const F64x2 z = r * r;
  const F64x2 rp = r * (F64x2::splat(10395.0) +
                        z * (F64x2::splat(-1260.0) + z * F64x2::splat(21.0)));
  const F64x2 q = F64x2::splat(10395.0) +
                  z * (F64x2::splat(-4725.0) + z * (F64x2::splat(210.0) - z));
  const F64x2 odd{_mm_castsi128_pd(
      _mm_sub_epi64(_mm_setzero_si128(), (simd::bits(t) & I64x2::splat(1)).v))};
  const F64x2 y = simd::select(odd, F64x2::splat(0.0) - q, rp) / simd::select(odd, rp, q);
  return simd::from_bits(simd::bits(y) ^ (simd::bits(x) & I64x2::splat(sin_core::kSignBit)));
}

[[gnu::always_inline]] inline simd::F32x4 tan_fast(simd::F32x4 x) {
  return simd::to_float(tan_pair(simd::low_to_double(x)), tan_pair(simd::high_to_double(x)));
}

// ±inf: NaN and status 1; NaN: NaN and status 0; finite lanes keep the kernel's value.
int32_t non_finite_callout(const float* x, float* r);

}  // namespace trig_single

// Lanes above the fast path's limit leave the vector loop, so that it calls nothing and
// keeps its constants in registers; the finite ones are then reduced in the kernel.
template <sin_core::Fn F>
struct TrigSingle : LaneLoopSingle<TrigSingle<F>> {
  // A group widens to two double pairs, one chain of about 40 cycles each: two groups per
  // step interleave four independent chains.
  static constexpr bool kPairedVectors = true;
  [[gnu::always_inline]] static simd::F32x4 fast_path(simd::F32x4 x) {
    if constexpr (F == sin_core::Fn::kSin) {
      return trig_single::sin_cos_fast<false>(x);
    } else if constexpr (F == sin_core::Fn::kCos) {
      return trig_single::sin_cos_fast<true>(x);
    } else {
      return trig_single::tan_fast(x);
    }
  }
  static int special_lanes(simd::F32x4 x) { return trig_single::beyond_fast_path(x); }
  static int finish_lanes(const float x[4], float y[4], int special) {
    return trig_single::finish_large_lanes(F, x, y, special);
  }
  static int32_t callout(const float* x, float* r) {
    return trig_single::non_finite_callout(x, r);
  }
  // Huge lanes of Sin and Cos overflow in the fast path's rounding to float.
  static constexpr bool kSpecialLanesRaiseNoFlag = true;
};

using SinSingle = TrigSingle<sin_core::Fn::kSin>;
using CosSingle = TrigSingle<sin_core::Fn::kCos>;
using TanSingle = TrigSingle<sin_core::Fn::kTan>;

}  // namespace zorn::tess
