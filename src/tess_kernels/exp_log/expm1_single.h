// Single precision e^x - 1: a four-lane fast path (in single precision; groups with a lane
// near zero or below -87.33654 in double precision) for every argument up to the
// exponential's fast path limit and the callout for the rest.
#pragma once

#include <cstdint>

#include "tess_kernels/exp_log/double_cores_single.h"
#include "tess_kernels/exp_log/exp_single.h"
#include "tess_kernels/exp_log/lanes_inside_single.h"
#include "tess_kernels/exp_log/rounds_to_nearest_single.h"
#include "tess_kernels/frame/lane_loop_single.h"
#include "tess_kernels/frame/splat_rows.h"

namespace zorn::tess {

namespace expm1_single_data {
enum LaneRow { kInverse, kShifter, kMinusHead, kRest, kHalf, kSixth, kMinusOne, kRowCount };
// The float path's constants as rows, defined in expm1_single.cpp out of sight of the
// kernel: GCC then reads each as a vector memory operand, where a constant it can see
// would be rebuilt from a scalar load and a broadcast in every group (the double
// precision path holds the registers).
extern const simd::SplatRows<float, kRowCount> kRows;
}  // namespace expm1_single_data

// The correct single precision e^x - 1 of *x in *r and its status (3 overflow).
int32_t tess_callout_sExpm1(const float* x, float* r);

struct Expm1Single : LaneLoopSingle<Expm1Single> {
  // Two groups a step (LaneLoopSingle::fast_block): measured faster, same bits.
  static constexpr bool kPairedVectors = true;
  static constexpr float kOverflowBound = 88.72283f;
  static constexpr float kFastPathLimit = 87.33654f;  // the exponential's, where 2^(n div 128) stays normal

  // For 1/16 <= |x| <= 87.33654 (the exponential's limit) under rounding to nearest, in
  // single precision on the exponential's reduction and table: e^x - 1 = (v - 1) + c with
  // v = scale hi (exact) and c = scale (hi p + lo), p = e^r - 1 to degree 3 (truncation
  // below 2^-38). v - 1 is split exactly by Knuth's two-sum into s + e, and the result is
  // s + (e + c). For |x| >= 1/16, |c| <= 0.0028 v is at most 0.046 |e^x - 1|, so c's few
  // roundings add below 0.15 ulp to the last one. Groups with a lane outside that range,
  // and every group under a directed rounding mode (where each rounding errs by up to an
  // ulp), leave the loop as special lanes and take near_zero in finish_lanes.
  static simd::F32x4 fast_path(simd::F32x4 x) {
    using simd::F32x4;
    using namespace expm1_single_data;
    const auto row = [](LaneRow i) { return kRows[i]; };
    F32x4 t, r;
    ExpSingle::reduce(x, t, r, {row(kInverse), row(kShifter), row(kMinusHead), row(kRest)});
    const F32x4 p = r + (r * r) * (row(kHalf) + r * row(kSixth));
    const ExpSingle::TablePower w = ExpSingle::table_power_parts(t);
    const F32x4 v = w.hi * w.scale;
    const F32x4 c = (p * w.hi + w.lo) * w.scale;
    const F32x4 minus_one = row(kMinusOne);
    const F32x4 s = v + minus_one;
    const F32x4 s_from_one = s - v;
    const F32x4 e = (v - (s - s_from_one)) + (minus_one - s_from_one);
    return s + (e + c);
  }

  // e^x - 1 = 2^k (2^f - 1) + (2^k - 1) with z = x log2 e = k + f, in double precision. For
  // k = 0 this is q itself, accurate relative to the result however small x is; for
  // k != 0, |x| > 0.34 and the sum cancels little. Below -104 the result is -1 already,
  // so the argument is clamped there to keep 2^k a normal double (also for -inf). The
  // result has the sign of x, which the sum loses only for x = -0. This path computes
  // under the caller's rounding mode, hence k = 0 for small z in every mode.
  static simd::F32x4 near_zero(simd::F32x4 x) {
    const simd::F32x4 clamped = simd::max(x, simd::F32x4::splat(-104.0f));
    const simd::F32x4 y = in_double(clamped, [](simd::F64x2 xd) {
      const PowerOfTwoParts p =
          power_of_two_parts(xd * simd::F64x2::splat(1.4426950408889634));
      return p.scale * p.q + (p.scale - simd::F64x2::splat(1.0));
    });
    return simd::or_sign(y, x);
  }

  // Lanes outside [1/16, 87.33654] in magnitude (NaN included), by one range test of the
  // bits doubled (the sign shifted out: no mask to hold); under a directed rounding mode,
  // every lane (the mode test first, so that the loop hoists it).
  static int special_lanes(simd::F32x4 x) {
    if (!rounds_to_nearest_single()) return 0xF;
    const simd::I32x4 doubled = simd::bits(x) + simd::bits(x);
    return lanes_outside(simd::from_bits(doubled), 2 * 0x3D800000u,
                         2 * static_cast<uint32_t>(ExpSingle::kFastPathLimitBits));
  }

  // The group by near_zero, leaving the lanes above the exponential's limit, +inf and NaN
  // to the callout.
  static int finish_lanes(const float x[4], float y[4], int special) {
    const simd::F32x4 v = simd::F32x4::load(x);
    near_zero(v).store(y);
    return special & simd::lane_mask_not_less_equal(v, simd::F32x4::splat(kFastPathLimit));
  }

  static int32_t callout(const float* x, float* r) { return tess_callout_sExpm1(x, r); }
};

}  // namespace zorn::tess
