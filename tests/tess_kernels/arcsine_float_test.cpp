// The float arcsine and arccosine kernels and their pi forms against the long double
// functions, on every float of the ranges where their paths meet: the switch to the
// half-complement root at 1/2 (where pi/2 - 2 asin s cancels most) and the ends at +-1.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "kernel_test_support.h"

namespace zorn_test {
namespace {

constexpr long double kPi = 3.141592653589793238462643383279502884L;
constexpr double kBound = 0.75;  // Asinpi near 1/2: 0.73

TEST(ArcsineFloat, WithinBoundWhereThePathsMeet) {
  struct Case {
    void (*kernel)(int32_t, const float*, float*);
    long double (*exact)(long double);
    long double scale;
    float low, high;  // every float from low up to high
  };
  const auto asin = [](long double x) { return std::asin(x); };
  const auto acos = [](long double x) { return std::acos(x); };
  const Case cases[] = {
      {_tesssAsin, asin, 1, 0.49f, 0.51f},          {_tesssAsin, asin, 1, 0.9999f, 1.0f},
      {_tesssAsinpi, asin, kPi, -0.51f, -0.49f},    {_tesssAsinpi, asin, kPi, 0.9999f, 1.0f},
      {_tesssAcos, acos, 1, -1.0f, -0.9999f},       {_tesssAcos, acos, 1, 0.49f, 0.51f},
      {_tesssAcospi, acos, kPi, -0.51f, -0.49f},    {_tesssAcospi, acos, kPi, 0.9999f, 1.0f}};
  for (const Case& c : cases) {
    std::vector<float> x;
    for (float v = c.low; v <= c.high; v = std::nextafter(v, 2.0f)) x.push_back(v);
    std::vector<float> y(x.size());
    c.kernel(static_cast<int32_t>(x.size()), x.data(), y.data());
    for (size_t i = 0; i < x.size(); ++i) {
      ASSERT_LE(ulp_error(y[i], c.exact(x[i]) / c.scale), kBound) << "x = " << x[i];
    }
  }
}

}  // namespace
}  // namespace zorn_test
