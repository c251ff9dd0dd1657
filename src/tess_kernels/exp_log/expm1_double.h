// Double precision e^x - 1: a two-lane fast path for x up to about 708.3964 (-inf
// included) and the callout for larger arguments, infinities and NaNs, which reports
// overflow (status 3) above 709.782712893384.
#pragma once

#include <cstdint>

#include "tess_kernels/exp_log/loop_double.h"

namespace zorn::tess {

int32_t tess_callout_dExpm1(double x, double* r);

struct Expm1Double : DoubleLanes<Expm1Double> {
  static int32_t fast_block(int32_t n, const double* a, double* r);
  static int fast_group(const double x[4], double y[4]);
  static int32_t callout(double x, double* r) { return tess_callout_dExpm1(x, r); }
};

}  // namespace zorn::tess
