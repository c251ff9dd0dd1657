// Abs, Arg (complex argument, real result) and CIS (real argument, complex result) on
// their lanes: whole groups and a tail that mix ordinary elements with those the lanes
// leave to the scalar form (infinities, NaN, signed zeros, parts beyond the fast range).
// Abs and Arg against the x87 long double functions, within an ulp, special values and
// the signs of zero exact; z CIS bit for bit against the real SinCos kernel it is built on
// (a long double cosine is no reference beyond 2^63 on every platform: 1e22), c CIS (lanes
// of its own) within an ulp of that kernel's double cosine and sine, exact where
// those are.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstring>
#include <string>
#include <vector>

#include "kernel_test_support.h"

namespace zorn_test {
namespace {

constexpr double kInf = INFINITY, kNaN = NAN;

template <class R>
void expect_close(R got, long double want, const std::string& where) {
  if (std::isnan(want) || std::isinf(want) || want == 0) {
    EXPECT_TRUE(std::isnan(want) ? std::isnan(got)
                                 : got == want && std::signbit(got) == std::signbit(want))
        << where << ": " << got << " against " << static_cast<double>(want);
    return;
  }
  EXPECT_LE(ulp_error(got, want), 1.0) << where << ": " << got;
}

// Parts: ten elements the lanes leave to the scalar form or keep.
const std::vector<std::complex<double>> kParts = {
    {3, -4},     {kInf, kNaN},  {-0.0, 0.0},  {-1, -0.0}, {kNaN, 1},
    {1e300, -1e299}, {0.75, 2.5}, {1e-310, -1e-312}, {-6, 0.125}, {-0.0, -0.0}};

template <class R>
void check_to_real(void (*abs)(int32_t, const std::complex<R>*, R*),
                   void (*arg)(int32_t, const std::complex<R>*, R*), const char* type) {
  // The parts between runs of ordinary elements longer than the contiguous blocks'
  // chunks, so that a block stops at them, off the group boundaries, and resumes.
  std::vector<std::complex<R>> z;
  const auto ordinary = [&z](int count) {
    for (int i = 0; i < count; ++i) z.emplace_back(static_cast<R>(0.37 * i - 50), static_cast<R>(7 - 0.11 * i));
  };
  ordinary(259);
  for (const auto& p : kParts) z.emplace_back(static_cast<R>(p.real()), static_cast<R>(p.imag()));
  ordinary(601);
  const int32_t n = static_cast<int32_t>(z.size());
  std::vector<R> moduli(n), angles(n);
  abs(n, z.data(), moduli.data());
  arg(n, z.data(), angles.data());
  for (int32_t i = 0; i < n; ++i) {
    const long double x = z[i].real(), y = z[i].imag();
    const std::string where = std::string(type) + " at " + std::to_string(i);
    expect_close(moduli[i], std::hypot(x, y), where + " Abs");
    expect_close(angles[i], std::atan2(y, x), where + " Arg");
  }
}

// Groups of four: one within c CIS's float path (a zero's sign, a cosine near zero, the
// path's last quarter turns), one with exceptional arguments, one beyond the float path.
const std::vector<double> kCisParts = {0.5,  -0.0, -1.5707964, 255.9, 1e22, kInf,
                                       kNaN, 0.0,  3,          -2.5,  700,  -kInf};

template <class R>
std::vector<std::complex<R>> cis_of(void (*cis)(int32_t, const R*, std::complex<R>*),
                                    const std::vector<R>& t, const char* type) {
  std::vector<std::complex<R>> r(t.size());
  cis(static_cast<int32_t>(t.size()), t.data(), r.data());
  EXPECT_TRUE(g_reported.empty()) << type << " CIS reported";
  return r;
}

void check_cis(void (*cis)(int32_t, const double*, std::complex<double>*)) {
  const std::vector<double>& t = kCisParts;
  const int32_t n = static_cast<int32_t>(t.size());
  const std::vector<std::complex<double>> r = cis_of(cis, t, "z");
  std::vector<double> sine(n), cosine(n);
  _tessdSinCos(n, t.data(), sine.data(), cosine.data());  // reports the infinities
  g_reported.clear();
  for (int32_t i = 0; i < n; ++i) {
    const std::complex<double> want(cosine[i], sine[i]);
    EXPECT_EQ(std::memcmp(&r[i], &want, sizeof want), 0)
        << "z CIS at " << i << ": " << r[i] << " against " << want;
  }
}

void check_cis(void (*cis)(int32_t, const float*, std::complex<float>*)) {
  const std::vector<float> t(kCisParts.begin(), kCisParts.end());
  const std::vector<std::complex<float>> r = cis_of(cis, t, "c");
  // The reference is the double SinCos kernel on the widened arguments: its reduction is
  // exact for every double, where a platform's cos may not be (x87 reductions at 1e22).
  const int32_t n = static_cast<int32_t>(t.size());
  const std::vector<double> wide(t.begin(), t.end());
  std::vector<double> sine(n), cosine(n);
  _tessdSinCos(n, wide.data(), sine.data(), cosine.data());  // reports the infinities
  g_reported.clear();
  for (int32_t i = 0; i < n; ++i) {
    const std::string where = "c CIS at " + std::to_string(i);
    expect_close(r[i].real(), cosine[i], where + " cosine");
    expect_close(r[i].imag(), sine[i], where + " sine");
  }
}

class ComplexRealSide : public ReportingTest {};

TEST_F(ComplexRealSide, LanesMatchTheLongDoubleFunctions) {
  check_to_real<float>(reinterpret_cast<void (*)(int32_t, const std::complex<float>*, float*)>(_tesscAbs),
                       reinterpret_cast<void (*)(int32_t, const std::complex<float>*, float*)>(_tesscArg),
                       "c");
  check_to_real<double>(reinterpret_cast<void (*)(int32_t, const std::complex<double>*, double*)>(_tesszAbs),
                        reinterpret_cast<void (*)(int32_t, const std::complex<double>*, double*)>(_tesszArg),
                        "z");
  check_cis(reinterpret_cast<void (*)(int32_t, const float*, std::complex<float>*)>(_tesscCIS));
  check_cis(reinterpret_cast<void (*)(int32_t, const double*, std::complex<double>*)>(_tesszCIS));
  EXPECT_TRUE(g_reported.empty());
}

}  // namespace
}  // namespace zorn_test
