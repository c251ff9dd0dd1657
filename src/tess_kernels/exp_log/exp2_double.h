// Double precision 2^x: a two-lane fast path for |x| < 1022 (normal results) and the
// callout for every other argument.
#pragma once

#include <cstdint>

#include "tess_kernels/exp_log/loop_double.h"

namespace zorn::tess {

// The correct 2^x in *r and its status (3 overflow, 4 underflow, subnormal included).
int32_t tess_callout_dExp2(double x, double* r);

struct Exp2Double : DoubleLanes<Exp2Double> {
  static int32_t fast_block(int32_t n, const double* a, double* r);
  static int fast_group(const double x[4], double y[4]);
  static int32_t callout(double x, double* r) { return tess_callout_dExp2(x, r); }
};

}  // namespace zorn::tess
