// The root kernels whose fast paths correct a rounded root by a small exact residual
// keep that residual normal at the low end of their ranges: with denormals flushed, a
// residual that fell below the normal range would be lost and leave the rounded root
// (thousands of ulps for the 8-bit float cube root, a few for the double 1 / sqrt x).
#include <cmath>

#include "kernel_test_support.h"

namespace zorn_test {
namespace {

template <class T>
struct RootCase {
  const char* name;
  void (*kernel)(int32_t, const T*, T*);
  long double (*exact)(long double);
  int low_exponent, high_exponent;  // arguments 2^k (1 + j/13), k in [low, high)
};

template <class T>
void expect_within_an_ulp_with_flushing(const RootCase<T>& c) {
  TessStateGuard guard;
  _tessSetMode(TESS_MODE_HA | TESS_MODE_FLUSH_DENORMALS);
  std::vector<T> x, r;
  for (int k = c.low_exponent; k < c.high_exponent; ++k) {
    for (int j = 0; j < 13; ++j) x.push_back(std::ldexp(T(1) + T(j) / 13, k));
  }
  r.resize(x.size());
  c.kernel(static_cast<int32_t>(x.size()), x.data(), r.data());
  for (size_t i = 0; i < x.size(); ++i) {
    EXPECT_LE(ulp_error(r[i], c.exact(x[i])), 1.0) << c.name << " of " << x[i];
  }
}

long double cbrt_exact(long double x) { return std::cbrt(x); }
long double inv_cbrt_exact(long double x) { return 1 / std::cbrt(x); }
long double pow2o3_exact(long double x) { return std::cbrt(x) * std::cbrt(x); }
long double inv_sqrt_exact(long double x) { return 1 / std::sqrt(x); }

TEST(RootsWithFlushing, ResidualsStayNormalAtTheLowEndOfTheFastRanges) {
  const RootCase<float> floats[] = {
      {"sCbrt", _tesssCbrt, cbrt_exact, -126, -90},
      {"sInvCbrt", _tesssInvCbrt, inv_cbrt_exact, -126, -90},
      {"sPow2o3", _tesssPow2o3, pow2o3_exact, -126, -90},
  };
  for (const auto& c : floats) expect_within_an_ulp_with_flushing(c);
  expect_within_an_ulp_with_flushing(
      RootCase<double>{"dInvSqrt", _tessdInvSqrt, inv_sqrt_exact, -1022, -940});
}

}  // namespace
}  // namespace zorn_test
