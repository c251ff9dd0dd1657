// Double precision operations of the exponential and logarithm family. Each supplies
// `vector_loop` over doubles: a vectorised fast path with special lanes out of line, or,
// until it has one, the lane-by-lane loop over a scalar routine.
#pragma once

#include <cmath>

#include "tess_kernels/exp_log/exp10_double.h"
#include "tess_kernels/exp_log/exp2_double.h"
#include "tess_kernels/exp_log/exp_double.h"
#include "tess_kernels/exp_log/logb_double.h"
#include "tess_kernels/frame/kernel_frame.h"
#include "tess_kernels/frame/status_rules.h"

namespace zorn::tess {

struct Expm1Double : LaneByLane<Expm1Double, double> {
  static int32_t eval(double x, double& r) {
    r = std::expm1(x);
    return classify(kOverflow, r, false, x);
  }
};

struct LnDouble : LaneByLane<LnDouble, double> {
  static int32_t eval(double x, double& r) {
    r = std::log(x);
    return classify(kDomain | kPole, r, false, x);
  }
};

struct Log2Double : LaneByLane<Log2Double, double> {
  static int32_t eval(double x, double& r) {
    r = std::log2(x);
    return classify(kDomain | kPole, r, false, x);
  }
};

struct Log10Double : LaneByLane<Log10Double, double> {
  static int32_t eval(double x, double& r) {
    r = std::log10(x);
    return classify(kDomain | kPole, r, false, x);
  }
};

// Reports its pole at -1 and its domain below.
struct Log1pDouble : LaneByLane<Log1pDouble, double> {
  static int32_t eval(double x, double& r) {
    r = std::log1p(x);
    return classify(kDomain | kPole, r, false, x);
  }
};

}  // namespace zorn::tess
