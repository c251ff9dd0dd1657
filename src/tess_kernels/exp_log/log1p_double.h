// Double precision ln(1 + x): a two-lane fast path for finite x > -1 and the callout for
// every argument: -1 gives -inf with status 2, below -1 (and -inf) NaN with status 1,
// +inf and NaN pass through.
#pragma once

#include <cstdint>

#include "tess_kernels/exp_log/loop_double.h"

namespace zorn::tess {

int32_t tess_callout_dLog1p(double x, double* r);

struct Log1pDouble : DoubleLanes<Log1pDouble> {
  static int32_t fast_block(int32_t n, const double* a, double* r);
  static int fast_group(const double x[4], double y[4]);
  static int32_t callout(double x, double* r) { return tess_callout_dLog1p(x, r); }
};

}  // namespace zorn::tess
