// Double precision operations of the exponential and logarithm family. Each supplies
// `vector_loop` over doubles: a vectorised fast path with special lanes out of line, or,
// until it has one, the lane-by-lane loop over a scalar routine.
#pragma once

#include <cmath>

#include "tess_kernels/exp_log/exp_double.h"
#include "tess_kernels/frame/kernel_frame.h"
#include "tess_kernels/frame/status_rules.h"

namespace zorn::tess {

struct Exp2Double : LaneByLane<Exp2Double, double> {
  static int32_t eval(double x, double& r) {
    r = std::exp2(x);
    return classify(kOverflow | kUnderflow, r, false, x);
  }
};

// 10^x = 2^(x log2 10) with the product carried in extended precision.
struct Exp10Double : LaneByLane<Exp10Double, double> {
  static int32_t eval(double x, double& r) {
    r = static_cast<double>(
        std::exp2(static_cast<long double>(x) * 3.321928094887362347870319429489390175864831L));
    return classify(kOverflow | kUnderflow, r, false, x);
  }
};

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

// The unbiased exponent; zero has none and is reported as a domain error.
struct LogbDouble : LaneByLane<LogbDouble, double> {
  static int32_t eval(double x, double& r) {
    r = std::logb(x);
    return x == 0 ? TESS_STATUS_DOMAIN : TESS_STATUS_OK;
  }
};

}  // namespace zorn::tess
