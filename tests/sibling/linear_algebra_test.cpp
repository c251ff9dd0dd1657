// Our forwarding of the BLAS/LAPACK-named routines: the published argument order and
// workspace queries on small cases worked by hand, and the packed triangular multiply
// (ours) against the full one.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "zorn/core.h"

namespace {

TEST(LinearAlgebra, GemmAndSyrkForwardInPublishedOrder) {
  // Column-major A (2x3) and B (3x2).
  const double a[6] = {1, 4, 2, 5, 3, 6}, b[6] = {7, 9, 11, 8, 10, 12};
  double c[4] = {0, 0, 0, 0};
  const zorn_blas_int m = 2, n = 2, k = 3;
  const double one = 1, zero = 0;
  zorn_blas_xdgemm("N", "N", &m, &n, &k, &one, a, &m, b, &k, &zero, c, &m);
  EXPECT_EQ(std::vector<double>(c, c + 4), (std::vector<double>{58, 139, 64, 154}));
  // Upper triangle of A * A^T.
  double s[4] = {0, -1, 0, 0};
  zorn_blas_dsyrk("U", "N", &m, &k, &one, a, &m, &zero, s, &m);
  EXPECT_EQ(s[0], 14);
  EXPECT_EQ(s[2], 32);
  EXPECT_EQ(s[3], 77);
  EXPECT_EQ(s[1], -1);  // lower triangle untouched
  const double x[2] = {1, 2};
  const zorn_blas_int inc = 1;
  zorn_blas_dsyr("U", &m, &one, x, &inc, s, &m);
  EXPECT_EQ(s[3], 81);
}

TEST(LinearAlgebra, CholeskyFactorsASymmetricPositiveMatrix) {
  double a[4] = {4, 2, 2, 3};
  const zorn_blas_int n = 2;
  zorn_blas_int info = -1;
  zorn_lapack_dpotrf("L", &n, a, &n, &info);
  EXPECT_EQ(info, 0);
  EXPECT_DOUBLE_EQ(a[1], 1);  // the lower triangle was asked for
  double bad[4] = {1, 2, 2, 1};
  zorn_lapack_dpotrf("L", &n, bad, &n, &info);
  EXPECT_GT(info, 0);
}

TEST(LinearAlgebra, SymmetricEigenproblemInFullAndPackedStorage) {
  // [[2, 1, 0], [1, 2, 1], [0, 1, 2]] has eigenvalues 2 - sqrt(2), 2, 2 + sqrt(2).
  const zorn_blas_int n = 3;
  double a[9] = {2, 1, 0, 1, 2, 1, 0, 1, 2}, w[3], query = 0;
  zorn_blas_int info = -1, lwork = -1;
  zorn_lapack_dsyev("V", "U", &n, a, &n, w, &query, &lwork, &info);
  ASSERT_EQ(info, 0);
  std::vector<double> work(static_cast<size_t>(query));
  lwork = static_cast<zorn_blas_int>(work.size());
  zorn_lapack_dsyev("V", "U", &n, a, &n, w, work.data(), &lwork, &info);
  ASSERT_EQ(info, 0);
  const double expected[3] = {2 - std::sqrt(2.0), 2, 2 + std::sqrt(2.0)};
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(w[i], expected[i], 1e-14);
  double ap[6] = {2, 1, 2, 0, 1, 2}, wp[3], z[9];  // upper triangle packed by columns
  double work_query = 0;
  zorn_blas_int iwork_query = 0, liwork = -1;
  lwork = -1;
  zorn_lapack_dspevd("N", "U", &n, ap, wp, z, &n, &work_query, &lwork, &iwork_query, &liwork, &info);
  ASSERT_EQ(info, 0);
  std::vector<double> pwork(static_cast<size_t>(work_query));
  std::vector<zorn_blas_int> iwork(static_cast<size_t>(iwork_query));
  lwork = static_cast<zorn_blas_int>(pwork.size());
  liwork = static_cast<zorn_blas_int>(iwork.size());
  zorn_lapack_dspevd("N", "U", &n, ap, wp, z, &n, pwork.data(), &lwork, iwork.data(), &liwork, &info);
  ASSERT_EQ(info, 0);
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(wp[i], expected[i], 1e-14);
}

TEST(LinearAlgebra, PackedTriangularMultiplyEqualsFullStorage) {
  std::mt19937 rng(3);
  std::uniform_real_distribution<double> u(-1, 1);
  const zorn_blas_int k = 5, other = 3;
  for (const char* side : {"L", "R"})
    for (const char* uplo : {"U", "L"})
      for (const char* trans : {"N", "T"}) {
        std::vector<double> full(k * k, 0.0), packed;
        for (zorn_blas_int j = 0; j < k; ++j)
          for (zorn_blas_int i = 0; i < k; ++i)
            if (*uplo == 'U' ? i <= j : i >= j) {
              full[j * k + i] = u(rng);
              packed.push_back(full[j * k + i]);
            }
        const zorn_blas_int m = *side == 'L' ? k : other, n = *side == 'L' ? other : k;
        std::vector<double> b(m * n);
        for (auto& v : b) v = u(rng);
        std::vector<double> b_full = b, b_packed = b;
        const double alpha = 1.5;
        zorn_blas4tess_dtrmm(side, uplo, trans, "N", &m, &n, &alpha, full.data(), &k,
                             b_full.data(), &m);
        zorn_blas4tess_dptrmm(side, uplo, trans, "N", &m, &n, &alpha, packed.data(),
                              b_packed.data(), &m);
        for (size_t i = 0; i < b.size(); ++i)
          EXPECT_DOUBLE_EQ(b_packed[i], b_full[i]) << side << uplo << trans << i;
      }
}

}  // namespace
