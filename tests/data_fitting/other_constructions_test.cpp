// Quadratic, default cubic and the local-slope cubics: worked cases, polynomial
// reproduction, end conditions and statuses.
#include <cmath>
#include <random>

#include "df_support.h"

namespace {

using df_test::poly;
using df_test::Spline;

// ---- default cubic ----

TEST(DataFittingDefaultCubic, WorkedCaseAndStatuses) {
  const double inner[1] = {-2};
  Spline s;
  ASSERT_EQ(s.make({0, 1, 2}, 0, 1, {0, 1, 0}, 4, 0, 2, nullptr, 1, inner), 0);
  ASSERT_EQ(zorn_df_kernel_dDFDefaultCubicSpline1D(s.task(), 0, 0, 0), 0);
  EXPECT_NEAR(s.c[0], 0, 1e-15);
  EXPECT_NEAR(s.c[1], 4.0 / 3, 1e-15);
  EXPECT_NEAR(s.c[2], 0, 1e-15);
  EXPECT_NEAR(s.c[3], -1.0 / 3, 1e-15);
  Spline two;
  ASSERT_EQ(two.make({0, 1}, 0, 1, {0, 1}, 4, 0, 2, nullptr, 1, inner), 0);
  EXPECT_EQ(zorn_df_kernel_dDFDefaultCubicSpline1D(two.task(), 0, 0, 0), -1004);
  ASSERT_EQ(zorn_df_kernel_iEditVal(s.task(), 21, 1), 0);
  EXPECT_EQ(zorn_df_kernel_dDFDefaultCubicSpline1D(s.task(), 0, 0, 0), -1014);
  ASSERT_EQ(zorn_df_kernel_iEditVal(s.task(), 21, 36), 0);
  EXPECT_EQ(zorn_df_kernel_dDFDefaultCubicSpline1D(s.task(), 0, 0, 0), -1015);
}

TEST(DataFittingDefaultCubic, ReproducesACubicFromItsSecondDerivatives) {
  auto f = [](double t) { return 0.5 + t - t * t + 0.3 * t * t * t; };
  auto f1 = [](double t) { return 1 - 2 * t + 0.9 * t * t; };
  auto f2 = [](double t) { return -2 + 1.8 * t; };
  const std::vector<double> x = {-1, -0.2, 0.5, 1.5, 2};
  std::vector<double> y, inner;
  for (double t : x) y.push_back(f(t));
  for (size_t i = 1; i + 1 < x.size(); ++i) inner.push_back(f2(x[i]));
  const struct { int64_t end; double a, b; } cases[] = {
      {12, f1(-1), f1(2)}, {36, f1(-1), f2(2)}, {24, f2(-1), f1(2)}, {48, f2(-1), f2(2)}};
  for (const auto& k : cases) {
    const double ends[2] = {k.a, k.b};
    Spline s;
    ASSERT_EQ(s.make(x, 0, 1, y, 4, 0, k.end, ends, 1, inner.data()), 0);
    ASSERT_EQ(zorn_df_kernel_dDFDefaultCubicSpline1D(s.task(), 0, 0, 0), 0) << k.end;
    for (size_t i = 0; i + 1 < x.size(); ++i) {
      EXPECT_NEAR(s.c[4 * i], f(x[i]), 1e-13) << k.end;
      EXPECT_NEAR(s.c[4 * i + 1], f1(x[i]), 1e-13) << k.end;
      EXPECT_NEAR(s.c[4 * i + 2], f2(x[i]) / 2, 1e-13) << k.end;
      EXPECT_NEAR(s.c[4 * i + 3], 0.3, 1e-13) << k.end;
    }
  }
}

// ---- quadratic ----

// The cells of a quadratic spline that reproduces 1 + 2t - t^2/2, in powers of (t - knot).
void expect_parabola_cells(const Spline& s, const std::vector<double>& knots) {
  for (size_t k = 0; k + 1 < knots.size(); ++k) {
    const double t = knots[k];
    EXPECT_NEAR(s.c[3 * k], 1 + 2 * t - 0.5 * t * t, 1e-12) << k;
    EXPECT_NEAR(s.c[3 * k + 1], 2 - t, 1e-12) << k;
    EXPECT_NEAR(s.c[3 * k + 2], -0.5, 1e-12) << k;
  }
}

TEST(DataFittingQuadratic, MidpointKindReproducesAParabola) {
  auto f = [](double t) { return 1 + 2 * t - 0.5 * t * t; };
  const std::vector<double> x = {0, 0.4, 1, 1.3, 2.2, 3};
  std::vector<double> y;
  for (double t : x) y.push_back(f(t));
  const double mid[1] = {f(0.2)};
  Spline s;
  ASSERT_EQ(s.make(x, 0, 1, y, 3, 0, 128, mid), 0);
  ASSERT_EQ(zorn_df_kernel_dDFQuadraticSpline1D(s.task(), 0, 0, 0), 0);
  expect_parabola_cells(s, x);
  // Evaluated as a quadratic, with derivatives up to the second, also beyond the ends.
  const double sites[4] = {-0.5, 0.7, 2.2, 3.5};
  const int32_t flags[3] = {1, 1, 1};
  double r[12];
  ASSERT_EQ(df_test::interpolate(s.task(), 4, sites, 3, flags, r), 0);
  for (int i = 0; i < 4; ++i) {
    EXPECT_NEAR(r[3 * i], f(sites[i]), 1e-12);
    EXPECT_NEAR(r[3 * i + 1], 2 - sites[i], 1e-12);
    EXPECT_NEAR(r[3 * i + 2], -1, 1e-12);
  }
  ASSERT_EQ(zorn_df_kernel_iEditVal(s.task(), 21, 2), 0);
  EXPECT_EQ(zorn_df_kernel_dDFQuadraticSpline1D(s.task(), 0, 0, 0), -1014);
  Spline no_array;
  ASSERT_EQ(no_array.make(x, 0, 1, y, 3, 0, 0, nullptr), 0);
  ASSERT_EQ(zorn_df_kernel_iEditVal(no_array.task(), 21, 128), 0);
  EXPECT_EQ(zorn_df_kernel_dDFQuadraticSpline1D(no_array.task(), 0, 0, 0), -1015);
  ASSERT_EQ(zorn_df_kernel_dEditPPSpline1D(s.task(), 3, 2, 128, mid, 0, nullptr, nullptr, 0), 0);
  EXPECT_EQ(zorn_df_kernel_dDFQuadraticSpline1D(s.task(), 0, 0, 0), -1002);
}

TEST(DataFittingQuadratic, KnotKindReproducesAParabolaForEachEndCondition) {
  auto f = [](double t) { return 1 + 2 * t - 0.5 * t * t; };
  const std::vector<double> x = {0, 0.4, 1, 1.3, 2.2, 3};
  std::vector<double> y, mid_knots = {0};
  for (double t : x) y.push_back(f(t));
  for (size_t i = 1; i < x.size(); ++i) mid_knots.push_back((x[i - 1] + x[i]) / 2);
  mid_knots.push_back(3);
  const std::vector<double>& mids = mid_knots;
  const std::vector<double> own = {0, 0.1, 0.9, 1.2, 1.5, 2.9, 3};
  const struct { int64_t end; double a, b; } cases[] = {
      {1, 0, 0}, {12, 2, -1}, {36, 2, -1}, {24, -1, -1}, {48, -1, -1}};
  for (const auto* knots : {&mids, &own}) {
    for (const auto& k : cases) {
      const double ends[2] = {k.a, k.b};
      Spline s;
      const bool given = knots == &own;
      ASSERT_EQ(s.make(x, 0, 1, y, 3, 1, k.end, ends, given ? 8 : 0, given ? own.data() : nullptr), 0);
      if (!given) {
        ASSERT_EQ(zorn_df_kernel_iEditVal(s.task(), 20, 8), 0);  // knots at midpoints
      }
      ASSERT_EQ(zorn_df_kernel_dDFQuadraticSpline1D(s.task(), 0, 0, 0), 0) << k.end;
      SCOPED_TRACE(testing::Message() << "end " << k.end << (given ? " own knots" : " midpoints"));
      expect_parabola_cells(s, *knots);
    }
  }
}

TEST(DataFittingQuadratic, KnotKindInterpolatesAndIsSmoothAcrossTheSeam) {
  const double pi = std::acos(-1.0);
  std::vector<double> x, y;
  for (int i = 0; i <= 10; ++i) { x.push_back(2 * pi * i / 10 + 0.05 * (i % 2) * (i < 10)); y.push_back(std::cos(x.back())); }
  y.back() = y.front();
  Spline s;
  ASSERT_EQ(s.make(x, 0, 1, y, 3, 1, 64, nullptr), 0);
  ASSERT_EQ(zorn_df_kernel_iEditVal(s.task(), 20, 8), 0);
  ASSERT_EQ(zorn_df_kernel_dDFQuadraticSpline1D(s.task(), 0, 0, 0), 0);
  // Evaluate through the interpolation: values at the nodes, and C1 at the seam.
  const int32_t flags[2] = {1, 1};
  std::vector<double> r(2 * x.size());
  ASSERT_EQ(df_test::interpolate(s.task(), int64_t(x.size()), x.data(), 2, flags, r.data()), 0);
  for (size_t i = 0; i < x.size(); ++i) EXPECT_NEAR(r[2 * i], y[i], 1e-12) << i;
  EXPECT_NEAR(r[1], r[2 * x.size() - 1], 1e-12);
  const double* last = &s.c[3 * (x.size() - 1)];
  EXPECT_NEAR(last[2], s.c[2], 1e-10);  // second derivative across the seam
}

TEST(DataFittingQuadratic, KnotKindChecks) {
  const std::vector<double> x = {0, 1, 2, 3};
  const std::vector<double> y = {0, 1, 0, 1};
  const double ends[2] = {0, 0};
  const std::vector<double> bad_first = {0.5, 0.5, 1.5, 2.5, 3};
  const std::vector<double> not_between = {0, 0.5, 2, 2.5, 3};
  Spline s;
  ASSERT_EQ(s.make(x, 0, 1, y, 3, 1, 12, ends, 0, nullptr), 0);
  EXPECT_EQ(zorn_df_kernel_dDFQuadraticSpline1D(s.task(), 0, 0, 0), -1012);
  for (const auto* knots : {&bad_first, &not_between}) {
    ASSERT_EQ(zorn_df_kernel_dEditPPSpline1D(s.task(), 3, 1, 12, ends, 8, knots->data(), nullptr, 0), 0);
    EXPECT_EQ(zorn_df_kernel_dDFQuadraticSpline1D(s.task(), 0, 0, 0), -1013);
  }
  ASSERT_EQ(zorn_df_kernel_dEditPPSpline1D(s.task(), 3, 1, 3, ends, 8, not_between.data(), nullptr, 0), 0);
  EXPECT_EQ(zorn_df_kernel_dDFQuadraticSpline1D(s.task(), 0, 0, 0), -1014);
  EXPECT_EQ(s.c[0], -777.0);
}

// ---- Akima, Bessel, Hermite, Hyman ----

using Kernel = int32_t (*)(ZornDfTask*, int64_t, int64_t, int64_t);

// Slopes m_i read back from the cells (the last one from the last cell's end).
std::vector<double> slopes(const Spline& s, const std::vector<double>* nodes = nullptr) {
  const std::vector<double>& x = nodes != nullptr ? *nodes : s.x;
  const size_t n = x.size();
  std::vector<double> m;
  for (size_t i = 0; i + 1 < n; ++i) m.push_back(s.c[4 * i + 1]);
  const double* c = &s.c[4 * (n - 2)];
  const double h = x[n - 1] - x[n - 2];
  m.push_back(c[1] + 2 * c[2] * h + 3 * c[3] * h * h);
  return m;
}

void expect_slopes(const Spline& s, const std::vector<double>& expected, const char* what,
                   const std::vector<double>* nodes = nullptr) {
  const std::vector<double> m = slopes(s, nodes);
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_NEAR(m[i], expected[i], 1e-13) << what << " node " << i;
}

TEST(DataFittingLocalCubic, AkimaHandDerivedSlopes) {
  Spline weighted;
  ASSERT_EQ(weighted.make({0, 1, 2, 3, 4}, 0, 1, {0, 0, 1, 3, 3}, 4, 0, 0, nullptr), 0);
  ASSERT_EQ(zorn_df_kernel_dDFAkimaCubicSpline1D(weighted.task(), 0, 0, 0), 0);
  // Chords 0, 1, 2, 0 extended to -2, -1 | ... | -2, -4; weights |d_k - d_{k-1}|.
  expect_slopes(weighted, {-0.5, 0.5, 4.0 / 3, 4.0 / 3, -1}, "weighted");
  Spline parabola;  // equal weights everywhere: the exact derivative of t^2
  ASSERT_EQ(parabola.make({0, 1, 2, 3, 4}, 0, 1, {0, 1, 4, 9, 16}, 4, 0, 0, nullptr), 0);
  ASSERT_EQ(zorn_df_kernel_dDFAkimaCubicSpline1D(parabola.task(), 0, 0, 0), 0);
  expect_slopes(parabola, {0, 2, 4, 6, 8}, "parabola");
  Spline line;  // every weight sum is zero: the mean, i.e. the common slope
  ASSERT_EQ(line.make({0, 0.5, 2, 2.5, 4, 5}, 0, 1, {1, 0, -3, -4, -7, -9}, 4, 0, 0, nullptr), 0);
  ASSERT_EQ(zorn_df_kernel_dDFAkimaCubicSpline1D(line.task(), 0, 0, 0), 0);
  expect_slopes(line, {-2, -2, -2, -2, -2, -2}, "line");
  Spline four;
  ASSERT_EQ(four.make({0, 1, 2, 3}, 0, 1, {0, 1, 4, 9}, 4, 0, 0, nullptr), 0);
  EXPECT_EQ(zorn_df_kernel_dDFAkimaCubicSpline1D(four.task(), 0, 0, 0), -1004);
}

TEST(DataFittingLocalCubic, BesselAndHymanHandDerivedSlopes) {
  Spline b;  // uniform partition, h = 1
  ASSERT_EQ(b.make({0, 3}, 4, 1, {0, 1, 4, 9}, 4, 0, 2, nullptr, 0, nullptr, 4), 0);
  ASSERT_EQ(zorn_df_kernel_dDFBesselCubicSpline1D(b.task(), 0, 0, 0), 0);
  // Free ends: 2 m0 + m1 = 3 d0 and m2 + 2 m3 = 3 d2.
  const std::vector<double> nodes = {0, 1, 2, 3};
  expect_slopes(b, {0.5, 2, 4, 5.5}, "bessel", &nodes);
  Spline h;
  ASSERT_EQ(h.make({0, 1, 2, 3}, 0, 1, {0, 1, 1, 2}, 4, 0, 2, nullptr), 0);
  ASSERT_EQ(zorn_df_kernel_dDFHymanCubicSpline1D(h.task(), 0, 0, 0), 0);
  const std::vector<double> m = slopes(h);
  EXPECT_EQ(m[1], 0);
  EXPECT_EQ(m[2], 0);
  EXPECT_EQ(zorn_df_kernel_iEditVal(h.task(), 21, 0), 0);
  EXPECT_EQ(zorn_df_kernel_dDFHymanCubicSpline1D(h.task(), 0, 0, 0), -1014);
  EXPECT_EQ(zorn_df_kernel_dDFBesselCubicSpline1D(h.task(), 0, 0, 0), -1014);
  EXPECT_EQ(zorn_df_kernel_dDFHermiteCubicSpline1D(h.task(), 0, 0, 0), -1014);
  EXPECT_EQ(zorn_df_kernel_iEditVal(h.task(), 21, 12), 0);
  EXPECT_EQ(zorn_df_kernel_dDFHymanCubicSpline1D(h.task(), 0, 0, 0), -1015);
}

TEST(DataFittingLocalCubic, HermiteTakesItsSlopes) {
  const double inner[1] = {0.25}, ends[2] = {-1, 3};
  Spline s;
  ASSERT_EQ(s.make({0, 1, 3}, 0, 1, {2, 0, 5}, 4, 0, 12, ends, 1, inner), 0);
  ASSERT_EQ(zorn_df_kernel_dDFHermiteCubicSpline1D(s.task(), 0, 0, 0), 0);
  expect_slopes(s, {-1, 0.25, 3}, "hermite");
  for (size_t i = 0; i < 2; ++i)
    EXPECT_NEAR(poly(&s.c[4 * i], 4, s.x[i + 1] - s.x[i]), s.y[i + 1], 1e-14);
}

TEST(DataFittingLocalCubic, HymanKeepsMonotoneDataMonotone) {
  std::mt19937_64 gen(9);
  std::vector<double> x(40), y(40);
  double px = 0, py = 0;
  for (size_t i = 0; i < 40; ++i) {
    x[i] = px += std::uniform_real_distribution<double>(0.05, 2)(gen);
    // Steps of very different sizes, some flat: the hard case for plain cubics.
    y[i] = py += (i % 7 == 3) ? 0 : std::exp(std::uniform_real_distribution<double>(-6, 2)(gen));
  }
  for (int64_t end : {2, 1}) {
    Spline s;
    ASSERT_EQ(s.make(x, 0, 1, y, 4, 0, end, nullptr), 0);
    ASSERT_EQ(zorn_df_kernel_dDFHymanCubicSpline1D(s.task(), 0, 0, 0), 0);
    for (size_t i = 0; i + 1 < x.size(); ++i) {
      const double h = x[i + 1] - x[i];
      for (int k = 0; k <= 20; ++k) {
        const double d = h * k / 20;
        const double* c = &s.c[4 * i];
        EXPECT_GE(c[1] + 2 * c[2] * d + 3 * c[3] * d * d, -1e-12 * (1 + std::fabs(c[1])))
            << "cell " << i << " end " << end;
      }
    }
  }
}

TEST(DataFittingLocalCubic, EndConditionsAndPeriodicSeam) {
  // The variants' end rows: with exact end derivatives of a parabola through nodes
  // where Bessel's interior rule is exact, every variant-independent end gives it back.
  auto f = [](double t) { return 3 - t + 0.5 * t * t; };
  const std::vector<double> x = {-1, -0.5, 0.3, 1, 2.5};
  std::vector<double> y;
  for (double t : x) y.push_back(f(t));
  const struct { int64_t end; double a, b; } cases[] = {
      {1, 0, 0}, {12, -2, 1.5}, {36, -2, 1}, {24, 1, 1.5}, {48, 1, 1}};
  for (const auto& k : cases) {
    const double ends[2] = {k.a, k.b};
    Spline s;
    ASSERT_EQ(s.make(x, 0, 1, y, 4, 0, k.end, ends), 0);
    ASSERT_EQ(zorn_df_kernel_dDFBesselCubicSpline1D(s.task(), 0, 0, 0), 0) << k.end;
    std::vector<double> expected;
    for (double t : x) expected.push_back(t - 1);
    expect_slopes(s, expected, "bessel ends");
  }
  const double pi = std::acos(-1.0);
  std::vector<double> px, py;
  for (int i = 0; i <= 9; ++i) { px.push_back(2 * pi * i / 9); py.push_back(std::sin(px.back())); }
  py.back() = py.front();
  for (Kernel k : {zorn_df_kernel_dDFAkimaCubicSpline1D, zorn_df_kernel_dDFBesselCubicSpline1D,
                   zorn_df_kernel_dDFHymanCubicSpline1D}) {
    Spline s;
    ASSERT_EQ(s.make(px, 0, 1, py, 4, 2, 64, nullptr), 0);
    ASSERT_EQ(k(s.task(), 0, 0, 0), 0);
    const std::vector<double> m = slopes(s);
    EXPECT_NEAR(m.front(), m.back(), 1e-14);
    s.y[9] += 1e-9;
    EXPECT_EQ(k(s.task(), 0, 0, 0), -1018);
  }
}

}  // namespace
