// Independent references for the double precision kernels: errors in units in the last
// place against long double (x87, 64-bit significand) values from the C library, whose
// own error is about 2^-11 of a double ulp; argument generators; and a recorder of
// reports.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "zorn/tess.h"

namespace zorn_test {

inline uint64_t bits_of(double x) {
  uint64_t b;
  std::memcpy(&b, &x, 8);
  return b;
}
inline double double_from_bits(uint64_t b) {
  double x;
  std::memcpy(&x, &b, 8);
  return x;
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

// Distance, in double ulps, from want to the nearest midpoint between two doubles: a
// value far from every midpoint has one correct rounding that its reference fixes.
inline double distance_to_midpoint(long double want) {
  const int e = std::max(std::ilogb(want), -1022);
  const long double units = std::fabs(want) / std::ldexp(1.0L, e - 52);
  return static_cast<double>(std::fabs(units - std::floor(units) - 0.5L));
}

// Uniform arguments in [lo, hi] and their negatives mixed with random bit patterns of
// magnitude below `limit`.
inline std::vector<double> uniform_arguments(size_t count, double lo, double hi, uint64_t seed) {
  std::mt19937_64 gen(seed);
  std::uniform_real_distribution<double> pick(lo, hi);
  std::vector<double> x(count);
  for (double& v : x) v = pick(gen);
  return x;
}

// Arguments whose magnitudes are spread evenly over the exponents from 2^lo_exp to
// 2^hi_exp, of either sign when `both_signs`.
inline std::vector<double> log_uniform_arguments(size_t count, int lo_exp, int hi_exp,
                                                 bool both_signs, uint64_t seed) {
  std::mt19937_64 gen(seed);
  std::uniform_real_distribution<double> exponent(lo_exp, hi_exp);
  std::vector<double> x(count);
  for (double& v : x) {
    v = std::exp2(exponent(gen));
    if (both_signs && (gen() & 1)) v = -v;
  }
  return x;
}

struct Reported {
  int32_t index;
  int32_t status;
};
inline std::vector<Reported> g_double_reports;
inline bool g_replace_result = false;
constexpr double kReplacement = 42.0;

// Records every report; replaces the element's result when g_replace_result is set (a
// callback returning 0 has its record's result written back).
inline int32_t record_double_report(TessErrorContext* c) {
  g_double_reports.push_back({c->index, c->status});
  if (!g_replace_result) return 1;
  c->res1 = kReplacement;
  return 0;
}

// 2^(j/64) to about 110 bits, in binary128: two Newton steps on y^64 = 2^j from the long
// double value.
inline __float128 power_of_two_over_64(int j) {
  __float128 y = std::exp2(static_cast<long double>(j) / 64.0L);
  const __float128 target = std::ldexp(1.0, j);
  for (int step = 0; step < 2; ++step) {
    __float128 p = y;
    for (int s = 0; s < 6; ++s) p *= p;  // y^64
    y -= (p - target) / (64 * (p / y));
  }
  return y;
}

}  // namespace zorn_test
