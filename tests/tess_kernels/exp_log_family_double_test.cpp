// The double precision logarithms, Exp2, Exp10, Expm1 and Logb: accuracy against long
// double references over dense sweeps of their hard regions, statuses and special values,
// and exact cases that follow from the definitions.
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
using StridedKernel = void (*)(int32_t, const double*, int32_t, double*, int32_t);
using Reference = long double (*)(long double);

struct Function {
  const char* name;
  Kernel kernel;
  StridedKernel strided;
  Reference reference;
};

long double exp10_reference(long double x) { return ::exp10l(x); }
long double ln_reference(long double x) { return std::log(x); }
long double log2_reference(long double x) { return std::log2(x); }
long double log10_reference(long double x) { return std::log10(x); }
long double log1p_reference(long double x) { return std::log1p(x); }
long double exp_reference(long double x) { return std::exp(x); }
long double exp2_reference(long double x) { return std::exp2(x); }
long double expm1_reference(long double x) { return std::expm1(x); }

const Function kLn{"Ln", _tessdLn, _tessdLnI, ln_reference};
const Function kLog2{"Log2", _tessdLog2, _tessdLog2I, log2_reference};
const Function kLog10{"Log10", _tessdLog10, _tessdLog10I, log10_reference};
const Function kLog1p{"Log1p", _tessdLog1p, _tessdLog1pI, log1p_reference};
const Function kExp{"Exp", _tessdExp, _tessdExpI, exp_reference};
const Function kExp2{"Exp2", _tessdExp2, _tessdExp2I, exp2_reference};
const Function kExp10{"Exp10", _tessdExp10, _tessdExp10I, exp10_reference};
const Function kLogb{"Logb", _tessdLogb, _tessdLogbI, nullptr};  // checked exactly
const Function kExpm1{"Expm1", _tessdExpm1, _tessdExpm1I, expm1_reference};

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

  // The largest error over x, checked once contiguous and once strided (the strided
  // results must be the contiguous ones, bit for bit).
  static double max_error(const Function& f, const std::vector<double>& x) {
    std::vector<double> r(x.size()), s(3 * x.size());
    f.kernel(static_cast<int32_t>(x.size()), x.data(), r.data());
    f.strided(static_cast<int32_t>(x.size()), x.data(), 1, s.data(), 3);
    double worst = 0;
    double worst_x = 0;
    for (size_t i = 0; i < x.size(); ++i) {
      EXPECT_EQ(bits_of(s[3 * i]), bits_of(r[i])) << f.name << " strided at " << x[i];
      const double e = ulp_error(r[i], f.reference(x[i]));
      if (e > worst) {
        worst = e;
        worst_x = x[i];
      }
    }
    std::printf("  %-6s max %.3f ulp at %a over %zu arguments\n", f.name, worst, worst_x, x.size());
    return worst;
  }

  TessStateGuard guard_;
};

std::vector<double> join(std::initializer_list<std::vector<double>> parts) {
  std::vector<double> all;
  for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

// Consecutive doubles on both sides of v.
std::vector<double> neighbours(double v, int count) {
  std::vector<double> x;
  double up = v, down = v;
  for (int i = 0; i < count; ++i) {
    x.push_back(up = std::nextafter(up, INFINITY));
    x.push_back(down = std::nextafter(down, -INFINITY));
  }
  return x;
}

std::vector<double> logarithm_sweep() {
  return join({
      log_uniform_arguments(200000, -1074, 1024, false, 1),  // subnormals to the largest
      uniform_arguments(200000, 0.5, 2.0, 2),
      uniform_arguments(100000, 1.0 - 0x1p-6, 1.0 + 0x1p-6, 3),  // near 1
      neighbours(1.0, 5000),
      neighbours(0x1p-1022, 100),
      {std::numeric_limits<double>::max(), std::numeric_limits<double>::denorm_min()},
  });
}

TEST_F(DoubleFamily, LogarithmsStayWithinTheirBound) {
  const std::vector<double> x = logarithm_sweep();
  for (const Function* f : {&kLn, &kLog2, &kLog10}) EXPECT_LE(max_error(*f, x), kMaxUlp) << f->name;
}

TEST_F(DoubleFamily, Log1pStaysWithinItsBound) {
  std::vector<double> near_minus_one;
  for (int k = 1; k <= 53; ++k) {
    for (double d : {-1.0, 0.25, 0.5})
      near_minus_one.push_back(-1.0 + std::ldexp(1.0 + d * 0.5, -k));
  }
  const std::vector<double> x = join({
      log_uniform_arguments(200000, -1074, 1024, false, 4),
      log_uniform_arguments(200000, -60, 0, true, 5),  // small of either sign
      uniform_arguments(200000, -1.0, 1.0, 6),
      near_minus_one,
      neighbours(0.0, 100),
      neighbours(-0.5, 100),
  });
  EXPECT_LE(max_error(kLog1p, x), kMaxUlp);
}

TEST_F(DoubleFamily, ExponentialsStayWithinTheirBound) {
  const std::vector<double> exp_x = join({
      uniform_arguments(300000, -745.2, 709.8, 17),
      uniform_arguments(100000, -1.0, 1.0, 18),
      log_uniform_arguments(50000, -70, 0, true, 19),
  });
  EXPECT_LE(max_error(kExp, exp_x), kMaxUlp);
  const std::vector<double> exp2_x = join({
      uniform_arguments(300000, -1075.0, 1024.0, 7),
      uniform_arguments(100000, -1.0, 1.0, 8),
      log_uniform_arguments(50000, -70, 0, true, 9),
  });
  EXPECT_LE(max_error(kExp2, exp2_x), kMaxUlp);
  const std::vector<double> exp10_x = join({
      uniform_arguments(300000, -323.6, 308.25, 10),
      uniform_arguments(100000, -1.0, 1.0, 11),
      log_uniform_arguments(50000, -70, 0, true, 12),
  });
  EXPECT_LE(max_error(kExp10, exp10_x), kMaxUlp);
}

TEST_F(DoubleFamily, Expm1StaysWithinItsBound) {
  const std::vector<double> x = join({
      uniform_arguments(200000, -40.0, 709.78, 13),
      uniform_arguments(200000, -1.0, 1.0, 14),
      log_uniform_arguments(200000, -1074, 3, true, 15),
      neighbours(0.0, 100),
  });
  EXPECT_LE(max_error(kExpm1, x), kMaxUlp);
}

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
