// The single precision natural logarithm: its tables against the rules that define them
// and its callout's correct rounding. (Its fast path is pinned by output_pins_linux_test.cpp
// and measured by the harness; its special values are in exp_log_family_test.cpp.)
#include <cmath>
#include <vector>

#include "kernel_test_support.h"
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

}  // namespace
}  // namespace zorn_test
