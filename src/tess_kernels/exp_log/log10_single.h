// Single precision log10: a four-lane fast path for positive normal arguments (in single
// precision, lanes in [0.5, 2) in double precision) and the callout for every other lane.
#pragma once

#include <cstdint>

#include "tess_kernels/exp_log/log_two_forms_single.h"

namespace zorn::tess {

// The correct single precision log10 x of *x in *r and its status (1 domain,
// 2 singularity).
int32_t tess_callout_sLog10(const float* x, float* r);

struct Log10Single : LogTwoFormsSingle<Log10Single> {
  [[gnu::always_inline]] static simd::F32x4 by_float_points(simd::F32x4 x) {
    return log_by_float_points<log_single_data::kLog10PointsFloat,
                               log_single_data::kLog10FloatLanes, false>(x);
  }
  [[gnu::always_inline]] static simd::F32x4 by_points(simd::F32x4 x) {
    return log_by_points<3>(x, 0.3010299956639812, 0.4342944819032518);
  }

  static int32_t callout(const float* x, float* r) { return tess_callout_sLog10(x, r); }
};

}  // namespace zorn::tess
