// The double precision exponential: its callout's thresholds, statuses and subnormal
// results against long double references, the no-error mode and the report order. (Its
// fast path is pinned by output_pins_linux_test.cpp and measured by the harness.)
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "double_reference_test.h"
#include "fp_environment.h"
#include "zorn/tess_functions.h"

namespace zorn_test {
namespace {

class DoubleExp : public ::testing::Test {
 protected:
  void SetUp() override {
    g_double_reports.clear();
    g_replace_result = false;
    _tessSetErrorCallBack(record_double_report);
    _tessSetMode(TESS_ERRMODE_CALLBACK);
  }
  TessStateGuard guard_;
};

TEST_F(DoubleExp, ThresholdsGiveTheirStatusesAndCorrectResults) {
  const double top = 709.782712893384;
  const double bottom = -745.1332191019411;
  const double normal = -708.3964185322641;
  const std::vector<double> x = {
      1e-300,                        // 0: 1.0 without report
      top,                           // 1: finite
      std::nextafter(top, 1000.0),   // 2: +inf, status 3
      normal,                        // 3: the smallest normal range result, status 0
      std::nextafter(normal, -1e3),  // 4: subnormal, status 4
      bottom,                        // 5: 2^-1074, status 4
      std::nextafter(bottom, -1e3),  // 6: +0, status 4
      -INFINITY,
      INFINITY,
      NAN,     // 7-9: no reports
      709.78,  // 10: k div 64 = 1024
      -1e-17,
      0x1p-53,  // 11-12: below 2^-52
  };
  std::vector<double> r(x.size());
  _tessdExp(static_cast<int32_t>(x.size()), x.data(), r.data());
  EXPECT_EQ(r[0], 1.0);
  EXPECT_TRUE(std::isfinite(r[1]));
  EXPECT_EQ(r[2], INFINITY);
  EXPECT_GE(r[3], 0x1p-1022);
  EXPECT_LT(r[4], 0x1p-1022);
  EXPECT_EQ(r[5], 0x1p-1074);
  EXPECT_EQ(r[6], 0.0);
  EXPECT_EQ(r[7], 0.0);
  EXPECT_EQ(r[8], INFINITY);
  EXPECT_TRUE(std::isnan(r[9]));
  for (size_t i : {1u, 3u, 4u, 10u, 11u, 12u}) {
    EXPECT_LE(ulp_error(r[i], std::exp(static_cast<long double>(x[i]))), 0.51) << x[i];
  }
  ASSERT_EQ(g_double_reports.size(), 4u);
  const Reported want[] = {{2, TESS_STATUS_OVERFLOW},
                           {4, TESS_STATUS_UNDERFLOW},
                           {5, TESS_STATUS_UNDERFLOW},
                           {6, TESS_STATUS_UNDERFLOW}};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(g_double_reports[i].index, want[i].index);
    EXPECT_EQ(g_double_reports[i].status, want[i].status);
  }
}

// Subnormal results come from one rounding of the callout's value: wherever the exact
// e^x is not within 1/50 ulp of a midpoint, the result is the correctly rounded one.
TEST_F(DoubleExp, SubnormalResultsAreRoundedOnce) {
  const std::vector<double> x =
      uniform_arguments(100000, -745.1332191019411, -708.3964185322641, 21);
  std::vector<double> r(x.size());
  _tessSetMode(TESS_ERRMODE_NOERR);
  _tessdExp(static_cast<int32_t>(x.size()), x.data(), r.data());
  int wrong = 0, checked = 0;
  for (size_t i = 0; i < x.size(); ++i) {
    const long double want = std::exp(static_cast<long double>(x[i]));
    EXPECT_LE(ulp_error(r[i], want), 0.51) << std::hexfloat << x[i];
    if (distance_to_midpoint(want) < 0.02) continue;
    ++checked;
    if (r[i] != static_cast<double>(want) && ++wrong <= 5) {
      ADD_FAILURE() << std::hexfloat << "exp(" << x[i] << ") = " << r[i] << ", want "
                    << static_cast<double>(want);
    }
  }
  EXPECT_GT(checked, 90000);
  EXPECT_EQ(wrong, 0);
}

TEST_F(DoubleExp, NoErrorModeResolvesOverflowAndUnderflowInline) {
  _tessSetMode(TESS_ERRMODE_NOERR);
  const double x[] = {1000.0, -1000.0, 1.0, 710.0, -746.0};
  double r[5];
  _tessdExp(5, x, r);
  EXPECT_EQ(r[0], INFINITY);
  EXPECT_EQ(r[1], 0.0);
  EXPECT_EQ(r[3], INFINITY);
  EXPECT_EQ(r[4], 0.0);
  EXPECT_TRUE(g_double_reports.empty());
  EXPECT_EQ(_tessGetErrStatus(), 0);
}

// Reports follow lane order inside a group and across the remainder; the callback's
// result is what the kernel stores, also mid-group; nothing beyond n is written.
TEST_F(DoubleExp, ReportsInLaneOrderAndKeepsTheCallbacksResult) {
  g_replace_result = true;
  const double x[] = {1.0, 800.0, -800.0, 2.0, 0.5, 900.0, -1e4};
  double r[8];
  r[7] = -7.0;
  _tessdExp(7, x, r);
  ASSERT_EQ(g_double_reports.size(), 4u);
  const int32_t order[] = {1, 2, 5, 6};
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(g_double_reports[i].index, order[i]);
  for (int i : {1, 2, 5, 6}) EXPECT_EQ(r[i], kReplacement);
  EXPECT_LE(ulp_error(r[0], std::exp(1.0L)), 0.6);
  EXPECT_LE(ulp_error(r[4], std::exp(0.5L)), 0.6);
  EXPECT_EQ(r[7], -7.0);

  g_double_reports.clear();
  double strided_r[14];
  _tessdExpI(7, x, 1, strided_r, 2);
  ASSERT_EQ(g_double_reports.size(), 4u);
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(g_double_reports[i].index, order[i]);
  for (int i = 0; i < 7; ++i) EXPECT_EQ(bits_of(strided_r[2 * i]), bits_of(r[i]));
}

}  // namespace
}  // namespace zorn_test
