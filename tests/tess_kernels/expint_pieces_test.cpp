// The E1 kernels against the scalar extended precision routine (power series and
// continued fraction, no tables) on arguments from every piece of the vector path (the
// logarithmic series below 1/4, the rows of e^x E1 above, the callouts for x <= 0,
// subnormal, large and NaN arguments), in mixed groups so that the lanes of one pair
// take different pieces: within one ulp in both precisions. Runs without MPFR.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "tess_kernels/special/special_functions.h"
#include "zorn/tess_functions.h"

namespace zorn_test {
namespace {

std::vector<double> arguments() {
  std::vector<double> x = {0.25, std::nextafter(0.25, 0.0), 700, std::nextafter(700.0, 701.0),
                           0x1p-1022, 0x1p-1070, 0, -1, NAN, 127.9, 128, 1000};
  std::mt19937_64 gen(20261208);
  std::uniform_real_distribution<double> exponent(-30, 10);
  for (int i = 0; i < 3000; ++i) x.push_back(std::exp2(exponent(gen)));
  return x;
}

template <class T>
void expect_within_an_ulp(void (*f)(int32_t, const T*, T*)) {
  const std::vector<double> wide = arguments();
  const std::vector<T> x(wide.begin(), wide.end());
  std::vector<T> r(x.size());
  f(static_cast<int32_t>(x.size()), x.data(), r.data());
  for (size_t i = 0; i < x.size(); ++i) {
    const T expected = static_cast<T>(zorn::tess::expint1(x[i]));
    const T ulp = std::nextafter(std::fabs(expected), T(INFINITY)) - std::fabs(expected);
    const bool agree = std::isnan(expected) ? std::isnan(r[i])
                                            : r[i] == expected || std::fabs(r[i] - expected) <= ulp;
    EXPECT_TRUE(agree) << "x = " << x[i] << ": " << r[i] << " against " << expected;
  }
}

TEST(ExpInt1Pieces, MixedGroupsWithinAnUlp) {
  expect_within_an_ulp(_tessdExpInt1);
  expect_within_an_ulp(_tesssExpInt1);
}

}  // namespace
}  // namespace zorn_test
