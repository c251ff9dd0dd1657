// Single precision e^x - 1: a four-lane fast path (in single precision; lanes near zero or
// below -87.33654 in double precision) for every argument up to the exponential's fast
// path limit and the callout for the rest.
#pragma once

#include <cstdint>

#include "tess_kernels/exp_log/double_cores_single.h"
#include "tess_kernels/exp_log/exp_single.h"
#include "tess_kernels/exp_log/flagged_results.h"
#include "tess_kernels/exp_log/lanes_inside_single.h"
#include "tess_kernels/exp_log/rounds_to_nearest_single.h"
#include "tess_kernels/frame/interleaved_schedule.h"
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

struct Expm1Single : LaneLoopSingle<Expm1Single>, EdgeFlagsFromCallouts {
  static constexpr float kOverflowBound = 88.72283f;
  static constexpr float kFastPathLimit = 87.33654f;  // the exponential's, where 2^(n div 128) stays normal

  // For 1/16 <= |x| <= 87.33654 (the exponential's limit) under rounding to nearest, in
  // single precision on the exponential's reduction and table: e^x - 1 = (v - 1) + c with
  // v = scale hi (exact) and c = scale (hi p + lo), p = e^r - 1 to degree 3 (truncation
  // below 2^-38). v - 1 is split exactly by Knuth's two-sum into s + e, and the result is
  // s + (e + c). For |x| >= 1/16, |c| <= 0.0028 v is at most 0.046 |e^x - 1|, so c's few
  // roundings add below 0.15 ulp to the last one. Lanes outside that range, and every lane
  // under a directed rounding mode (where each rounding errs by up to an ulp), take the
  // double precision forms (by_lanes, directed: in contiguous_block, or as special lanes
  // in finish_lanes).
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
  // result has the sign of x, which the sum loses for x = -0, and for x = +0 rounding
  // down. This path computes under the caller's rounding mode, hence k = 0 for small z in
  // every mode.
  static simd::F32x4 near_zero(simd::F32x4 x) {
    const simd::F32x4 clamped = simd::max(x, simd::F32x4::splat(-104.0f));
    const simd::F32x4 y = in_double(clamped, [](simd::F64x2 xd) {
      const PowerOfTwoParts p =
          power_of_two_parts(xd * simd::F64x2::splat(1.4426950408889634));
      return p.scale * p.q + (p.scale - simd::F64x2::splat(1.0));
    });
    return simd::copy_sign(y, x);
  }

  // e^x - 1 for |x| < 1/16 in double precision: x (1 + x (1/2 + x/6 + ... + x^4/720)),
  // the first term left out below 2^-36 of the result and the roundings near 2^-52 of it,
  // so that the one rounding to float decides; the product keeps the sign of a zero x in
  // every rounding mode. About a third of near_zero's operations (no table, no 2^k).
  static simd::F32x4 series(simd::F32x4 x) {
    return in_double(x, [](simd::F64x2 xd) {
      const auto c = [](double v) { return simd::F64x2::splat(v); };
      const simd::F64x2 x2 = xd * xd;
      return xd * ((c(1.0) + xd * c(0.5)) +
                   x2 * ((c(1.0 / 6) + xd * c(1.0 / 24)) + x2 * (c(1.0 / 120) + xd * c(1.0 / 720))));
    });
  }

  // Lanes below 1/16 in magnitude (NaN excluded), as an all-ones mask.
  static simd::F32x4 series_lanes(simd::F32x4 x) {
    return {_mm_cmplt_ps(simd::abs(x).v, _mm_set1_ps(0.0625f))};
  }

  // A group with lanes off the float path: those below 1/16 in magnitude by the series,
  // the others from `others` (the float path's results, or near_zero's under a directed
  // rounding mode), those below -87.33654 by near_zero: each lane by its own magnitude, so
  // that its bits never depend on its neighbours. Lanes for the callout keep any value.
  static simd::F32x4 by_lanes(simd::F32x4 x, simd::F32x4 others) {
    const simd::F32x4 y = simd::select(series_lanes(x), series(x), others);
    const simd::F32x4 below = {_mm_cmplt_ps(x.v, _mm_set1_ps(-kFastPathLimit))};
    if (_mm_movemask_ps(below.v) == 0) [[likely]] return y;
    return simd::select(below, near_zero(x), y);
  }

  // Under a directed rounding mode every lane leaves the float path (special_lanes): the
  // series below 1/16, near_zero elsewhere.
  static simd::F32x4 directed(simd::F32x4 x) { return by_lanes(x, near_zero(x)); }

  // Lanes outside [1/16, 87.33654] in magnitude (NaN included), by one range test of the
  // bits doubled (the sign shifted out: no mask to hold).
  static int lanes_off_float_path(simd::F32x4 x) {
    const simd::I32x4 doubled = simd::bits(x) + simd::bits(x);
    return lanes_outside(simd::from_bits(doubled), 2 * 0x3D800000u,
                         2 * static_cast<uint32_t>(ExpSingle::kFastPathLimitBits));
  }

  // Lanes above the exponential's limit, the infinities and NaN: the callout's (the fast
  // path reaches inf - inf on -inf). By the bits, quiet on NaN: x above the limit, or |x|
  // above the largest float.
  static int callout_lanes(simd::F32x4 x) {
    using simd::I32x4;
    return simd::lane_mask((simd::bits(x) > I32x4::splat(ExpSingle::kFastPathLimitBits)) |
                           (simd::bits(simd::abs(x)) > I32x4::splat(0x7F7FFFFF)));
  }

  // Lanes off the float path; under a directed rounding mode, every lane (the mode test
  // first, so that the loop hoists it).
  static int special_lanes(simd::F32x4 x) {
    if (!rounds_to_nearest_single()) return 0xF;
    return lanes_off_float_path(x);
  }

  // The group by its lanes (y holds the float path's results), leaving the callout's
  // lanes to it. Under a directed rounding mode special_lanes gave every lane: a lane on
  // the float path among them says so.
  static int finish_lanes(const float x[4], float y[4], int special) {
    const simd::F32x4 v = simd::F32x4::load(x);
    // NaN lanes (the callout's) as zeros: by_lanes' compares and maximum raise invalid on
    // NaN, and the frame has already cleared the flags of the fast path.
    const simd::F32x4 ordered = {_mm_and_ps(v.v, _mm_cmpord_ps(v.v, v.v))};
    const bool is_directed = (special & ~lanes_off_float_path(v)) != 0;
    (is_directed ? directed(ordered) : by_lanes(ordered, simd::F32x4::load(y))).store(y);
    return special & callout_lanes(v);
  }

  // A contiguous call's whole groups from the start, up to the first pair (or group,
  // under a directed rounding mode) holding a lane for the callout; returns the elements
  // stored.
  static int64_t contiguous_block(int64_t n, const float* a, float* r) {
    return rounds_to_nearest_single() ? pairs_to_nearest(n, a, r) : groups_directed(n, a, r);
  }

  // Under a directed rounding mode every group as finish_lanes gives it (directed),
  // without leaving for the frame's special lanes group by group (with the pair loops
  // that took 1.2-1.4x the time the call had taken before them). The fast path is computed
  // all the same and kept by an empty asm: the frame computes it for every group it
  // settles, and its exception flags reach the caller's MXCSR.
  [[gnu::noinline]] static int64_t groups_directed(int64_t n, const float* a, float* r) {
    using simd::F32x4;
    int64_t g = 0;
    for (; g + kGroupLanes <= n; g += kGroupLanes) {
      const F32x4 x = F32x4::load(a + g);
      if (callout_lanes(x) != 0) break;
      const F32x4 flags_only = fast_path(x);
      asm volatile("" : : "x"(flags_only.v));
      directed(x).store(r + g);
    }
    return g;
  }

  // Two independent groups a step. A group with a lane off the float path but none for
  // the callout (|x| below 1/16, x below -87.33654) is finished here by its lanes, as
  // finish_lanes does: through the frame's special lanes such a group cost about 28 ns
  // (7 such groups in the benchmark's 250 took a sixth of the time). Out of line with
  // the interleaving schedule: inlined into the frame's loop, 1.07x the time without groups
  // near zero.
  [[gnu::noinline, TESS_INTERLEAVED]] static int64_t pairs_to_nearest(int64_t n, const float* a,
                                                                     float* r) {
    using simd::F32x4;
    int64_t g = 0;
    for (; g + 2 * kGroupLanes <= n; g += 2 * kGroupLanes) {
      const F32x4 x0 = F32x4::load(a + g);
      const F32x4 x1 = F32x4::load(a + g + kGroupLanes);
      F32x4 y0 = fast_path(x0);
      F32x4 y1 = fast_path(x1);
      const int off0 = lanes_off_float_path(x0);
      const int off1 = lanes_off_float_path(x1);
      if ((off0 | off1) != 0) {
        if ((callout_lanes(x0) | callout_lanes(x1)) != 0) break;
        // Both fast paths computed, as the frame computes them: the same exception flags.
        asm volatile("" : : "x"(y0.v), "x"(y1.v));
        if (off0 != 0) y0 = by_lanes(x0, y0);
        if (off1 != 0) y1 = by_lanes(x1, y1);
      }
      y0.store(r + g);
      y1.store(r + g + kGroupLanes);
    }
    return g;
  }

  static int32_t callout(const float* x, float* r) { return tess_callout_sExpm1(x, r); }
};

}  // namespace zorn::tess
