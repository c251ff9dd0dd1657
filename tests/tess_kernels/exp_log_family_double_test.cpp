// The double precision logarithms, Exp2, Exp10, Expm1 and Logb: statuses and special
// values, and exact cases that follow from the definitions. (Their accuracy is measured
// by the harness, whose catalogue holds their hard regions.)
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "double_reference_test.h"
#include "fp_environment.h"
#include "zorn/tess_functions.h"

namespace zorn_test {
namespace {

using Kernel = void (*)(int32_t, const double*, double*);

struct Function {
  const char* name;
  Kernel kernel;
};

const Function kLn{"Ln", _tessdLn};
const Function kLog2{"Log2", _tessdLog2};
const Function kLog10{"Log10", _tessdLog10};
const Function kLog1p{"Log1p", _tessdLog1p};
const Function kExp{"Exp", _tessdExp};
const Function kExp2{"Exp2", _tessdExp2};
const Function kExp10{"Exp10", _tessdExp10};
const Function kLogb{"Logb", _tessdLogb};
const Function kExpm1{"Expm1", _tessdExpm1};

// The bound every function of the family meets; the design aims at about 0.5.
constexpr double kMaxUlp = 0.6;

class DoubleFamily : public ::testing::Test {
 protected:
  void SetUp() override {
    g_double_reports.clear();
    g_replace_result = false;
    _tessSetErrorCallBack(record_double_report);
    _tessSetMode(TESS_ERRMODE_NOERR);
  }

  TessStateGuard guard_;
};

struct Case {
  double x;
  double want;  // compared bit for bit, NaNs as NaNs
  int32_t status;
};

void expect_cases(const Function& f, const std::vector<Case>& cases) {
  g_double_reports.clear();
  _tessSetMode(TESS_ERRMODE_CALLBACK);
  std::vector<double> x, r(cases.size());
  for (const Case& c : cases) x.push_back(c.x);
  f.kernel(static_cast<int32_t>(x.size()), x.data(), r.data());
  std::vector<Reported> want_reports;
  for (size_t i = 0; i < cases.size(); ++i) {
    if (std::isnan(cases[i].want)) {
      EXPECT_TRUE(std::isnan(r[i])) << f.name << "(" << x[i] << ") = " << r[i];
    } else {
      EXPECT_EQ(bits_of(r[i]), bits_of(cases[i].want))
          << f.name << "(" << x[i] << ") = " << r[i] << ", want " << cases[i].want;
    }
    if (cases[i].status != 0) want_reports.push_back({static_cast<int32_t>(i), cases[i].status});
  }
  ASSERT_EQ(g_double_reports.size(), want_reports.size()) << f.name;
  for (size_t i = 0; i < want_reports.size(); ++i) {
    EXPECT_EQ(g_double_reports[i].index, want_reports[i].index) << f.name;
    EXPECT_EQ(g_double_reports[i].status, want_reports[i].status) << f.name;
  }
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = INFINITY;

TEST_F(DoubleFamily, LogarithmStatusesAndSpecialValues) {
  for (const Function* f : {&kLn, &kLog2, &kLog10}) {
    expect_cases(*f, {{1.0, 0.0, 0},
                      {-1.0, kNaN, TESS_STATUS_DOMAIN},
                      {-kInf, kNaN, TESS_STATUS_DOMAIN},
                      {0.0, -kInf, TESS_STATUS_SINGULARITY},
                      {-0.0, -kInf, TESS_STATUS_SINGULARITY},
                      {kInf, kInf, 0},
                      {kNaN, kNaN, 0},
                      {-0x1p-1074, kNaN, TESS_STATUS_DOMAIN}});
  }
  expect_cases(kLog1p, {{0.0, 0.0, 0},
                        {-0.0, -0.0, 0},
                        {-1.0, -kInf, TESS_STATUS_SINGULARITY},
                        {-2.0, kNaN, TESS_STATUS_DOMAIN},
                        {-kInf, kNaN, TESS_STATUS_DOMAIN},
                        {kInf, kInf, 0},
                        {kNaN, kNaN, 0},
                        {0x1p-1074, 0x1p-1074, 0}});
}

TEST_F(DoubleFamily, ExponentialStatusesAndThresholds) {
  expect_cases(kExp2, {{1024.0, kInf, TESS_STATUS_OVERFLOW},
                       {1023.5, 0x1.6a09e667f3bcdp1023, 0},  // 2^1023 sqrt(2)
                       {-1022.0, 0x1p-1022, 0},
                       {-1023.0, 0x1p-1023, TESS_STATUS_UNDERFLOW},
                       {-1074.0, 0x1p-1074, TESS_STATUS_UNDERFLOW},
                       {-1075.0, 0.0, TESS_STATUS_UNDERFLOW},
                       {-kInf, 0.0, 0},
                       {kInf, kInf, 0},
                       {kNaN, kNaN, 0},
                       {10.0, 1024.0, 0},
                       {0x1p-1074, 1.0, 0}});
  expect_cases(kExp10, {{308.0, 1e308, 0},
                        {std::nextafter(308.2547155599167, kInf), kInf, TESS_STATUS_OVERFLOW},
                        {-307.0, 1e-307, 0},
                        {-308.0, 1e-308, TESS_STATUS_UNDERFLOW},
                        {-323.60724533877976, 0x1p-1074, TESS_STATUS_UNDERFLOW},
                        {-324.0, 0.0, TESS_STATUS_UNDERFLOW},
                        {-kInf, 0.0, 0},
                        {kInf, kInf, 0},
                        {kNaN, kNaN, 0},
                        {3.0, 1000.0, 0},
                        {22.0, 1e22, 0}});
}

TEST_F(DoubleFamily, Expm1StatusesAndSpecialValues) {
  expect_cases(kExpm1, {{710.0, kInf, TESS_STATUS_OVERFLOW},
                        {-kInf, -1.0, 0},
                        {kInf, kInf, 0},
                        {kNaN, kNaN, 0},
                        {-0.0, -0.0, 0},
                        {0x1p-1074, 0x1p-1074, 0},
                        {-800.0, -1.0, 0},
                        {-40.0, -1.0, 0},                         // e^-40 < 2^-54
                        {-37.0, std::nextafter(-1.0, 0.0), 0}});  // e^-37 > 2^-54
}

TEST_F(DoubleFamily, LogbGivesTheUnbiasedExponent) {
  expect_cases(kLogb, {{0.75, -1.0, 0},
                       {-0.75, -1.0, 0},
                       {1e-310, -1030.0, 0},
                       {0x1p-1074, -1074.0, 0},
                       {-0x1.8p-1070, -1070.0, 0},
                       {0.0, -kInf, TESS_STATUS_DOMAIN},
                       {-0.0, -kInf, TESS_STATUS_DOMAIN},
                       {-kInf, kInf, 0},
                       {kNaN, kNaN, 0},
                       {std::numeric_limits<double>::max(), 1023.0, 0}});
  const std::vector<double> x = log_uniform_arguments(100000, -1074, 1024, true, 16);
  std::vector<double> r(x.size());
  _tessdLogb(static_cast<int32_t>(x.size()), x.data(), r.data());
  for (size_t i = 0; i < x.size(); ++i) ASSERT_EQ(r[i], std::ilogb(x[i])) << x[i];
}

// Powers of two have exact base 2 logarithms; e^0 pieces and ln 1 are exact zeros.
TEST_F(DoubleFamily, ExactCases) {
  std::vector<double> x;
  for (int k = -1074; k <= 1023; ++k) x.push_back(std::ldexp(1.0, k));
  std::vector<double> r(x.size());
  _tessdLog2(static_cast<int32_t>(x.size()), x.data(), r.data());
  for (size_t i = 0; i < x.size(); ++i) EXPECT_EQ(r[i], std::ilogb(x[i])) << x[i];
  for (int k = -1074; k <= 1023; k += 7) {
    const double e = k;
    double y;
    _tessdExp2(1, &e, &y);
    EXPECT_EQ(y, std::ldexp(1.0, k));
  }
}

// With the denormal field at flush, a subnormal argument reads as zero.
TEST_F(DoubleFamily, DenormalsAreZeroMakeSubnormalLogarithmsPoles) {
  _tessSetMode(TESS_ERRMODE_CALLBACK | TESS_MODE_FLUSH_DENORMALS);
  const double x[] = {1e-310, 2.0};
  double r[2];
  _tessdLn(2, x, r);
  EXPECT_EQ(r[0], -kInf);
  ASSERT_EQ(g_double_reports.size(), 1u);
  EXPECT_EQ(g_double_reports[0].status, TESS_STATUS_SINGULARITY);
  _tessSetMode(TESS_ERRMODE_CALLBACK | 0x140000u);
  _tessdLn(2, x, r);
  EXPECT_LE(ulp_error(r[0], std::log(1e-310L)), kMaxUlp);
}

}  // namespace
}  // namespace zorn_test
