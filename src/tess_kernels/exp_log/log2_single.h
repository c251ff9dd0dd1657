// Single precision log2: a four-lane fast path in double precision for positive normal
// arguments and the callout for every other lane.
#pragma once

#include <cstdint>

#include "tess_kernels/frame/lane_loop_single.h"
#include "tess_kernels/exp_log/log_reduction_single.h"

namespace zorn::tess {

// The correct single precision log2 x of *x in *r and its status (1 domain, 2 singularity).
int32_t tess_callout_sLog2(const float* x, float* r);

struct Log2Single : LaneLoopSingle<Log2Single> {
  // Exact for powers of two, where j = 0 and r = 0.
  static simd::F32x4 fast_path(simd::F32x4 x) {
    return log_by_points<2>(x, 1.0, 1.4426950408889634);
  }

  static int special_lanes(simd::F32x4 x) { return positive_normal_complement(x); }

  static int32_t callout(const float* x, float* r) { return tess_callout_sLog2(x, r); }
};

}  // namespace zorn::tess
