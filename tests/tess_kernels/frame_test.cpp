// The kernel frame: floating-point state on entry and exit, the order of reports, the
// callback's results, strided hand-off, and the Powx dispatch on its exponent.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "fp_environment.h"
#include "zorn/tess_functions.h"

namespace zorn_test {
namespace {

struct Report {
  int32_t index;
  int32_t status;
  std::string name;
};
thread_local std::vector<Report> g_reports;
thread_local double g_replacement = 5.0;
thread_local int32_t g_handled = 1;

int32_t record(TessErrorContext* c) {
  g_reports.push_back({c->index, c->status, c->func_name});
  return 1;
}
int32_t replace_result(TessErrorContext* c) {
  g_reports.push_back({c->index, c->status, c->func_name});
  c->res1 = g_replacement;
  return g_handled;
}

class Frame : public ::testing::Test {
 protected:
  void SetUp() override {
    g_reports.clear();
    _tessSetErrorCallBack(record);
    _tessSetMode(TESS_ERRMODE_CALLBACK | TESS_MODE_HA);
  }
  TessStateGuard guard_;
};

TEST_F(Frame, EmptyCallTouchesNeitherMemoryNorTheFloatingPointState) {
  const uint32_t odd_mxcsr = (0x1F80 & ~kMxcsrOverflowMask) | kMxcsrRoundTowardZero;
  _mm_setcsr(odd_mxcsr);
  set_x87_control(0x037E);  // invalid operation unmasked
  _tesssExp(0, nullptr, nullptr);
  _tessdLnI(0, nullptr, 3, nullptr, 2);
  _tesszMul(0, nullptr, nullptr, nullptr);
  const uint32_t after_mxcsr = _mm_getcsr();
  const uint16_t after_x87 = x87_control();
  set_x87_control(0x037F);
  _mm_setcsr(0x1F80);
  EXPECT_EQ(after_mxcsr, odd_mxcsr);
  EXPECT_EQ(after_x87, 0x037E);
}

TEST_F(Frame, DenormalHonouringFrameRoundsToNearestWithoutTrapsAndRestoresTheCaller) {
  const float x[] = {0.1f, 1000.0f, 2.0f, 3.7f, 0.3f};
  float nearest[5], toward_zero[5];
  _tesssExp(5, x, nearest);
  const uint32_t caller = (0x1F80 & ~kMxcsrOverflowMask) | kMxcsrRoundTowardZero;
  _mm_setcsr(caller);
  _tesssExp(5, x, toward_zero);  // the overflow lane would trap under the caller's MXCSR
  const uint32_t after = _mm_getcsr();
  _mm_setcsr(0x1F80);
  EXPECT_EQ(std::memcmp(nearest, toward_zero, sizeof nearest), 0);
  EXPECT_EQ(after & ~kMxcsrFlagBits, caller);   // the caller's control bits are back
  EXPECT_NE(after & kMxcsrFlagBits, 0u);        // with the flags raised during the call
}

TEST_F(Frame, PlainFrameComputesUnderTheCallersRounding) {
  const float a[] = {1.0f, 2.0f}, b[] = {3.0f, 3.0f};
  float r[2];
  _mm_setcsr(0x1F80 | kMxcsrRoundTowardZero);
  _tesssDiv(2, a, b, r);
  _mm_setcsr(0x1F80);
  EXPECT_LT(r[0], 1.0f / 3.0f);  // 1/3 rounded toward zero is below the nearest float
  EXPECT_EQ(r[0], std::nextafter(1.0f / 3.0f, 0.0f));
}

// Odd kernels that compute under the caller's rounding: rounding down, a sum of zeros of
// opposite signs is -0, which must not reach the result of +0. Zeros sit in a full group
// and in the partial one.
TEST_F(Frame, OddPlainFrameKernelsKeepTheSignOfZeroUnderEveryRounding) {
  using SingleKernel = void (*)(int32_t, const float*, float*);
  using DoubleKernel = void (*)(int32_t, const double*, double*);
  const SingleKernel singles[] = {_tesssExpm1, _tesssLog1p, _tesssAsinh};
  const DoubleKernel doubles[] = {_tessdExpm1, _tessdLog1p, _tessdAsinh, _tessdAtanh};
  const double x[] = {0.0, -0.0, 0.25, -0.0, 0.0, 0.5, 0.0, -0.0, 0.0};
  constexpr int n = sizeof x / sizeof x[0];
  for (const uint32_t rounding : {0x0000u, 0x2000u, 0x4000u, kMxcsrRoundTowardZero}) {
    for (size_t k = 0; k < std::size(singles) + std::size(doubles); ++k) {
      float xs[n], rs[n];
      double rd[n];
      for (int i = 0; i < n; ++i) xs[i] = static_cast<float>(x[i]);
      _mm_setcsr(0x1F80 | rounding);
      if (k < std::size(singles)) {
        singles[k](n, xs, rs);
        for (int i = 0; i < n; ++i) rd[i] = rs[i];
      } else {
        doubles[k - std::size(singles)](n, x, rd);
      }
      _mm_setcsr(0x1F80);
      for (int i = 0; i < n; ++i) {
        if (x[i] != 0.0) continue;
        EXPECT_TRUE(rd[i] == 0.0 && std::signbit(rd[i]) == std::signbit(x[i]))
            << "kernel " << k << ", rounding " << rounding << ", element " << i << ": " << rd[i];
      }
    }
  }
}

TEST_F(Frame, FlushingModeTreatsSubnormalsAsZero) {
  const float tiny[] = {std::numeric_limits<float>::denorm_min()};
  const float small[] = {1e-20f}, factor[] = {1e-20f};
  float ln_kept, ln_flushed, product;
  _tessSetMode(0x140000);  // keep denormals
  _tesssLn(1, tiny, &ln_kept);
  EXPECT_NEAR(ln_kept, -103.27893f, 1e-4f);
  EXPECT_TRUE(g_reports.empty());
  _tessSetMode(TESS_MODE_FLUSH_DENORMALS);
  _tesssLn(1, tiny, &ln_flushed);
  _tesssMul(1, small, factor, &product);
  EXPECT_EQ(ln_flushed, -INFINITY);
  ASSERT_EQ(g_reports.size(), 1u);
  EXPECT_EQ(g_reports[0].status, TESS_STATUS_SINGULARITY);
  EXPECT_EQ(product, 0.0f);  // 1e-40 flushed to zero
}

TEST_F(Frame, StridedCallWithUnitIncrementsEqualsTheContiguousKernel) {
  std::vector<double> x;
  for (int i = 0; i < 37; ++i) x.push_back(-40.0 + 2.3 * i);
  std::vector<double> r1(x.size()), r2(x.size());
  _tessdExp(37, x.data(), r1.data());
  _tessdExpI(37, x.data(), 1, r2.data(), 1);
  EXPECT_EQ(std::memcmp(r1.data(), r2.data(), r1.size() * sizeof(double)), 0);
  // With other increments the same elements come out where they belong.
  std::vector<double> spread(3 * x.size(), -1.0);
  _tessdExpI(37, x.data(), 1, spread.data(), 3);
  for (size_t i = 0; i < x.size(); ++i) EXPECT_EQ(spread[3 * i], r1[i]);
  EXPECT_EQ(spread[1], -1.0);
}

// Single kernels that run two groups a step (sAsin) stop before a pair holding a special
// lane and go on group by group: wherever special lanes fall (first or second group
// of a pair, the partial tail), the contiguous call reports each in order and gives the
// bits of the strided call, which gathers group by group.
TEST_F(Frame, PairedSingleGroupsReportInOrderWhereverTheSpecialLanesFall) {
  const std::vector<std::vector<int>> placements = {
      {}, {0}, {5}, {7, 8}, {3, 12, 13}, {16, 23}, {25}, {1, 9, 17, 24}};
  for (const auto& specials : placements) {
    std::vector<float> x(26);
    for (size_t i = 0; i < x.size(); ++i) x[i] = 0.9f - 0.07f * static_cast<float>(i);
    for (int i : specials) x[i] = 2.0f + static_cast<float>(i);
    std::vector<float> contiguous(x.size()), strided(x.size());
    g_reports.clear();
    _tesssAsin(26, x.data(), contiguous.data());
    ASSERT_EQ(g_reports.size(), specials.size());
    for (size_t k = 0; k < specials.size(); ++k) EXPECT_EQ(g_reports[k].index, specials[k]);
    std::vector<float> spread(2 * x.size());  // a stride of 2 takes the gathering loop
    for (size_t i = 0; i < x.size(); ++i) spread[2 * i] = x[i];
    _tesssAsinI(26, spread.data(), 2, strided.data(), 1);
    EXPECT_EQ(std::memcmp(contiguous.data(), strided.data(), x.size() * sizeof(float)), 0);
  }
}

TEST_F(Frame, ReportsComeInLaneOrderAndTheCallbackMayReplaceAResult) {
  _tessSetErrorCallBack(replace_result);
  g_handled = 0;  // not handled: the reporter writes res1 back
  g_replacement = 5.0;
  const float x[] = {1.0f, 1000.0f, 2.0f, -1000.0f, 0.5f, 1000.0f};
  float r[6];
  _tesssExp(6, x, r);
  ASSERT_EQ(g_reports.size(), 3u);
  EXPECT_EQ(g_reports[0].index, 1);
  EXPECT_EQ(g_reports[1].index, 3);
  EXPECT_EQ(g_reports[2].index, 5);
  EXPECT_EQ(r[1], 5.0f);  // in the middle of the first group
  EXPECT_EQ(r[3], 5.0f);
  EXPECT_EQ(r[5], 5.0f);
  EXPECT_EQ(r[2], static_cast<float>(std::exp(2.0L)));
  g_handled = 1;  // handled: the kernel's result stays
  g_reports.clear();
  _tesssExp(6, x, r);
  EXPECT_EQ(r[1], INFINITY);
}

TEST_F(Frame, IndicesAreRebasedOnTheInterfaceVectorPointer) {
  double whole[16];
  for (double& v : whole) v = 1.0;
  whole[13] = -1.0;
  double r[6];
  _tessSetInterfInputVectorPointer(whole);
  _tessdLn(6, whole + 10, r);
  ASSERT_EQ(g_reports.size(), 1u);
  EXPECT_EQ(g_reports[0].index, 13);  // element 3 of this call
}

TEST_F(Frame, PowxHandsSpecialExponentsToOtherFunctions) {
  const float a[] = {4.0f, -1.0f, 2.25f, NAN, 0.0f};
  float r[5], s[5];
  _tesssPowx(5, a, 0.5f, r);
  _tesssSqrt(5, a, s);
  EXPECT_EQ(std::memcmp(r, s, sizeof r), 0);
  ASSERT_EQ(g_reports.size(), 2u);
  EXPECT_EQ(g_reports[0].name, "vsSqrt");  // the handed call reports as Sqrt
  EXPECT_EQ(g_reports[0].index, 1);
  g_reports.clear();
  _tesssPowx(5, a, 0.0f, r);  // every element 1, even NaN, without reports
  for (float v : r) EXPECT_EQ(v, 1.0f);
  _tesssPowx(5, a, -0.0f, r);
  for (float v : r) EXPECT_EQ(v, 1.0f);
  EXPECT_TRUE(g_reports.empty());
  const float above_half = std::nextafter(0.5f, 1.0f);
  _tesssPowx(5, a, above_half, r);  // one bit above 0.5: the general power
  EXPECT_EQ(r[0], static_cast<float>(std::pow(4.0, static_cast<double>(above_half))));
  ASSERT_EQ(g_reports.size(), 1u);
  EXPECT_EQ(g_reports[0].name, "vsPowx");
  double d[3], e[3];
  const double ad[] = {3.0, 0.25, -2.0};
  _tessdPowxI(3, ad, 1, -1.0, d, 1);  // unit increments through the contiguous kernel
  _tessdInv(3, ad, e);
  EXPECT_EQ(std::memcmp(d, e, sizeof d), 0);
  _tessdPowx(3, ad, 2.0, d);
  EXPECT_EQ(d[2], 4.0);
  _tessdPowx(3, ad, 1.5, d);
  _tessdPow3o2(3, ad, e);
  EXPECT_EQ(std::memcmp(d, e, 2 * sizeof(double)), 0);
}

TEST_F(Frame, DoubleComplexPowxReceivesItsExponentByValue) {
  const TessComplex16 a[] = {{2.0, 0.0}, {0.0, 1.0}};
  TessComplex16 r[2];
  _tesszPowx(2, a, TessComplex16{2.0, 0.0}, r);
  EXPECT_NEAR(r[0].re, 4.0, 1e-15);
  EXPECT_NEAR(r[1].re, -1.0, 1e-15);
  EXPECT_NEAR(r[1].im, 0.0, 1e-15);
}

}  // namespace
}  // namespace zorn_test
