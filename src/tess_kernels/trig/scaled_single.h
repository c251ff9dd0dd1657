// Single precision Sinpi, Cospi, Tanpi, Sind, Cosd and Tand, four lanes at a time.
//
// The angle a = |x| is reduced by half turns: n the nearest integer to a in half turns,
// r = a - n (half turn) in [-1/2, 1/2] of a half turn, and c = quarter - |r|, the angle of
// the cosine's sine. Both are exact: in half turns r = a - n exactly; in degrees n 180 is
// exact and so is a - n 180 (a multiple of the smaller of ulp(a) and 4, below 91 in
// size). With sin(pi h) = h P(h^2) on |h| <= 1/2 (tools/tess_sinpi_polynomials):
//   sin = (-1)^n P(r) with the sign of x,  cos = (-1)^n P(c),  tan = P(r) / P(c) with the
//   sign of x,
// r and c turned into half turns (degrees times 1/180) where they enter P. Exact zeros
// come out +0 before the sign of x is applied.
//   HA, LA: in double on the widened lanes, rounded once to float (degree 11 and 9 in h;
//           below 2^-35 and 2^-27 relative before the rounding);
//   EP:     in float, degree 7 (below 2^-19.7 relative).
// Arguments beyond the fast path, ±inf, NaN and the tangent's poles go to the callout,
// which reduces them by their period in double.
#pragma once

#include "tess_kernels/frame/lane_loop_single.h"
#include "tess_kernels/frame/polynomial_double.h"
#include "tess_kernels/trig/scaled_double.h"

namespace zorn::tess::scaled {

namespace sinpi_polynomials {
#include "tess_kernels/trig/data/sinpi_polynomials.inc"
}  // namespace sinpi_polynomials

// Units per half turn and per quarter turn.
constexpr double half_turn(Unit u) { return u == Unit::kHalfTurns ? 1.0 : 180.0; }
constexpr double quarter_turn(Unit u) { return half_turn(u) / 2; }

// HA and LA: the reduction is exact for a < 2^44 (n 180 exact for n < 2^45).
template <Unit U, Fn F, Accuracy A>
[[gnu::always_inline]] inline F64x2 widened_lanes(F64x2 x) {
  constexpr double kUnit = half_turn(U);
  const F64x2 a = simd::abs(x);
  const F64x2 shifter = F64x2::splat(sin_core::kShifter);
  const F64x2 t = (U == Unit::kHalfTurns ? a : a * F64x2::splat(1 / kUnit)) + shifter;
  const F64x2 r = a - (t - shifter) * F64x2::splat(kUnit);
  const auto sinpi = [](F64x2 angle) {
    const F64x2 h = U == Unit::kHalfTurns ? angle : angle * F64x2::splat(1 / kUnit);
    if constexpr (A == Accuracy::kHA) return h * estrin(h * h, sinpi_polynomials::kSinpiHA);
    return h * estrin(h * h, sinpi_polynomials::kSinpiLA);
  };
  const auto cos_angle = [&] { return F64x2::splat(quarter_turn(U)) - simd::abs(r); };
  const I64x2 sign_of_x = simd::bits(x) & I64x2::splat(sin_core::kSignBit);
  if constexpr (F == Fn::kTan) {
    const F64x2 y = sinpi(r) / sinpi(cos_angle()) + F64x2::splat(0.0);
    return simd::from_bits(simd::bits(y) ^ sign_of_x);
  }
  const I64x2 parity = simd::bits(t) << 63;
  const F64x2 s = sinpi(F == Fn::kSin ? r : cos_angle());
  const F64x2 y = simd::from_bits(simd::bits(s) ^ parity) + F64x2::splat(0.0);
  return F == Fn::kSin ? simd::from_bits(simd::bits(y) ^ sign_of_x) : y;
}

// EP: the same steps in float. The reduction is exact for a < 2^22 half turns (the
// shifter's range) or 2^23 degrees (n < 2^16, so n 180 is exact).
template <Unit U>
constexpr float kFloatLimit = U == Unit::kHalfTurns ? 0x1p22f : 0x1p23f;

template <Unit U, Fn F>
[[gnu::always_inline]] inline simd::F32x4 float_lanes(simd::F32x4 x) {
  using simd::F32x4;
  using simd::I32x4;
  constexpr float kUnit = static_cast<float>(half_turn(U));
  const F32x4 a = simd::abs(x);
  const F32x4 shifter = F32x4::splat(12582912.0f);  // 1.5 * 2^23
  const F32x4 t = (U == Unit::kHalfTurns ? a : a * F32x4::splat(1 / kUnit)) + shifter;
  const F32x4 r = a - (t - shifter) * F32x4::splat(kUnit);
  const auto sinpi = [](F32x4 angle) {
    namespace p = sinpi_polynomials;
    const F32x4 h = U == Unit::kHalfTurns ? angle : angle * F32x4::splat(1 / kUnit);
    const F32x4 z = h * h;
    return h * (F32x4::splat(p::kSinpiEP[0]) +
                z * (F32x4::splat(p::kSinpiEP[1]) +
                     z * (F32x4::splat(p::kSinpiEP[2]) + z * F32x4::splat(p::kSinpiEP[3]))));
  };
  const auto cos_angle = [&] {
    return F32x4::splat(static_cast<float>(quarter_turn(U))) - simd::abs(r);
  };
  const I32x4 sign_of_x = simd::bits(x) & I32x4::splat(INT32_MIN);
  if constexpr (F == Fn::kTan) {
    const F32x4 y = F32x4{_mm_div_ps(sinpi(r).v, sinpi(cos_angle()).v)} + F32x4::splat(0.0f);
    return simd::from_bits(simd::bits(y) ^ sign_of_x);
  }
  const I32x4 parity = simd::bits(t) << 31;
  const F32x4 s = sinpi(F == Fn::kSin ? r : cos_angle());
  const F32x4 y = simd::from_bits(simd::bits(s) ^ parity) + F32x4::splat(0.0f);
  return F == Fn::kSin ? simd::from_bits(simd::bits(y) ^ sign_of_x) : y;
}

template <Unit U, Fn F, Accuracy A>
struct ScaledSingle : LaneLoopSingle<ScaledSingle<U, F, A>> {
  [[gnu::always_inline]] static simd::F32x4 fast_path(simd::F32x4 x) {
    if constexpr (A == Accuracy::kEP) {
      return float_lanes<U, F>(x);
    } else {
      return simd::to_float(widened_lanes<U, F, A>(simd::low_to_double(x)),
                            widened_lanes<U, F, A>(simd::high_to_double(x)));
    }
  }
  // Beyond the fast path's bound (also ±inf and NaN); for the tangent, its poles, where
  // the value comes out infinite (no other float argument comes near overflow).
  [[gnu::always_inline]] static int special_lanes(simd::F32x4 x) {
    const float limit = A == Accuracy::kEP ? kFloatLimit<U> : static_cast<float>(constants(U).limit);
    int special = simd::lane_mask_not_less_equal(simd::abs(x), simd::F32x4::splat(limit));
    if constexpr (F == Fn::kTan) {
      special |= simd::lane_mask_not_less(simd::abs(fast_path(x)), simd::F32x4::splat(INFINITY));
    }
    return special;
  }
  static int32_t callout(const float* x, float* r) {
    double y;
    const int32_t status = scaled::callout<U, F, A>(*x, &y);
    *r = static_cast<float>(y);
    return status;
  }
  // Huge lanes of the degree functions overflow (in the rounding to float, or in EP's
  // float polynomial, which also reaches inf - inf); a pole's divide-by-zero comes again
  // from the callout.
  static constexpr bool kSpecialLanesRaiseNoFlag = true;
};

}  // namespace zorn::tess::scaled
