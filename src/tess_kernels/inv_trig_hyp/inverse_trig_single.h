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
// remainder), head exact and at most base (or base 0), rest small: the first sum and its
// error are exact (Fast2Sum), so one rounding gives the result within about 0.65 ulp.
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

// base + (base_low) + head + rest in radians, or over pi: base/pi is exact (0, 1/2 or 1)
// and head/pi is split as atan_float::over_pi does, so that the quotient by pi loses
// nothing where head is the whole result.
template <bool kPi>
ZORN_FAST_INLINE F32x4 angle_sum(F32x4 base_units, F32x4 base_low, F32x4 head, F32x4 rest) {
  if constexpr (kPi) {
    const atan_float::OverPi p = atan_float::over_pi(head, rest);
    return atan_float::sum_rounded_once(base_units, p.head, p.rest);
  } else {
    return sum_rounded_once(base_units, base_low, head, rest);
  }
}
// asin a for 0 <= a <= 1: a + rest below 1/2; above, pi/2 - 2 (head + tail + rest).
template <bool kPi>
ZORN_FAST_INLINE F32x4 asin_float(F32x4 a) {
  const F32x4 outer = simd::less(fsplat(0.5f), a);
  const HalfComplementRoot s = half_complement_root(a);
  const F32x4 u = simd::select(outer, s.root, a);
  const F32x4 rest = asin_rest(u, simd::select(outer, s.w, a * a));
  const F32x4 zero = fsplat(0.0f), two = fsplat(2.0f);
  return angle_sum<kPi>(simd::select(outer, fsplat(kPi ? 0.5f : data::kHalfPiFloatHi), zero),
                        simd::select(outer, fsplat(data::kHalfPiFloatLo), zero),
                        simd::select(outer, zero - two * s.head, a),
                        simd::select(outer, zero - two * (s.tail + rest), rest));
}
// acos x for -1 <= x <= 1: pi/2 - x - rest in the middle; above 1/2, 2 (head + tail +
// rest), exactly +0 at 1; below -1/2, pi minus that, pi rounded at -1.
template <bool kPi>
ZORN_FAST_INLINE F32x4 acos_float(F32x4 x) {
  const F32x4 outer = simd::less(fsplat(0.5f), simd::abs(x));
  const F32x4 negative = simd::less(x, fsplat(0.0f));
  const HalfComplementRoot s = half_complement_root(simd::abs(x));
  const F32x4 u = simd::select(outer, s.root, x);
  const F32x4 rest = asin_rest(u, simd::select(outer, s.w, x * x));
  const F32x4 zero = fsplat(0.0f), two = fsplat(2.0f);
  const F32x4 outer_base = simd::select(negative, fsplat(kPi ? 1.0f : data::kPiFloatHi), zero);
  const F32x4 outer_low = simd::select(negative, fsplat(data::kPiFloatLo), zero);
  return angle_sum<kPi>(
      simd::select(outer, outer_base, fsplat(kPi ? 0.5f : data::kHalfPiFloatHi)),
      simd::select(outer, outer_low, fsplat(data::kHalfPiFloatLo)),
      simd::select(outer, flip_sign(two * s.head, x), zero - x),
      simd::select(outer, flip_sign(two * (s.tail + rest), x), zero - rest));
}

// Beyond [-1, 1], and NaN.
ZORN_FAST_INLINE int outside_unit(simd::F32x4 x) {
  return simd::lane_mask_not_less_equal(simd::abs(x), simd::F32x4::splat(1.0f));
}
// Asinpi also leaves non-zero |x| below 2^-100 (products among the subnormals).
ZORN_FAST_INLINE int outside_unit_or_tiny(simd::F32x4 x) {
  return outside_unit(x) | atan_float::atanpi_tiny_lanes(x);
}
// Atan takes every argument.
ZORN_FAST_INLINE int none(simd::F32x4) { return 0; }

}  // namespace inverse_trig_single

using AsinSingle = CoreSingle<inverse_trig_single::asin_float<false>, true,
                                 inverse_trig_single::outside_unit, tess_callout_sAsin>;
using AcosSingle = CoreSingle<inverse_trig_single::acos_float<false>, false,
                                 inverse_trig_single::outside_unit, tess_callout_sAcos>;
using AsinpiSingle = CoreSingle<inverse_trig_single::asin_float<true>, true,
                                   inverse_trig_single::outside_unit_or_tiny,
                                   tess_callout_sAsinpi>;
using AcospiSingle = CoreSingle<inverse_trig_single::acos_float<true>, false,
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
    simd::F32x4 out;
    const int special = atan_float::atan2_lanes<false>(simd::F32x4::load(a), simd::F32x4::load(b), out);
    out.store(r);
    return special;
  }
  [[gnu::flatten, gnu::noinline]] static int64_t fast_block(int64_t n, const float* a,
                                                            const float* b, float* r) {
    return run_binary_fast_block(n, a, b, r, atan_float::atan2_lanes<false>);
  }
  static int32_t callout(const float* a, const float* b, float* r) {
    return tess_callout_sAtan2(a, b, r);
  }
};
struct Atan2piSingle : BinaryLanes<Atan2piSingle, float> {
  static int fast_group(const float a[4], const float b[4], float r[4]) {
    simd::F32x4 out;
    const int special = atan_float::atan2_lanes<true>(simd::F32x4::load(a), simd::F32x4::load(b), out);
    out.store(r);
    return special;
  }
  [[gnu::flatten, gnu::noinline]] static int64_t fast_block(int64_t n, const float* a,
                                                            const float* b, float* r) {
    return run_binary_fast_block(n, a, b, r, atan_float::atan2_lanes<true>);
  }
  static int32_t callout(const float* a, const float* b, float* r) {
    return tess_callout_sAtan2pi(a, b, r);
  }
};

}  // namespace zorn::tess
