// Single precision operations of the exponential and logarithm family. Each supplies
// `vector_loop` over floats: a four-lane fast path with special lanes out of line, or,
// until it has one, the lane-by-lane loop over a scalar routine evaluated in double.
#pragma once

#include <cmath>

#include "tess_kernels/exp_log/exp_single.h"
#include "tess_kernels/frame/kernel_frame.h"
#include "tess_kernels/frame/status_rules.h"

namespace zorn::tess {

struct Exp2Single : LaneByLane<Exp2Single, float> {
  static int32_t eval(float x, float& r) {
    r = static_cast<float>(std::exp2(static_cast<double>(x)));
    return classify(kOverflow | kUnderflow, r, false, x);
  }
};

struct Exp10Single : LaneByLane<Exp10Single, float> {
  static int32_t eval(float x, float& r) {
    r = static_cast<float>(std::pow(10.0, static_cast<double>(x)));
    return classify(kOverflow | kUnderflow, r, false, x);
  }
};

struct Expm1Single : LaneByLane<Expm1Single, float> {
  static int32_t eval(float x, float& r) {
    r = static_cast<float>(std::expm1(static_cast<double>(x)));
    return classify(kOverflow, r, false, x);
  }
};

struct LnSingle : LaneByLane<LnSingle, float> {
  static int32_t eval(float x, float& r) {
    r = static_cast<float>(std::log(static_cast<double>(x)));
    return classify(kDomain | kPole, r, false, x);
  }
};

struct Log2Single : LaneByLane<Log2Single, float> {
  static int32_t eval(float x, float& r) {
    r = static_cast<float>(std::log2(static_cast<double>(x)));
    return classify(kDomain | kPole, r, false, x);
  }
};

struct Log10Single : LaneByLane<Log10Single, float> {
  static int32_t eval(float x, float& r) {
    r = static_cast<float>(std::log10(static_cast<double>(x)));
    return classify(kDomain | kPole, r, false, x);
  }
};

// Reports nothing.
struct Log1pSingle : LaneByLane<Log1pSingle, float> {
  static int32_t eval(float x, float& r) {
    r = static_cast<float>(std::log1p(static_cast<double>(x)));
    return TESS_STATUS_OK;
  }
};

// The unbiased exponent; zero has none and is reported as a domain error.
struct LogbSingle : LaneByLane<LogbSingle, float> {
  static int32_t eval(float x, float& r) {
    r = std::logb(x);
    return x == 0 ? TESS_STATUS_DOMAIN : TESS_STATUS_OK;
  }
};

}  // namespace zorn::tess
