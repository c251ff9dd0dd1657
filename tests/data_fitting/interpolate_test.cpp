// Interpolation: evaluation kinds, derivatives, extrapolation with the end pieces,
// result layouts, caller-supplied cells, step and look-up kinds, statuses.
#include <cmath>
#include <random>

#include "df_support.h"

namespace {

using df_test::Spline;

double cubic(double t) { return 2 - t + 0.5 * t * t + 0.125 * t * t * t; }
double cubic1(double t) { return -1 + t + 0.375 * t * t; }
double cubic2(double t) { return 1 + 0.75 * t; }

// A not-a-knot cubic reproduces `cubic`, so every site, inside or outside the
// partition, must give the polynomial and its derivatives.
struct CubicFixture {
  Spline s;
  CubicFixture(int64_t hint = 0) {
    std::vector<double> x = {-2, -1.2, -0.5, 0.3, 1.1, 2.5, 3};
    std::vector<double> y;
    for (double t : x) y.push_back(cubic(t));
    for (double t : x) y.push_back(-cubic(t));  // second function
    EXPECT_EQ(s.make(x, hint, 2, y, 4, 2, 1, nullptr), 0);
    EXPECT_EQ(zorn_df_kernel_dDFNaturalCubicSpline1D(s.task(), 0, 0, 0), 0);
  }
};

TEST(DataFittingInterpolate, CubicValuesAndDerivativesIncludingExtrapolation) {
  CubicFixture f;
  const std::vector<double> sites = {-3, -2, -1.7, -0.5, 0, 2.9, 3, 4.5};
  const int32_t flags[6] = {1, 1, 1, 1, 0, 1};  // orders 0-3 and 5 (zero for a cubic)
  std::vector<double> r(2 * sites.size() * 5, -1.0);
  ASSERT_EQ(df_test::interpolate(f.s.task(), int64_t(sites.size()), sites.data(), 6, flags, r.data()), 0);
  for (size_t j = 0; j < 2; ++j) {
    const double sign = j == 0 ? 1 : -1;
    for (size_t i = 0; i < sites.size(); ++i) {
      const double* q = &r[(j * sites.size() + i) * 5];
      const double t = sites[i];
      EXPECT_NEAR(q[0], sign * cubic(t), 1e-12) << t;
      EXPECT_NEAR(q[1], sign * cubic1(t), 1e-12) << t;
      EXPECT_NEAR(q[2], sign * cubic2(t), 1e-12) << t;
      EXPECT_NEAR(q[3], sign * 0.75, 1e-12) << t;
      EXPECT_EQ(q[4], 0.0) << t;
    }
  }
}

TEST(DataFittingInterpolate, ResultLayoutsHoldTheSameNumbers) {
  CubicFixture f;
  const std::vector<double> sites = {-1, 0.5, 2};
  const int32_t flags[2] = {1, 1};
  const int64_t ns = 3, nf = 2, nd = 2;
  auto run = [&](int64_t hint, std::vector<double>& r) {
    r.assign(size_t(ns * nf * nd), -5.0);
    return df_test::interpolate(f.s.task(), ns, sites.data(), 2, flags, r.data(), hint);
  };
  std::vector<double> r16, r128, r32, r256, r512, r64;
  ASSERT_EQ(run(16, r16), 0);
  ASSERT_EQ(run(128, r128), 0);
  ASSERT_EQ(run(32, r32), 0);
  ASSERT_EQ(run(256, r256), 0);
  ASSERT_EQ(run(512, r512), 0);
  EXPECT_EQ(run(64, r64), -1028);
  EXPECT_TRUE(std::all_of(r64.begin(), r64.end(), [](double v) { return v == -5.0; }));
  EXPECT_EQ(r16, r128);
  for (int64_t j = 0; j < nf; ++j)
    for (int64_t i = 0; i < ns; ++i)
      for (int64_t q = 0; q < nd; ++q) {
        const double expected = (j == 0 ? 1 : -1) * (q == 0 ? cubic(sites[size_t(i)]) : cubic1(sites[size_t(i)]));
        EXPECT_NEAR(r16[size_t((j * ns + i) * nd + q)], expected, 1e-12);
        EXPECT_EQ(r32[size_t((i * nf + j) * nd + q)], r16[size_t((j * ns + i) * nd + q)]);
        EXPECT_EQ(r256[size_t((j * nd + q) * ns + i)], r16[size_t((j * ns + i) * nd + q)]);
        EXPECT_EQ(r512[size_t((q * nf + j) * ns + i)], r16[size_t((j * ns + i) * nd + q)]);
      }
}

TEST(DataFittingInterpolate, RefusalsComeBeforeAnyWrite) {
  const double sites[2] = {0, 1}, bad_hint[5] = {0, 0.5, 0, 0, 0};
  const int32_t flag = 1;
  const struct {
    bool null_task;
    int64_t kind;
    const double* data_hint;
    int32_t status;
  } cases[] = {{false, 1, nullptr, -1011}, {false, 0, bad_hint, -1026}, {true, 0, nullptr, -1000},
               {false, 0, nullptr, 0}};
  for (const auto& c : cases) {
    CubicFixture f;
    double r[4] = {-5, -5, -5, -5};
    ASSERT_EQ(zorn_df_kernel_iEditVal(f.s.task(), 19, c.kind), 0);
    EXPECT_EQ(df_test::interpolate(c.null_task ? nullptr : f.s.task(), 2, sites, 1, &flag, r, 16, 0, 0, c.data_hint),
              c.status);
    EXPECT_EQ(r[0] == -5.0 && r[1] == -5.0, c.status != 0) << c.status;
  }
}

TEST(DataFittingInterpolate, CallerCellsAreUsedAndFoundCellsReturned) {
  CubicFixture f;
  const double sites[3] = {-1.5, 0.5, 2.6};
  const int32_t flag = 1;
  double r[6];
  int64_t found[3] = {-9, -9, -9};
  ASSERT_EQ(df_test::interpolate(f.s.task(), 3, sites, 1, &flag, r, 16, 0, 0, nullptr, found, df_test::threads()), 0);
  EXPECT_EQ(found[0], 1);
  EXPECT_EQ(found[1], 4);
  EXPECT_EQ(found[2], 6);
  // Cells from the caller pick the pieces: cell 1 for every site evaluates the first
  // piece, which (for this cubic) still gives the polynomial.
  int64_t given[3] = {1, 1, 1};
  ASSERT_EQ(df_test::interpolate(f.s.task(), 3, sites, 1, &flag, r, 16, 4, 0, nullptr, given), 0);
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(r[i], cubic(sites[i]), 1e-11);
  // Absurd cells are clamped to the end pieces, never used to index.
  int64_t wild[3] = {-100, int64_t(1) << 40, 7};
  ASSERT_EQ(df_test::interpolate(f.s.task(), 3, sites, 1, &flag, r, 16, 4, 0, nullptr, wild), 0);
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(r[i], cubic(sites[i]), 1e-11);
}

TEST(DataFittingInterpolate, ManySitesOverThreadsMatchOneThread) {
  CubicFixture f;
  std::vector<double> x(300), y(300);
  for (size_t i = 0; i < 300; ++i) { x[i] = double(i) + 0.3 * std::sin(double(i)); y[i] = std::cos(x[i] / 7); }
  Spline s;
  ASSERT_EQ(s.make(x, 0, 1, y, 4, 2, 2, nullptr), 0);
  ASSERT_EQ(zorn_df_kernel_dDFNaturalCubicSpline1D(s.task(), 0, 0, 0), 0);
  std::mt19937_64 gen(5);
  std::vector<double> sites(2048 * 6 + 100);
  for (auto& t : sites) t = std::uniform_real_distribution<double>(-5, 305)(gen);
  const int32_t flags[2] = {1, 1};
  std::vector<double> one(sites.size() * 2), many(sites.size() * 2);
  for (auto* r : {&one, &many})
    ASSERT_EQ(df_test::interpolate(s.task(), int64_t(sites.size()), sites.data(), 2, flags, r->data(), 16, 0, 0,
                                   nullptr, nullptr, r == &many ? df_test::threads() : nullptr),
              0);
  EXPECT_EQ(one, many);
  // The sorted search with its state across blocks gives the same numbers.
  std::vector<double> sorted = sites, by_sorted(sites.size() * 2), by_default(sites.size() * 2);
  std::sort(sorted.begin(), sorted.end());
  for (int64_t hint : {0, 64})
    ASSERT_EQ(df_test::interpolate(s.task(), int64_t(sorted.size()), sorted.data(), 2, flags,
                                   (hint ? by_sorted : by_default).data(), 16, 0, hint),
              0);
  EXPECT_EQ(by_sorted, by_default);
}

TEST(DataFittingInterpolate, StepFunctionsAndLookUp) {
  Spline s;
  // Uniform partition of 5 nodes on [0, 2]: nodes 0, 0.5, 1, 1.5, 2.
  ASSERT_EQ(s.make({0, 2}, 4, 1, {10, 11, 12, 13, 14}, 0, 7, 0, nullptr, 0, nullptr, 5), 0);
  const std::vector<double> t = {-1, 0, 0.2, 0.5, 1.9, 2, 3};
  const int32_t flags[2] = {1, 1};
  std::vector<double> r(t.size() * 2);
  auto run = [&](const std::vector<double>& sites) {
    r.assign(sites.size() * 2, -1);
    return df_test::interpolate(s.task(), int64_t(sites.size()), sites.data(), 2, flags, r.data());
  };
  ASSERT_EQ(run(t), 0);
  const double previous[] = {10, 10, 10, 11, 13, 14, 14};
  for (size_t i = 0; i < t.size(); ++i) {
    EXPECT_EQ(r[2 * i], previous[i]) << t[i];
    EXPECT_EQ(r[2 * i + 1], 0.0);
  }
  ASSERT_EQ(zorn_df_kernel_dEditPPSpline1D(s.task(), 0, 8, 0, nullptr, 0, nullptr, nullptr, 0), 0);
  ASSERT_EQ(run(t), 0);
  const double next[] = {10, 10, 11, 11, 14, 14, 14};
  for (size_t i = 0; i < t.size(); ++i) EXPECT_EQ(r[2 * i], next[i]) << t[i];
  ASSERT_EQ(zorn_df_kernel_dEditPPSpline1D(s.task(), 0, 6, 0, nullptr, 0, nullptr, nullptr, 0), 0);
  ASSERT_EQ(run({0, 0.5 + 1e-13, 1.5 - 1e-13, 2}), 0);
  EXPECT_EQ(r[0], 10);
  EXPECT_EQ(r[2], 11);
  EXPECT_EQ(r[4], 13);
  EXPECT_EQ(r[6], 14);
  EXPECT_EQ(run({0.5 + 1e-11}), -1022);
  EXPECT_EQ(run({-0.0000001}), -1022);
}

TEST(DataFittingInterpolate, LinearOnAUniformPartitionExtendsItsEndPieces) {
  Spline s;
  ASSERT_EQ(s.make({0, 3}, 4, 1, {0, 2, 3, 3}, 2, 0, 0, nullptr, 0, nullptr, 4), 0);
  ASSERT_EQ(zorn_df_kernel_dDFLinearSpline1D(s.task(), 0, 0, 0), 0);
  const double t[] = {-1, 0.5, 1.5, 3, 4};
  const double expected[] = {-2, 1, 2.5, 3, 3};
  const int32_t flag = 1;
  double r[5];
  ASSERT_EQ(df_test::interpolate(s.task(), 5, t, 1, &flag, r, 0), 0);
  for (int i = 0; i < 5; ++i) EXPECT_NEAR(r[i], expected[i], 1e-15) << t[i];
}


// Single precision and a uniform partition (two stored ends) go through their own
// workers; both must still reproduce a cubic.
TEST(DataFittingInterpolate, SinglePrecisionUniformPartitionReproducesACubic) {
  const int64_t nx = 9;
  std::vector<float> ends = {-1.0f, 3.0f}, y;
  for (int64_t i = 0; i < nx; ++i) y.push_back(float(cubic(-1.0 + 0.5 * double(i))));
  std::vector<float> c(4 * (nx - 1));
  ZornDfTask* task = nullptr;
  ASSERT_EQ(zorn_df_kernel_sNewTask1D(&task, nx, ends.data(), 4, 1, y.data(), 0, 0), 0);
  ASSERT_EQ(zorn_df_kernel_sEditPPSpline1D(task, 4, 2, 1, nullptr, 0, nullptr, c.data(), 0), 0);
  ASSERT_EQ(zorn_df_kernel_sDFNaturalCubicSpline1D(task, 0, 0, 0), 0);
  const std::vector<float> sites = {-1.5f, -1.0f, 0.25f, 1.3f, 3.0f};
  const int32_t flags[2] = {1, 1};
  std::vector<float> r(2 * sites.size());
  std::vector<int32_t> cells(sites.size(), -1);
  ASSERT_EQ(df_test::interpolate(task, int64_t(sites.size()), sites.data(), 2, flags, r.data(), 16, 0, 0, nullptr,
                                 cells.data()),
            0);
  const int32_t expected_cells[] = {0, 1, 3, 5, 8};
  for (size_t i = 0; i < sites.size(); ++i) {
    EXPECT_NEAR(r[2 * i], cubic(sites[i]), 2e-5) << sites[i];
    EXPECT_NEAR(r[2 * i + 1], cubic1(sites[i]), 2e-4) << sites[i];
    EXPECT_EQ(cells[i], expected_cells[i]) << sites[i];
  }
  int32_t searched[5];
  ASSERT_EQ(zorn_df_kernel_sDFSearch1D(task, 0, 5, sites.data(), 0, nullptr, searched, nullptr, nullptr,
                                       nullptr),
            0);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(searched[i], expected_cells[i]);
  zorn_df_kernel_DeleteTask(&task);
}

}  // namespace
