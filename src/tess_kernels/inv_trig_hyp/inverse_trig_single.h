// Single precision kernels of Asin, Acos, Atan, Atan2 and their pi-scaled forms: Asin,
// Acos, Atan and Atan2 (and their pi forms) in float (atan_float.h for the arctangents);
// Asinpi and Acospi double precision cores on the widened lanes, relative error near
// 2^-33 before the one rounding, times 1/pi in double, within about 0.501 ulp.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>

#include "tess_kernels/exp_log/double_cores_single.h"
#include "tess_kernels/frame/lane_loop_binary.h"
#include "tess_kernels/frame/polynomial_double.h"
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

using simd::F64x2;

ZORN_FAST_INLINE F64x2 splat(double v) { return F64x2::splat(v); }
ZORN_FAST_INLINE F64x2 root(F64x2 v) { return {_mm_sqrt_pd(v.v)}; }

constexpr double kHalfPi = 1.5707963267948966;
constexpr double kInvPi = 0.3183098861837907;

// asin s = s + s^3 P(s^2) for 0 <= s <= 1/2, P of degree 6 (relative error below 2^-33).
ZORN_FAST_INLINE F64x2 asin_small(F64x2 s) {
  const F64x2 z = s * s;
  return s + (z * s) * estrin(z, inverse_trig::data::kAsinPolynomialSingle);
}

// asin a for 0 <= a <= 1: above 1/2, pi/2 - 2 asin(sqrt((1 - a)/2)), with 1 - a exact
// for a float a and a difference that cancels at most a factor 2.
ZORN_FAST_INLINE F64x2 asin_core(F64x2 a) {
  const F64x2 above_half = simd::less(splat(0.5), a);
  const F64x2 s = simd::select(above_half, root((splat(1.0) - a) * splat(0.5)), a);
  const F64x2 t = asin_small(s);
  return simd::select(above_half, splat(kHalfPi) - (t + t), t);
}

// acos x for -1 <= x <= 1: pi/2 - asin x in the middle, 2 asin(sqrt((1 - |x|)/2)) above
// 1/2 (exactly +0 at 1) and pi minus that below -1/2 (pi at -1).
ZORN_FAST_INLINE F64x2 acos_core(F64x2 x) {
  const F64x2 a = simd::abs(x);
  const F64x2 outer = simd::less(splat(0.5), a);
  const F64x2 negative = simd::less(x, splat(0.0));
  const F64x2 s = simd::select(outer, root((splat(1.0) - a) * splat(0.5)), x);
  const F64x2 t = asin_small(s);
  const F64x2 outer_value = simd::select(negative, splat(2 * kHalfPi) - (t + t), t + t);
  return simd::select(outer, outer_value, splat(kHalfPi) - t);
}

// Asin and Acos compute in float. Each result is base + head + (base_low + rest), base
// 0, pi/2 or pi (head and remainder), head exact and at most base (or base 0), rest
// small: the first sum and its error are exact (Fast2Sum), so one rounding gives the
// result within about 0.51 ulp.
using simd::F32x4;
ZORN_FAST_INLINE F32x4 fsplat(float v) { return F32x4::splat(v); }
ZORN_FAST_INLINE F32x4 sum_rounded_once(F32x4 base, F32x4 base_low, F32x4 head, F32x4 rest) {
  const F32x4 h = base + head;
  return h + ((base_low + rest) + ((base - h) + head));
}
// asin u - u = u z P(z) for z = u^2 <= 1/4, P of degree 5.
ZORN_FAST_INLINE F32x4 asin_rest(F32x4 u, F32x4 z) {
  const auto& c = inverse_trig::data::kAsinPolynomialFloat;
  F32x4 p = fsplat(static_cast<float>(c[5]));
  for (int i = 4; i >= 0; --i) p = fsplat(static_cast<float>(c[i])) + z * p;
  return (u * z) * p;
}
// For |x| > 1/2 the arguments go through asin s with s = sqrt(w), w = (1 - |x|)/2 exact:
// s = head + tail, head the float root with its low 12 bits cleared (its square exact,
// w minus it exact by Sterbenz), tail from the remainder. w = s^2 serves as z.
struct HalfComplementRoot {
  F32x4 w, root, head, tail;
};
ZORN_FAST_INLINE HalfComplementRoot half_complement_root(F32x4 a) {
  const F32x4 w = (fsplat(1.0f) - a) * fsplat(0.5f);
  const F32x4 root = {_mm_sqrt_ps(w.v)};
  const F32x4 head = simd::from_bits(simd::bits(root) & simd::I32x4::splat(-4096));
  // The floor keeps 0/0 away at |x| = 1, where head, tail and w are 0.
  const F32x4 tail = (w - head * head) / simd::max(root + head, fsplat(0x1p-100f));
  return {w, root, head, tail};
}
ZORN_FAST_INLINE F32x4 flip_sign(F32x4 v, F32x4 x) {
  return simd::from_bits(simd::bits(v) ^ (simd::bits(x) & simd::I32x4::splat(INT32_MIN)));
}
namespace data = inverse_trig::data;

// asin a for 0 <= a <= 1: a + rest below 1/2; above, pi/2 - 2 (head + tail + rest).
ZORN_FAST_INLINE F32x4 asin_float(F32x4 a) {
  const F32x4 outer = simd::less(fsplat(0.5f), a);
  const HalfComplementRoot s = half_complement_root(a);
  const F32x4 u = simd::select(outer, s.root, a);
  const F32x4 rest = asin_rest(u, simd::select(outer, s.w, a * a));
  const F32x4 zero = fsplat(0.0f), two = fsplat(2.0f);
  return sum_rounded_once(simd::select(outer, fsplat(data::kHalfPiFloatHi), zero),
                          simd::select(outer, fsplat(data::kHalfPiFloatLo), zero),
                          simd::select(outer, zero - two * s.head, a),
                          simd::select(outer, zero - two * (s.tail + rest), rest));
}
// acos x for -1 <= x <= 1: pi/2 - x - rest in the middle; above 1/2, 2 (head + tail +
// rest), exactly +0 at 1; below -1/2, pi minus that, pi rounded at -1.
ZORN_FAST_INLINE F32x4 acos_float(F32x4 x) {
  const F32x4 outer = simd::less(fsplat(0.5f), simd::abs(x));
  const F32x4 negative = simd::less(x, fsplat(0.0f));
  const HalfComplementRoot s = half_complement_root(simd::abs(x));
  const F32x4 u = simd::select(outer, s.root, x);
  const F32x4 rest = asin_rest(u, simd::select(outer, s.w, x * x));
  const F32x4 zero = fsplat(0.0f), two = fsplat(2.0f);
  const F32x4 outer_base = simd::select(negative, fsplat(data::kPiFloatHi), zero);
  const F32x4 outer_low = simd::select(negative, fsplat(data::kPiFloatLo), zero);
  return sum_rounded_once(
      simd::select(outer, outer_base, fsplat(data::kHalfPiFloatHi)),
      simd::select(outer, outer_low, fsplat(data::kHalfPiFloatLo)),
      simd::select(outer, flip_sign(two * s.head, x), zero - x),
      simd::select(outer, flip_sign(two * (s.tail + rest), x), zero - rest));
}

ZORN_FAST_INLINE F64x2 asinpi_core(F64x2 a) { return asin_core(a) * splat(kInvPi); }
ZORN_FAST_INLINE F64x2 acospi_core(F64x2 x) { return acos_core(x) * splat(kInvPi); }

// Beyond [-1, 1], and NaN.
ZORN_FAST_INLINE int outside_unit(simd::F32x4 x) {
  return simd::lane_mask_not_less_equal(simd::abs(x), simd::F32x4::splat(1.0f));
}
// Atan takes every argument.
ZORN_FAST_INLINE int none(simd::F32x4) { return 0; }

}  // namespace inverse_trig_single

using AsinSingle = CoreSingle<inverse_trig_single::asin_float, true,
                                 inverse_trig_single::outside_unit, tess_callout_sAsin>;
using AcosSingle = CoreSingle<inverse_trig_single::acos_float, false,
                                 inverse_trig_single::outside_unit, tess_callout_sAcos>;
using AsinpiSingle = CoreSingle<inverse_trig_single::asinpi_core, true,
                                   inverse_trig_single::outside_unit, tess_callout_sAsinpi>;
using AcospiSingle = CoreSingle<inverse_trig_single::acospi_core, false,
                                   inverse_trig_single::outside_unit, tess_callout_sAcospi>;
using AtanSingle =
    CoreSingle<atan_float::atan, true, inverse_trig_single::none, tess_callout_sAtan>;
using AtanpiSingle =
    CoreSingle<atan_float::atanpi, true, atan_float::atanpi_tiny_lanes, tess_callout_sAtanpi>;


// atan2(a, b), the angle of the point (b, a), and its quotient by pi: the callouts round
// the double precision routine (special values of C99 included); never report.
int32_t tess_callout_sAtan2(const float* a, const float* b, float* r);
int32_t tess_callout_sAtan2pi(const float* a, const float* b, float* r);
struct Atan2Single : BinaryLanes<Atan2Single, float> {
  static int fast_group(const float a[4], const float b[4], float r[4]) {
    return atan_float::atan2_group<false>(a, b, r);
  }
  static int32_t callout(const float* a, const float* b, float* r) {
    return tess_callout_sAtan2(a, b, r);
  }
};
struct Atan2piSingle : BinaryLanes<Atan2piSingle, float> {
  static int fast_group(const float a[4], const float b[4], float r[4]) {
    return atan_float::atan2_group<true>(a, b, r);
  }
  static int32_t callout(const float* a, const float* b, float* r) {
    return tess_callout_sAtan2pi(a, b, r);
  }
};

}  // namespace zorn::tess
