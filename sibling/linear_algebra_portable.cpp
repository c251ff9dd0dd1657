// The dense linear algebra entry points as plain reference loops, for platforms where
// the stand-in has no system BLAS/LAPACK to forward to (the Windows build). Column-major
// storage and the published argument conventions throughout.
#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "export.h"
#include "zorn/core.h"

namespace {

using I = zorn_blas_int;

bool is(const char* flag, char c) { return (*flag | 0x20) == (c | 0x20); }

template <class T>
struct Matrix {  // a column-major view
  T* p;
  I ld;
  T& operator()(I i, I j) const { return p[static_cast<size_t>(j) * ld + i]; }
};

template <class T>
void gemm(const char* ta, const char* tb, I m, I n, I k, T alpha, const T* a, I lda,
          const T* b, I ldb, T beta, T* c, I ldc) {
  Matrix<const T> A{a, lda}, B{b, ldb};
  Matrix<T> C{c, ldc};
  for (I j = 0; j < n; ++j)
    for (I i = 0; i < m; ++i) {
      T sum = 0;
      for (I l = 0; l < k; ++l)
        sum += (is(ta, 'N') ? A(i, l) : A(l, i)) * (is(tb, 'N') ? B(l, j) : B(j, l));
      C(i, j) = alpha * sum + (beta == T(0) ? T(0) : beta * C(i, j));
    }
}

// Element (i, j) of a symmetric matrix stored in one triangle.
template <class T>
T sym(const Matrix<const T>& A, bool upper, I i, I j) {
  return (upper == (i <= j)) ? A(i, j) : A(j, i);
}

template <class T>
void symm(const char* side, const char* uplo, I m, I n, T alpha, const T* a, I lda,
          const T* b, I ldb, T beta, T* c, I ldc) {
  Matrix<const T> A{a, lda}, B{b, ldb};
  Matrix<T> C{c, ldc};
  const bool left = is(side, 'L'), upper = is(uplo, 'U');
  for (I j = 0; j < n; ++j)
    for (I i = 0; i < m; ++i) {
      T sum = 0;
      if (left)
        for (I l = 0; l < m; ++l) sum += sym(A, upper, i, l) * B(l, j);
      else
        for (I l = 0; l < n; ++l) sum += B(i, l) * sym(A, upper, l, j);
      C(i, j) = alpha * sum + (beta == T(0) ? T(0) : beta * C(i, j));
    }
}

template <class T>
void syrk(const char* uplo, const char* trans, I n, I k, T alpha, const T* a, I lda, T beta,
          T* c, I ldc) {
  Matrix<const T> A{a, lda};
  Matrix<T> C{c, ldc};
  const bool upper = is(uplo, 'U'), plain = is(trans, 'N');
  for (I j = 0; j < n; ++j)
    for (I i = upper ? 0 : j; i <= (upper ? j : n - 1); ++i) {
      T sum = 0;
      for (I l = 0; l < k; ++l) sum += plain ? A(i, l) * A(j, l) : A(l, i) * A(l, j);
      C(i, j) = alpha * sum + (beta == T(0) ? T(0) : beta * C(i, j));
    }
}

template <class T>
void syr(const char* uplo, I n, T alpha, const T* x, I incx, T* a, I lda) {
  Matrix<T> A{a, lda};
  const bool upper = is(uplo, 'U');
  const I start = incx > 0 ? 0 : (1 - n) * incx;
  auto xi = [&](I i) { return x[start + i * incx]; };
  for (I j = 0; j < n; ++j)
    for (I i = upper ? 0 : j; i <= (upper ? j : n - 1); ++i) A(i, j) += alpha * xi(i) * xi(j);
}

template <class T>
void trmm(const char* side, const char* uplo, const char* transa, const char* diag, I m, I n,
          T alpha, const T* a, I lda, T* b, I ldb) {
  Matrix<const T> A{a, lda};
  Matrix<T> B{b, ldb};
  const bool left = is(side, 'L'), upper = is(uplo, 'U'), trans = !is(transa, 'N'),
             unit = is(diag, 'U');
  const I k = left ? m : n;
  auto op = [&](I i, I j) -> T {  // element (i, j) of op(A)
    const I r = trans ? j : i, c = trans ? i : j;
    if (r == c) return unit ? T(1) : A(r, c);
    return (upper ? r < c : r > c) ? A(r, c) : T(0);
  };
  std::vector<T> result(static_cast<size_t>(m) * n);
  for (I j = 0; j < n; ++j)
    for (I i = 0; i < m; ++i) {
      T sum = 0;
      for (I l = 0; l < k; ++l) sum += left ? op(i, l) * B(l, j) : B(i, l) * op(l, j);
      result[static_cast<size_t>(j) * m + i] = alpha * sum;
    }
  for (I j = 0; j < n; ++j)
    for (I i = 0; i < m; ++i) B(i, j) = result[static_cast<size_t>(j) * m + i];
}

// Cholesky factorisation: A = U^T U (upper) or L L^T (lower), in place.
template <class T>
I potrf(const char* uplo, I n, T* a, I lda) {
  Matrix<T> A{a, lda};
  const bool upper = is(uplo, 'U');
  auto at = [&](I i, I j) -> T& { return upper ? A(j, i) : A(i, j); };  // lower view
  for (I j = 0; j < n; ++j) {
    T d = at(j, j);
    for (I l = 0; l < j; ++l) d -= at(j, l) * at(j, l);
    if (!(d > T(0))) return j + 1;
    d = std::sqrt(d);
    at(j, j) = d;
    for (I i = j + 1; i < n; ++i) {
      T s = at(i, j);
      for (I l = 0; l < j; ++l) s -= at(i, l) * at(j, l);
      at(i, j) = s / d;
    }
  }
  return 0;
}

// Inverse of A from its Cholesky factor: A^-1 = L^-T L^-1, written to the same triangle.
template <class T>
I potri(const char* uplo, I n, T* a, I lda) {
  Matrix<T> A{a, lda};
  const bool upper = is(uplo, 'U');
  auto at = [&](I i, I j) -> T& { return upper ? A(j, i) : A(i, j); };
  std::vector<T> inv(static_cast<size_t>(n) * n, T(0));  // L^-1, lower, column-major
  for (I j = 0; j < n; ++j) {
    if (at(j, j) == T(0)) return j + 1;
    inv[j * n + j] = T(1) / at(j, j);
    for (I i = j + 1; i < n; ++i) {
      T s = 0;
      for (I l = j; l < i; ++l) s += at(i, l) * inv[static_cast<size_t>(j) * n + l];
      inv[static_cast<size_t>(j) * n + i] = -s / at(i, i);
    }
  }
  for (I j = 0; j < n; ++j)
    for (I i = j; i < n; ++i) {
      T s = 0;
      for (I l = i; l < n; ++l)
        s += inv[static_cast<size_t>(i) * n + l] * inv[static_cast<size_t>(j) * n + l];
      at(i, j) = s;
    }
  return 0;
}

// Eigenvalues (ascending) and optionally eigenvectors of a symmetric matrix held in a
// dense n x n array, by the cyclic Jacobi method.
template <class T>
void jacobi_eigen(I n, std::vector<T>& s, bool vectors, T* w, std::vector<T>& v) {
  v.assign(static_cast<size_t>(n) * n, T(0));
  for (I i = 0; i < n; ++i) v[static_cast<size_t>(i) * n + i] = T(1);
  auto S = [&](I i, I j) -> T& { return s[static_cast<size_t>(j) * n + i]; };
  T norm2 = 0;
  for (const T x : s) norm2 += x * x;
  const T eps = std::numeric_limits<T>::epsilon();
  for (int sweep = 0; sweep < 64; ++sweep) {  // converges quadratically in a few sweeps
    T off = 0;
    for (I j = 0; j < n; ++j)
      for (I i = 0; i < j; ++i) off += S(i, j) * S(i, j);
    if (off <= norm2 * eps * eps) break;
    for (I p = 0; p < n; ++p)
      for (I q = p + 1; q < n; ++q) {
        if (S(p, q) == T(0)) continue;
        const T theta = (S(q, q) - S(p, p)) / (2 * S(p, q));
        const T t = (theta >= 0 ? T(1) : T(-1)) / (std::fabs(theta) + std::sqrt(theta * theta + 1));
        const T c = 1 / std::sqrt(t * t + 1), sn = t * c;
        for (I k = 0; k < n; ++k) {  // columns p, q
          const T kp = S(k, p), kq = S(k, q);
          S(k, p) = c * kp - sn * kq;
          S(k, q) = sn * kp + c * kq;
        }
        for (I k = 0; k < n; ++k) {  // rows p, q
          const T pk = S(p, k), qk = S(q, k);
          S(p, k) = c * pk - sn * qk;
          S(q, k) = sn * pk + c * qk;
        }
        for (I k = 0; k < n; ++k) {
          T& vp = v[static_cast<size_t>(p) * n + k];
          T& vq = v[static_cast<size_t>(q) * n + k];
          const T a = vp, b = vq;
          vp = c * a - sn * b;
          vq = sn * a + c * b;
        }
      }
  }
  std::vector<I> order(n);
  for (I i = 0; i < n; ++i) order[i] = i;
  std::sort(order.begin(), order.end(), [&](I x, I y) { return S(x, x) < S(y, y); });
  std::vector<T> sorted(vectors ? static_cast<size_t>(n) * n : 0);
  for (I r = 0; r < n; ++r) {
    w[r] = S(order[r], order[r]);
    if (vectors)
      std::copy_n(&v[static_cast<size_t>(order[r]) * n], n, &sorted[static_cast<size_t>(r) * n]);
  }
  if (vectors) v.swap(sorted);
}

template <class T>
void syev(const char* jobz, const char* uplo, I n, T* a, I lda, T* w, T* work, I lwork, I* info) {
  if (lwork == -1) {  // workspace query: this implementation needs none
    work[0] = T(1);
    *info = 0;
    return;
  }
  Matrix<T> A{a, lda};
  const bool upper = is(uplo, 'U'), vectors = is(jobz, 'V');
  std::vector<T> s(static_cast<size_t>(n) * n), v;
  for (I j = 0; j < n; ++j)
    for (I i = 0; i < n; ++i) s[static_cast<size_t>(j) * n + i] = (upper == (i <= j)) ? A(i, j) : A(j, i);
  jacobi_eigen(n, s, vectors, w, v);
  if (vectors)
    for (I j = 0; j < n; ++j)
      for (I i = 0; i < n; ++i) A(i, j) = v[static_cast<size_t>(j) * n + i];
  *info = 0;
}

template <class T>
void spevd(const char* jobz, const char* uplo, I n, T* ap, T* w, T* z, I ldz, T* work,
           I lwork, I* iwork, I liwork, I* info) {
  if (lwork == -1 || liwork == -1) {
    work[0] = T(1);
    iwork[0] = 1;
    *info = 0;
    return;
  }
  const bool upper = is(uplo, 'U'), vectors = is(jobz, 'V');
  std::vector<T> s(static_cast<size_t>(n) * n), v;
  size_t p = 0;
  for (I j = 0; j < n; ++j)
    for (I i = upper ? 0 : j; i <= (upper ? j : n - 1); ++i) {
      s[static_cast<size_t>(j) * n + i] = ap[p];
      s[static_cast<size_t>(i) * n + j] = ap[p++];
    }
  jacobi_eigen(n, s, vectors, w, v);
  if (vectors)
    for (I j = 0; j < n; ++j)
      for (I i = 0; i < n; ++i) z[static_cast<size_t>(j) * ldz + i] = v[static_cast<size_t>(j) * n + i];
  *info = 0;
}

}  // namespace

#define PORTABLE_GEMM(name, T)                                                           \
  ZORN_CORE_EXPORT ZORN_BLAS_GEMM(name, T) {                                             \
    gemm<T>(transa, transb, *m, *n, *k, *alpha, a, *lda, b, *ldb, *beta, c, *ldc);       \
  }
#define PORTABLE_SYMM(name, T)                                                           \
  ZORN_CORE_EXPORT ZORN_BLAS_SYMM(name, T) {                                             \
    symm<T>(side, uplo, *m, *n, *alpha, a, *lda, b, *ldb, *beta, c, *ldc);               \
  }
#define PORTABLE_SYRK(name, T)                                                           \
  ZORN_CORE_EXPORT ZORN_BLAS_SYRK(name, T) {                                             \
    syrk<T>(uplo, trans, *n, *k, *alpha, a, *lda, *beta, c, *ldc);                       \
  }
#define PORTABLE_SYR(name, T) \
  ZORN_CORE_EXPORT ZORN_BLAS_SYR(name, T) { syr<T>(uplo, *n, *alpha, x, *incx, a, *lda); }
#define PORTABLE_TRMM(name, T)                                                           \
  ZORN_CORE_EXPORT ZORN_BLAS_TRMM(name, T) {                                             \
    trmm<T>(side, uplo, transa, diag, *m, *n, *alpha, a, *lda, b, *ldb);                 \
  }
#define PORTABLE_POTRF(name, f, T) \
  ZORN_CORE_EXPORT ZORN_LAPACK_POTRF(name, T) { *info = f<T>(uplo, *n, a, *lda); }
#define PORTABLE_SYEV(name, T)                                                           \
  ZORN_CORE_EXPORT ZORN_LAPACK_SYEV(name, T) {                                           \
    syev<T>(jobz, uplo, *n, a, *lda, w, work, *lwork, info);                             \
  }
#define PORTABLE_SPEVD(name, T)                                                          \
  ZORN_CORE_EXPORT ZORN_LAPACK_SPEVD(name, T) {                                          \
    spevd<T>(jobz, uplo, *n, ap, w, z, *ldz, work, *lwork, iwork, *liwork, info);        \
  }

PORTABLE_GEMM(zorn_blas_xdgemm, double)
PORTABLE_GEMM(zorn_blas_xsgemm, float)
PORTABLE_SYMM(zorn_blas_xdsymm, double)
PORTABLE_SYMM(zorn_blas_xssymm, float)
PORTABLE_SYRK(zorn_blas_dsyrk, double)
PORTABLE_SYRK(zorn_blas_ssyrk, float)
PORTABLE_SYRK(zorn_blas_xdsyrk, double)
PORTABLE_SYRK(zorn_blas_xssyrk, float)
PORTABLE_SYR(zorn_blas_dsyr, double)
PORTABLE_SYR(zorn_blas_xdsyr, double)
PORTABLE_SYR(zorn_blas_xssyr, float)
PORTABLE_TRMM(zorn_blas4tess_dtrmm, double)
PORTABLE_TRMM(zorn_blas_xdtrmm_4tess, double)
PORTABLE_TRMM(zorn_blas4tess_strmm, float)
PORTABLE_TRMM(zorn_blas_xstrmm_4tess, float)
PORTABLE_POTRF(zorn_lapack_dpotrf, potrf, double)
PORTABLE_POTRF(zorn_lapack_spotrf, potrf, float)
PORTABLE_POTRF(zorn_lapack_dpotri, potri, double)
PORTABLE_POTRF(zorn_lapack_spotri, potri, float)
PORTABLE_SYEV(zorn_lapack_dsyev, double)
PORTABLE_SYEV(zorn_lapack_ssyev, float)
PORTABLE_SPEVD(zorn_lapack_dspevd, double)
PORTABLE_SPEVD(zorn_lapack_sspevd, float)
