// Single precision kernels of Asin, Acos, Atan, Atan2 and their pi-scaled forms, all in
// float arithmetic (atan_float.h for the arctangents); the callouts compute in double.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>

#include "tess_kernels/exp_log/double_cores_single.h"
#include "tess_kernels/frame/lane_loop_binary.h"
#include "tess_kernels/frame/core_single.h"
#include "tess_kernels/inv_trig_hyp/atan_float.h"
#include "tess_kernels/inv_trig_hyp/inverse_trig_tables.h"

namespace zorn::tess {

// The callouts give the correct single precision result of *x in *r and its status: a
// finite or infinite argument beyond [-1, 1] gives NaN and status 1 (Acos, Asin and the
// pi forms); NaN passes through with status 0.
int32_t tess_callout_sAsin(const float* x, float* r);
int32_t tess_callout_sAcos(const float* x, float* r);
int32_t tess_callout_sAsinpi(const float* x, float* r);
int32_t tess_callout_sAcospi(const float* x, float* r);
int32_t tess_callout_sAtan(const float* x, float* r);
int32_t tess_callout_sAtanpi(const float* x, float* r);

namespace inverse_trig_single {

constexpr double kInvPi = 0.3183098861837907;

// Each result is base + head + (base_low + rest), base 0, pi/2 or pi (head and
// remainder), head exact and at most base (or base 0), rest small: the first sum is exact
// (by construction, or with its error by Fast2Sum), so one rounding gives the result.
using simd::F32x4;
ZORN_FAST_INLINE F32x4 fsplat(float v) { return F32x4::splat(v); }
// asin u - u = u z P(z) for z = u^2 <= 1/4, P of degree 4 in float coefficients fitted
// for the largest relative error z (P - (asin u - u)/(u z)), 2^-27.6 (0.08 ulp at most);
// over pi (kPi), asin(u)/pi - u/4 - u H = u R(z), R(z) = R(0) + z Q(z) with H the 12-bit
// head of 1/pi - 1/4, R(0) its remainder and Q of degree 4 fitted the same way to P/pi
// (2^-29.2, the same error relative to the result).
template <size_t N>
ZORN_FAST_INLINE F32x4 horner(F32x4 z, const double (&c)[N]) {
  F32x4 p = fsplat(static_cast<float>(c[N - 1]));
  for (size_t i = N - 1; i-- > 0;) p = fsplat(static_cast<float>(c[i])) + z * p;
  return p;
}
template <bool kPi>
ZORN_FAST_INLINE F32x4 asin_rest(F32x4 u, F32x4 z) {
  if constexpr (kPi) {
    return u * horner(z, inverse_trig::data::kAsinpiPolynomialFloat);
  } else {
    return (u * z) * horner(z, inverse_trig::data::kAsinPolynomialFloat);
  }
}
// For |x| > 1/2 the arguments go through asin s with s = sqrt(w), w = (1 - |x|)/2 exact:
// s = head + tail, head the float root with its low 12 bits cleared (its square exact,
// w minus it exact by Sterbenz), tail from the remainder, 0 where outer is clear (the
// remainder masked before the division, which ends the longest chain). w = s^2 serves as
// z. At |x| = 1 the tail is 0/0: the kernels leave |x| = 1 to the callout (outside_unit).
struct HalfComplementRoot {
  F32x4 w, root, head, tail;
};
ZORN_FAST_INLINE F32x4 and_bits(F32x4 a, F32x4 b) { return {_mm_and_ps(a.v, b.v)}; }
ZORN_FAST_INLINE HalfComplementRoot half_complement_root(F32x4 a, F32x4 outer) {
  const F32x4 w = (fsplat(1.0f) - a) * fsplat(0.5f);
  const F32x4 root = {_mm_sqrt_ps(w.v)};
  const F32x4 head = simd::from_bits(simd::bits(root) & simd::I32x4::splat(-4096));
  const F32x4 tail = and_bits(outer, w - head * head) / (root + head);
  return {w, root, head, tail};
}
ZORN_FAST_INLINE F32x4 xor_bits(F32x4 a, F32x4 b) { return {_mm_xor_ps(a.v, b.v)}; }
namespace data = inverse_trig::data;

// The series' argument u (a, or the root of (1 - a)/2 above 1/2 for a = |x|), with
// h + t = asin u (h = a, or the root's head; t the series' rest and the root's tail)
// for z = u^2 (the exact (1 - a)/2 beyond 1/2: a^2 < (1 - a)/2 exactly when a < 1/2).
// The root and its head are at least 1/2 below a = 1/2 and at most 1/2 above (rounding
// keeps the root monotonic, the head is at most the root): the smaller of a and each is
// the one the series takes, a single minimum in place of a select.
// Over pi, h/4 + h H + t = asin(u)/pi: the tail goes in times 1/pi - R(0), since u R(z)
// already carries its product with R(0). In radians t also carries pi/4's low part
// negated beyond 1/2 (asin_float).
struct SeriesArgument {
  F32x4 outer, h, t;
};
template <bool kPi>
ZORN_FAST_INLINE SeriesArgument series_argument(F32x4 a) {
  const F32x4 outer = simd::less(fsplat(0.5f), a);
  const HalfComplementRoot s = half_complement_root(a, outer);
  const F32x4 rest = asin_rest<kPi>(simd::min(a, s.root), simd::min(a * a, s.w));
  if constexpr (kPi) {
    return {outer, simd::min(a, s.head),
            rest + s.tail * fsplat(static_cast<float>(inverse_trig::data::kInversePiHi -
                                                      data::kAsinpiPolynomialFloat[0]))};
  } else {
    const F32x4 base_low = and_bits(outer, fsplat(-0.5f * data::kHalfPiFloatLo));
    return {outer, simd::min(a, s.head), (rest + base_low) + s.tail};
  }
}
constexpr float kPiHead = static_cast<float>(data::kInversePiLessQuarterHead12);
// asin x for |x| < 1, from a = |x|: a + rest below 1/2; above, pi/2 - 2 (head + tail +
// rest), taken as m (b + h + t) with m = sign(x), or -2 sign(x) beyond 1/2, b = 0, or
// pi/4's head negated beyond 1/2 (its low part in t): every sum is the one it stands for
// divided by m, a power of two times the sign, so the product by m is exact and the
// result is that of the sums over m itself. m is built in the bits (1 and -2 differ by
// the mask one_to_less_two, the sign is the top bit): no arithmetic, no or_sign after.
// b + h needs no Fast2Sum: above 1/2 the head is at least 2^-13 (a float below 1 is at
// most 1 - 2^-24), so the head, a 12-bit number, is a multiple of 2^-24, as is pi/4's
// head, and their difference, in [0.28, 0.79], is exact.
ZORN_FAST_INLINE F32x4 asin_float(F32x4 x) {
  const F32x4 sign = and_bits(x, fsplat(-0.0f));
  const SeriesArgument s = series_argument<false>(simd::abs(x));
  const F32x4 one_to_less_two = simd::from_bits(simd::I32x4::splat(0x3F800000 ^ -0x40000000));
  const F32x4 m = xor_bits(xor_bits(sign, fsplat(1.0f)), and_bits(s.outer, one_to_less_two));
  return m * ((and_bits(s.outer, fsplat(-0.5f * data::kHalfPiFloatHi)) + s.h) + s.t);
}
// asin(a)/pi for 0 <= a < 1, as asin_float with m = 1, or -2 beyond 1/2: -1/4 (beyond) +
// h/4 is exact for the same reason; h H joins it by Fast2Sum, exact beyond 1/2 (12 bits
// by 12) and below rounded by 1/8 ulp of the result (it is 0.22 of it).
ZORN_FAST_INLINE F32x4 asinpi_float(F32x4 a) {
  const SeriesArgument s = series_argument<true>(a);
  const F32x4 m = fsplat(1.0f) + and_bits(s.outer, fsplat(-3.0f));
  const F32x4 lead = and_bits(s.outer, fsplat(-0.25f)) + s.h * fsplat(0.25f);
  return m * atan_float::sum_rounded_once(lead, s.h * fsplat(kPiHead), s.t);
}
// acos x for |x| < 1 - 2^-24: pi/2 - x - rest in the middle; above
// 1/2, 2 asin s with s the root of w = (1 - |x|)/2; below -1/2, pi minus that. The series
// runs on u = |x| or s with z = u^2 (rounded in the middle, w exact beyond), so m is
// -sign(x), or 2 sign(x) beyond 1/2, and the base b pi/2 with b = 1 - m/2 there.
// u is split as head + tail in every lane: the head is u's leading 12 bits (2^-12 where u
// is smaller), so that its square is exact and z - head^2 too (Sterbenz), and the tail is
// (z - head^2)/(u + head). Beyond 1/2 that is the root's remainder; in the middle it is u
// - head off by (z - u^2)/(2u), at most 2^-26 (1/8 ulp of a result above 1). With pi/2's
// head a multiple of 2^-22 and the head at least 2^-12 (a multiple of 2^-23, of 2^-13 from
// 1/4 on), base + m head is exact in every lane, and the result is that sum plus
// (base_low + m (tail + rest)), rounded once.
template <bool kPi>
ZORN_FAST_INLINE F32x4 acos_float(F32x4 x);
template <>
ZORN_FAST_INLINE F32x4 acos_float<false>(F32x4 x) {
  const F32x4 a = simd::abs(x);
  const F32x4 outer = simd::less(fsplat(0.5f), a);
  const F32x4 w = (fsplat(1.0f) - a) * fsplat(0.5f);
  const F32x4 u = simd::min(a, F32x4{_mm_sqrt_ps(w.v)});
  const F32x4 z = simd::min(a * a, w);
  const F32x4 head = simd::from_bits(simd::bits(simd::max(u, fsplat(0x1p-12f))) &
                                     simd::I32x4::splat(-4096));
  const F32x4 tail = (z - head * head) / (u + head);
  const F32x4 t = tail + asin_rest<false>(u, z);
  const F32x4 m = xor_bits(and_bits(outer, fsplat(3.0f)) - fsplat(1.0f),
                           and_bits(x, fsplat(-0.0f)));
  constexpr float kHalfPiHi = data::kHalfPiGrid22Hi;
  const F32x4 base = fsplat(kHalfPiHi) - and_bits(outer, m * fsplat(0.5f * kHalfPiHi));
  const F32x4 base_low = base * fsplat(data::kHalfPiGrid22Lo / kHalfPiHi);
  return (base + m * head) + (base_low + m * t);
}
// Over pi, b/2 (1/2 less m/4 beyond 1/2) + m h/4 by Fast2Sum, then m h H: in the middle
// and below -1/2 the result is at least 1/3 and m h H at most 0.07 (its rounding weighs
// 1/16 ulp); above 1/2 it is exact (12 bits by 12). The series runs on |x| as in acos.
template <>
ZORN_FAST_INLINE F32x4 acos_float<true>(F32x4 x) {
  const SeriesArgument s = series_argument<true>(simd::abs(x));
  const F32x4 m = xor_bits(and_bits(s.outer, fsplat(3.0f)) - fsplat(1.0f),
                           and_bits(x, fsplat(-0.0f)));
  const F32x4 half_b = fsplat(0.5f) - and_bits(s.outer, m * fsplat(0.25f));
  const F32x4 mh = m * s.h;
  return atan_float::sum_rounded_once(half_b, mh * fsplat(0.25f),
                                      mh * fsplat(kPiHead) + m * s.t);
}

// |x| >= 1 (1 itself: the tail above), and NaN.
ZORN_FAST_INLINE int outside_unit(simd::F32x4 x) {
  return simd::lane_mask_not_less(simd::abs(x), simd::F32x4::splat(1.0f));
}
// Acos leaves |x| >= 1 - 2^-24 and NaN: at the last float below 1 the root of w = 2^-25
// lies below the head's floor 2^-12, whose tail then carries the root's rounding (0.74
// ulp).
ZORN_FAST_INLINE int outside_below_unit(simd::F32x4 x) {
  return simd::lane_mask_not_less(simd::abs(x), simd::F32x4::splat(0x1.fffffep-1f));
}
// Asinpi also leaves |x| below 2^-100 (products among the subnormals; 0 too, which the
// callout returns as it is).
ZORN_FAST_INLINE int outside_unit_or_tiny(simd::F32x4 x) {
  return atan_float::magnitude_bits_inside(x, atan_float::kAtanpiLowestBits, 0x3F7FFFFF) ^ 0xF;
}
// Atan takes every argument.
ZORN_FAST_INLINE int none(simd::F32x4) { return 0; }

}  // namespace inverse_trig_single

// Paired: each group is one chain (a root or a division, then the series). Asin tests a
// pair on its arguments rather than on its results (NaN exactly on the lanes outside):
// there the branch waits for the end of the longest chain, 6-7% slower.
using AsinSingle = CoreSingle<inverse_trig_single::asin_float, false,
                              inverse_trig_single::outside_unit, tess_callout_sAsin, true>;
using AcosSingle = CoreSingle<inverse_trig_single::acos_float<false>, false,
                              inverse_trig_single::outside_below_unit, tess_callout_sAcos, true>;
using AsinpiSingle = CoreSingle<inverse_trig_single::asinpi_float, true,
                                   inverse_trig_single::outside_unit_or_tiny,
                                   tess_callout_sAsinpi, true>;
using AcospiSingle = CoreSingle<inverse_trig_single::acos_float<true>, false,
                                   inverse_trig_single::outside_unit, tess_callout_sAcospi, true>;
using AtanSingle =
    CoreSingle<atan_float::atan, true, inverse_trig_single::none, tess_callout_sAtan, true>;
using AtanpiSingle =
    CoreSingle<atan_float::atanpi, true, atan_float::atanpi_tiny_lanes, tess_callout_sAtanpi, true>;


// atan2(a, b), the angle of the point (b, a), and its quotient by pi: the callouts round
// the double precision routine (special values of C99 included); never report.
int32_t tess_callout_sAtan2(const float* a, const float* b, float* r);
int32_t tess_callout_sAtan2pi(const float* a, const float* b, float* r);
struct Atan2Single : BinaryLanes<Atan2Single, float>,
                 FloatBinaryFastPaths<atan_float::atan2_lanes<false>> {
  static int32_t callout(const float* a, const float* b, float* r) {
    return tess_callout_sAtan2(a, b, r);
  }
};
struct Atan2piSingle : BinaryLanes<Atan2piSingle, float>,
                 FloatBinaryFastPaths<atan_float::atan2_lanes<true>> {
  static int32_t callout(const float* a, const float* b, float* r) {
    return tess_callout_sAtan2pi(a, b, r);
  }
};

}  // namespace zorn::tess
