// Sine, cosine and tangent of angles in half turns (Sinpi, Cospi, Tanpi) and in degrees
// (Sind, Cosd, Tand), two lanes at a time, in three accuracies.
//
// Both units reduce exactly. In half turns, a 256 is exact and k its nearest integer, so
// f = a 256 - k is exact; in degrees, k is an integer near a 64/45, k 45/64 is exact for
// k < 2^47 and so is f = a - k 45/64 (|f| <= 0.36, a multiple of the smaller of the ulp
// of a and 2^-6). f turns into radians, r = f pi/256 or f pi/180, and k j pi/256 selects
// the table row as for the radian functions:
//   HA: r as a double-double (Dekker's product with pi in two parts);
//   LA: r rounded to a double;
//   the tangent in both instead reduces by quarter turns onto the radian Tan's rational
//   core (corrected quotient in HA, plain in LA), at about the cost of Tan;
//   EP: no table: the nearest quarter turn q and p = (a - q quarter) in radians, sin p and
//       cos p by their Taylor series to p^9 and p^10 (below 2^-28 relative).
// Arguments beyond the fast path (half turns 2^44, degrees 2^46) are first reduced by
// their period with fmod, which is exact; the tangent's poles give ±inf with status 2.
#pragma once

#include <cmath>

#include "tess_kernels/frame/double_double.h"
#include "tess_kernels/frame/lane_loop_double.h"
#include "tess_kernels/trig/quarter_turn_double.h"
#include "tess_kernels/trig/sin_core_double.h"
#include "zorn/tess.h"

namespace zorn::tess::scaled {

using simd::F64x2;
using simd::I64x2;
using sin_core::Fn;

enum class Unit { kHalfTurns, kDegrees };
enum class Accuracy { kLA, kHA, kEP };  // slots 0, 1, 2

struct UnitConstants {
  double limit;           // fast-path bound on |x|
  double period;          // a full turn
  double quarter;         // a quarter turn
  double to_table_steps;  // 256/half turn: k is the nearest integer to a times this
  double table_step;      // pi/256 in the unit (degrees only; exact)
  double radians_hi, radians_lo;  // radians per step of f: pi/256 or pi/180, in two parts
  double radians_per_unit;        // pi or pi/180
  double radians_per_unit_lo;     // its remainder
};
constexpr UnitConstants kHalfTurns{0x1p44, 2.0, 0.5, 256.0, 0.0, 0.012271846303085129,
                                   4.783776559169348e-19, 3.141592653589793,
                                   1.2246467991473532e-16};
constexpr UnitConstants kDegrees{0x1p46, 360.0, 90.0, 1.4222222222222223, 0.703125,
                                 0.017453292519943295, 2.9486522708701687e-19,
                                 0.017453292519943295, 2.9486522708701687e-19};
constexpr const UnitConstants& constants(Unit u) {
  return u == Unit::kHalfTurns ? kHalfTurns : kDegrees;
}

inline int equal_zero_mask(F64x2 v) {
  return simd::lane_mask(F64x2{_mm_cmpeq_pd(v.v, _mm_setzero_pd())});
}

// Taylor series of sin p - p (to p^9) and cos p - 1 (to p^10), |p| <= pi/4.
inline F64x2 sin_minus_p(F64x2 p) {
  const F64x2 p2 = p * p;
  return p * p2 *
         (F64x2::splat(-1.0 / 6) +
          p2 * (F64x2::splat(1.0 / 120) +
                p2 * (F64x2::splat(-1.0 / 5040) + p2 * F64x2::splat(1.0 / 362880))));
}
inline F64x2 cos_minus_1(F64x2 p) {
  const F64x2 p2 = p * p;
  return p2 * (F64x2::splat(-0.5) +
               p2 * (F64x2::splat(1.0 / 24) +
                     p2 * (F64x2::splat(-1.0 / 720) +
                           p2 * (F64x2::splat(1.0 / 40320) + p2 * F64x2::splat(-1.0 / 3628800)))));
}

// |x| <= limit as q quarter turns (q in the low bits of t) and the remainder f in the unit.
// q is the integer nearest to |x|/quarter (within one of it in degrees, where 1/90 is
// rounded), so f = |x| - q quarter is exact: q quarter is exact, and f is a multiple of the
// smaller of ulp(|x|) and the quarter's last bit, |f| <= 0.51 quarter.
struct QuarterTurns {
  F64x2 t, f;
};
template <Unit U>
QuarterTurns quarter_turns(F64x2 x) {
  constexpr UnitConstants c = constants(U);
  const F64x2 a = simd::abs(x);
  const F64x2 shifter = F64x2::splat(sin_core::kShifter);
  const F64x2 t = a * F64x2::splat(1.0 / c.quarter) + shifter;
  return {t, a - (t - shifter) * F64x2::splat(c.quarter)};
}

// EP: f(x) for |x| <= limit from the nearest quarter turn.
template <Unit U, Fn F>
F64x2 quarter_turn_lanes(F64x2 x) {
  const auto [t, f] = quarter_turns<U>(x);
  const F64x2 p = f * F64x2::splat(constants(U).radians_per_unit);
  const F64x2 s = p + sin_minus_p(p);
  const F64x2 co = F64x2::splat(1.0) + cos_minus_1(p);
  // Quadrant n = q mod 4 (plus one for the cosine): sin a is s, co, -s, -co.
  const I64x2 n = simd::bits(t) + I64x2::splat(F == Fn::kCos ? 1 : 0);
  const F64x2 odd{_mm_castsi128_pd(_mm_sub_epi64(_mm_setzero_si128(), (n & I64x2::splat(1)).v))};
  const I64x2 negate = (n & I64x2::splat(2)) << 62;
  F64x2 y;
  if constexpr (F == Fn::kTan) {
    // tan a = s/co in even quadrants, -co/s in odd ones.
    y = simd::select(odd, F64x2::splat(0.0) - co, s) / simd::select(odd, s, co);
    y = y + F64x2::splat(0.0);
  } else {
    y = simd::from_bits(simd::bits(simd::select(odd, co, s)) ^ negate) + F64x2::splat(0.0);
    if constexpr (F == Fn::kCos) return y;
  }
  return simd::from_bits(simd::bits(y) ^ (simd::bits(x) & I64x2::splat(sin_core::kSignBit)));
}

// LA and HA: |x| <= limit reduced for the table.
template <Unit U, Accuracy A>
sin_core::ReducedAngle table_angle(F64x2 x) {
  constexpr UnitConstants c = constants(U);
  const F64x2 a = simd::abs(x);
  const F64x2 shifter = F64x2::splat(sin_core::kShifter);
  sin_core::ReducedAngle angle;
  F64x2 f;
  if constexpr (U == Unit::kHalfTurns) {
    const F64x2 scaled = a * F64x2::splat(c.to_table_steps);
    const F64x2 t = scaled + shifter;
    f = scaled - (t - shifter);
    angle.t_bits = simd::bits(t);
  } else {
    const F64x2 t = a * F64x2::splat(c.to_table_steps) + shifter;
    f = a - (t - shifter) * F64x2::splat(c.table_step);
    angle.t_bits = simd::bits(t);
  }
  if constexpr (A == Accuracy::kHA) {
    const TwoSum r = two_product(f, F64x2::splat(c.radians_hi));
    angle.hi = r.sum;
    angle.lo = r.err + f * F64x2::splat(c.radians_lo);
  } else {
    angle.hi = f * F64x2::splat(c.radians_hi);
    angle.lo = F64x2::splat(0.0);
  }
  return angle;
}

// LA and HA: f(x) for |x| <= limit through the table.
template <Unit U, Fn F, Accuracy A>
F64x2 table_lanes(F64x2 x) {
  return sin_core::evaluate<F>(table_angle<U, A>(x), x);
}

// LA and HA tangent: |x| <= limit reduced by quarter turns for the radian Tan's core, with
// r = f in radians as a double-double (HA) or rounded once (LA).
template <Unit U, Accuracy A>
F64x2 quarter_turn_tan_lanes(F64x2 x) {
  constexpr UnitConstants c = constants(U);
  const auto [t, f] = quarter_turns<U>(x);
  sin_core::ReducedAngle angle;
  angle.t_bits = simd::bits(t);
  if constexpr (A == Accuracy::kHA) {
    const TwoSum r = two_product(f, F64x2::splat(c.radians_per_unit));
    angle.hi = r.sum;
    angle.lo = r.err + f * F64x2::splat(c.radians_per_unit_lo);
    return quarter_turn::tan_of(angle, x);
  } else {
    angle.hi = f * F64x2::splat(c.radians_per_unit);
    angle.lo = F64x2::splat(0.0);
    return quarter_turn::tan_of<false>(angle, x);
  }
}

// The HA sine and cosine in half turns from one reduction, as table_lanes gives each.
inline void sin_cos_pi_lanes(F64x2 x, F64x2& s, F64x2& c) {
  const sin_core::ReducedAngle angle = table_angle<Unit::kHalfTurns, Accuracy::kHA>(x);
  s = sin_core::evaluate<Fn::kSin>(angle, x);
  c = sin_core::evaluate<Fn::kCos>(angle, x);
}

template <Unit U, Fn F, Accuracy A>
F64x2 lanes(F64x2 x) {
  if constexpr (A == Accuracy::kEP) {
    return quarter_turn_lanes<U, F>(x);
  } else if constexpr (F == Fn::kTan) {
    return quarter_turn_tan_lanes<U, A>(x);
  } else {
    return table_lanes<U, F, A>(x);
  }
}

// Below this size the HA sine and tangent are x in radians, computed by the callout at a
// scale where Dekker's product does not underflow.
constexpr double kTiny = 0x1p-500;

// Lanes the fast path cannot take: |x| beyond its bound, ±inf, NaN, the tangent's poles
// (where its value came out infinite or NaN), and for the HA sine and tangent tiny
// non-zero arguments.
template <Unit U, Fn F, Accuracy A>
int special_mask(F64x2 x, F64x2 y) {
  const F64x2 a = simd::abs(x);
  int special = simd::lane_mask(simd::not_less_equal(a, F64x2::splat(constants(U).limit)));
  if constexpr (A == Accuracy::kHA && F != Fn::kCos) {
    special |= simd::lane_mask(simd::less(a, F64x2::splat(kTiny))) & ~equal_zero_mask(x);
  }
  if constexpr (F == Fn::kTan) {
    special |= simd::lane_mask(simd::not_less_equal(simd::abs(y), F64x2::splat(1.7976931348623157e308)));
  }
  return special;
}

// Any argument: NaN passes through, ±inf is a domain error, large ones are reduced by
// their period, the tangent's poles give ±inf (the sign of the remainder by a half turn)
// with status 2.
template <Unit U, Fn F, Accuracy A>
int32_t callout(double x, double* r) {
  constexpr UnitConstants c = constants(U);
  if (std::isnan(x)) {
    *r = x * x;
    return TESS_STATUS_OK;
  }
  if (std::isinf(x)) {
    *r = x * 0.0;
    return TESS_STATUS_DOMAIN;
  }
  if (A == Accuracy::kHA && F != Fn::kCos && std::fabs(x) < kTiny) {
    constexpr double kScale = 0x1p600;
    const double scaled_x = x * kScale;
    const DoubleDouble p = two_product(scaled_x, c.radians_per_unit);
    const double lo = p.lo + scaled_x * c.radians_per_unit_lo;
    const double sum = p.hi + lo;
    if (std::fabs(sum) >= 0x1p-1022 * kScale) {
      *r = sum / kScale;  // exact: a normal result
    } else {
      // A subnormal result has a coarser grid than p.hi: p.hi scaled back rounds once
      // onto it, and the exact rest, rounded onto the same grid, corrects it without a
      // second rounding of the sum.
      const double head = p.hi / kScale;
      *r = head + ((p.hi - head * kScale) + lo) / kScale;
    }
    return TESS_STATUS_OK;
  }
  const double reduced = std::fabs(x) <= c.limit ? x : std::fmod(x, c.period);
  if constexpr (F == Fn::kTan) {
    const double half_turn_remainder = std::remainder(x, 2 * c.quarter);
    if (std::fabs(half_turn_remainder) == c.quarter) {
      *r = 1.0 / std::copysign(0.0, half_turn_remainder);  // ±inf, raising divide-by-zero
      return TESS_STATUS_SINGULARITY;
    }
  }
  *r = lanes<U, F, A>(F64x2::splat(reduced)).lane0();
  if constexpr (F == Fn::kSin || F == Fn::kTan) {
    if (*r == 0) *r = std::copysign(0.0, x);  // the reduction may lose the sign of a zero
  }
  return TESS_STATUS_OK;
}

template <Unit U, Fn F, Accuracy A>
struct ScaledDouble : DoubleLanes<ScaledDouble<U, F, A>> {
  static int pair(F64x2 x, F64x2& y) {
    y = lanes<U, F, A>(x);
    return special_mask<U, F, A>(x, y);
  }
  static int64_t fast_block(int64_t n, const double* a, double* r) {
    return run_fast_block(n, a, r, pair);
  }
  static int fast_group(const double x[4], double y[4]) { return run_fast_group(x, y, pair); }
  static int32_t callout(double x, double* r) { return scaled::callout<U, F, A>(x, r); }
  // At a tangent's pole the HA corrected quotient meets inf * 0 (invalid, beside the
  // division's divide-by-zero); the callout raises the pole's divide-by-zero itself.
  static constexpr bool kSpecialLanesRaiseNoFlag = F == Fn::kTan;
};

}  // namespace zorn::tess::scaled
