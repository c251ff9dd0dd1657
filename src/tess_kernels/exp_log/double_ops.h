// Double precision operations of the exponential and logarithm family: each a two-lane
// fast path (in its .cpp) under the frame's double loop, and a callout correct for
// every argument that gives the result and its status.
#pragma once

#include "tess_kernels/exp_log/flagged_results.h"
#include "tess_kernels/frame/lane_loop_double.h"

namespace zorn::tess {

// A kernel of the family, its edge cases' flags raised by its callout
// (EdgeFlagsFromCallouts, flagged_results.h).
#define TESS_EXP_LOG_DOUBLE_KERNEL(Type, callout_fn, ...) \
  TESS_DOUBLE_LANE_KERNEL(Type, callout_fn,               \
                          static constexpr bool kSpecialLanesRaiseNoFlag = true; __VA_ARGS__)

// e^x: fast path for |x| up to about 708.3964 (the high word of |x| at most 0x4086232A).
// Callout statuses: 3 overflow, 4 underflow (subnormal results included). With error
// handling off, overflowing lanes become +inf and underflowing ones +0 inline, and the
// returned special mask leaves them out.
TESS_EXP_LOG_DOUBLE_KERNEL(ExpDouble, tess_callout_dExp,
                           static int resolve_inline(const double x[4], double y[4],
                                                     int special););
// 2^x: fast path for |x| < 1014 (results above 2^-1014); statuses as for e^x.
TESS_EXP_LOG_DOUBLE_KERNEL(Exp2Double, tess_callout_dExp2);
// 10^x: fast path for |x| < 305.2 (results above 2^-1014); statuses as for e^x.
TESS_EXP_LOG_DOUBLE_KERNEL(Exp10Double, tess_callout_dExp10);
// e^x - 1: fast path for x up to about 708.3964 (-inf included); the callout reports
// overflow (status 3) above 709.782712893384.
TESS_EXP_LOG_DOUBLE_KERNEL(Expm1Double, tess_callout_dExpm1);
// Ln, Log2, Log10: fast paths for positive normal finite arguments. Negative numbers and
// -inf give NaN with status 1, ±0 gives -inf with status 2, +inf and NaN pass through.
TESS_EXP_LOG_DOUBLE_KERNEL(LnDouble, tess_callout_dLn);
TESS_EXP_LOG_DOUBLE_KERNEL(Log2Double, tess_callout_dLog2);
TESS_EXP_LOG_DOUBLE_KERNEL(Log10Double, tess_callout_dLog10);
// ln(1 + x): fast path for finite x > -1. -1 gives -inf with status 2, below -1 (and
// -inf) NaN with status 1, +inf and NaN pass through.
TESS_EXP_LOG_DOUBLE_KERNEL(Log1pDouble, tess_callout_dLog1p);
// Logb, the unbiased exponent: fast path for normal finite arguments of either sign.
// Subnormals give their true exponent, ±inf +inf, NaN NaN; ±0 gives -inf and status 1.
TESS_DOUBLE_LANE_KERNEL(LogbDouble, tess_callout_dLogb);

}  // namespace zorn::tess
