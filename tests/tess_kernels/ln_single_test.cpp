// The single precision natural logarithm: its tables against the rules that define them,
// its callout's correct rounding, and its special-case arguments with and without
// denormals-are-zero. (Its fast path is pinned by output_pins_linux_test.cpp and measured
// by the harness.)
#include <cmath>
#include <vector>

#include "exp_log_single_test_support.h"
#include "tess_kernels/exp_log/ln_single.h"

namespace zorn_test {
namespace {

namespace tables {
#include "tess_kernels/exp_log/data/log_tables_single.inc"
}

class SingleLn : public ReportingTest {};

TEST_F(SingleLn, CalloutTableFollowsItsRule) {
  for (int j = 0; j <= 64; ++j) {
    const double cinv = std::round(1024.0 / (1.0 + j / 64.0)) / 1024.0;
    ASSERT_EQ(tables::kLnSingleCallout[j][0], cinv) << j;
    const long double ln_c = -std::log(static_cast<long double>(cinv));
    EXPECT_EQ(tables::kLnSingleCallout[j][1], static_cast<double>(ln_c)) << j;
    // lo carries the remainder to well beyond double precision.
    EXPECT_NEAR(static_cast<double>(ln_c - tables::kLnSingleCallout[j][1]),
                tables::kLnSingleCallout[j][2], 1e-19)
        << j;
  }
  EXPECT_EQ(tables::kLnSingleCallout[1][0], 0.984375);
  EXPECT_EQ(tables::kLnSingleCallout[64][0], 0.5);
}

TEST_F(SingleLn, FastPathPointTableFollowsItsRule) {
  // {c^-1, ln c, log2 c, log10 c}: the callout's points, each logarithm rounded once.
  for (int j = 0; j <= 64; ++j) {
    const double* row = tables::kLogPointsSingle[j];
    ASSERT_EQ(row[0], tables::kLnSingleCallout[j][0]) << j;
    EXPECT_EQ(row[1], tables::kLnSingleCallout[j][1]) << j;
    const long double ln_c = -std::log(static_cast<long double>(row[0]));
    EXPECT_EQ(row[2], static_cast<double>(ln_c / std::log(2.0L))) << j;
    EXPECT_NEAR(row[3], static_cast<double>(ln_c / std::log(10.0L)), 1e-16 * row[3]) << j;
  }
  // Row 64 (c = 2) holds the same log 2 as the kernels' constants, so that x just below 1
  // cancels exactly.
  EXPECT_EQ(tables::kLogPointsSingle[64][1], 0.6931471805599453);
  EXPECT_EQ(tables::kLogPointsSingle[64][2], 1.0);
  EXPECT_EQ(tables::kLogPointsSingle[64][3], 0.3010299956639812);
}

TEST_F(SingleLn, CalloutIsCorrectlyRoundedAlmostEverywhere) {
  // The callout reaches about 2^-60 relative: over a dense sweep its result is the
  // correctly rounded one but where the exact value lies next to a halfway point.
  int not_rounded = 0;
  for (uint32_t b = 1; b <= 0x7F7FFFFFu; b += 9973) {
    const float x = from_bits(b);
    float got;
    ASSERT_EQ(zorn::tess::tess_callout_sLn(&x, &got), TESS_STATUS_OK);
    if (ulp_error(got, std::log(static_cast<long double>(x))) > 0.5) ++not_rounded;
  }
  EXPECT_EQ(not_rounded, 0);
}

TEST_F(SingleLn, SpecialArgumentsAndStatuses) {
  const float tiny = std::numeric_limits<float>::denorm_min();
  const float x[] = {1.0f, 0.0f, -0.0f, -1.0f, -INFINITY, INFINITY, NAN, tiny, 0.75f};
  constexpr int kCount = sizeof x / sizeof x[0];
  float r[kCount];
  _tesssLn(kCount, x, r);
  EXPECT_EQ(bits(r[0]), 0u);  // exactly +0
  EXPECT_EQ(r[1], -INFINITY);
  EXPECT_EQ(r[2], -INFINITY);
  EXPECT_EQ(bits(r[3]), 0x7FC00000u);
  EXPECT_EQ(bits(r[4]), 0x7FC00000u);
  EXPECT_EQ(r[5], INFINITY);
  EXPECT_TRUE(std::isnan(r[6]));
  EXPECT_EQ(r[7], static_cast<float>(-149.0L * std::log(2.0L)));
  EXPECT_LE(ulp_error(r[8], std::log(0.75L)), 1.0);
  const std::vector<std::pair<int32_t, int32_t>> want = {{1, TESS_STATUS_SINGULARITY},
                                                         {2, TESS_STATUS_SINGULARITY},
                                                         {3, TESS_STATUS_DOMAIN},
                                                         {4, TESS_STATUS_DOMAIN}};
  ASSERT_EQ(g_reported.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) {
    EXPECT_EQ(g_reported[i].index, want[i].first);
    EXPECT_EQ(g_reported[i].status, want[i].second);
  }
}

TEST_F(SingleLn, SubnormalCountsAsZeroWithDenormalsAreZero) {
  _tessSetMode(TESS_MODE_FLUSH_DENORMALS);
  const float x[] = {2.0f, std::numeric_limits<float>::denorm_min(), -1e-40f, 1e-39f};
  float r[4];
  _tesssLn(4, x, r);
  EXPECT_EQ(r[1], -INFINITY);
  EXPECT_EQ(r[2], -INFINITY);  // -0 under denormals-are-zero: a pole, not a domain error
  EXPECT_EQ(r[3], -INFINITY);
  ASSERT_EQ(g_reported.size(), 3u);
  for (const Reported& rep : g_reported) EXPECT_EQ(rep.status, TESS_STATUS_SINGULARITY);
}

}  // namespace
}  // namespace zorn_test
