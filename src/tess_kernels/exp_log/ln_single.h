// Single precision natural logarithm: a table-free four-lane fast path for positive
// normal arguments and the double precision callout for every other lane.
#pragma once

#include <cstdint>

#include "tess_kernels/frame/lane_loop_single.h"
#include "tess_kernels/exp_log/log_reduction_single.h"
#include "tess_kernels/frame/simd.h"

namespace zorn::tess {

// The correct single precision ln x of *x in *r and its status (1 domain, 2 singularity).
int32_t tess_callout_sLn(const float* x, float* r);

struct LnSingle : LaneLoopSingle<LnSingle> {
  // Two groups a step: one group's degree-9 Horner chain is longer than the out-of-order
  // window reaches, and two independent chains interleave (same bits).
  static constexpr bool kPairedVectors = true;
  // ln x = e ln 2 + ln(1 + r) with ln 2 in a short high part and a correction and
  // ln(1 + r) = r + r^2 P(r), all in single precision.
  static simd::F32x4 fast_path(simd::F32x4 x) {
    using simd::F32x4;
    simd::I32x4 e_bits;
    F32x4 r;
    reduce_from(kTwoThirdsBits, x, e_bits, r);
    const F32x4 e = simd::to_float(e_bits);
    const auto c = [](float v) { return F32x4::splat(v); };
    const F32x4 p = c(-0.5f) + r * ln_series_tail_single(r);
    return e * c(0.693145751953125f) + (e * c(1.428606765330187e-06f) + (r + (r * r) * p));
  }

  static int special_lanes(simd::F32x4 x) { return positive_normal_complement(x); }

  static int32_t callout(const float* x, float* r) { return tess_callout_sLn(x, r); }
};

}  // namespace zorn::tess
