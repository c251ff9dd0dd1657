// The exponentials and logarithms of both precisions: one table of thresholds, special
// values and statuses; exact cases; the no-error mode; the loop's layouts (strided, in
// place, remainders, the callback's results); and, where no MPFR harness runs, the single
// precision kernels and callouts against extended precision over dense sweeps.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "kernel_test_support.h"
#include "tess_kernels/exp_log/single_ops.h"

namespace zorn_test {
namespace {

template <class T>
using Kernel = void (*)(int32_t, const T*, T*);
template <class T>
using StridedKernel = void (*)(int32_t, const T*, int32_t, T*, int32_t);

struct Function {
  const char* name;
  Kernel<float> s;
  StridedKernel<float> s_strided;
  Kernel<double> d;
  StridedKernel<double> d_strided;
  long double (*reference)(long double);
  template <class T>
  Kernel<T> kernel() const {
    if constexpr (sizeof(T) == 4) return s; else return d;
  }
  template <class T>
  StridedKernel<T> strided() const {
    if constexpr (sizeof(T) == 4) return s_strided; else return d_strided;
  }
};

#define EXP_LOG_FUNCTION(F, reference) \
  {#F, _tesss##F, _tesss##F##I, _tessd##F, _tessd##F##I, reference}
const Function kFunctions[] = {
    EXP_LOG_FUNCTION(Exp, [](long double x) { return std::exp(x); }),
    EXP_LOG_FUNCTION(Exp2, [](long double x) { return std::exp2(x); }),
    EXP_LOG_FUNCTION(Exp10, [](long double x) { return std::pow(10.0L, x); }),
    EXP_LOG_FUNCTION(Expm1, [](long double x) { return std::expm1(x); }),
    EXP_LOG_FUNCTION(Ln, [](long double x) { return std::log(x); }),
    EXP_LOG_FUNCTION(Log2, [](long double x) { return std::log2(x); }),
    EXP_LOG_FUNCTION(Log10, [](long double x) { return std::log10(x); }),
    EXP_LOG_FUNCTION(Log1p, [](long double x) { return std::log1p(x); }),
    EXP_LOG_FUNCTION(Logb, [](long double x) { return std::logb(x); }),
};
#undef EXP_LOG_FUNCTION

const Function& function(const std::string& name) {
  for (const Function& f : kFunctions)
    if (name == f.name) return f;
  ADD_FAILURE() << "no function " << name;
  return kFunctions[0];
}

template <class T>
constexpr char kLetter = sizeof(T) == 4 ? 's' : 'd';
template <class T>
constexpr T kInfT = std::numeric_limits<T>::infinity();

constexpr long double kInf = INFINITY;
constexpr long double kNaN = NAN;                   // any NaN
constexpr long double kDefaultNaN = -0x1p15000L;    // the default quiet NaN, bit for bit
constexpr long double kRounded = -0x1p16000L;       // the reference, to half an ulp
constexpr uint32_t kFlush = TESS_MODE_FLUSH_DENORMALS;

struct Case {
  const char* functions;  // separated by spaces
  const char* types;
  long double x;
  long double want;
  int32_t status;
  uint32_t denormals = 0x140000;  // kept
};

const Case kCases[] = {
    {"Ln Log2 Log10", "sd", 1.0, 0.0, 0},
    {"Ln Log2 Log10", "sd", -1.0, kNaN, 1},
    {"Ln Log2 Log10", "sd", -kInf, kNaN, 1},
    {"Ln Log2 Log10", "sd", 0.0, -kInf, 2},
    {"Ln Log2 Log10", "sd", -0.0, -kInf, 2},
    {"Ln Log2 Log10", "sd", kInf, kInf, 0},
    {"Ln Log2 Log10", "sd", kNaN, kNaN, 0},
    {"Ln Log2 Log10", "d", -0x1p-1074, kNaN, 1},
    {"Ln", "s", -1.0, kDefaultNaN, 1},
    {"Ln", "s", -kInf, kDefaultNaN, 1},
    {"Ln", "s", 0x1p-149, kRounded, 0},
    {"Ln", "d", 1e-310, kRounded, 0},
    // Under denormals-are-zero a subnormal is a zero: a pole, whatever its sign.
    {"Ln", "s", 0x1p-149, -kInf, 2, kFlush},
    {"Ln", "s", -1e-40f, -kInf, 2, kFlush},
    {"Ln", "s", 1e-39f, -kInf, 2, kFlush},
    {"Ln", "d", 1e-310, -kInf, 2, kFlush},
    {"Log2", "sd", 8.0, 3.0, 0},
    {"Log10", "sd", 1000.0, 3.0, 0},
    {"Log10", "s", 1e-30f, kRounded, 0},
    {"Log10", "s", -2.0, kNaN, 1},
    {"Log1p", "sd", 0.0, 0.0, 0},
    {"Log1p", "sd", -0.0, -0.0, 0},
    {"Log1p", "sd", 1e-30f, 1e-30f, 0},
    {"Log1p", "sd", 0x1p-149, 0x1p-149, 0},
    {"Log1p", "d", 0x1p-1074, 0x1p-1074, 0},
    {"Log1p", "sd", kInf, kInf, 0},
    {"Log1p", "sd", kNaN, kNaN, 0},
    {"Log1p", "s", 1.0, kRounded, 0},
    {"Log1p", "d", -1.0, -kInf, 2},
    {"Log1p", "d", -2.0, kNaN, 1},
    {"Log1p", "d", -kInf, kNaN, 1},
    {"Log1p", "s", -1.0, -kInf, 0},
    {"Log1p", "s", -2.0, kNaN, 0},
    {"Log1p", "s", -kInf, kNaN, 0},
    {"Logb", "sd", 0.75, -1.0, 0},
    {"Logb", "sd", -0.75, -1.0, 0},
    {"Logb", "sd", -8.0, 3.0, 0},
    {"Logb", "sd", 0.0, -kInf, 1},
    {"Logb", "sd", -0.0, -kInf, 1},
    {"Logb", "sd", -kInf, kInf, 0},
    {"Logb", "sd", kNaN, kNaN, 0},
    {"Logb", "s", 1e-40f, -133.0, 0},
    {"Logb", "s", 1e-40f, -kInf, 1, kFlush},
    {"Logb", "s", -0x1p-149, -149.0, 0},
    {"Logb", "s", 3.4e38f, 127.0, 0},
    {"Logb", "d", 1e-310, -1030.0, 0},
    {"Logb", "d", 0x1p-1074, -1074.0, 0},
    {"Logb", "d", -0x1.8p-1070, -1070.0, 0},
    {"Logb", "d", 0x1.fffffffffffffp1023, 1023.0, 0},
    {"Exp Exp2 Exp10", "sd", -kInf, 0.0, 0},
    {"Exp Exp2 Exp10 Expm1", "sd", kInf, kInf, 0},
    {"Exp Exp2 Exp10 Expm1", "sd", kNaN, kNaN, 0},
    {"Exp", "sd", 1000.0, kInf, 3},
    {"Exp", "sd", -1e4, 0.0, 4},
    {"Exp", "s", 1e-30f, 1.0, 0},
    {"Exp", "s", 88.72283f, kRounded, 0},
    {"Exp", "s", std::nextafter(88.72283f, 100.0f), kInf, 3},
    {"Exp", "s", -87.33654f, kRounded, 0},  // the smallest normal range result
    {"Exp", "s", -100.0, kRounded, 4},
    {"Exp", "s", -103.97208f, 0x1p-149, 4},  // just above 2^-150: rounds up
    {"Exp", "s", std::nextafter(-103.97208f, -200.0f), 0.0, 4},
    {"Exp", "d", 1e-300, 1.0, 0},
    {"Exp", "d", 0x1p-53, kRounded, 0},
    {"Exp", "d", -1e-17, kRounded, 0},
    {"Exp", "d", 709.78, kRounded, 0},  // k div 64 = 1024
    {"Exp", "d", 709.782712893384, kRounded, 0},
    {"Exp", "d", std::nextafter(709.782712893384, 1e3), kInf, 3},
    {"Exp", "d", -708.3964185322641, kRounded, 0},
    {"Exp", "d", std::nextafter(-708.3964185322641, -1e3), kRounded, 4},
    {"Exp", "d", -745.1332191019411, 0x1p-1074, 4},
    {"Exp", "d", std::nextafter(-745.1332191019411, -1e3), 0.0, 4},
    {"Exp2", "sd", 10.0, 1024.0, 0},
    {"Exp2", "s", -126.0, 0x1p-126, 0},
    {"Exp2", "s", -140.0, 0x1p-140, 4},
    {"Exp2", "s", -149.0, 0x1p-149, 4},
    {"Exp2", "s", -150.0, 0.0, 4},
    {"Exp2", "s", 128.0, kInf, 3},
    {"Exp2", "s", std::nextafter(128.0f, 0.0f), kRounded, 0},
    // The top arguments whose 128 x rounds to 128 * 128 leave the fast path.
    {"Exp2", "s", 127.99609375f, kRounded, 0},
    {"Exp2", "s", std::nextafter(127.99609375f, 0.0f), kRounded, 0},
    {"Exp2", "d", 1024.0, kInf, 3},
    {"Exp2", "d", 1023.5, 0x1.6a09e667f3bcdp1023, 0},  // 2^1023 sqrt(2)
    {"Exp2", "d", -1022.0, 0x1p-1022, 0},
    {"Exp2", "d", -1023.0, 0x1p-1023, 4},
    {"Exp2", "d", -1074.0, 0x1p-1074, 4},
    {"Exp2", "d", -1075.0, 0.0, 4},
    {"Exp2", "d", 0x1p-1074, 1.0, 0},
    {"Exp10", "s", 2.0, 100.0, 0},
    {"Exp10", "s", -1.0, 0.1L, 0},
    // 10^38.53184 lies above the largest float; the float below it does not.
    {"Exp10", "s", 38.53184f, kInf, 3},
    {"Exp10", "s", 38.531837f, kRounded, 0},
    {"Exp10", "s", -37.929783f, kRounded, 4},
    {"Exp10", "s", std::nextafter(-37.929783f, 0.0f), kRounded, 0},
    {"Exp10", "s", -45.1545f, 0x1p-149, 4},
    {"Exp10", "s", std::nextafter(-45.1545f, -50.0f), 0.0, 4},
    {"Exp10", "d", 3.0, 1000.0, 0},
    {"Exp10", "d", 22.0, 1e22L, 0},
    {"Exp10", "d", 308.0, 1e308L, 0},
    {"Exp10", "d", std::nextafter(308.2547155599167, 1e3), kInf, 3},
    {"Exp10", "d", -307.0, 1e-307L, 0},
    {"Exp10", "d", -308.0, 1e-308L, 4},
    {"Exp10", "d", -323.60724533877976, 0x1p-1074, 4},
    {"Exp10", "d", -324.0, 0.0, 4},
    {"Expm1", "sd", -0.0, -0.0, 0},
    {"Expm1", "sd", 1e-30f, 1e-30f, 0},
    {"Expm1", "sd", -0x1p-149, -0x1p-149, 0},
    {"Expm1", "sd", -200.0, -1.0, 0},
    {"Expm1", "sd", -kInf, -1.0, 0},
    {"Expm1", "s", 88.72283f, kRounded, 0},
    {"Expm1", "s", std::nextafter(88.72283f, 100.0f), kInf, 3},
    {"Expm1", "d", 710.0, kInf, 3},
    {"Expm1", "d", 0x1p-1074, 0x1p-1074, 0},
    {"Expm1", "d", -40.0, -1.0, 0},                         // e^-40 < 2^-54
    {"Expm1", "d", -37.0, -0x1.fffffffffffffp-1, 0},        // e^-37 > 2^-54
};

template <class T>
class ExpLogFamily : public ReportingTest {};
class ExpLogAccuracy : public ReportingTest {};
using Precisions = ::testing::Types<float, double>;
TYPED_TEST_SUITE(ExpLogFamily, Precisions);

// Each row's argument sits in a full group with ordinary neighbours, as lane 2.
TYPED_TEST(ExpLogFamily, ThresholdsSpecialValuesAndStatuses) {
  using T = TypeParam;
  for (const Case& c : kCases) {
    if (!std::strchr(c.types, kLetter<T>)) continue;
    std::istringstream names(c.functions);
    for (std::string name; names >> name;) {
      const Function& f = function(name);
      const T x[] = {T(0.5), T(1.5), static_cast<T>(c.x), T(2), T(0.25)};
      if (!std::isnan(c.x)) {
        ASSERT_EQ(static_cast<long double>(x[2]), c.x) << static_cast<double>(c.x);
      }
      T r[5];
      g_reported.clear();
      _tessSetMode(c.denormals);
      f.kernel<T>()(5, x, r);
      _tessSetMode(0x140000);
      std::ostringstream what;
      what << kLetter<T> << name << "(" << std::hexfloat << x[2] << ") = " << r[2];
      if (c.want == kRounded) {
        EXPECT_LE(ulp_error(r[2], f.reference(x[2])), 0.51) << what.str();
      } else if (c.want == kDefaultNaN) {
        EXPECT_EQ(bits(r[2]), bits(std::numeric_limits<T>::quiet_NaN())) << what.str();
      } else if (std::isnan(c.want)) {
        EXPECT_TRUE(std::isnan(r[2])) << what.str();
      } else {
        EXPECT_EQ(bits(r[2]), bits(static_cast<T>(c.want))) << what.str();
      }
      if (c.status == 0) {
        EXPECT_TRUE(g_reported.empty()) << what.str();
      } else {
        ASSERT_EQ(g_reported.size(), 1u) << what.str();
        EXPECT_EQ(g_reported[0].index, 2) << what.str();
        EXPECT_EQ(g_reported[0].status, c.status) << what.str();
      }
    }
  }
}

// Powers of two have exact base 2 logarithms and exponents; Exp2 of an integer is exact.
TYPED_TEST(ExpLogFamily, ExactCases) {
  using T = TypeParam;
  constexpr int lo = std::numeric_limits<T>::min_exponent - std::numeric_limits<T>::digits;
  constexpr int hi = std::numeric_limits<T>::max_exponent - 1;
  std::vector<T> x, k;
  for (int e = lo; e <= hi; ++e) x.push_back(std::ldexp(T(1), e)), k.push_back(T(e));
  std::vector<T> log2(x.size()), logb(x.size()), exp2(x.size());
  const auto n = static_cast<int32_t>(x.size());
  function("Log2").kernel<T>()(n, x.data(), log2.data());
  function("Logb").kernel<T>()(n, x.data(), logb.data());
  function("Exp2").kernel<T>()(n, k.data(), exp2.data());
  for (size_t i = 0; i < x.size(); ++i) {
    ASSERT_EQ(log2[i], k[i]);
    ASSERT_EQ(logb[i], k[i]);
    ASSERT_EQ(exp2[i], x[i]);
  }
  std::mt19937_64 gen(16);  // Logb is the exponent of every finite nonzero argument
  std::uniform_real_distribution<double> exponent(lo, hi + 0.99);
  std::vector<T> y(100000), r(y.size());
  for (T& v : y) v = static_cast<T>((gen() & 1 ? -1 : 1) * std::exp2(exponent(gen)));
  function("Logb").kernel<T>()(static_cast<int32_t>(y.size()), y.data(), r.data());
  for (size_t i = 0; i < y.size(); ++i) ASSERT_EQ(r[i], std::ilogb(y[i])) << y[i];
}

TYPED_TEST(ExpLogFamily, NoErrorModeResolvesOverflowAndUnderflowInline) {
  using T = TypeParam;
  _tessSetMode(TESS_ERRMODE_NOERR);
  const T subnormal_result = sizeof(T) == 4 ? T(-100) : T(-740);
  const T x[] = {1000, -1000, 1, 710, -746, subnormal_result};
  T r[6];
  function("Exp").kernel<T>()(6, x, r);
  EXPECT_EQ(r[0], kInfT<T>);
  EXPECT_EQ(r[1], T(0));
  EXPECT_EQ(r[3], kInfT<T>);
  EXPECT_EQ(r[4], T(0));
  EXPECT_LE(ulp_error(r[5], std::exp(static_cast<long double>(x[5]))), 0.51);  // the callout
  EXPECT_TRUE(g_reported.empty());
  EXPECT_EQ(_tessGetErrStatus(), 0);
}

// Reports follow lane order inside a group and across the remainder; the callback's
// result is what the kernel stores, also mid-group and through the strided entry;
// nothing beyond n is written.
TYPED_TEST(ExpLogFamily, ReportsInLaneOrderAndKeepsTheCallbacksResult) {
  using T = TypeParam;
  g_replace_result = true;
  const Function& exp = function("Exp");
  const T x[] = {1, 800, -800, 2, 0.5, 900, -1e4};
  T r[8];
  r[7] = -7;
  exp.kernel<T>()(7, x, r);
  const int32_t order[] = {1, 2, 5, 6};
  ASSERT_EQ(g_reported.size(), 4u);
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(g_reported[i].index, order[i]);
  for (int i : order) EXPECT_EQ(r[i], T(kReplacement));
  EXPECT_LE(ulp_error(r[0], std::exp(1.0L)), 0.6);
  EXPECT_LE(ulp_error(r[4], std::exp(0.5L)), 0.6);
  EXPECT_EQ(r[7], T(-7));

  g_reported.clear();
  T strided_r[14];
  exp.strided<T>()(7, x, 1, strided_r, 2);
  ASSERT_EQ(g_reported.size(), 4u);
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(g_reported[i].index, order[i]);
  for (int i = 0; i < 7; ++i) EXPECT_EQ(bits(strided_r[2 * i]), bits(r[i]));
}

// A third of the arguments lie near 0, where kernels may switch forms, and a call one
// element on gives every lane other neighbours: a lane's bits never depend on them.
TYPED_TEST(ExpLogFamily, StridedAndInPlaceAndShiftedCallsGiveTheContiguousResults) {
  using T = TypeParam;
  std::mt19937 gen(99);
  std::uniform_real_distribution<T> wide(-200, 200), near_zero(-0.3, 0.3);
  std::vector<T> x(203);
  for (size_t i = 0; i < x.size(); ++i) x[i] = i % 3 == 0 ? near_zero(gen) : wide(gen);
  for (const T s : {T(0), T(-0.0), kInfT<T>, -kInfT<T>, std::numeric_limits<T>::quiet_NaN(),
                    std::numeric_limits<T>::denorm_min(), T(-1), T(1)}) {
    x[gen() % x.size()] = s;
  }
  const int32_t n = static_cast<int32_t>(x.size());
  for (const Function& f : kFunctions) {
    std::vector<T> r(x.size());
    g_reported.clear();
    f.kernel<T>()(n, x.data(), r.data());
    const auto reports = g_reported;
    std::vector<T> spread_x(3 * x.size()), spread_r(2 * x.size());
    for (size_t i = 0; i < x.size(); ++i) spread_x[3 * i] = x[i];
    g_reported.clear();
    f.strided<T>()(n, spread_x.data(), 3, spread_r.data(), 2);
    std::vector<T> in_place = x;
    f.kernel<T>()(n, in_place.data(), in_place.data());
    ASSERT_EQ(g_reported.size(), 2 * reports.size()) << f.name;
    std::vector<T> shifted(x.size());
    f.kernel<T>()(n - 1, x.data() + 1, shifted.data() + 1);
    shifted[0] = r[0];
    for (size_t i = 0; i < reports.size(); ++i) {
      EXPECT_EQ(g_reported[i].index, reports[i].index) << f.name;
      EXPECT_EQ(g_reported[i].status, reports[i].status) << f.name;
    }
    for (size_t i = 0; i < x.size(); ++i) {
      ASSERT_EQ(bits(spread_r[2 * i]), bits(r[i])) << f.name << " " << x[i];
      ASSERT_EQ(bits(in_place[i]), bits(r[i])) << f.name << " " << x[i];
      ASSERT_EQ(bits(shifted[i]), bits(r[i])) << f.name << " " << x[i];
    }
  }
}

// Subnormal results come from one rounding of the callout's value: wherever the exact
// e^x is not within 1/50 ulp of a midpoint, the result is the correctly rounded one.
TEST_F(ExpLogAccuracy, DoubleExpSubnormalResultsAreRoundedOnce) {
  std::mt19937_64 gen(21);
  std::uniform_real_distribution<double> pick(-745.1332191019411, -708.3964185322641);
  std::vector<double> x(100000), r(x.size());
  for (double& v : x) v = pick(gen);
  _tessSetMode(TESS_ERRMODE_NOERR);
  _tessdExp(static_cast<int32_t>(x.size()), x.data(), r.data());
  int wrong = 0, checked = 0;
  for (size_t i = 0; i < x.size(); ++i) {
    const long double want = std::exp(static_cast<long double>(x[i]));
    // Distance, in units of the subnormal spacing, from want to the nearest midpoint.
    const long double units = want * 0x1p1074L;
    if (std::fabs(units - std::floor(units) - 0.5L) < 0.02L) continue;
    ++checked;
    if (r[i] != static_cast<double>(want) && ++wrong <= 5) {
      ADD_FAILURE() << std::hexfloat << "exp(" << x[i] << ") = " << r[i] << ", want "
                    << static_cast<double>(want);
    }
  }
  EXPECT_GT(checked, 90000);
  EXPECT_EQ(wrong, 0);
}

// ---- single precision accuracy, also where the MPFR harness does not run ----

// Every 7919th float of either sign inside the function's finite range, and as many
// uniform in it (and, for the logarithms, uniform in [0.5, 2] around their zero).
std::vector<float> sweep(float lo, float hi) {
  std::vector<float> x;
  for (uint32_t b = 1; b < 0x7F800000u; b += 7919) {
    for (const float v : {from_bits(b), -from_bits(b)}) {
      if (v > lo && v <= hi) x.push_back(v);
    }
  }
  std::mt19937 gen(31337);
  std::uniform_real_distribution<float> wide(lo, hi), near_one(0.5f, 2.0f);
  const bool logarithm = lo >= -1.0f;
  for (int i = 0; i < 100000; ++i) x.push_back(logarithm && i % 2 ? near_one(gen) : wide(gen));
  return x;
}

// The largest error in ulps, with infinities required exactly where the rounded
// reference overflows.
double max_ulp(const Function& f, const std::vector<float>& x, const std::vector<float>& r,
               float* worst_arg) {
  double worst = 0;
  for (size_t i = 0; i < x.size(); ++i) {
    const long double exact = f.reference(x[i]);
    const float rounded = static_cast<float>(exact);
    const double e = std::isinf(rounded) ? (r[i] == rounded ? 0.0 : INFINITY) : ulp_error(r[i], exact);
    if (!(e <= worst)) {
      worst = e;
      *worst_arg = x[i];
    }
  }
  return worst;
}

struct Swept {
  const char* name;
  int32_t (*callout)(const float*, float*);
  float lo, hi;  // the arguments swept, all with finite or overflowing results
};
const Swept kSwept[] = {
    {"Exp", zorn::tess::tess_callout_sExp, -104.0f, 89.0f},
    {"Exp2", zorn::tess::tess_callout_sExp2, -151.0f, 129.0f},
    {"Exp10", zorn::tess::tess_callout_sExp10, -45.5f, 38.6f},
    {"Expm1", zorn::tess::tess_callout_sExpm1, -120.0f, 89.0f},
    {"Ln", zorn::tess::tess_callout_sLn, 0.0f, 3.4e38f},
    {"Log2", zorn::tess::tess_callout_sLog2, 0.0f, 3.4e38f},
    {"Log10", zorn::tess::tess_callout_sLog10, 0.0f, 3.4e38f},
    {"Log1p", zorn::tess::tess_callout_sLog1p, -0.99999994f, 3.4e38f},
};

TEST_F(ExpLogAccuracy, SingleKernelsAndCalloutsStayWithinOneUlp) {
  _tessSetMode(TESS_ERRMODE_IGNORE);  // many underflows; statuses are tested above
  for (const Swept& s : kSwept) {
    const Function& f = function(s.name);
    const std::vector<float> x = sweep(s.lo, s.hi);
    std::vector<float> r(x.size()), c(x.size());
    f.s(static_cast<int32_t>(x.size()), x.data(), r.data());
    for (size_t i = 0; i < x.size(); ++i) s.callout(&x[i], &c[i]);
    float kernel_arg = 0, callout_arg = 0;
    const double kernel_ulp = max_ulp(f, x, r, &kernel_arg);
    const double callout_ulp = max_ulp(f, x, c, &callout_arg);
    std::printf("s%-6s %zu arguments: kernel %.3f ulp (at %a), callout %.3f ulp (at %a)\n",
                f.name, x.size(), kernel_ulp, kernel_arg, callout_ulp, callout_arg);
    EXPECT_LE(kernel_ulp, 1.0) << f.name << " at " << kernel_arg;
    EXPECT_LE(callout_ulp, 1.0) << f.name << " at " << callout_arg;
  }
}

TEST_F(ExpLogAccuracy, SinglePlainFrameKernelsComputeUnderTheCallersRounding) {
  // Expm1 and Log1p keep the caller's rounding: toward zero a correctly rounded result is
  // within an ulp of the exact value, and these stay within about that (a shifter that
  // rounds toward zero leaves a reduced argument twice as wide, and must not pick a
  // nonzero k for a tiny argument).
  _tessSetMode(TESS_ERRMODE_IGNORE);
  for (const Swept& s : kSwept) {
    const Function& f = function(s.name);
    if (f.s != _tesssExpm1 && f.s != _tesssLog1p) continue;
    const std::vector<float> x = sweep(s.lo, s.hi);
    std::vector<float> r(x.size());
    _mm_setcsr(0x1F80 | kMxcsrRoundTowardZero);
    f.s(static_cast<int32_t>(x.size()), x.data(), r.data());
    _mm_setcsr(0x1F80);
    double worst = 0;
    for (size_t i = 0; i < x.size(); ++i) {
      const long double exact = f.reference(x[i]);
      if (std::fabs(exact) > 3.4028234663852886e38L) continue;
      worst = std::max(worst, ulp_error(r[i], exact));
    }
    std::printf("s%-6s toward zero: %.3f ulp\n", f.name, worst);
    EXPECT_LE(worst, 1.01) << f.name;
  }
}

TEST_F(ExpLogAccuracy, DoublePlainFrameKernelsComputeUnderTheCallersRounding) {
  // The same for double precision, in each directed rounding: a shifter rounding away
  // from nearest leaves d Expm1 a reduced argument a whole table step wide.
  _tessSetMode(TESS_ERRMODE_IGNORE);
  struct Range {
    const char* name;
    double lo, hi;
  };
  const Range ranges[] = {{"Expm1", -0.5, 0.5}, {"Expm1", -40, 40}, {"Expm1", 30, 709},
                          {"Log1p", -0.9, 0.9}, {"Log1p", -1, 1e6}};
  for (const Range& s : ranges) {
    const Function& f = function(s.name);
    std::mt19937_64 gen(2024);
    std::uniform_real_distribution<double> draw(s.lo, s.hi);
    std::vector<double> x(1 << 16), r(x.size());
    for (double& v : x) v = draw(gen);
    for (const uint32_t rounding : {0x2000u, 0x4000u, 0x6000u}) {
      _mm_setcsr(0x1F80 | rounding);
      f.d(static_cast<int32_t>(x.size()), x.data(), r.data());
      _mm_setcsr(0x1F80);
      double worst = 0;
      for (size_t i = 0; i < x.size(); ++i) {
        worst = std::max(worst, ulp_error(r[i], f.reference(x[i])));
      }
      EXPECT_LE(worst, 1.1) << f.name << " on [" << s.lo << ", " << s.hi << "], MXCSR rounding "
                            << rounding;
    }
  }
}

TEST_F(ExpLogAccuracy, PlainFrameOverflowIsInfiniteUnderEveryRounding) {
  // The callout's overflow is +inf with status 3 whatever the caller's rounding (its flag
  // comes from a product that, toward zero or down, rounds to the largest finite value).
  _tessSetMode(TESS_ERRMODE_IGNORE);
  const double xd[] = {1.0, 1000.0};
  const float xs[] = {1.0f, 100.0f};
  for (const uint32_t rounding : {0x0000u, 0x2000u, 0x4000u, 0x6000u}) {
    double rd[2];
    float rs[2];
    _mm_setcsr(0x1F80 | rounding);
    _tessdExpm1(2, xd, rd);
    _tesssExpm1(2, xs, rs);
    _mm_setcsr(0x1F80);
    EXPECT_EQ(rd[1], INFINITY) << "MXCSR rounding " << rounding;
    EXPECT_EQ(rs[1], INFINITY) << "MXCSR rounding " << rounding;
  }
}

}  // namespace
}  // namespace zorn_test
