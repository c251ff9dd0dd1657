// Double precision Logb, the unbiased exponent: a two-lane fast path for normal finite
// arguments of either sign and the callout for zeros, subnormals, infinities and NaNs.
#pragma once

#include <cstdint>

#include "tess_kernels/exp_log/loop_double.h"

namespace zorn::tess {

// The unbiased exponent of x in *r: subnormals their true exponent, ±inf +inf, NaN NaN;
// ±0 gives -inf and status 1.
int32_t tess_callout_dLogb(double x, double* r);

struct LogbDouble : DoubleLanes<LogbDouble> {
  static int32_t fast_block(int32_t n, const double* a, double* r);
  static int fast_group(const double x[4], double y[4]);
  static int32_t callout(double x, double* r) { return tess_callout_dLogb(x, r); }
};

}  // namespace zorn::tess
