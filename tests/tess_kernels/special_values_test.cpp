// Special values with known answers: exact results that follow from the definitions of
// the functions and the statuses each family reports for them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "fp_environment.h"
#include "zorn/tess_functions.h"

namespace zorn_test {
namespace {

thread_local std::vector<int32_t> g_statuses;
int32_t keep_status(TessErrorContext* c) {
  g_statuses.push_back(c->status);
  return 1;
}

class SpecialValues : public ::testing::Test {
 protected:
  void SetUp() override {
    g_statuses.clear();
    _tessSetErrorCallBack(keep_status);
    _tessSetMode(TESS_ERRMODE_CALLBACK | TESS_MODE_HA);
  }
  // One element through a one-argument single precision entry point.
  float one(void (*fn)(int32_t, const float*, float*), float x) {
    float r;
    fn(1, &x, &r);
    return r;
  }
  double one(void (*fn)(int32_t, const double*, double*), double x) {
    double r;
    fn(1, &x, &r);
    return r;
  }
  int32_t last_status() const { return g_statuses.empty() ? 0 : g_statuses.back(); }
  TessStateGuard guard_;
};

uint32_t bits(float x) {
  uint32_t b;
  std::memcpy(&b, &x, 4);
  return b;
}

TEST_F(SpecialValues, ExponentAndLogarithm) {
  EXPECT_EQ(one(_tesssLogb, 0.75f), -1.0f);
  EXPECT_EQ(one(_tesssLogb, 1e-40f), -133.0f);  // subnormal: its true exponent
  EXPECT_EQ(one(_tesssLogb, 0.0f), -INFINITY);
  EXPECT_EQ(last_status(), TESS_STATUS_DOMAIN);
  g_statuses.clear();
  EXPECT_EQ(one(_tesssLn, 1.0f), 0.0f);
  EXPECT_EQ(one(_tessdExp, 1e-300), 1.0);
  EXPECT_EQ(one(_tesssExp2, -126.0f), 0x1p-126f);
  EXPECT_TRUE(g_statuses.empty());
  EXPECT_EQ(one(_tesssExp2, -140.0f), 0x1p-140f);  // subnormal result: underflow
  EXPECT_EQ(last_status(), TESS_STATUS_UNDERFLOW);
}

TEST_F(SpecialValues, TrigonometricAndInverse) {
  EXPECT_EQ(bits(one(_tesssSin, -0.0f)), bits(-0.0f));
  EXPECT_EQ(one(_tesssCos, 0.0f), 1.0f);
  for (float x : {0.1f, 3.0f, 1e4f, 12345.678f, 1e30f}) EXPECT_EQ(one(_tesssCos, x), one(_tesssCos, -x));
  EXPECT_EQ(one(_tesssSin, 1.5707964f), 1.0f);
  const float big = one(_tesssSin, 1e30f);
  EXPECT_LE(std::fabs(big), 1.0f);
  EXPECT_EQ(one(_tesssAcos, -1.0f), 3.1415927f);
  EXPECT_EQ(one(_tesssAsin, 1e-20f), 1e-20f);
  EXPECT_EQ(one(_tesssAsin, -1e-20f), -1e-20f);
  EXPECT_EQ(one(_tesssTanh, 100.0f), 1.0f);
  EXPECT_TRUE(g_statuses.empty());
  EXPECT_TRUE(std::isnan(one(_tesssAcos, 1.0000001f)));
  EXPECT_EQ(last_status(), TESS_STATUS_DOMAIN);
  EXPECT_EQ(one(_tesssAtanh, 1.0f), INFINITY);
  EXPECT_EQ(last_status(), TESS_STATUS_SINGULARITY);
  EXPECT_EQ(one(_tesssCosh, 100.0f), INFINITY);
  EXPECT_EQ(last_status(), TESS_STATUS_OVERFLOW);
  // pi-scaled and degree functions are exact at their special points
  EXPECT_EQ(one(_tessdSinpi, 1.0e15), 0.0);
  EXPECT_EQ(one(_tessdCospi, 0.5), 0.0);
  EXPECT_EQ(one(_tessdSind, 30.0), 0.5);
  EXPECT_EQ(one(_tessdCosd, 60.0), 0.5);
  EXPECT_EQ(one(_tessdTand, 45.0), 1.0);
  EXPECT_EQ(one(_tessdTanpi, 0.25), 1.0);
}

TEST_F(SpecialValues, SpecialFunctions) {
  EXPECT_EQ(one(_tesssErfc, -4.0f), 2.0f);
  EXPECT_EQ(one(_tesssCdfNorm, 6.0f), 1.0f);
  EXPECT_EQ(one(_tesssErfInv, 1e-30f), static_cast<float>(1e-30f * 0.886226925452758));
  EXPECT_TRUE(g_statuses.empty());
  EXPECT_EQ(one(_tesssErfc, 11.0f), 0.0f);
  EXPECT_EQ(last_status(), TESS_STATUS_UNDERFLOW);
  EXPECT_EQ(one(_tesssErfInv, -1.0f), -INFINITY);
  EXPECT_EQ(last_status(), TESS_STATUS_SINGULARITY);
  EXPECT_TRUE(std::isnan(one(_tesssTGamma, -2.0f)));
  EXPECT_EQ(last_status(), TESS_STATUS_DOMAIN);
  EXPECT_EQ(one(_tesssTGamma, 36.0f), INFINITY);
  EXPECT_EQ(last_status(), TESS_STATUS_OVERFLOW);
  EXPECT_EQ(one(_tessdTGamma, 5.0), 24.0);
  EXPECT_EQ(one(_tessdErfInv, 0.0), 0.0);
  EXPECT_EQ(one(_tessdCdfNormInv, 0.5), 0.0);
}

// Infinite arguments give the functions' limits, silently; the inverse complementary
// error function stays finite down to the smallest subnormal.
TEST_F(SpecialValues, SpecialFunctionLimits) {
  EXPECT_EQ(one(_tessdCdfNorm, INFINITY), 1.0);
  EXPECT_EQ(one(_tesssCdfNorm, -INFINITY), 0.0f);
  EXPECT_EQ(one(_tessdErfcx, -INFINITY), INFINITY);
  EXPECT_EQ(one(_tesssErfcx, INFINITY), 0.0f);
  EXPECT_EQ(one(_tessdI0, -INFINITY), INFINITY);
  EXPECT_EQ(one(_tesssI1, -INFINITY), -INFINITY);
  EXPECT_EQ(one(_tessdI1, INFINITY), INFINITY);
  EXPECT_TRUE(g_statuses.empty());
  const double q = std::numeric_limits<double>::denorm_min();
  const double x = one(_tessdErfcInv, q);
  ASSERT_TRUE(std::isfinite(x));
  EXPECT_NEAR(static_cast<double>(std::erfc(static_cast<long double>(x)) / q), 1.0, 1e-12);
}

TEST_F(SpecialValues, RootsAndPowers) {
  EXPECT_EQ(bits(one(_tesssSqrt, -0.0f)), bits(-0.0f));
  EXPECT_TRUE(g_statuses.empty());
  EXPECT_EQ(one(_tesssInvSqrt, 0.0f), INFINITY);
  EXPECT_EQ(last_status(), TESS_STATUS_SINGULARITY);
  EXPECT_EQ(one(_tesssCbrt, -27.0f), -3.0f);
  EXPECT_EQ(one(_tessdInvCbrt, 8.0), 0.5);
  struct PowCase {
    double x, y, r;
    int32_t status;
  };
  const PowCase cases[] = {{NAN, 0.0, 1.0, 0},        {1.0, NAN, 1.0, 0},
                           {-8.0, 1.0 / 3.0, NAN, 1}, {-2.0, 3.0, -8.0, 0},
                           {-0.0, -3.0, -INFINITY, 1}, {-0.0, -2.0, INFINITY, 1},
                           {-1.0, INFINITY, 1.0, 0},  {0.5, -INFINITY, INFINITY, 0},
                           {2.0, -1100.0, 0.0, 0},    {2.0, 1100.0, INFINITY, 3}};
  for (const PowCase& c : cases) {
    g_statuses.clear();
    double r;
    _tessdPow(1, &c.x, &c.y, &r);
    if (std::isnan(c.r)) {
      EXPECT_TRUE(std::isnan(r)) << c.x << " ^ " << c.y;
    } else {
      EXPECT_EQ(r, c.r) << c.x << " ^ " << c.y;
      EXPECT_EQ(std::signbit(r), std::signbit(c.r)) << c.x << " ^ " << c.y;
    }
    EXPECT_EQ(last_status(), c.status) << c.x << " ^ " << c.y;
  }
}

TEST_F(SpecialValues, ElementWiseBasics) {
  EXPECT_EQ(bits(one(_tesssAbs, -0.0f)), bits(0.0f));
  const float negative_nan = -std::numeric_limits<float>::quiet_NaN();
  uint32_t payload = bits(negative_nan) | 0x1234;
  float x;
  std::memcpy(&x, &payload, 4);
  EXPECT_EQ(bits(one(_tesssAbs, x)), payload & 0x7FFFFFFF);
  EXPECT_EQ(one(_tessdRound, -2.5), -3.0);
  EXPECT_EQ(one(_tessdRint, -2.5), -2.0);
  EXPECT_EQ(one(_tessdFrac, -2.75), -0.75);
  double ip, fp;
  const double m = -12.5;
  _tessdModf(1, &m, &ip, &fp);
  EXPECT_EQ(ip, -12.0);
  EXPECT_EQ(fp, -0.5);
  const double a[] = {3.0, -3.0}, b[] = {-4.0, 2.0};
  double r[2];
  _tessdMaxMag(2, a, b, r);
  EXPECT_EQ(r[0], -4.0);
  EXPECT_EQ(r[1], -3.0);
  _tessdMinMag(2, a, b, r);
  EXPECT_EQ(r[0], 3.0);
  EXPECT_EQ(r[1], 2.0);
  const double sa = 2, sha = 1, sb = 4, shb = -2;
  _tessdLinearFrac(2, a, b, sa, sha, sb, shb, r);  // (2a + 1) / (4b - 2)
  EXPECT_EQ(r[0], 7.0 / -18.0);
  EXPECT_EQ(r[1], -5.0 / 6.0);
  EXPECT_TRUE(g_statuses.empty());
}

}  // namespace
}  // namespace zorn_test
