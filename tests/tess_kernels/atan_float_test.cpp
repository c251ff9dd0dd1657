// The float arctangent kernels against the long double functions, over the ranges where
// their reductions change: the centres' ends (2^-4, 2^26), the tiny quotients of Atan2
// (below 2^-20 the series is dropped) and of the pi forms (below 2^-100 the callout), and
// both signs of the abscissa.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "kernel_test_support.h"

namespace zorn_test {
namespace {

constexpr long double kPi = 3.141592653589793238462643383279502884L;
constexpr double kBound = 0.6;

// Magnitudes 2^e with e uniform on [low, high], both signs.
std::vector<float> spread(size_t count, double low, double high, std::mt19937_64& gen) {
  std::uniform_real_distribution<double> e(low, high);
  std::vector<float> x(count);
  for (size_t i = 0; i < count; ++i) {
    x[i] = static_cast<float>((i % 2 ? -1 : 1) * std::exp2(e(gen)));
  }
  return x;
}

TEST(AtanFloat, UnaryWithinBoundOverTheReductionRanges) {
  struct Case {
    void (*kernel)(int32_t, const float*, float*);
    long double scale;
    double low, high;  // exponent range of the arguments
    double bound;
  };
  // Atanpi rounds u H (0.22 of the result below 2^-4) and its sum with the rest.
  const Case cases[] = {{_tesssAtan, 1, -130, 128, kBound},
                        {_tesssAtan, 1, -4.1, -3.9, kBound},
                        {_tesssAtan, 1, 25.8, 26.2, kBound},
                        {_tesssAtanpi, kPi, -126, 128, 0.8},
                        {_tesssAtanpi, kPi, -100.1, -99.9, 0.8}};
  std::mt19937_64 gen(11);
  for (const Case& c : cases) {
    const std::vector<float> x = spread(20001, c.low, c.high, gen);
    std::vector<float> y(x.size());
    c.kernel(static_cast<int32_t>(x.size()), x.data(), y.data());
    for (size_t i = 0; i < x.size(); ++i) {
      ASSERT_LE(ulp_error(y[i], std::atan(static_cast<long double>(x[i])) / c.scale), c.bound)
          << "x = " << x[i];
    }
  }
}

TEST(AtanFloat, Atan2WithinBoundForEveryQuadrantAndScale) {
  struct Case {
    void (*kernel)(int32_t, const float*, const float*, float*);
    long double scale;
    double low, high;  // exponent range of each argument
  };
  const Case cases[] = {{_tesssAtan2, 1, -70, 70},   {_tesssAtan2, 1, -2, 2},
                        {_tesssAtan2pi, kPi, -70, 70}, {_tesssAtan2pi, kPi, -2, 2}};
  std::mt19937_64 gen(13);
  for (const Case& c : cases) {
    const std::vector<float> y = spread(20001, c.low, c.high, gen);
    std::vector<float> x = spread(y.size(), c.low, c.high, gen), r(y.size());
    for (size_t i = 0; i < x.size(); i += 4) x[i] = -x[i];  // every sign pairing
    c.kernel(static_cast<int32_t>(y.size()), y.data(), x.data(), r.data());
    for (size_t i = 0; i < y.size(); ++i) {
      const long double exact =
          std::atan2(static_cast<long double>(y[i]), static_cast<long double>(x[i])) / c.scale;
      ASSERT_LE(ulp_error(r[i], exact), kBound) << "y = " << y[i] << ", x = " << x[i];
    }
  }
}

}  // namespace
}  // namespace zorn_test
