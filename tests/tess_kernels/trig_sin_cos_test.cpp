// SinCos and SinCospi give, lane for lane and bit for bit, what the one-result kernels give
// (Sin and Cos; the HA Sinpi and Cospi), with the same reports, for whole and partial
// groups, special lanes among ordinary ones, strided calls and results over the arguments.
// d SinCos's sine comes from Cos's reduction, not Sin's: within an ulp of Sin's.
#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>
#include <vector>

#include "kernel_test_support.h"

namespace zorn_test {
namespace {

template <class T>
struct Pairing {
  void (*both)(int32_t, const T*, T*, T*);
  void (*both_strided)(int32_t, const T*, int32_t, T*, int32_t, T*, int32_t);
  void (*sine)(int32_t, const T*, T*);
  void (*cosine)(int32_t, const T*, T*);
  int64_t sine_ulps = 0;  // how far the sine may be from the one-result kernel's
};

template <class T>
std::vector<T> arguments() {
  std::mt19937 gen(5);
  std::uniform_real_distribution<double> angle(-200.0, 200.0);
  std::vector<T> x(203);
  for (T& v : x) v = static_cast<T>(angle(gen));
  const T specials[] = {std::numeric_limits<T>::infinity(), -std::numeric_limits<T>::quiet_NaN(),
                        static_cast<T>(3e30), static_cast<T>(-1e-40), T(-0.0), T(70000.5),
                        -std::numeric_limits<T>::infinity()};
  for (size_t i = 0; i < std::size(specials); ++i) x[13 + 29 * i] = specials[i];
  return x;
}

template <class T>
void expect_same_as_one_result_kernels(const Pairing<T>& p) {
  const std::vector<T> x = arguments<T>();
  const int32_t n = static_cast<int32_t>(x.size());
  std::vector<T> s(x.size()), c(x.size());
  g_reported.clear();
  p.sine(n, x.data(), s.data());
  const std::vector<Reported> sine_reports = g_reported;
  p.cosine(n, x.data(), c.data());
  const auto same = [&](const std::vector<T>& got, const std::vector<T>& want, const char* what,
                        int64_t ulps = 0) {
    int mismatches = 0;
    for (size_t i = 0; i < x.size(); ++i) {
      // Finite results of one sign are ordered as their bit patterns.
      const bool near = std::isfinite(want[i]) && std::signbit(got[i]) == std::signbit(want[i]) &&
                        std::llabs(static_cast<long long>(bits(got[i])) -
                                   static_cast<long long>(bits(want[i]))) <= ulps;
      if (bits(got[i]) != bits(want[i]) && !near && ++mismatches <= 3) {
        ADD_FAILURE() << what << " of " << x[i] << ": " << got[i] << " != " << want[i];
      }
    }
  };
  const auto same_reports = [&](const char* what) {
    ASSERT_EQ(g_reported.size(), sine_reports.size()) << what;
    for (size_t i = 0; i < sine_reports.size(); ++i) {
      EXPECT_EQ(g_reported[i].index, sine_reports[i].index) << what;
      EXPECT_EQ(g_reported[i].status, sine_reports[i].status) << what;
    }
  };

  std::vector<T> s2 = x, c2(x.size());  // the sine over the arguments
  g_reported.clear();
  p.both(n, s2.data(), s2.data(), c2.data());
  same(s2, s, "contiguous sine", p.sine_ulps);
  same(c2, c, "contiguous cosine");
  same_reports("contiguous");

  std::vector<T> xs(2 * x.size()), ss(3 * x.size()), cs(x.size());
  for (size_t i = 0; i < x.size(); ++i) xs[2 * i] = x[i];
  g_reported.clear();
  p.both_strided(n, xs.data(), 2, ss.data(), 3, cs.data(), 1);
  for (size_t i = 0; i < x.size(); ++i) s2[i] = ss[3 * i];
  same(s2, s, "strided sine", p.sine_ulps);
  same(cs, c, "strided cosine");
  same_reports("strided");
}

class SinCosKernels : public ReportingTest {};

TEST_F(SinCosKernels, GiveTheOneResultKernelsBitsAndReports) {
  expect_same_as_one_result_kernels<float>({_tesssSinCos, _tesssSinCosI, _tesssSin, _tesssCos});
  expect_same_as_one_result_kernels<double>({_tessdSinCos, _tessdSinCosI, _tessdSin, _tessdCos, 1});
  expect_same_as_one_result_kernels<float>(
      {_tesssSinCospi, _tesssSinCospiI, _tesssSinpi, _tesssCospi});
  expect_same_as_one_result_kernels<double>(
      {_tessdSinCospi, _tessdSinCospiI, _tessdSinpi, _tessdCospi});
}

}  // namespace
}  // namespace zorn_test
