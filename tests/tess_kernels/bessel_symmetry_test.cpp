// The Bessel kernels against themselves, bit for bit, on arguments from every piece
// (the logarithmic form below 1/2, the rows below 64, the asymptotic form to 65536 and
// the callouts beyond) in mixed groups, so that lanes of one pair take different pieces:
// J0 is even and J1 odd; the orders 0 and 1 of Jn and Yn (one lane at a time) give the
// two-lane J0, J1, Y0, Y1; negative orders and arguments follow (-1)^n.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "zorn/tess_functions.h"

namespace zorn_test {
namespace {

std::vector<double> arguments() {
  std::vector<double> x = {0.5, 64, 65536, 0x1p-61, 0.4999999999999999, 63.99999999999999};
  std::mt19937_64 gen(20261207);
  const double ranges[][2] = {{0, 0.5}, {0.5, 64}, {64, 70000}, {1e5, 1e12}};
  std::uniform_int_distribution<int> pick(0, 3);
  for (int i = 0; i < 4000; ++i) {
    const auto& r = ranges[pick(gen)];
    x.push_back(std::uniform_real_distribution<double>(r[0], r[1])(gen));
  }
  return x;
}

using Unary = void (*)(int32_t, const double*, double*);
using Order = void (*)(int32_t, const double*, double, double*);

std::vector<double> evaluate(Unary f, const std::vector<double>& x) {
  std::vector<double> r(x.size());
  f(static_cast<int32_t>(x.size()), x.data(), r.data());
  return r;
}
std::vector<double> evaluate(Order f, const std::vector<double>& x, double order) {
  std::vector<double> r(x.size());
  f(static_cast<int32_t>(x.size()), x.data(), order, r.data());
  return r;
}

void expect_same(const std::vector<double>& a, const std::vector<double>& b, double sign,
                 const std::vector<double>& x, const char* what) {
  for (size_t i = 0; i < x.size(); ++i) {
    const double signed_a = sign * a[i];
    ASSERT_EQ(std::memcmp(&signed_a, &b[i], sizeof(double)), 0) << what << " at x = " << x[i];
  }
}

TEST(BesselSymmetry, PiecesAgreeBitForBit) {
  const std::vector<double> x = arguments();
  std::vector<double> minus(x.size());
  for (size_t i = 0; i < x.size(); ++i) minus[i] = -x[i];
  expect_same(evaluate(_tessdJ0, x), evaluate(_tessdJ0, minus), 1, x, "J0 even");
  expect_same(evaluate(_tessdJ1, x), evaluate(_tessdJ1, minus), -1, x, "J1 odd");
  expect_same(evaluate(_tessdJ0, x), evaluate(_tessdJn, x, 0), 1, x, "Jn order 0");
  expect_same(evaluate(_tessdJ1, x), evaluate(_tessdJn, x, 1), 1, x, "Jn order 1");
  expect_same(evaluate(_tessdY0, x), evaluate(_tessdYn, x, 0), 1, x, "Yn order 0");
  expect_same(evaluate(_tessdY1, x), evaluate(_tessdYn, x, 1), 1, x, "Yn order 1");
  for (const double n : {3.0, 4.0}) {
    const double parity = n == 3 ? -1 : 1;
    const std::vector<double> jn = evaluate(_tessdJn, x, n);
    expect_same(jn, evaluate(_tessdJn, minus, n), parity, x, "Jn(-x)");
    expect_same(jn, evaluate(_tessdJn, x, -n), parity, x, "J-n");
    expect_same(evaluate(_tessdYn, x, n), evaluate(_tessdYn, x, -n), parity, x, "Y-n");
  }
}

}  // namespace
}  // namespace zorn_test
