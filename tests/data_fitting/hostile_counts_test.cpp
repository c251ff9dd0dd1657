// Counts that a fuzzed caller passes and no array backs: a site count at or below zero
// interpolates nothing in every result layout (the layout's products once overflowed).
#include <climits>

#include "df_support.h"

namespace {

TEST(HostileCounts, NoSitesInterpolateNothingInEveryLayout) {
  df_test::Spline s;
  ASSERT_EQ(s.make({0, 1, 2, 3}, 1, 1, {0, 1, 4, 9}, 2, 0, 0, nullptr), 0);
  ASSERT_EQ(zorn_df_kernel_dDFLinearSpline1D(s.task(), 1, 0, 0), 0);
  const int32_t flags[3] = {1, 1, 1};
  double sites[1] = {0.5}, result[3] = {-1, -1, -1};
  for (int64_t hint : {16, 32, 256, 512})
    for (int64_t nsite : {int64_t{0}, int64_t{-1}, INT64_MIN}) {
      EXPECT_EQ(df_test::interpolate(s.task(), nsite, sites, 3, flags, result, hint), 0) << hint << " " << nsite;
      EXPECT_EQ(result[0], -1);
    }
}

}  // namespace
