// Single precision ln(1 + x): a four-lane fast path in double precision for x > -1 finite
// and the callout for every other lane. Reports nothing.
#pragma once

#include <cstdint>

#include "tess_kernels/frame/lane_loop_single.h"
#include "tess_kernels/exp_log/log_reduction_single.h"

namespace zorn::tess {

// The correct single precision ln(1 + x) of *x in *r; its status is always 0.
int32_t tess_callout_sLog1p(const float* x, float* r);

struct Log1pSingle : LaneLoopSingle<Log1pSingle> {
  // 1 + x = 2^e m split as in log_split, with e and the point j read from 1 + x rounded
  // to float (a neighbouring point only makes |r| a little larger). With k = 2^-e c^-1
  // (11 significant bits), r = m c^-1 - 1 = x k + (k - 1): x k is exact (35 bits), and so
  // is k - 1 wherever the result is small (k near 1), so that r rounds once, in any
  // rounding mode, and equals x itself at the point 1 (e = j = 0, or e = -1 and j = 64,
  // whose row holds ln 2): for |x| < 2^-8 the float 1 + x lies at that point, and the
  // result keeps its relative accuracy however small x is.
  static simd::F32x4 fast_path(simd::F32x4 x) {
    using simd::F64x2;
    const LogSplit s = log_split(x + simd::F32x4::splat(1.0f));
    F64x2 scale_low, scale_high;
    simd::reciprocal_powers_of_two(s.e, scale_low, scale_high);
    uint32_t j[4];
    simd::index_lanes(s.j, j);
    const auto half = [](F64x2 xd, F64x2 e, F64x2 scale, uint32_t j0, uint32_t j1) {
      const auto& table = log_single_data::kLogPointsSingle;
      const F64x2 k = scale * simd::gather_column(table, 0, j0, j1);
      const F64x2 r = xd * k + (k - F64x2::splat(1.0));
      return (e * F64x2::splat(0.6931471805599453) + simd::gather_column(table, 1, j0, j1)) +
             ln_one_plus_small(r);
    };
    // The result has the sign of x, which the sum loses only for x = -0.
    return simd::or_sign(
        simd::to_float(half(simd::low_to_double(x), simd::low_to_double(s.e), scale_low, j[0], j[1]),
                       half(simd::high_to_double(x), simd::high_to_double(s.e), scale_high, j[2],
                            j[3])),
        x);
  }

  // x <= -1, +inf and NaN.
  static int special_lanes(simd::F32x4 x) {
    return simd::lane_mask_not_greater(x, simd::F32x4::splat(-1.0f)) |
           simd::lane_mask_not_less(x, simd::F32x4::splat(INFINITY));
  }

  static int32_t callout(const float* x, float* r) { return tess_callout_sLog1p(x, r); }
};

}  // namespace zorn::tess
