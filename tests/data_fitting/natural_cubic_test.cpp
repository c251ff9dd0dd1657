// Linear and natural cubic constructions: worked cases, an independent dense solve of
// the slope system, polynomial reproduction, the end conditions and the statuses.
#include <cmath>
#include <random>

#include "data_fitting/task.h"
#include "df_support.h"

namespace {

using df_test::Spline;
using df_test::poly;
using df_test::TaskHandle;

constexpr int64_t kNotAKnot = 1, kFree = 2, kSlopes = 12, kSlopeCurv = 36, kCurvSlope = 24,
                  kCurvatures = 48, kPeriodic = 64;

TEST(DataFittingLinear, ChordsOfEachCell) {
  Spline h;
  ASSERT_EQ(h.make({0, 1, 3}, 0, 1, {0, 2, 3}, 2, 0, 0, nullptr), 0);
  std::vector<double>& c = h.c;
  ASSERT_EQ(zorn_df_kernel_dDFLinearSpline1D(h.task(), 0, 0, 0), 0);
  EXPECT_EQ(c, (std::vector<double>{0, 2, 2, 0.5}));
  EXPECT_EQ(zorn_df_kernel_dDFLinearSpline1D(h.task(), 0, 1, 0), -1002);
  // A uniform partition stores its two ends only.
  Spline u;
  ASSERT_EQ(u.make({0, 2}, 4, 1, {0, 2, 3, 7, 7}, 2, 0, 0, nullptr, 0, nullptr, 5), 0);
  ASSERT_EQ(zorn_df_kernel_dDFLinearSpline1D(u.task(), 0, 0, 0), 0);
  EXPECT_EQ(u.c, (std::vector<double>{0, 4, 2, 2, 3, 8, 7, 0}));
}

// A plain transcription of the slope system as a dense matrix, solved by Gaussian
// elimination with partial pivoting.
std::vector<double> dense_slopes(const std::vector<double>& x, const std::vector<double>& y,
                                 int64_t end, const double* ends) {
  const size_t n = x.size();
  std::vector<std::vector<double>> a(n);
  for (auto& row : a) row.assign(n + 1, 0.0);
  auto h = [&](size_t i) { return x[i + 1] - x[i]; };
  auto dl = [&](size_t i) { return (y[i + 1] - y[i]) / h(i); };
  for (size_t i = 1; i + 1 < n; ++i) {
    a[i][i - 1] = h(i);
    a[i][i] = 2 * (h(i - 1) + h(i));
    a[i][i + 1] = h(i - 1);
    a[i][n] = 3 * (h(i) * dl(i - 1) + h(i - 1) * dl(i));
  }
  const size_t L = n - 1;
  if (end == kPeriodic) {
    // m_0 = m_{n-1}; the seam row joins cell n-2 to cell 0.
    a[0][0] = 2 * (h(n - 2) + h(0));
    a[0][1] += h(n - 2);
    a[0][n - 2] += h(0);  // the same entry when n = 3
    a[0][n] = 3 * (h(0) * dl(n - 2) + h(n - 2) * dl(0));
    a[L][0] = 1;
    a[L][L] = -1;
  } else if (end == kNotAKnot) {
    // Third derivative continuous at x[1] and x[n-2], written from the cell cubics:
    // c3_i = (m_i + m_{i+1} - 2 d_i)/h_i^2.
    a[0][0] = 1 / (h(0) * h(0));
    a[0][1] = 1 / (h(0) * h(0)) - 1 / (h(1) * h(1));
    a[0][2] = -1 / (h(1) * h(1));
    a[0][n] = 2 * dl(0) / (h(0) * h(0)) - 2 * dl(1) / (h(1) * h(1));
    a[L][L - 2] = 1 / (h(L - 2) * h(L - 2));
    a[L][L - 1] = 1 / (h(L - 2) * h(L - 2)) - 1 / (h(L - 1) * h(L - 1));
    a[L][L] = -1 / (h(L - 1) * h(L - 1));
    a[L][n] = 2 * dl(L - 2) / (h(L - 2) * h(L - 2)) - 2 * dl(L - 1) / (h(L - 1) * h(L - 1));
  } else {
    // s''(x0) = (6 d_0 - 4 m_0 - 2 m_1)/h_0, s''(x_L) = (2 m_{L-1} + 4 m_L - 6 d_{L-1})/h_{L-1}.
    const bool slope_left = end == kSlopes || end == kSlopeCurv;
    const bool slope_right = end == kSlopes || end == kCurvSlope;
    const double sl = end == kFree ? 0 : ends[0], sr = end == kFree ? 0 : ends[1];
    if (slope_left) { a[0][0] = 1; a[0][n] = sl; }
    else { a[0][0] = -4 / h(0); a[0][1] = -2 / h(0); a[0][n] = sl - 6 * dl(0) / h(0); }
    if (slope_right) { a[L][L] = 1; a[L][n] = sr; }
    else { a[L][L - 1] = 2 / h(L - 1); a[L][L] = 4 / h(L - 1); a[L][n] = sr + 6 * dl(L - 1) / h(L - 1); }
  }
  for (size_t k = 0; k < n; ++k) {
    size_t p = k;
    for (size_t r = k + 1; r < n; ++r) if (std::fabs(a[r][k]) > std::fabs(a[p][k])) p = r;
    std::swap(a[k], a[p]);
    for (size_t r = k + 1; r < n; ++r) {
      const double f = a[r][k] / a[k][k];
      for (size_t col = k; col <= n; ++col) a[r][col] -= f * a[k][col];
    }
  }
  std::vector<double> m(n);
  for (size_t k = n; k-- > 0;) {
    double s = a[k][n];
    for (size_t col = k + 1; col < n; ++col) s -= a[k][col] * m[col];
    m[k] = s / a[k][k];
  }
  return m;
}

TEST(DataFittingNaturalCubic, FreeEndsWorkedCase) {
  Spline h;
  ASSERT_EQ(h.make({0, 1, 2, 3}, 0, 1, {0, 1, 0, 1}, 4, 2, kFree, nullptr), 0);
  std::vector<double>& c = h.c;
  ASSERT_EQ(zorn_df_kernel_dDFNaturalCubicSpline1D(h.task(), 0, 0, 0), 0);
  // 2m0+m1=3, m0+4m1+m2=0, m1+4m2+m3=0, m2+2m3=3; the data's symmetry y(3-t) = 1-y(t)
  // gives m0 = m3, m1 = m2, hence m = (5/3, -1/3, -1/3, 5/3).
  const double m[4] = {5.0 / 3, -1.0 / 3, -1.0 / 3, 5.0 / 3};
  for (int i = 0; i < 3; ++i) {
    EXPECT_NEAR(c[size_t(4 * i + 1)], m[i], 1e-14);
    EXPECT_NEAR(poly(&c[size_t(4 * i)], 4, 1.0), i % 2 == 0 ? 1.0 : 0.0, 1e-14);
  }
  // Free ends: zero second derivative at both ends.
  EXPECT_NEAR(c[2], 0, 1e-14);
  EXPECT_NEAR(2 * c[10] + 6 * c[11], 0, 1e-14);
}

TEST(DataFittingNaturalCubic, SlopesAgreeWithDenseSolveForEveryEndCondition) {
  std::mt19937_64 gen(3);
  std::uniform_real_distribution<double> u(0.2, 1.5), v(-2, 2);
  for (int64_t nx : {3, 4, 5, 9, 40}) {
    std::vector<double> x(static_cast<size_t>(nx)), y(x.size() * 2);
    double pos = 0;
    for (auto& e : x) e = pos += u(gen);
    for (auto& e : y) e = v(gen);
    for (int64_t end : {kNotAKnot, kFree, kSlopes, kSlopeCurv, kCurvSlope, kCurvatures, kPeriodic}) {
      if (end == kNotAKnot && nx == 3) continue;  // parabola, tested apart
      std::vector<double> yy = y;
      if (end == kPeriodic) { yy[size_t(nx - 1)] = yy[0]; yy[size_t(2 * nx - 1)] = yy[size_t(nx)]; }
      const double ends[2] = {0.7, -1.3};
      Spline h;
      ASSERT_EQ(h.make(x, 1, 2, yy, 4, 2, end, ends), 0);
      std::vector<double>& c = h.c;
      ASSERT_EQ(zorn_df_kernel_dDFNaturalCubicSpline1D(h.task(), 0, 0, 0), 0) << end;
      for (int64_t j = 0; j < 2; ++j) {
        std::vector<double> yj(yy.begin() + j * nx, yy.begin() + (j + 1) * nx);
        const std::vector<double> m = dense_slopes(x, yj, end, ends);
        const double* cj = c.data() + j * 4 * (nx - 1);
        for (int64_t i = 0; i + 1 < nx; ++i) {
          EXPECT_NEAR(cj[4 * i + 1], m[size_t(i)], 1e-11) << "end " << end << " nx " << nx;
          const double hi = x[size_t(i + 1)] - x[size_t(i)];
          EXPECT_NEAR(poly(cj + 4 * i, 4, hi), yj[size_t(i + 1)], 1e-11);
        }
        EXPECT_NEAR(cj[4 * (nx - 2) + 1] + 2 * cj[4 * (nx - 2) + 2] * (x[size_t(nx - 1)] - x[size_t(nx - 2)]) +
                        3 * cj[4 * (nx - 2) + 3] * std::pow(x[size_t(nx - 1)] - x[size_t(nx - 2)], 2),
                    m[size_t(nx - 1)], 1e-10);
      }
    }
  }
}

TEST(DataFittingNaturalCubic, ReproducesCubicsWithMatchingEndConditions) {
  auto f = [](double t) { return 1 - 2 * t + 0.5 * t * t - 0.25 * t * t * t; };
  auto f1 = [](double t) { return -2 + t - 0.75 * t * t; };
  auto f2 = [](double t) { return 1 - 1.5 * t; };
  const std::vector<double> x = {-1, -0.3, 0.4, 0.5, 1.7, 2.0, 3.1};
  std::vector<double> y;
  for (double t : x) y.push_back(f(t));
  const double lo = x.front(), hi = x.back();
  const struct { int64_t end; double a, b; } cases[] = {
      {kNotAKnot, 0, 0}, {kSlopes, f1(lo), f1(hi)}, {kSlopeCurv, f1(lo), f2(hi)},
      {kCurvSlope, f2(lo), f1(hi)}, {kCurvatures, f2(lo), f2(hi)}};
  for (const auto& k : cases) {
    const double ends[2] = {k.a, k.b};
    Spline h;
    ASSERT_EQ(h.make(x, 0, 1, y, 4, 2, k.end, ends), 0);
    std::vector<double>& c = h.c;
    ASSERT_EQ(zorn_df_kernel_dDFNaturalCubicSpline1D(h.task(), 0, 0, 0), 0);
    for (size_t i = 0; i + 1 < x.size(); ++i) {
      const double xi = x[i];
      EXPECT_NEAR(c[4 * i + 0], f(xi), 1e-13) << k.end;
      EXPECT_NEAR(c[4 * i + 1], f1(xi), 1e-13) << k.end;
      EXPECT_NEAR(c[4 * i + 2], f2(xi) / 2, 1e-13) << k.end;
      EXPECT_NEAR(c[4 * i + 3], -0.25, 1e-13) << k.end;
    }
  }
  // Three nodes, not-a-knot: the parabola through them.
  Spline p;
  ASSERT_EQ(p.make({0, 1, 3}, 0, 1, {1, 2, 10}, 4, 2, kNotAKnot, nullptr), 0);
  std::vector<double>& c = p.c;
  ASSERT_EQ(zorn_df_kernel_dDFNaturalCubicSpline1D(p.task(), 0, 0, 0), 0);  // 1 + t^2
  const double expected[8] = {1, 0, 1, 0, 2, 2, 1, 0};
  for (int i = 0; i < 8; ++i) EXPECT_NEAR(c[size_t(i)], expected[i], 1e-14) << i;
}

TEST(DataFittingNaturalCubic, PeriodicSplineIsSmoothAcrossTheSeam) {
  std::vector<double> x, y;
  const double kPi = std::acos(-1.0);
  for (int i = 0; i <= 12; ++i) { x.push_back(2 * kPi * i / 12 + 0.01 * (i % 3)); y.push_back(std::sin(x.back())); }
  x.back() = 2 * kPi;
  y.back() = y.front();
  Spline h;
  ASSERT_EQ(h.make(x, 0, 1, y, 4, 2, kPeriodic, nullptr), 0);
  std::vector<double>& c = h.c;
  ASSERT_EQ(zorn_df_kernel_dDFNaturalCubicSpline1D(h.task(), 0, 0, 0), 0);
  const double* last = &c[4 * 11];
  const double hl = x[12] - x[11];
  EXPECT_NEAR(last[1] + 2 * last[2] * hl + 3 * last[3] * hl * hl, c[1], 1e-12);
  EXPECT_NEAR(2 * last[2] + 6 * last[3] * hl, 2 * c[2], 1e-12);
  // Three nodes take the two-unknown cyclic path; it must still close up.
  Spline small;
  ASSERT_EQ(small.make({0, 1, 3}, 0, 1, {1, 4, 1}, 4, 2, kPeriodic, nullptr), 0);
  ASSERT_EQ(zorn_df_kernel_dDFNaturalCubicSpline1D(small.task(), 0, 0, 0), 0);
  const std::vector<double>& s = small.c;
  EXPECT_NEAR(s[5] + 2 * s[6] * 2 + 3 * s[7] * 4, s[1], 1e-13);
  EXPECT_NEAR(2 * s[6] + 6 * s[7] * 2, 2 * s[2], 1e-13);
}

// Every check comes before any write.
TEST(DataFittingNaturalCubic, StatusesInCheckOrder) {
  const struct {
    int64_t end_kind, method;
    void (*damage)(ZornDfTask*);
    int32_t status;
  } cases[] = {
      {kPeriodic, 0, nullptr, -1018},  // the data are not periodic
      {kPeriodic, 3, nullptr, -1002},  // the method comes first
      {3, 0, nullptr, -1014},
      {kSlopes, 0, nullptr, -1015},  // end conditions without their values
      {kFree, 0, [](ZornDfTask* t) { t->value_storage = 64; }, -1009},  // past the editor's checks
      {kNotAKnot, 0, [](ZornDfTask* t) { zorn_df_kernel_iEditVal(t, 14, 2); }, -1004},  // two nodes
      {kFree, 0, nullptr, 0},
  };
  for (const auto& c : cases) {
    Spline h;
    ASSERT_EQ(h.make({0, 1, 2, 3}, 0, 1, {1, 2, 0, 1.5}, 4, 2, kPeriodic, nullptr), 0);
    ASSERT_EQ(zorn_df_kernel_iEditVal(h.task(), 21, c.end_kind), 0);  // the value editor takes any kind
    if (c.damage != nullptr) c.damage(h.task());
    EXPECT_EQ(zorn_df_kernel_dDFNaturalCubicSpline1D(h.task(), 0, c.method, 0), c.status) << c.end_kind;
    EXPECT_EQ(h.c[0] == -777.0, c.status != 0) << c.end_kind;
  }
  EXPECT_EQ(zorn_df_kernel_dDFNaturalCubicSpline1D(nullptr, 0, 0, 0), -1000);
}

TEST(DataFittingNaturalCubic, RefusesTablesThatNoLongerFitTheTask) {
  Spline h;
  ASSERT_EQ(h.make({0, 1, 2, 3}, 0, 1, {1, 2, 0, 1}, 2, 0, kFree, nullptr), 0);
  // Coefficients laid out for order 2; building a cubic would run past each block.
  EXPECT_EQ(zorn_df_kernel_dDFNaturalCubicSpline1D(h.task(), 0, 0, 0), -1016);
  EXPECT_EQ(h.c[0], -777.0);
  // More functions than the value table has entries.
  EXPECT_EQ(zorn_df_kernel_iEditVal(h.task(), 16, 3), 0);
  EXPECT_EQ(zorn_df_kernel_dDFLinearSpline1D(h.task(), 0, 0, 0), -1008);
  // Separate value arrays of which one was never given.
  const double nodes4[4] = {0, 1, 2, 3}, y0[4] = {1, 2, 3, 4};
  std::vector<double> c2(24);
  TaskHandle separate;
  ASSERT_EQ(zorn_df_kernel_dNewTask1D(&separate.task, 4, nodes4, 0, 2, y0, 128, 0), 0);
  ASSERT_EQ(zorn_df_kernel_dEditPPSpline1D(separate.task, 4, 2, kFree, nullptr, 0, nullptr, c2.data(), 0), 0);
  EXPECT_EQ(zorn_df_kernel_dDFNaturalCubicSpline1D(separate.task, 0, 0, 0), -1008);
  ASSERT_EQ(zorn_df_kernel_dEditIdxPtr(separate.task, 2, 1, y0), 0);
  EXPECT_EQ(zorn_df_kernel_dDFNaturalCubicSpline1D(separate.task, 0, 0, 0), 0);
  EXPECT_EQ(std::vector<double>(c2.begin(), c2.begin() + 12), std::vector<double>(c2.begin() + 12, c2.end()));
  TaskHandle empty;
  const double nodes[4] = {0, 1, 2, 3};
  ASSERT_EQ(zorn_df_kernel_dNewTask1D(&empty.task, 4, nodes, 0, 0, nullptr, 0, 0), 0);
  EXPECT_EQ(zorn_df_kernel_dDFLinearSpline1D(empty.task, 0, 0, 0), -1008);
}

TEST(DataFittingNaturalCubic, ColumnStorageAndSinglePrecisionGiveTheSameSpline) {
  const std::vector<double> x = {0, 0.5, 1.25, 2, 3.5};
  const std::vector<double> rows = {1, 3, 2, 5, 4, -1, 0, 2, 1, 1};
  std::vector<double> columns(10);
  for (int i = 0; i < 5; ++i) { columns[size_t(2 * i)] = rows[size_t(i)]; columns[size_t(2 * i + 1)] = rows[size_t(5 + i)]; }
  Spline a, b;
  ASSERT_EQ(a.make(x, 0, 2, rows, 4, 2, kFree, nullptr), 0);
  ASSERT_EQ(b.make(x, 0, 2, columns, 4, 2, kFree, nullptr, 0, nullptr, 0, 32), 0);
  const std::vector<double>& cr = a.c;
  const std::vector<double>& cc = b.c;
  ASSERT_EQ(zorn_df_kernel_dDFNaturalCubicSpline1D(a.task(), 0, 0, 0), 0);
  ASSERT_EQ(zorn_df_kernel_dDFNaturalCubicSpline1D(b.task(), 0, 0, 0), 0);
  EXPECT_EQ(cr, cc);
  std::vector<float> xf(x.begin(), x.end()), yf(rows.begin(), rows.end()), cf(32);
  TaskHandle s;
  ASSERT_EQ(zorn_df_kernel_sNewTask1D(&s.task, 5, xf.data(), 0, 2, yf.data(), 0, 0), 0);
  ASSERT_EQ(zorn_df_kernel_sEditPPSpline1D(s.task, 4, 2, kFree, nullptr, 0, nullptr, cf.data(), 0), 0);
  ASSERT_EQ(zorn_df_kernel_sDFNaturalCubicSpline1D(s.task, 0, 0, 0), 0);
  for (size_t i = 0; i < 32; ++i) EXPECT_NEAR(cf[i], cr[i], 2e-5 * (1 + std::fabs(cr[i])));
}

// Long splines write their cells around the caches when the coefficients are aligned
// to 16 bytes; misaligned by one double they take the plain path. Both must give the
// same bits, on a non-uniform and a uniform partition, in row and column storage.
TEST(DataFittingCubicCells, LongSplinesGiveTheSameCellsAlignedOrNot) {
  const int64_t n = (int64_t{1} << 17) + 5;
  std::mt19937_64 rng(11);
  std::uniform_real_distribution<double> u(0.5, 1.5);
  std::vector<double> x(static_cast<size_t>(n)), y(static_cast<size_t>(2 * n));
  double at = 0;
  for (int64_t i = 0; i < n; ++i) {
    x[size_t(i)] = at += u(rng);
    y[size_t(i)] = std::sin(at / 50);
    y[size_t(n + i)] = u(rng);
  }
  const std::vector<double> ends = {0, x[size_t(n - 1)]};
  using Kernel = int32_t (*)(ZornDfTask*, int64_t, int64_t, int64_t);
  struct Case {
    const char* name;
    Kernel build;
    int64_t end_kind, hint, storage;
  };
  const Case cases[] = {{"natural", zorn_df_kernel_dDFNaturalCubicSpline1D, kFree, 0, 0},
                        {"not-a-knot, columns", zorn_df_kernel_dDFNaturalCubicSpline1D, kNotAKnot, 0, 32},
                        {"natural, uniform", zorn_df_kernel_dDFNaturalCubicSpline1D, kFree, 4, 0},
                        {"akima", zorn_df_kernel_dDFAkimaCubicSpline1D, 0, 0, 0},
                        {"hyman, columns", zorn_df_kernel_dDFHymanCubicSpline1D, kFree, 0, 32}};
  for (const Case& k : cases) {
    const int64_t cells = 2 * 4 * (n - 1);
    std::vector<double> aligned(static_cast<size_t>(cells)), shifted(static_cast<size_t>(cells + 1));
    for (double* c : {aligned.data(), shifted.data() + 1}) {
      TaskHandle h;
      const bool uniform = k.hint == 4;
      ASSERT_EQ(zorn_df_kernel_dNewTask1D(&h.task, n, uniform ? ends.data() : x.data(), k.hint, 2,
                                          y.data(), k.storage, 1), 0);
      ASSERT_EQ(zorn_df_kernel_dEditPPSpline1D(h.task, 4, 0, k.end_kind, nullptr, 0, nullptr, c, 0), 0);
      ASSERT_EQ(k.build(h.task, 0, 0, 0), 0) << k.name;
    }
    for (int64_t i = 0; i < cells; ++i)
      ASSERT_EQ(aligned[size_t(i)], shifted[size_t(i) + 1]) << k.name << " entry " << i;
  }
}

}  // namespace
