// The tridiagonal solvers against an independent dense elimination, and their
// reports of zero or non-finite pivots.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "zorn/core.h"

namespace {

// Dense Gaussian elimination with partial pivoting on the tridiagonal matrix.
std::vector<double> dense_solve(const std::vector<double>& dl, const std::vector<double>& d,
                                const std::vector<double>& du, std::vector<double> b) {
  const size_t n = d.size();
  std::vector<double> a(n * n, 0.0);
  for (size_t i = 0; i < n; ++i) {
    a[i * n + i] = d[i];
    if (i + 1 < n) {
      a[i * n + i + 1] = du[i];
      a[(i + 1) * n + i] = dl[i];
    }
  }
  for (size_t k = 0; k < n; ++k) {
    size_t p = k;
    for (size_t i = k + 1; i < n; ++i)
      if (std::fabs(a[i * n + k]) > std::fabs(a[p * n + k])) p = i;
    for (size_t j = 0; j < n; ++j) std::swap(a[k * n + j], a[p * n + j]);
    std::swap(b[k], b[p]);
    for (size_t i = k + 1; i < n; ++i) {
      const double f = a[i * n + k] / a[k * n + k];
      for (size_t j = k; j < n; ++j) a[i * n + j] -= f * a[k * n + j];
      b[i] -= f * b[k];
    }
  }
  for (size_t k = n; k-- > 0;) {
    for (size_t j = k + 1; j < n; ++j) b[k] -= a[k * n + j] * b[j];
    b[k] /= a[k * n + k];
  }
  return b;
}

struct System {
  std::vector<double> dl, d, du, b;  // b holds nrhs columns of length n
};

System diagonally_dominant(int64_t n, int64_t nrhs, unsigned seed) {
  std::mt19937_64 rng(seed);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  System s{std::vector<double>(n - 1), std::vector<double>(n), std::vector<double>(n - 1),
           std::vector<double>(n * nrhs)};
  for (auto& x : s.dl) x = u(rng);
  for (auto& x : s.du) x = u(rng);
  for (auto& x : s.d) x = 2.5 + u(rng);
  for (auto& x : s.b) x = u(rng);
  return s;
}

TEST(Tridiagonal, FactorThenSolveMatchesDenseSolveForSeveralRightHandSides) {
  const int64_t n = 40, nrhs = 3, ldb = n;
  System s = diagonally_dominant(n, nrhs, 1);
  System f = s;
  int64_t info = -99;
  ddttrfb_4dfl(&n, f.dl.data(), f.d.data(), f.du.data(), &info);
  ASSERT_EQ(info, 0);
  ddttrsb_4dfl("N", &n, &nrhs, f.dl.data(), f.d.data(), f.du.data(), f.b.data(), &ldb, &info);
  ASSERT_EQ(info, 0);
  for (int64_t r = 0; r < nrhs; ++r) {
    std::vector<double> rhs(s.b.begin() + r * n, s.b.begin() + (r + 1) * n);
    std::vector<double> x = dense_solve(s.dl, s.d, s.du, rhs);
    for (int64_t i = 0; i < n; ++i) EXPECT_NEAR(f.b[r * n + i], x[i], 1e-13) << r << ',' << i;
  }
}

TEST(Tridiagonal, OneCallSolverAndSinglePrecisionTwin) {
  const int64_t n = 17, nrhs = 1, ldb = n;
  System s = diagonally_dominant(n, nrhs, 2);
  std::vector<double> x = dense_solve(s.dl, s.d, s.du, s.b);
  System f = s;
  int64_t info = -99;
  ddtsvb_4dfl(&n, &nrhs, f.dl.data(), f.d.data(), f.du.data(), f.b.data(), &ldb, &info);
  ASSERT_EQ(info, 0);
  std::vector<float> dl(s.dl.begin(), s.dl.end()), d(s.d.begin(), s.d.end()),
      du(s.du.begin(), s.du.end()), b(s.b.begin(), s.b.end());
  sdtsvb_4dfl(&n, &nrhs, dl.data(), d.data(), du.data(), b.data(), &ldb, &info);
  ASSERT_EQ(info, 0);
  for (int64_t i = 0; i < n; ++i) {
    EXPECT_NEAR(f.b[i], x[i], 1e-13);
    EXPECT_NEAR(b[i], x[i], 1e-5);
  }
}

TEST(Tridiagonal, ZeroOrNonFinitePivotIsReportedWithItsPosition) {
  // [[1, 1, 0], [1, 1, 1], [0, 1, 1]]: the second pivot is 1 - 1*1 = 0.
  const int64_t n = 3;
  std::vector<double> dl{1, 1}, d{1, 1, 1}, du{1, 1};
  int64_t info = 0;
  ddttrfb_4dfl(&n, dl.data(), d.data(), du.data(), &info);
  EXPECT_EQ(info, 2);
  std::vector<double> dl2{1, 1}, d2{0, 1, 1}, du2{1, 1}, b{1, 1, 1};
  const int64_t nrhs = 1;
  ddtsvb_4dfl(&n, &nrhs, dl2.data(), d2.data(), du2.data(), b.data(), &n, &info);
  EXPECT_EQ(info, 1);
  EXPECT_EQ(b[0], 1.0);  // a failed factorisation leaves the right-hand side alone
  std::vector<float> fdl{1, 1}, fd{1, std::numeric_limits<float>::infinity(), 1}, fdu{1, 1};
  sdttrfb_4dfl(&n, fdl.data(), fd.data(), fdu.data(), &info);
  EXPECT_EQ(info, 2);
}

TEST(Tridiagonal, OrderOneAndArgumentErrors) {
  const int64_t one = 1, nrhs = 1;
  double d = 4, b = 2;
  int64_t info = -1;
  ddtsvb_4dfl(&one, &nrhs, nullptr, &d, nullptr, &b, &one, &info);
  EXPECT_EQ(info, 0);
  EXPECT_EQ(b, 0.5);
  const int64_t n = 3, short_ldb = 2;
  std::vector<double> dl{1, 1}, dd{4, 4, 4}, du{1, 1}, rhs{1, 1, 1};
  ddttrsb_4dfl("N", &n, &nrhs, dl.data(), dd.data(), du.data(), rhs.data(), &short_ldb, &info);
  EXPECT_LT(info, 0);
  ddttrsb_4dfl("T", &n, &nrhs, dl.data(), dd.data(), du.data(), rhs.data(), &n, &info);
  EXPECT_LT(info, 0);
  EXPECT_EQ(rhs, (std::vector<double>{1, 1, 1}));
}


// The plain recurrence, one row after the other: 0 or the 1-based first bad pivot.
template <class T>
int64_t sequential_factor(std::vector<T>& dl, std::vector<T>& d, const std::vector<T>& du) {
  T p = d[0];
  for (size_t i = 1; i < d.size(); ++i) {
    dl[i - 1] /= p;
    p = d[i] -= dl[i - 1] * du[i - 1];
    if (!(std::isfinite(p) && p != 0)) return int64_t(i) + 1;
  }
  return 0;
}

// The plain substitutions, one row after the other, on a factored system.
template <class T>
void sequential_solve(const std::vector<T>& dl, const std::vector<T>& d, const std::vector<T>& du,
                      T* x) {
  const size_t n = d.size();
  for (size_t i = 1; i < n; ++i) x[i] -= dl[i - 1] * x[i - 1];
  x[n - 1] /= d[n - 1];
  for (size_t i = n - 1; i-- > 0;) {
    const T r = T(1) / d[i];
    x[i] = x[i] * r - du[i] * r * x[i + 1];
  }
}

// Long systems are factored and solved in side-by-side chains from guessed values; the
// results must be the sequential recurrences' bit for bit, also where a guess is wrong
// (pivots that forget their start slowly: 2 - 1/p has the neutral fixed point 1) and
// where a pivot becomes unusable inside a chain (reported at its own row, the one before
// intact). Chains run in segments of 4 chunks of 2000 rows from row 1.
TEST(Tridiagonal, LongSystemsFactorAndSolveAsTheSequentialRecurrences) {
  const int64_t n = 5 * 8000 + 1060, nrhs = 2, ldb = n + 3;
  struct Case {
    double diagonal, off;  // d[i] = diagonal (+ noise), dl = du = off
    int64_t bad_row;       // row given a NaN diagonal, or -1
  };
  const Case cases[] = {{4, 1, -1}, {2, 1, -1}, {4, 1, 3 * 8000 + 1 + 2 * 2000 + 17},
                        {4, 1, 2 * 8000 + 1 + 5}, {2, 1, 4 * 8000 + 1 + 3 * 2000}};
  std::mt19937_64 rng(3);
  std::uniform_real_distribution<double> noise(-0.25, 0.25);
  for (const Case& c : cases) {
    std::vector<double> dl(n - 1), d(n), du(n - 1), b(nrhs * ldb);
    for (int64_t i = 0; i < n; ++i) d[i] = c.diagonal + (c.diagonal > 2 ? noise(rng) : 0.0);
    for (int64_t i = 0; i + 1 < n; ++i) dl[i] = du[i] = c.off;
    for (double& v : b) v = noise(rng);
    if (c.bad_row >= 0) d[c.bad_row] = std::numeric_limits<double>::quiet_NaN();
    std::vector<double> rl = dl, rd = d;
    const int64_t expected = sequential_factor(rl, rd, du);
    int64_t info = -1;
    ddttrfb_4dfl(&n, dl.data(), d.data(), du.data(), &info);
    ASSERT_EQ(info, expected) << c.bad_row;
    const int64_t rows = expected == 0 ? n : expected - 1;  // rows before the bad one
    for (int64_t i = 0; i < rows; ++i) {
      ASSERT_EQ(d[i], rd[i]) << c.diagonal << " row " << i;
      if (i > 0) {
        ASSERT_EQ(dl[i - 1], rl[i - 1]) << c.diagonal << " row " << i;
      }
    }
    if (expected != 0) continue;
    std::vector<double> reference = b;
    for (int64_t r = 0; r < nrhs; ++r) sequential_solve(rl, rd, du, reference.data() + r * ldb);
    ddttrsb_4dfl("N", &n, &nrhs, dl.data(), d.data(), du.data(), b.data(), &ldb, &info);
    ASSERT_EQ(info, 0);
    for (int64_t k = 0; k < nrhs * ldb; ++k)
      ASSERT_EQ(b[k], reference[k]) << c.diagonal << " entry " << k;
  }
}

}  // namespace
