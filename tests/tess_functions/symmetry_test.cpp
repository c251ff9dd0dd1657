// Odd and even functions give f(-x) = -f(x) or f(x) bit for bit: a kernel that computes
// on x itself rather than on |x| breaks this by the rounding of its reduction.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "zorn/tess_functions.h"

namespace zorn_test {
namespace {

struct Symmetry {
  const char* name;
  void (*s)(int32_t, const float*, float*);
  void (*d)(int32_t, const double*, double*);
  bool odd;
  double largest_s, largest_d;  // arguments up to these magnitudes
};

const Symmetry kSymmetries[] = {
    {"Asin", _tesssAsin, _tessdAsin, true, 1.0, 1.0},
    {"Atan", _tesssAtan, _tessdAtan, true, 1e38, 1e300},
    {"Sinh", _tesssSinh, _tessdSinh, true, 89.0, 710.0},
    {"Tanh", _tesssTanh, _tessdTanh, true, 40.0, 40.0},
    {"Asinh", _tesssAsinh, _tessdAsinh, true, 1e38, 1e300},
    {"Atanh", _tesssAtanh, _tessdAtanh, true, 0.999, 0.999},
    {"Cosh", _tesssCosh, _tessdCosh, false, 89.0, 710.0},
};

template <class T>
void expect_symmetric(const Symmetry& f, void (*kernel)(int32_t, const T*, T*),
                      double largest) {
  std::mt19937_64 engine(7);
  const double top = std::log2(largest);
  std::uniform_real_distribution<double> exponent(-60.0, top);
  std::vector<T> x, minus_x;
  for (int i = 0; i < 4001; ++i) {
    const T v = static_cast<T>(std::exp2(std::min(exponent(engine), top)));
    x.push_back(v);
    minus_x.push_back(-v);
  }
  std::vector<T> y(x.size()), minus_y(x.size());
  kernel(static_cast<int32_t>(x.size()), x.data(), y.data());
  kernel(static_cast<int32_t>(x.size()), minus_x.data(), minus_y.data());
  for (size_t i = 0; i < x.size(); ++i) {
    const T expected = f.odd ? -y[i] : y[i];
    ASSERT_EQ(std::memcmp(&expected, &minus_y[i], sizeof(T)), 0)
        << f.name << " of " << sizeof(T) * 8 << "-bit " << minus_x[i] << ": " << minus_y[i]
        << ", from +x " << y[i];
  }
}

TEST(Symmetry, OddAndEvenFunctionsBitForBit) {
  for (const Symmetry& f : kSymmetries) {
    expect_symmetric<float>(f, f.s, f.largest_s);
    expect_symmetric<double>(f, f.d, f.largest_d);
  }
}

}  // namespace
}  // namespace zorn_test
