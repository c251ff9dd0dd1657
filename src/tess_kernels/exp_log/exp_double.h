// Double precision exponential: the fast path for |x| up to about 708.3964 and the
// callout for every other argument.
#pragma once

#include <cstdint>

#include "tess_kernels/frame/kernel_frame.h"

namespace zorn::tess {

int32_t tess_callout_dExp(double x, double* r);
int32_t exp_d(double x, double& r);

struct ExpDouble : LaneByLane<ExpDouble, double> {
  static int32_t eval(double x, double& r) { return exp_d(x, r); }
};

}  // namespace zorn::tess
