// The single precision exponential, bit for bit against a plain transcription of its
// published fast path, and its callout's thresholds and statuses.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "fp_environment.h"
#include "zorn/tess_functions.h"

namespace zorn_test {
namespace {

uint32_t bits(float x) {
  uint32_t b;
  std::memcpy(&b, &x, 4);
  return b;
}
float from_bits(uint32_t b) {
  float x;
  std::memcpy(&x, &b, 4);
  return x;
}

// Plain scalar transcription of the four-lane fast path, for |x| <= 87.33654. The table
// entries are recomputed here from exp2l: hi = 2^(j/128) rounded to float, lo = the
// rounded remainder.
float exp_fast_path_reference(float x) {
  const float t = x * 184.66496f + 12582912.0f;
  const float n = t - 12582912.0f;
  const float r1 = x + n * -0.0054168701171875f;
  const float r = r1 + n * 1.6577690757912933e-06f;
  const float r2 = r * r;
  const float p = r + 0.5f * r2;
  const int j = static_cast<int>(bits(t) & 127);
  const long double exact = std::exp2(static_cast<long double>(j) / 128.0L);
  const float hi = static_cast<float>(exact);
  const float lo = static_cast<float>(exact - hi);
  const int k = static_cast<int>(std::lround(n)) >> 7;  // n div 128, rounding down
  const float scale = std::ldexp(1.0f, k);
  const float u = p * hi;
  const float v = u + lo;
  const float w = v + hi;
  return w * scale;
}

class SingleExp : public ::testing::Test {
 protected:
  TessStateGuard guard_;
};

TEST_F(SingleExp, FastPathMatchesThePlainTranscriptionBitForBit) {
  std::vector<float> x;
  for (uint32_t b = 0; b <= 0x42AEAC4Fu; b += 4099) {  // positive and negative halves
    x.push_back(from_bits(b));
    x.push_back(-from_bits(b));
  }
  x.push_back(from_bits(0x42AEAC4F));
  x.push_back(-from_bits(0x42AEAC4F));
  std::vector<float> r(x.size());
  _tesssExp(static_cast<int32_t>(x.size()), x.data(), r.data());
  int mismatches = 0;
  for (size_t i = 0; i < x.size(); ++i) {
    const float want = exp_fast_path_reference(x[i]);
    if (bits(r[i]) != bits(want) && ++mismatches <= 5) {
      ADD_FAILURE() << "exp(" << x[i] << ") = " << r[i] << ", transcription " << want;
    }
  }
  EXPECT_EQ(mismatches, 0);
}

struct Reported {
  int32_t index;
  int32_t status;
};
thread_local std::vector<Reported> g_reported;
int32_t keep_report(TessErrorContext* c) {
  g_reported.push_back({c->index, c->status});
  return 1;
}

TEST_F(SingleExp, ThresholdsAndStatusesOfTheCallout) {
  _tessSetErrorCallBack(keep_report);
  _tessSetMode(TESS_ERRMODE_CALLBACK);
  const float top = 88.72283f;
  const float x[] = {top, std::nextafter(top, 100.0f), -87.33654f, -100.0f,
                     -INFINITY, NAN, -200.0f, INFINITY};
  float r[8];
  g_reported.clear();
  _tesssExp(8, x, r);
  EXPECT_TRUE(std::isfinite(r[0]));
  EXPECT_GT(r[0], 3.4e38f);
  EXPECT_EQ(r[1], INFINITY);
  EXPECT_GE(r[2], 0x1p-126f);  // the smallest normal range result
  EXPECT_LT(r[3], 0x1p-126f);
  EXPECT_GT(r[3], 0.0f);
  EXPECT_EQ(r[4], 0.0f);
  EXPECT_TRUE(std::isnan(r[5]));
  EXPECT_EQ(r[6], 0.0f);
  EXPECT_EQ(r[7], INFINITY);
  ASSERT_EQ(g_reported.size(), 3u);
  EXPECT_EQ(g_reported[0].index, 1);
  EXPECT_EQ(g_reported[0].status, TESS_STATUS_OVERFLOW);
  EXPECT_EQ(g_reported[1].index, 3);
  EXPECT_EQ(g_reported[1].status, TESS_STATUS_UNDERFLOW);
  EXPECT_EQ(g_reported[2].index, 6);
  EXPECT_EQ(g_reported[2].status, TESS_STATUS_UNDERFLOW);
  // The callout's results are the correctly rounded ones on these arguments.
  EXPECT_EQ(r[3], static_cast<float>(std::exp(-100.0L)));
  EXPECT_EQ(r[0], static_cast<float>(std::exp(static_cast<long double>(top))));
}

TEST_F(SingleExp, NoErrorModeResolvesOverflowInlineWithoutTouchingTheStatus) {
  _tessSetErrorCallBack(keep_report);
  _tessSetMode(TESS_ERRMODE_NOERR);
  g_reported.clear();
  const float x[] = {1000.0f, -1000.0f, 1.0f};
  float r[3];
  _tesssExp(3, x, r);
  EXPECT_EQ(r[0], INFINITY);
  EXPECT_EQ(r[1], 0.0f);
  EXPECT_TRUE(g_reported.empty());
  EXPECT_EQ(_tessGetErrStatus(), 0);
}

TEST_F(SingleExp, RemainderLanesReportOnlyRealElements) {
  _tessSetErrorCallBack(keep_report);
  _tessSetMode(TESS_ERRMODE_CALLBACK);
  g_reported.clear();
  const float x[] = {1.0f, 2.0f, 3.0f, 4.0f, 1000.0f};
  float r[6] = {0, 0, 0, 0, 0, -7.0f};
  _tesssExp(5, x, r);
  ASSERT_EQ(g_reported.size(), 1u);
  EXPECT_EQ(g_reported[0].index, 4);
  EXPECT_EQ(r[5], -7.0f);  // nothing written past the end
  EXPECT_EQ(r[0], static_cast<float>(std::exp(1.0L)));
}

}  // namespace
}  // namespace zorn_test
