// Single precision log2: a four-lane fast path in double precision for positive normal
// arguments and the callout for every other lane.
#pragma once

#include <cstdint>

#include "tess_kernels/exp_log/lane_loop_single.h"
#include "tess_kernels/exp_log/log_reduction_single.h"

namespace zorn::tess {

// The correct single precision log2 x of *x in *r and its status (1 domain, 2 singularity).
int32_t tess_callout_sLog2(const float* x, float* r);

struct Log2Single : LaneLoopSingle<Log2Single> {
  // log2 x = e + ln(m) log2 e; exact for powers of two, since then m = 1.
  static simd::F32x4 fast_path(simd::F32x4 x) {
    return log_in_double(x, [](simd::F64x2 e, simd::F64x2 ln_m) {
      return e + ln_m * simd::F64x2::splat(1.4426950408889634);
    });
  }

  static int special_lanes(simd::F32x4 x) { return positive_normal_complement(x); }

  static int32_t callout(const float* x, float* r) { return tess_callout_sLog2(x, r); }
};

}  // namespace zorn::tess
