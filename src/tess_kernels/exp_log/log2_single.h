// Single precision log2: a four-lane fast path for positive normal arguments (in single
// precision, lanes in [0.5, 2) in double precision) and the callout for every other lane.
#pragma once

#include <cstdint>

#include "tess_kernels/exp_log/log_two_forms_single.h"

namespace zorn::tess {

// The correct single precision log2 x of *x in *r and its status (1 domain, 2 singularity).
int32_t tess_callout_sLog2(const float* x, float* r);

struct Log2Single : LogTwoFormsSingle<Log2Single> {
  // Exact for powers of two, where j = 0 and r = 0.
  [[gnu::always_inline]] static simd::F32x4 by_float_points(simd::F32x4 x) {
    return log_by_float_points<log_single_data::kLog2PointsFloat,
                               log_single_data::kLog2FloatLanes, true>(x);
  }
  [[gnu::always_inline]] static simd::F32x4 by_points(simd::F32x4 x) {
    return log_by_points<2>(x, 1.0, 1.4426950408889634);
  }

  static int32_t callout(const float* x, float* r) { return tess_callout_sLog2(x, r); }
};

}  // namespace zorn::tess
