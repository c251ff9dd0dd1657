// Erf is odd bit for bit in both precisions: the kernel takes |x| through its pieces and
// puts the sign back, which a lane mix-up between the series and the 1 - erfc piece, or a
// lost sign on the way, would break. Arguments from every piece and their boundaries,
// the subnormal range included, in mixed groups of four.
// The float kernels are also checked against the C library's double erf and erfc rounded
// to float (a check that needs no MPFR, so it runs on Windows too): within one ulp over
// every grid piece, the series, the tails and negative arguments.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "zorn/tess_functions.h"

namespace zorn_test {
namespace {

template <class T>
std::vector<T> arguments() {
  const double ranges[][2] = {{0, 1e-300}, {1e-300, 1e-10}, {0, 0.25}, {0.2, 0.6}, {0.5, 4}, {3, 7}};
  std::mt19937_64 gen(20261207);
  std::vector<T> x = {T(0), T(0.25), T(0.5), T(6), T(1e-310), std::nextafter(T(0.25), T(0))};
  for (const auto& r : ranges) {
    std::uniform_real_distribution<double> u(r[0], r[1]);
    for (int i = 0; i < 4001; ++i) x.push_back(static_cast<T>(u(gen)));
  }
  return x;
}

template <class T, class Kernel>
void expect_odd(Kernel erf) {
  const std::vector<T> x = arguments<T>();
  std::vector<T> minus(x.size()), r(x.size()), r_minus(x.size());
  for (size_t i = 0; i < x.size(); ++i) minus[i] = -x[i];
  erf(static_cast<int32_t>(x.size()), x.data(), r.data());
  erf(static_cast<int32_t>(x.size()), minus.data(), r_minus.data());
  for (size_t i = 0; i < x.size(); ++i) {
    const T negated = -r[i];
    ASSERT_EQ(std::memcmp(&negated, &r_minus[i], sizeof(T)), 0) << "x = " << x[i];
  }
}

TEST(ErfSymmetry, OddBitForBit) {
  expect_odd<float>(_tesssErf);
  expect_odd<double>(_tessdErf);
}

// |y - reference| in units of the float spacing at the reference.
double ulps(float y, double reference) {
  const float r = static_cast<float>(reference);
  const double spacing = std::nextafter(std::fabs(r), INFINITY) - std::fabs(r);
  return std::fabs(y - reference) / spacing;
}

TEST(ErfSingle, WithinOneUlpOfTheDoubleFunctions) {
  struct Case {
    void (*kernel)(int32_t, const float*, float*);
    double (*reference)(double);
    double low, high;
  };
  double (*const erf)(double) = [](double x) { return std::erf(x); };
  double (*const erfc)(double) = [](double x) { return std::erfc(x); };
  double (*const cdfnorm)(double) = [](double x) { return 0.5 * std::erfc(-x / std::sqrt(2.0)); };
  const Case cases[] = {{_tesssErf, erf, -4.5, 4.5},          {_tesssErf, erf, -0.2, 0.2},
                        {_tesssErfc, erfc, -4.5, 9.0},        {_tesssErfc, erfc, 7.0, 9.5},
                        {_tesssCdfNorm, cdfnorm, -12.9, 6.0}, {_tesssCdfNorm, cdfnorm, -12.9, -9.0}};
  std::mt19937_64 gen(7);
  for (const Case& c : cases) {
    std::uniform_real_distribution<double> u(c.low, c.high);
    std::vector<float> x(20001), y(x.size());
    for (float& v : x) v = static_cast<float>(u(gen));
    c.kernel(static_cast<int32_t>(x.size()), x.data(), y.data());
    for (size_t i = 0; i < x.size(); ++i) {
      ASSERT_LE(ulps(y[i], c.reference(x[i])), 1.0) << "x = " << x[i];
    }
  }
}

}  // namespace
}  // namespace zorn_test
