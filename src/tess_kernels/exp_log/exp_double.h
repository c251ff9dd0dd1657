// Double precision exponential: a two-lane fast path for |x| up to about 708.3964 (the
// high word of |x| at most 0x4086232A) and the callout for every other argument.
#pragma once

#include <cstdint>

#include "tess_kernels/exp_log/loop_double.h"

namespace zorn::tess {

// The correct e^x in *r and its status (3 overflow, 4 underflow, subnormal included).
int32_t tess_callout_dExp(double x, double* r);

struct ExpDouble : DoubleLanes<ExpDouble> {
  static int32_t fast_block(int32_t n, const double* a, double* r);
  static int fast_group(const double x[4], double y[4]);
  static int32_t callout(double x, double* r) { return tess_callout_dExp(x, r); }
  // With error handling off, overflowing lanes become +inf and underflowing ones +0
  // here; returns the special-lane mask without them.
  static int resolve_inline(const double x[4], double y[4], int special);
};

}  // namespace zorn::tess
