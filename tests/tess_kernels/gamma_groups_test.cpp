// ln|Gamma| of a contiguous group of four lanes takes branch-free group paths (all lanes
// in [2^-10, 1024), or all in its mirror image on the negative axis) that must give the
// pair's results bit for bit, poles and the lanes near the zeros (which leave the group
// path) included. A lone argument never forms such a group, so it is the reference.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "zorn/tess_functions.h"

namespace zorn_test {
namespace {

constexpr double kGroups[][4] = {
    {-2.4570247382208006, -2.5, -3.5, -1.5},  // a zero of ln|Gamma| among negatives
    {-2.7476826467274127, -3.1435808883499798, -3.9552942848585979, -4.0393618397405371},
    {-3.0, -2.5, -0.75, -5.25},                      // a pole
    {-1.0 - 0x1p-40, -3.0 + 0x1p-45, -0.5, -100.5},  // next to poles
    {-0x1p-10, -1023.75, -1e-3, -7.9},               // the range's ends
    {-0x1.0000000000001p-10, -1024.0, -0.3, -1023.5},
    {0x1p-10, 1023.75, 1.0, 2.0},
    {1.4616321449683622, 0.5, 16.0, 1000.5},
    {-5.0082181683225935, 5.0, -6.0013852944531552, 6.5},
};

template <class T>
void expect_groups_match_lanes(void (*lgamma)(int32_t, const T*, T*)) {
  std::vector<T> x;
  for (const auto& group : kGroups) x.insert(x.end(), std::begin(group), std::end(group));
  std::vector<T> grouped(x.size());
  lgamma(static_cast<int32_t>(x.size()), x.data(), grouped.data());
  for (size_t i = 0; i < x.size(); ++i) {
    T alone;
    lgamma(1, &x[i], &alone);
    EXPECT_EQ(std::memcmp(&alone, &grouped[i], sizeof(T)), 0)
        << "x = " << x[i] << ": " << grouped[i] << " in its group, " << alone << " alone";
  }
}

TEST(GammaGroups, GroupPathsMatchLaneByLane) {
  expect_groups_match_lanes<float>(_tesssLGamma);
  expect_groups_match_lanes<double>(_tessdLGamma);
}

}  // namespace
}  // namespace zorn_test
