// Jn and Yn of neighbouring orders against the Wronskian
// J_{n+1}(x) Y_n(x) - J_n(x) Y_{n+1}(x) = 2 / (pi x), which ties the backward run of J
// (its normalisation), the Neumann series that start Y and both recurrences together
// without a reference library. Arguments span the recurrences' range, both sides of
// the order and the forward recurrence beyond.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "zorn/tess_functions.h"

namespace zorn_test {
namespace {

std::vector<double> of_order(void (*f)(int32_t, const double*, double, double*),
                             const std::vector<double>& x, double order) {
  std::vector<double> r(x.size());
  f(static_cast<int32_t>(x.size()), x.data(), order, r.data());
  return r;
}

TEST(BesselWronskian, NeighbouringOrders) {
  std::mt19937_64 gen(20261208);
  std::vector<double> x = {1.0, 1024.0, 1500.0};
  for (int i = 0; i < 300; ++i) x.push_back(std::exp(std::uniform_real_distribution<double>(0, 7.2)(gen)));
  for (const double n : {0.0, 1.0, 2.0, 5.0, 17.0}) {
    const std::vector<double> jn = of_order(_tessdJn, x, n), jn1 = of_order(_tessdJn, x, n + 1);
    const std::vector<double> yn = of_order(_tessdYn, x, n), yn1 = of_order(_tessdYn, x, n + 1);
    for (size_t i = 0; i < x.size(); ++i) {
      const double w = jn1[i] * yn[i] - jn[i] * yn1[i];
      // Each factor within 0.6 ulp, each product and the difference rounded: about 4 ulp
      // of the products' size in all.
      const double scale = std::fabs(jn1[i] * yn[i]) + std::fabs(jn[i] * yn1[i]);
      EXPECT_NEAR(w, 2 / (M_PI * x[i]), 1e-15 * scale) << "n = " << n << ", x = " << x[i];
    }
  }
}

}  // namespace
}  // namespace zorn_test
