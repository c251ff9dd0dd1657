/* The sibling library libzorn_core.so: services, dense linear algebra, tridiagonal
 * solvers and the threading service that libzorn_generic.so calls on.
 *
 * libzorn_generic.so has no link-time dependency on this library: it loads it from
 * its own directory and resolves each operation on first use. Programs may link it
 * directly, e.g. to obtain the threading service table. */
#ifndef ZORN_CORE_H
#define ZORN_CORE_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* ---- services ---- */
void* zorn_serv_allocate(uint64_t bytes, int32_t alignment); /* null on failure */
void zorn_serv_deallocate(void* block);
void zorn_serv_lock(int32_t* lock_word);   /* lock word lives in the caller's static data, starts 0 */
void zorn_serv_unlock(int32_t* lock_word);
/* Copies the variable's value into buf (NUL-terminated, cut to size-1); returns the
 * value's length, or a value below 1 when the variable is not set. */
int32_t zorn_serv_getenv(const char* name, char* buf, int32_t size);
/* Prints catalogue message `number` to standard error. The further arguments depend
 * on the message: 748 (name, index), 749-754 (name), 755-766 (index, value), 773 (none). */
void zorn_serv_print(int32_t first, int32_t number, int32_t count, ...);
void zorn_serv_exit(int32_t code) __attribute__((noreturn));
/* Copies count bytes when they fit in dst_size; returns 0, or a non-zero error (and
 * copies nothing) when a pointer is null or the count exceeds the destination. */
int32_t zorn_serv_memcpy_s(void* dst, uint64_t dst_size, const void* src, uint64_t count);
int32_t zorn_serv_cpuistolx(void); /* non-zero when the processor has the AES instructions */

/* ---- dense linear algebra: the published BLAS/LAPACK argument order, all by address ---- */
typedef int32_t zorn_blas_int;
#define ZORN_BLAS_GEMM(name, T)                                                            \
  void name(const char* transa, const char* transb, const zorn_blas_int* m,                \
            const zorn_blas_int* n, const zorn_blas_int* k, const T* alpha, const T* a,    \
            const zorn_blas_int* lda, const T* b, const zorn_blas_int* ldb, const T* beta, \
            T* c, const zorn_blas_int* ldc)
#define ZORN_BLAS_SYMM(name, T)                                                            \
  void name(const char* side, const char* uplo, const zorn_blas_int* m,                    \
            const zorn_blas_int* n, const T* alpha, const T* a, const zorn_blas_int* lda,  \
            const T* b, const zorn_blas_int* ldb, const T* beta, T* c,                     \
            const zorn_blas_int* ldc)
#define ZORN_BLAS_SYRK(name, T)                                                            \
  void name(const char* uplo, const char* trans, const zorn_blas_int* n,                   \
            const zorn_blas_int* k, const T* alpha, const T* a, const zorn_blas_int* lda,  \
            const T* beta, T* c, const zorn_blas_int* ldc)
#define ZORN_BLAS_SYR(name, T)                                                             \
  void name(const char* uplo, const zorn_blas_int* n, const T* alpha, const T* x,          \
            const zorn_blas_int* incx, T* a, const zorn_blas_int* lda)
#define ZORN_BLAS_TRMM(name, T)                                                            \
  void name(const char* side, const char* uplo, const char* transa, const char* diag,      \
            const zorn_blas_int* m, const zorn_blas_int* n, const T* alpha, const T* a,    \
            const zorn_blas_int* lda, T* b, const zorn_blas_int* ldb)
/* Packed triangular multiply B := alpha * op(A) * B (side "L") or alpha * B * op(A)
 * (side "R"), A an order-k triangle packed by columns as in the BLAS *tpmv routines. */
#define ZORN_BLAS_PTRMM(name, T)                                                           \
  void name(const char* side, const char* uplo, const char* transa, const char* diag,      \
            const zorn_blas_int* m, const zorn_blas_int* n, const T* alpha, const T* ap,   \
            T* b, const zorn_blas_int* ldb)
#define ZORN_LAPACK_POTRF(name, T)                                                         \
  void name(const char* uplo, const zorn_blas_int* n, T* a, const zorn_blas_int* lda,      \
            zorn_blas_int* info)
#define ZORN_LAPACK_SYEV(name, T)                                                          \
  void name(const char* jobz, const char* uplo, const zorn_blas_int* n, T* a,              \
            const zorn_blas_int* lda, T* w, T* work, const zorn_blas_int* lwork,           \
            zorn_blas_int* info)
#define ZORN_LAPACK_SPEVD(name, T)                                                         \
  void name(const char* jobz, const char* uplo, const zorn_blas_int* n, T* ap, T* w, T* z, \
            const zorn_blas_int* ldz, T* work, const zorn_blas_int* lwork,                 \
            zorn_blas_int* iwork, const zorn_blas_int* liwork, zorn_blas_int* info)

ZORN_BLAS_GEMM(zorn_blas_xdgemm, double);
ZORN_BLAS_GEMM(zorn_blas_xsgemm, float);
ZORN_BLAS_SYMM(zorn_blas_xdsymm, double);
ZORN_BLAS_SYMM(zorn_blas_xssymm, float);
ZORN_BLAS_SYRK(zorn_blas_dsyrk, double);
ZORN_BLAS_SYRK(zorn_blas_ssyrk, float);
ZORN_BLAS_SYRK(zorn_blas_xdsyrk, double);
ZORN_BLAS_SYRK(zorn_blas_xssyrk, float);
ZORN_BLAS_SYR(zorn_blas_dsyr, double);
ZORN_BLAS_SYR(zorn_blas_xdsyr, double);
ZORN_BLAS_SYR(zorn_blas_xssyr, float);
ZORN_BLAS_TRMM(zorn_blas4tess_dtrmm, double);
ZORN_BLAS_TRMM(zorn_blas_xdtrmm_4tess, double);
ZORN_BLAS_TRMM(zorn_blas4tess_strmm, float);
ZORN_BLAS_TRMM(zorn_blas_xstrmm_4tess, float);
ZORN_BLAS_PTRMM(zorn_blas4tess_dptrmm, double);
ZORN_BLAS_PTRMM(zorn_blas4tess_sptrmm, float);
ZORN_LAPACK_POTRF(zorn_lapack_dpotrf, double);
ZORN_LAPACK_POTRF(zorn_lapack_spotrf, float);
ZORN_LAPACK_POTRF(zorn_lapack_dpotri, double);
ZORN_LAPACK_POTRF(zorn_lapack_spotri, float);
ZORN_LAPACK_SYEV(zorn_lapack_dsyev, double);
ZORN_LAPACK_SYEV(zorn_lapack_ssyev, float);
ZORN_LAPACK_SPEVD(zorn_lapack_dspevd, double);
ZORN_LAPACK_SPEVD(zorn_lapack_sspevd, float);

/* ---- tridiagonal systems, factorisation without pivoting ----
 * dl: n-1 sub-diagonal, d: n diagonal, du: n-1 super-diagonal; info 0 on success,
 * i > 0 when pivot i (1-based) is zero or not finite. */
void ddttrfb_4dfl(const int64_t* n, double* dl, double* d, double* du, int64_t* info);
void sdttrfb_4dfl(const int64_t* n, float* dl, float* d, float* du, int64_t* info);
void ddttrsb_4dfl(const char* trans, const int64_t* n, const int64_t* nrhs, const double* dl,
                  const double* d, const double* du, double* b, const int64_t* ldb,
                  int64_t* info);
void sdttrsb_4dfl(const char* trans, const int64_t* n, const int64_t* nrhs, const float* dl,
                  const float* d, const float* du, float* b, const int64_t* ldb,
                  int64_t* info);
void ddtsvb_4dfl(const int64_t* n, const int64_t* nrhs, double* dl, double* d, double* du,
                 double* b, const int64_t* ldb, int64_t* info);
void sdtsvb_4dfl(const int64_t* n, const int64_t* nrhs, float* dl, float* d, float* du,
                 float* b, const int64_t* ldb, int64_t* info);

/* ---- threading service ----
 * A table of functions; entries 0, 2 and 4 are used, the others are null.
 *   entry 4: zorn_thr_max_threads_fn, the number of threads that may be used (>= 1);
 *   entry 2: zorn_thr_for_fn (count, context, worker): worker(i, 0, count, context) for
 *            every i in [0, count), possibly in parallel; returns when all have returned;
 *   entry 0: zorn_thr_parallel_for_fn (count, count, context, worker): the same. */
typedef void (*zorn_thr_worker_fn)(int64_t index, int64_t unused, int64_t count, void* context);
typedef int64_t (*zorn_thr_max_threads_fn)(void);
typedef void (*zorn_thr_for_fn)(int64_t count, void* context, zorn_thr_worker_fn worker);
typedef void (*zorn_thr_parallel_for_fn)(int64_t count, int64_t count_again, void* context,
                                         zorn_thr_worker_fn worker);
enum { ZORN_THR_PARALLEL_FOR = 0, ZORN_THR_FOR = 2, ZORN_THR_MAX_THREADS = 4, ZORN_THR_TABLE_SIZE = 8 };
/* The sibling's table, backed by a thread pool of ZORN_NUM_THREADS threads (default:
 * the number of processors). */
void* const* zorn_core_threading_service(void);

#ifdef __cplusplus
}
#endif
#endif
