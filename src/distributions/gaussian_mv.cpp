// Multivariate normal vectors a + L z, z standard normal, L the lower triangular factor
// the caller gives in full (0), packed (1) or diagonal (2) storage. The triangular
// product of all vectors is one call of the core library's multiply.
#include <algorithm>
#include <climits>

#include "core_interface/sibling.h"
#include "distributions/frame.h"
#include "distributions/gaussian.h"
#include "zorn/pavo.h"

namespace zorn::distributions {
namespace {

enum StorageCode : int32_t { kFull = 0, kPacked = 1, kDiagonal = 2 };

// Up to this dimension the core library's small-matrix routine serves the full storage.
constexpr int32_t kSmallDimension = 10;

template <class T>
struct TriangularMultiply;
template <>
struct TriangularMultiply<double> {
  static auto small() { return sibling::zorn_blas_xdtrmm_4tess(); }
  static auto large() { return sibling::zorn_blas4tess_dtrmm(); }
  static auto packed() { return sibling::zorn_blas4tess_dptrmm(); }
};
template <>
struct TriangularMultiply<float> {
  static auto small() { return sibling::zorn_blas_xstrmm_4tess(); }
  static auto large() { return sibling::zorn_blas4tess_strmm(); }
  static auto packed() { return sibling::zorn_blas4tess_sptrmm(); }
};

// z <- L z for `count` vectors of d elements.
template <class T>
void multiply_by_factor(int32_t storage, int32_t d, int32_t count, const T* factor, T* z) {
  const T one = 1;
  using M = TriangularMultiply<T>;
  if (storage == kFull) {
    // Read in column order, the row-major lower triangle is an upper one, transposed.
    (d <= kSmallDimension ? M::small() : M::large())("L", "U", "T", "N", &d, &count, &one,
                                                     factor, &d, z, &d);
  } else {
    M::packed()("L", "L", "N", "N", &d, &count, &one, factor, z, &d);
  }
}

template <class T>
int32_t gaussian_mv(int32_t method, void* stream, int32_t n, T* r, int32_t d, int32_t storage,
                    const T* a, const T* factor) {
  if (d == 1) return gaussian(method, stream, n, r, a[0], factor[0]);
  if (d < 1) return gaussian(method, stream, 0, r, T(0), T(1));
  // Vectors in pieces whose element count fits the generators' 32-bit count; a piece
  // is a whole number of 1024-result blocks (unless d is huge), so the normals equal
  // those of one call.
  const int32_t fitting = INT32_MAX / d;
  const int64_t per_piece = fitting >= kBlock ? fitting / kBlock * kBlock : fitting;
  int32_t status = kStatusOk;
  int64_t done = 0;
  do {
    const int32_t count = static_cast<int32_t>(std::min<int64_t>(n - done, per_piece));
    T* z = r + done * d;
    status = gaussian(method, stream, count * d, z, T(0), T(1));
    if (is_failure(status)) return status;
    if (storage == kFull || storage == kPacked) {
      multiply_by_factor(storage, d, count, factor, z);
      for (int64_t j = 0; j < count; ++j) {
        for (int32_t i = 0; i < d; ++i) z[j * d + i] += a[i];
      }
    } else if (storage == kDiagonal) {
      for (int64_t j = 0; j < count; ++j) {
        for (int32_t i = 0; i < d; ++i) z[j * d + i] = a[i] + factor[i] * z[j * d + i];
      }
    }
    done += count;
  } while (done < n);
  return status;
}

}  // namespace
}  // namespace zorn::distributions

extern "C" {
int32_t _pavodRngGaussianMV(int32_t method, void* stream, int32_t n, double* r, int32_t d,
                            int32_t storage, const double* a, const double* t) {
  return zorn::distributions::gaussian_mv(method, stream, n, r, d, storage, a, t);
}
int32_t _pavosRngGaussianMV(int32_t method, void* stream, int32_t n, float* r, int32_t d,
                            int32_t storage, const float* a, const float* t) {
  return zorn::distributions::gaussian_mv(method, stream, n, r, d, storage, a, t);
}
}
