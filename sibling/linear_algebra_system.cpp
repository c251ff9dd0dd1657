// The dense linear algebra entry points, forwarded to the system BLAS and LAPACK (Linux).
// The Fortran routines take the length of each character argument as a trailing
// hidden argument; every character argument here is one character long.
#include "export.h"
#include "zorn/core.h"

using fint = zorn_blas_int;
using flen = size_t;

extern "C" {
#define FORTRAN_GEMM(f, T)                                                                   \
  void f(const char*, const char*, const fint*, const fint*, const fint*, const T*, const T*, \
         const fint*, const T*, const fint*, const T*, T*, const fint*, flen, flen)
#define FORTRAN_SYMM(f, T)                                                                \
  void f(const char*, const char*, const fint*, const fint*, const T*, const T*, const fint*, \
         const T*, const fint*, const T*, T*, const fint*, flen, flen)
#define FORTRAN_SYRK(f, T)                                                                \
  void f(const char*, const char*, const fint*, const fint*, const T*, const T*, const fint*, \
         const T*, T*, const fint*, flen, flen)
#define FORTRAN_SYR(f, T) \
  void f(const char*, const fint*, const T*, const T*, const fint*, T*, const fint*, flen)
#define FORTRAN_TRMM(f, T)                                                                  \
  void f(const char*, const char*, const char*, const char*, const fint*, const fint*,        \
         const T*, const T*, const fint*, T*, const fint*, flen, flen, flen, flen)
#define FORTRAN_POTRF(f, T) void f(const char*, const fint*, T*, const fint*, fint*, flen)
#define FORTRAN_SYEV(f, T)                                                                  \
  void f(const char*, const char*, const fint*, T*, const fint*, T*, T*, const fint*, fint*, \
         flen, flen)
#define FORTRAN_SPEVD(f, T)                                                                 \
  void f(const char*, const char*, const fint*, T*, T*, T*, const fint*, T*, const fint*,     \
         fint*, const fint*, fint*, flen, flen)
FORTRAN_GEMM(dgemm_, double);
FORTRAN_GEMM(sgemm_, float);
FORTRAN_SYMM(dsymm_, double);
FORTRAN_SYMM(ssymm_, float);
FORTRAN_SYRK(dsyrk_, double);
FORTRAN_SYRK(ssyrk_, float);
FORTRAN_SYR(dsyr_, double);
FORTRAN_SYR(ssyr_, float);
FORTRAN_TRMM(dtrmm_, double);
FORTRAN_TRMM(strmm_, float);
FORTRAN_POTRF(dpotrf_, double);
FORTRAN_POTRF(spotrf_, float);
FORTRAN_POTRF(dpotri_, double);
FORTRAN_POTRF(spotri_, float);
FORTRAN_SYEV(dsyev_, double);
FORTRAN_SYEV(ssyev_, float);
FORTRAN_SPEVD(dspevd_, double);
FORTRAN_SPEVD(sspevd_, float);
}

#define FORWARD_GEMM(name, f, T)                                                          \
  ZORN_CORE_EXPORT ZORN_BLAS_GEMM(name, T) {                                              \
    f(transa, transb, m, n, k, alpha, a, lda, b, ldb, beta, c, ldc, 1, 1);                \
  }
#define FORWARD_SYMM(name, f, T)                                                          \
  ZORN_CORE_EXPORT ZORN_BLAS_SYMM(name, T) {                                              \
    f(side, uplo, m, n, alpha, a, lda, b, ldb, beta, c, ldc, 1, 1);                       \
  }
#define FORWARD_SYRK(name, f, T)                                                          \
  ZORN_CORE_EXPORT ZORN_BLAS_SYRK(name, T) {                                              \
    f(uplo, trans, n, k, alpha, a, lda, beta, c, ldc, 1, 1);                              \
  }
#define FORWARD_SYR(name, f, T) \
  ZORN_CORE_EXPORT ZORN_BLAS_SYR(name, T) { f(uplo, n, alpha, x, incx, a, lda, 1); }
#define FORWARD_TRMM(name, f, T)                                                          \
  ZORN_CORE_EXPORT ZORN_BLAS_TRMM(name, T) {                                              \
    f(side, uplo, transa, diag, m, n, alpha, a, lda, b, ldb, 1, 1, 1, 1);                 \
  }
#define FORWARD_POTRF(name, f, T) \
  ZORN_CORE_EXPORT ZORN_LAPACK_POTRF(name, T) { f(uplo, n, a, lda, info, 1); }
#define FORWARD_SYEV(name, f, T)                                                          \
  ZORN_CORE_EXPORT ZORN_LAPACK_SYEV(name, T) {                                            \
    f(jobz, uplo, n, a, lda, w, work, lwork, info, 1, 1);                                 \
  }
#define FORWARD_SPEVD(name, f, T)                                                         \
  ZORN_CORE_EXPORT ZORN_LAPACK_SPEVD(name, T) {                                           \
    f(jobz, uplo, n, ap, w, z, ldz, work, lwork, iwork, liwork, info, 1, 1);              \
  }

FORWARD_GEMM(zorn_blas_xdgemm, dgemm_, double)
FORWARD_GEMM(zorn_blas_xsgemm, sgemm_, float)
FORWARD_SYMM(zorn_blas_xdsymm, dsymm_, double)
FORWARD_SYMM(zorn_blas_xssymm, ssymm_, float)
FORWARD_SYRK(zorn_blas_dsyrk, dsyrk_, double)
FORWARD_SYRK(zorn_blas_ssyrk, ssyrk_, float)
FORWARD_SYRK(zorn_blas_xdsyrk, dsyrk_, double)
FORWARD_SYRK(zorn_blas_xssyrk, ssyrk_, float)
FORWARD_SYR(zorn_blas_dsyr, dsyr_, double)
FORWARD_SYR(zorn_blas_xdsyr, dsyr_, double)
FORWARD_SYR(zorn_blas_xssyr, ssyr_, float)
FORWARD_TRMM(zorn_blas4tess_dtrmm, dtrmm_, double)
FORWARD_TRMM(zorn_blas_xdtrmm_4tess, dtrmm_, double)
FORWARD_TRMM(zorn_blas4tess_strmm, strmm_, float)
FORWARD_TRMM(zorn_blas_xstrmm_4tess, strmm_, float)
FORWARD_POTRF(zorn_lapack_dpotrf, dpotrf_, double)
FORWARD_POTRF(zorn_lapack_spotrf, spotrf_, float)
FORWARD_POTRF(zorn_lapack_dpotri, dpotri_, double)
FORWARD_POTRF(zorn_lapack_spotri, spotri_, float)
FORWARD_SYEV(zorn_lapack_dsyev, dsyev_, double)
FORWARD_SYEV(zorn_lapack_ssyev, ssyev_, float)
FORWARD_SPEVD(zorn_lapack_dspevd, dspevd_, double)
FORWARD_SPEVD(zorn_lapack_sspevd, sspevd_, float)
