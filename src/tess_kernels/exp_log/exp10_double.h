// Double precision 10^x: a two-lane fast path for |x| below about 307.6527 (normal
// results) and the callout for every other argument.
#pragma once

#include <cstdint>

#include "tess_kernels/exp_log/loop_double.h"

namespace zorn::tess {

// The correct 10^x in *r and its status (3 overflow, 4 underflow, subnormal included).
int32_t tess_callout_dExp10(double x, double* r);

struct Exp10Double : DoubleLanes<Exp10Double> {
  static int32_t fast_block(int32_t n, const double* a, double* r);
  static int fast_group(const double x[4], double y[4]);
  static int32_t callout(double x, double* r) { return tess_callout_dExp10(x, r); }
};

}  // namespace zorn::tess
