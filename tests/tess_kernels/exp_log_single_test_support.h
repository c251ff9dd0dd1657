// Helpers of the single precision exponential and logarithm tests: bit casts, a record of
// reported elements, and the error of a float result in units in the last place of an
// extended precision reference.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "fp_environment.h"
#include "zorn/tess_functions.h"

namespace zorn_test {

inline uint32_t bits(float x) {
  uint32_t b;
  std::memcpy(&b, &x, 4);
  return b;
}
inline float from_bits(uint32_t b) {
  float x;
  std::memcpy(&x, &b, 4);
  return x;
}
inline uint64_t bits(double x) {
  uint64_t b;
  std::memcpy(&b, &x, 8);
  return b;
}

struct Reported {
  int32_t index;
  int32_t status;
};
inline std::vector<Reported> g_reported;
inline int32_t keep_report(TessErrorContext* c) {
  g_reported.push_back({c->index, c->status});
  return 1;
}

// Reports go to g_reported; the thread's mode, callback and registers come back after.
class ReportingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_reported.clear();
    _tessSetErrorCallBack(keep_report);
    _tessSetMode(TESS_ERRMODE_CALLBACK | TESS_MODE_HA | 0x140000);  // denormals kept
  }
  TessStateGuard guard_;
};

// |got - exact| in units of the float spacing at exact (2^-149 in the subnormal range).
// Infinite or NaN references must be matched exactly by the caller.
inline double ulp_error(float got, long double exact) {
  int e;
  std::frexp(exact, &e);  // |exact| in [2^(e-1), 2^e)
  const long double ulp = std::ldexp(1.0L, std::max(e - 24, -149));
  if (std::isinf(got)) return std::numeric_limits<double>::infinity();
  return static_cast<double>(std::fabs(static_cast<long double>(got) - exact) / ulp);
}

}  // namespace zorn_test
