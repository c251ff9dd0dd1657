// The single precision Exp2, Exp10, Expm1, Log2, Log10, Log1p and Logb (and Exp and Ln
// again): accuracy of every kernel and callout against extended precision references over
// dense sweeps, thresholds and statuses, and the loop's layouts (strided, in place,
// remainders) giving the contiguous results and reports.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "exp_log_single_test_support.h"
#include "tess_kernels/exp_log/single_ops.h"

namespace zorn_test {
namespace {

using Kernel = void (*)(int32_t, const float*, float*);
using StridedKernel = void (*)(int32_t, const float*, int32_t, float*, int32_t);
using Callout = int32_t (*)(const float*, float*);

struct Function {
  const char* name;
  Kernel kernel;
  StridedKernel strided;
  Callout callout;
  long double (*reference)(long double);
  float lo, hi;  // the arguments swept, all with finite or overflowing results
};

const Function kFunctions[] = {
    {"Exp", _tesssExp, _tesssExpI, zorn::tess::tess_callout_sExp,
     [](long double x) { return std::exp(x); }, -104.0f, 89.0f},
    {"Exp2", _tesssExp2, _tesssExp2I, zorn::tess::tess_callout_sExp2,
     [](long double x) { return std::exp2(x); }, -151.0f, 129.0f},
    {"Exp10", _tesssExp10, _tesssExp10I, zorn::tess::tess_callout_sExp10,
     [](long double x) { return std::pow(10.0L, x); }, -45.5f, 38.6f},
    {"Expm1", _tesssExpm1, _tesssExpm1I, zorn::tess::tess_callout_sExpm1,
     [](long double x) { return std::expm1(x); }, -120.0f, 89.0f},
    {"Ln", _tesssLn, _tesssLnI, zorn::tess::tess_callout_sLn,
     [](long double x) { return std::log(x); }, 0.0f, 3.4e38f},
    {"Log2", _tesssLog2, _tesssLog2I, zorn::tess::tess_callout_sLog2,
     [](long double x) { return std::log2(x); }, 0.0f, 3.4e38f},
    {"Log10", _tesssLog10, _tesssLog10I, zorn::tess::tess_callout_sLog10,
     [](long double x) { return std::log10(x); }, 0.0f, 3.4e38f},
    {"Log1p", _tesssLog1p, _tesssLog1pI, zorn::tess::tess_callout_sLog1p,
     [](long double x) { return std::log1p(x); }, -0.99999994f, 3.4e38f},
};

// Every 7919th float of either sign inside [lo, hi], and as many uniform in [lo, hi]
// (and, for the logarithms, uniform in [0.5, 2] around their zero).
std::vector<float> sweep(const Function& f) {
  std::vector<float> x;
  for (uint32_t b = 1; b < 0x7F800000u; b += 7919) {
    for (const float v : {from_bits(b), -from_bits(b)}) {
      if (v > f.lo && v <= f.hi) x.push_back(v);
    }
  }
  std::mt19937 gen(31337);
  std::uniform_real_distribution<float> wide(f.lo, f.hi), near_one(0.5f, 2.0f);
  const bool logarithm = f.lo >= -1.0f;
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
    double e;
    if (std::isinf(rounded)) {
      e = (r[i] == rounded) ? 0.0 : INFINITY;
    } else {
      e = ulp_error(r[i], exact);
    }
    if (!(e <= worst)) {
      worst = e;
      *worst_arg = x[i];
    }
  }
  return worst;
}

class SingleFamily : public ReportingTest {};

TEST_F(SingleFamily, KernelsAndCalloutsStayWithinOneUlp) {
  for (const Function& f : kFunctions) {
    const std::vector<float> x = sweep(f);
    std::vector<float> r(x.size()), c(x.size());
    _tessSetMode(TESS_ERRMODE_IGNORE);  // many underflows; statuses are tested elsewhere
    f.kernel(static_cast<int32_t>(x.size()), x.data(), r.data());
    for (size_t i = 0; i < x.size(); ++i) f.callout(&x[i], &c[i]);
    float kernel_arg = 0, callout_arg = 0;
    const double kernel_ulp = max_ulp(f, x, r, &kernel_arg);
    const double callout_ulp = max_ulp(f, x, c, &callout_arg);
    std::printf("s%-6s %zu arguments: kernel %.3f ulp (at %a), callout %.3f ulp (at %a)\n",
                f.name, x.size(), kernel_ulp, kernel_arg, callout_ulp, callout_arg);
    EXPECT_LE(kernel_ulp, 1.0) << f.name << " at " << kernel_arg;
    EXPECT_LE(callout_ulp, 1.0) << f.name << " at " << callout_arg;
  }
}

TEST_F(SingleFamily, PlainFrameKernelsComputeUnderTheCallersRounding) {
  // Expm1 and Log1p keep the caller's rounding: toward zero a correctly rounded result is
  // within an ulp of the exact value, and these stay within about that (a shifter that
  // rounds toward zero leaves a reduced argument twice as wide, and must not pick a
  // nonzero k for a tiny argument).
  for (const Function& f : kFunctions) {
    if (f.kernel != _tesssExpm1 && f.kernel != _tesssLog1p) continue;
    const std::vector<float> x = sweep(f);
    std::vector<float> r(x.size());
    _tessSetMode(TESS_ERRMODE_IGNORE);
    _mm_setcsr(0x1F80 | kMxcsrRoundTowardZero);
    f.kernel(static_cast<int32_t>(x.size()), x.data(), r.data());
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

TEST_F(SingleFamily, StridedAndInPlaceCallsGiveTheContiguousResultsAndReports) {
  std::mt19937 gen(99);
  std::uniform_real_distribution<float> wide(-200.0f, 200.0f);
  std::vector<float> x(203);
  for (float& v : x) v = wide(gen);
  for (const float s : {0.0f, -0.0f, INFINITY, -INFINITY, NAN, 1e-40f, -1.0f, 1.0f}) {
    x[gen() % x.size()] = s;
  }
  const int32_t n = static_cast<int32_t>(x.size());
  for (const Function& f : kFunctions) {
    std::vector<float> r(x.size());
    g_reported.clear();
    f.kernel(n, x.data(), r.data());
    const auto reports = g_reported;
    std::vector<float> spread_x(3 * x.size()), spread_r(2 * x.size());
    for (size_t i = 0; i < x.size(); ++i) spread_x[3 * i] = x[i];
    g_reported.clear();
    f.strided(n, spread_x.data(), 3, spread_r.data(), 2);
    std::vector<float> in_place = x;
    f.kernel(n, in_place.data(), in_place.data());
    ASSERT_EQ(g_reported.size(), 2 * reports.size()) << f.name;
    for (size_t i = 0; i < reports.size(); ++i) {
      EXPECT_EQ(g_reported[i].index, reports[i].index) << f.name;
      EXPECT_EQ(g_reported[i].status, reports[i].status) << f.name;
    }
    for (size_t i = 0; i < x.size(); ++i) {
      ASSERT_EQ(bits(spread_r[2 * i]), bits(r[i])) << f.name << " " << x[i];
      ASSERT_EQ(bits(in_place[i]), bits(r[i])) << f.name << " " << x[i];
    }
  }
}

int32_t replace_with_seven(TessErrorContext* c) {
  g_reported.push_back({c->index, c->status});
  c->res1 = 7.0;
  return 0;  // not handled: the reporter stores res1
}

TEST_F(SingleFamily, StridedCallbackReplacesTheReportedElement) {
  _tessSetErrorCallBack(replace_with_seven);
  const float x[] = {2.0f, 0.0f, 3.0f, -1.0f, 5.0f};
  float r[10] = {};
  _tesssLog10I(5, x, 1, r, 2);
  EXPECT_EQ(r[2], 7.0f);
  EXPECT_EQ(r[6], 7.0f);
  EXPECT_EQ(r[4], static_cast<float>(std::log10(3.0L)));
  ASSERT_EQ(g_reported.size(), 2u);
  EXPECT_EQ(g_reported[1].index, 3);
}

struct Expected {
  Kernel kernel;
  float x;
  float result;  // NaN: any NaN
  int32_t status;
};

TEST_F(SingleFamily, ThresholdsSpecialValuesAndStatuses) {
  const float nan = NAN, inf = INFINITY;
  const float denorm_min = std::numeric_limits<float>::denorm_min();
  const Expected cases[] = {
      {_tesssExp2, 3.0f, 8.0f, 0},
      {_tesssExp2, -126.0f, 0x1p-126f, 0},
      {_tesssExp2, -140.0f, 0x1p-140f, 4},
      {_tesssExp2, -149.0f, 0x1p-149f, 4},
      {_tesssExp2, -150.0f, 0.0f, 4},
      {_tesssExp2, 128.0f, inf, 3},
      {_tesssExp2, std::nextafter(128.0f, 0.0f), static_cast<float>(std::exp2(128.0L - 0x1p-17L)), 0},
      // The top arguments whose 128 x rounds to 128 * 128 leave the fast path.
      {_tesssExp2, 127.99609375f, static_cast<float>(std::exp2(127.99609375L)), 0},
      {_tesssExp2, std::nextafter(127.99609375f, 0.0f),
       static_cast<float>(std::exp2(static_cast<long double>(std::nextafter(127.99609375f, 0.0f)))), 0},
      {_tesssExp2, -inf, 0.0f, 0},
      {_tesssExp2, inf, inf, 0},
      {_tesssExp2, nan, nan, 0},
      {_tesssExp10, 2.0f, 100.0f, 0},
      {_tesssExp10, -1.0f, 0.1f, 0},
      // 10^38.53184 lies above the largest float; the float below it does not.
      {_tesssExp10, 38.53184f, inf, 3},
      {_tesssExp10, 38.531837f, static_cast<float>(std::pow(10.0L, static_cast<long double>(38.531837f))), 0},
      {_tesssExp10, -37.929783f, static_cast<float>(std::pow(10.0L, static_cast<long double>(-37.929783f))), 4},
      {_tesssExp10, std::nextafter(-37.929783f, 0.0f),
       static_cast<float>(std::pow(10.0L, std::nextafter(-37.929783f, 0.0f))), 0},
      {_tesssExp10, -45.1545f, denorm_min, 4},
      {_tesssExp10, std::nextafter(-45.1545f, -50.0f), 0.0f, 4},
      {_tesssExp10, -inf, 0.0f, 0},
      {_tesssExpm1, -0.0f, -0.0f, 0},
      {_tesssExpm1, 1e-30f, 1e-30f, 0},
      {_tesssExpm1, -denorm_min, -denorm_min, 0},
      {_tesssExpm1, -200.0f, -1.0f, 0},
      {_tesssExpm1, -inf, -1.0f, 0},
      {_tesssExpm1, 88.72283f, static_cast<float>(std::expm1(static_cast<long double>(88.72283f))), 0},
      {_tesssExpm1, std::nextafter(88.72283f, 100.0f), inf, 3},
      {_tesssExpm1, inf, inf, 0},
      {_tesssExpm1, nan, nan, 0},
      {_tesssLog2, 8.0f, 3.0f, 0},
      {_tesssLog2, 1.0f, 0.0f, 0},
      {_tesssLog2, denorm_min, -149.0f, 0},
      {_tesssLog2, 0.0f, -inf, 2},
      {_tesssLog2, -1.0f, nan, 1},
      {_tesssLog2, -inf, nan, 1},
      {_tesssLog2, inf, inf, 0},
      {_tesssLog10, 1000.0f, 3.0f, 0},
      {_tesssLog10, 1e-30f, static_cast<float>(std::log10(static_cast<long double>(1e-30f))), 0},
      {_tesssLog10, -0.0f, -inf, 2},
      {_tesssLog10, -2.0f, nan, 1},
      {_tesssLog10, -inf, nan, 1},
      {_tesssLog1p, -0.0f, -0.0f, 0},
      {_tesssLog1p, 1e-30f, 1e-30f, 0},
      {_tesssLog1p, denorm_min, denorm_min, 0},
      {_tesssLog1p, -1.0f, -inf, 0},
      {_tesssLog1p, -2.0f, nan, 0},
      {_tesssLog1p, -inf, nan, 0},
      {_tesssLog1p, inf, inf, 0},
      {_tesssLog1p, 1.0f, static_cast<float>(std::log(2.0L)), 0},
      {_tesssLogb, 0.75f, -1.0f, 0},
      {_tesssLogb, -8.0f, 3.0f, 0},
      {_tesssLogb, 1e-40f, -133.0f, 0},
      {_tesssLogb, -denorm_min, -149.0f, 0},
      {_tesssLogb, 3.4e38f, 127.0f, 0},
      {_tesssLogb, 0.0f, -inf, 1},
      {_tesssLogb, -0.0f, -inf, 1},
      {_tesssLogb, -inf, inf, 0},
      {_tesssLogb, nan, nan, 0},
  };
  for (const Expected& c : cases) {
    g_reported.clear();
    // The argument sits in a full group with ordinary neighbours, as lane 2.
    const float x[] = {0.5f, 1.5f, c.x, 2.0f, 0.25f};
    float r[5];
    c.kernel(5, x, r);
    const std::string what = std::to_string(c.x) + " (" + std::to_string(bits(c.x)) + ")";
    if (std::isnan(c.result)) {
      EXPECT_TRUE(std::isnan(r[2])) << what;
    } else {
      EXPECT_EQ(bits(r[2]), bits(c.result)) << what << ": " << r[2] << " vs " << c.result;
    }
    if (c.status == 0) {
      EXPECT_TRUE(g_reported.empty()) << what;
    } else {
      ASSERT_EQ(g_reported.size(), 1u) << what;
      EXPECT_EQ(g_reported[0].index, 2) << what;
      EXPECT_EQ(g_reported[0].status, c.status) << what;
    }
  }
}

TEST_F(SingleFamily, LogbOfASubnormalIsZeroWithDenormalsAreZero) {
  _tessSetMode(TESS_MODE_FLUSH_DENORMALS);
  const float x[] = {1e-40f, 4.0f};
  float r[2];
  _tesssLogb(2, x, r);
  EXPECT_EQ(r[0], -INFINITY);
  EXPECT_EQ(r[1], 2.0f);
  ASSERT_EQ(g_reported.size(), 1u);
  EXPECT_EQ(g_reported[0].status, TESS_STATUS_DOMAIN);
}

}  // namespace
}  // namespace zorn_test
