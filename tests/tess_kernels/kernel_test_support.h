// Helpers of the kernel tests: bit casts, a record of the reported elements, and errors
// in units in the last place against long double references (x87, 64-bit significand,
// whose own error is about 2^-11 of a double ulp).
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "fp_environment.h"
#include "zorn/tess_functions.h"

namespace zorn_test {

inline uint32_t bits(float x) {
  uint32_t b;
  std::memcpy(&b, &x, 4);
  return b;
}
inline uint64_t bits(double x) {
  uint64_t b;
  std::memcpy(&b, &x, 8);
  return b;
}
inline float from_bits(uint32_t b) {
  float x;
  std::memcpy(&x, &b, 4);
  return x;
}

// Arguments for bit-for-bit comparisons: uniform in [lo, hi] at even indices, and bit
// patterns of magnitude up to `max_bits`, alternately positive and negative, between.
inline std::vector<float> mixed_arguments(size_t count, float lo, float hi, uint32_t max_bits) {
  std::mt19937 gen(20261207);
  std::uniform_real_distribution<float> wide(lo, hi);
  std::uniform_int_distribution<uint32_t> pattern(0, max_bits);
  std::vector<float> x(count);
  for (size_t i = 0; i < x.size(); ++i) {
    const float v = from_bits(pattern(gen));
    x[i] = (i % 2 == 0) ? wide(gen) : ((i % 4 == 1) ? v : -v);
  }
  return x;
}

struct Reported {
  int32_t index;
  int32_t status;
};
inline std::vector<Reported> g_reported;
inline bool g_replace_result = false;
constexpr double kReplacement = 42.0;

// Records every report; replaces the element's result when g_replace_result is set (a
// callback returning 0 has its record's result written back).
inline int32_t keep_report(TessErrorContext* c) {
  g_reported.push_back({c->index, c->status});
  if (!g_replace_result) return 1;
  c->res1 = kReplacement;
  return 0;
}

// Reports go to g_reported; the thread's mode, callback and registers come back after.
class ReportingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_reported.clear();
    g_replace_result = false;
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

// |got - want| in units of the last place of a double at want (the subnormal unit below
// 2^-1022). Infinite or NaN values count as exact when both agree, else as huge.
inline double ulp_error(double got, long double want) {
  if (std::isnan(got) || std::isnan(want)) return std::isnan(got) == std::isnan(want) ? 0 : 1e300;
  if (std::isinf(want) || std::isinf(got)) {
    // An exact value just above the largest double may round to infinity.
    if (std::isinf(got) && std::fabs(want) >= 0x1.fffffffffffffcp1023L &&
        std::signbit(got) == std::signbit(want)) {
      return 0;
    }
    return got == want ? 0 : 1e300;
  }
  if (want == 0) return got == 0 ? 0 : 1e300;
  const int e = std::max(std::ilogb(want), -1022);
  return static_cast<double>(std::fabs(static_cast<long double>(got) - want) /
                             std::ldexp(1.0L, e - 52));
}

}  // namespace zorn_test
