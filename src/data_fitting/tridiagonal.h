// A tridiagonal system with many right-hand sides, factored once through the sibling's
// solvers; optionally cyclic (corner entries alpha = A[0][n-1], beta = A[n-1][0]),
// which is reduced to the tridiagonal one plus a rank-one correction
// (Sherman-Morrison): A = T + u v^T with u = (g, 0, ..., 0, beta),
// v = (1, 0, ..., 0, alpha/g), g = -A[0][0].
#pragma once

#include <cstdint>

#include "core_interface/sibling.h"
#include "data_fitting/status.h"

namespace zorn::df {

template <class T>
class TridiagonalSystem {
 public:
  T* dl = nullptr;  // dl[i] = A[i+1][i]
  T* d = nullptr;
  T* du = nullptr;  // du[i] = A[i][i+1]
  T* b = nullptr;   // column r of the right-hand sides at b + r*n
  T alpha = 0, beta = 0;

  TridiagonalSystem() = default;
  TridiagonalSystem(const TridiagonalSystem&) = delete;
  TridiagonalSystem& operator=(const TridiagonalSystem&) = delete;
  ~TridiagonalSystem() { sibling::deallocate(block_); }

  // n unknowns, nrhs right-hand sides; a cyclic system keeps one more column for u.
  int32_t allocate(int64_t n, int64_t nrhs, bool cyclic) {
    n_ = n;
    nrhs_ = nrhs;
    cyclic_pair_ = cyclic && n == 2;
    cyclic_ = cyclic && n >= 3;
    const int64_t columns = nrhs + (cyclic_ ? 1 : 0);
    if (n < 1 || uint64_t(3 + columns) > UINT64_MAX / sizeof(T) / uint64_t(n)) return kNoMemory;
    const uint64_t reals = uint64_t(n) * uint64_t(3 + columns);
    block_ = static_cast<T*>(sibling::allocate(reals * sizeof(T)));
    if (block_ == nullptr) return kNoMemory;
    d = block_;
    dl = d + n;
    du = dl + n;
    b = du + n;
    return kOk;
  }

  // Solves in place: column r of b becomes the solution for right-hand side r. For a
  // cyclic system of two unknowns the corners are folded into the off-diagonals.
  int32_t solve() {
    if (cyclic_pair_) {
      du[0] += alpha;
      dl[0] += beta;
    }
    T g = T(0);
    if (cyclic_) {
      g = -d[0];
      d[0] -= g;
      d[n_ - 1] -= alpha * beta / g;
      T* u = b + nrhs_ * n_;
      for (int64_t i = 0; i < n_; ++i) u[i] = T(0);
      u[0] = g;
      u[n_ - 1] = beta;
    }
    int64_t info = 0;
    factor(&n_, dl, d, du, &info);
    if (info != 0) return kSolverFailed;
    const int64_t columns = nrhs_ + (cyclic_ ? 1 : 0);
    const char trans = 'N';
    solve_factored(&trans, &n_, &columns, dl, d, du, b, &n_, &info);
    if (info != 0) return kSolverFailed;
    if (cyclic_) {
      const T* z = b + nrhs_ * n_;
      const T vz = z[0] + alpha / g * z[n_ - 1];
      for (int64_t r = 0; r < nrhs_; ++r) {
        T* y = b + r * n_;
        const T factor_r = (y[0] + alpha / g * y[n_ - 1]) / (T(1) + vz);
        for (int64_t i = 0; i < n_; ++i) y[i] -= factor_r * z[i];
      }
    }
    return kOk;
  }

 private:
  static void factor(const int64_t* n, T* dl, T* d, T* du, int64_t* info) {
    if constexpr (sizeof(T) == sizeof(double)) sibling::ddttrfb_4dfl()(n, dl, d, du, info);
    else sibling::sdttrfb_4dfl()(n, dl, d, du, info);
  }
  static void solve_factored(const char* trans, const int64_t* n, const int64_t* nrhs,
                             const T* dl, const T* d, const T* du, T* b, const int64_t* ldb,
                             int64_t* info) {
    if constexpr (sizeof(T) == sizeof(double))
      sibling::ddttrsb_4dfl()(trans, n, nrhs, dl, d, du, b, ldb, info);
    else
      sibling::sdttrsb_4dfl()(trans, n, nrhs, dl, d, du, b, ldb, info);
  }

  T* block_ = nullptr;
  int64_t n_ = 0, nrhs_ = 0;
  bool cyclic_ = false;
  bool cyclic_pair_ = false;
};

}  // namespace zorn::df
