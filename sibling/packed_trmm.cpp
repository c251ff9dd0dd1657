// Triangular multiply with A in packed storage. BLAS has no packed TRMM, so the
// triangle is expanded into a dense work matrix and handed to the full routine.
#include <vector>

#include "export.h"
#include "zorn/core.h"

namespace {

bool is_upper(const char* uplo) { return *uplo == 'U' || *uplo == 'u'; }
bool is_left(const char* side) { return *side == 'L' || *side == 'l'; }

template <class T, class FullTrmm>
void packed_trmm(FullTrmm full, const char* side, const char* uplo, const char* transa,
                 const char* diag, const zorn_blas_int* m, const zorn_blas_int* n,
                 const T* alpha, const T* ap, T* b, const zorn_blas_int* ldb) {
  const zorn_blas_int k = is_left(side) ? *m : *n;
  if (k <= 0 || *m <= 0 || *n <= 0) return;
  std::vector<T> dense(static_cast<size_t>(k) * static_cast<size_t>(k), T(0));
  size_t p = 0;
  for (zorn_blas_int j = 0; j < k; ++j) {
    const zorn_blas_int first = is_upper(uplo) ? 0 : j;
    const zorn_blas_int last = is_upper(uplo) ? j : k - 1;
    for (zorn_blas_int i = first; i <= last; ++i) dense[static_cast<size_t>(j) * k + i] = ap[p++];
  }
  full(side, uplo, transa, diag, m, n, alpha, dense.data(), &k, b, ldb);
}

}  // namespace

ZORN_CORE_EXPORT ZORN_BLAS_PTRMM(zorn_blas4tess_dptrmm, double) {
  packed_trmm<double>(zorn_blas4tess_dtrmm, side, uplo, transa, diag, m, n, alpha, ap, b, ldb);
}

ZORN_CORE_EXPORT ZORN_BLAS_PTRMM(zorn_blas4tess_sptrmm, float) {
  packed_trmm<float>(zorn_blas4tess_strmm, side, uplo, transa, diag, m, n, alpha, ap, b, ldb);
}
