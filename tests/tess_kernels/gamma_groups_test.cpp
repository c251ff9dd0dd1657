// Groups of four lanes all in [2^-10, 1024), or all in its mirror image, take ln|Gamma|'s
// group paths, which must give the lone lanes' results bit for bit, poles and zeros included.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "zorn/tess_functions.h"

namespace {

constexpr double kGroups[][4] = {
    {-2.4570247382208006, -2.7476826467274127, -3.1435808883499798, -3.5},  // zeros
    {-3.0, -2.5, -1.0 - 0x1p-40, -3.0 + 0x1p-45},            // a pole and its neighbours
    {-0x1p-10, -1023.75, -0x1.0000000000001p-10, -1024.0},  // the range's ends
    {0x1p-10, 1023.75, 1.0, 1.4616321449683622},
    {-1.03, -2.1, -1.99, -0.98},  // rows anchored at 1 and 2, mirrored
    {1.03, -2.1, 2.1, -0.98}};

template <class T>
void expect_groups_match_lanes(void (*lgamma)(int32_t, const T*, T*)) {
  const std::vector<T> x(&kGroups[0][0], &kGroups[0][0] + 4 * std::size(kGroups));
  std::vector<T> grouped(x.size()), alone(x.size());
  lgamma(static_cast<int32_t>(x.size()), x.data(), grouped.data());
  for (size_t i = 0; i < x.size(); ++i) lgamma(1, &x[i], &alone[i]);
  for (size_t i = 0; i < x.size(); ++i) {
    EXPECT_EQ(std::memcmp(&alone[i], &grouped[i], sizeof(T)), 0) << "x = " << x[i];
  }
}

TEST(GammaGroups, GroupPathsMatchLaneByLane) {
  expect_groups_match_lanes<float>(_tesssLGamma);
  expect_groups_match_lanes<double>(_tessdLGamma);
}

}  // namespace
