// Tridiagonal systems by LU factorisation without pivoting (the Thomas algorithm).
// After factorisation d holds the pivots u_i, dl the multipliers l_i = dl_i / u_i and
// du is unchanged: A = L U with L unit lower bidiagonal, U upper bidiagonal.
#include <cmath>
#include <memory>
#include <new>

#include "export.h"
#include "zorn/core.h"

namespace {

template <class T>
bool usable_pivot(T pivot) {
  return std::isfinite(pivot) && pivot != T(0);
}

// Rows [begin, end) from the pivot of row begin - 1: 0, or the 1-based position of the
// first zero or non-finite pivot. The pivot stays in a register: through memory, the
// store and reload of d[i-1] would lengthen the chain of dependent divisions.
template <class T>
int64_t factor_rows(int64_t begin, int64_t end, T pivot, T* dl, T* d, const T* du) {
  for (int64_t i = begin; i < end; ++i) {
    const T l = dl[i - 1] / pivot;
    dl[i - 1] = l;
    pivot = d[i] - l * du[i - 1];
    d[i] = pivot;
    if (!usable_pivot(pivot)) return i + 1;
  }
  return 0;
}

// Long systems go by segments of kChains chunks of kChunk rows, whose pivot chains run
// side by side: a chain of dependent divisions takes several times a division's
// throughput, so four chains cost about what one does. Chunk 0 continues from the true
// pivot before the segment; each later chunk starts from a pivot guessed by running the
// recurrence over the kWarmUp rows before it from their own diagonal (the influence of
// a pivot on the next fades quickly on the well-conditioned systems this is for) and
// writes into a scratch block. Once the chunk before it is final, the guess is compared
// with that chunk's last pivot: equal, the chunk's rows are exactly those of the plain
// recurrence and are copied; different, they are computed again from the true pivot.
// The results are therefore bit for bit those of one sequential pass.
constexpr int64_t kChains = 4;
constexpr int64_t kChunk = 2048;
constexpr int64_t kWarmUp = 64;
constexpr int64_t kSegment = kChains * kChunk;

// One step of a chain: the multiplier and pivot of row i from the pivot of row i - 1.
template <class T>
struct Chain {
  T pivot;
  int64_t first_bad = -1;  // row of the first unusable pivot, or -1
  void step(int64_t i, const T* dl, const T* d, const T* du, T* l_out, T* d_out) {
    const T l = dl[i - 1] / pivot;
    *l_out = l;
    pivot = d[i] - l * du[i - 1];
    *d_out = pivot;
    if (!usable_pivot(pivot) && first_bad < 0) first_bad = i;
  }
};

// Rows [begin, begin + kSegment) from the pivot of row begin - 1 (begin >= 1).
// scratch: (kChains - 1) * 2 * kChunk values.
template <class T>
int64_t factor_segment(int64_t begin, T pivot, T* dl, T* d, const T* du, T* scratch) {
  Chain<T> chains[kChains];
  T guess[kChains] = {};
  chains[0].pivot = pivot;
  for (int64_t k = 1; k < kChains; ++k) {
    const int64_t start = begin + k * kChunk;
    T p = d[start - kWarmUp - 1];
    for (int64_t i = start - kWarmUp; i < start; ++i) p = d[i] - dl[i - 1] / p * du[i - 1];
    guess[k] = chains[k].pivot = p;
  }
  T* l1 = scratch;
  T* d1 = l1 + kChunk;
  T* l2 = d1 + kChunk;
  T* d2 = l2 + kChunk;
  T* l3 = d2 + kChunk;
  T* d3 = l3 + kChunk;
  for (int64_t j = 0; j < kChunk; ++j) {  // the four chains written out: they stay in registers
    const int64_t i = begin + j;
    chains[0].step(i, dl, d, du, &dl[i - 1], &d[i]);
    chains[1].step(i + kChunk, dl, d, du, &l1[j], &d1[j]);
    chains[2].step(i + 2 * kChunk, dl, d, du, &l2[j], &d2[j]);
    chains[3].step(i + 3 * kChunk, dl, d, du, &l3[j], &d3[j]);
  }
  if (chains[0].first_bad >= 0) return chains[0].first_bad + 1;
  for (int64_t k = 1; k < kChains; ++k) {
    const int64_t start = begin + k * kChunk;
    const T before = d[start - 1];  // final: chunk k - 1 is done
    if (!(guess[k] == before)) {
      if (const int64_t bad = factor_rows(start, start + kChunk, before, dl, d, du)) return bad;
      continue;
    }
    const T* l = scratch + 2 * (k - 1) * kChunk;
    for (int64_t j = 0; j < kChunk; ++j) {
      dl[start - 1 + j] = l[j];
      d[start + j] = l[kChunk + j];
    }
    if (chains[k].first_bad >= 0) return chains[k].first_bad + 1;
  }
  return 0;
}

template <class T>
int64_t factor(int64_t n, T* dl, T* d, const T* du) {
  if (n < 1) return n < 0 ? -1 : 0;
  if (!usable_pivot(d[0])) return 1;
  int64_t begin = 1;
  if (n > 4 * kSegment) {
    std::unique_ptr<T[]> scratch(new (std::nothrow) T[2 * (kChains - 1) * kChunk]);
    for (; scratch != nullptr && begin + kSegment <= n; begin += kSegment)
      if (const int64_t bad = factor_segment(begin, d[begin - 1], dl, d, du, scratch.get()))
        return bad;
  }
  return factor_rows(begin, n, d[begin - 1], dl, d, du);
}

// Back substitution as x_i = x_i r_i - (du_i r_i) x_{i+1} with r_i = 1 / u_i: the
// reciprocal and both products are off the chain of dependent operations, which is one
// multiply-subtract per row instead of a subtraction and a division (about 4 times faster
// on long systems). Each row stays backward stable: its result is exact for data perturbed
// by a few units in the last place.
template <class T>
void solve(int64_t n, int64_t nrhs, const T* dl, const T* d, const T* du, T* b, int64_t ldb) {
  for (int64_t r = 0; r < nrhs; ++r) {
    T* x = b + r * ldb;
    T carried = x[0];
    for (int64_t i = 1; i < n; ++i) {
      carried = x[i] - dl[i - 1] * carried;
      x[i] = carried;
    }
    carried = x[n - 1] / d[n - 1];
    x[n - 1] = carried;
    for (int64_t i = n - 2; i >= 0; --i) {
      const T reciprocal = T(1) / d[i];
      carried = x[i] * reciprocal - du[i] * reciprocal * carried;
      x[i] = carried;
    }
  }
}

template <class T>
void factor_entry(const int64_t* n, T* dl, T* d, T* du, int64_t* info) {
  *info = factor(*n, dl, d, du);
}

template <class T>
void solve_entry(const char* trans, const int64_t* n, const int64_t* nrhs, const T* dl,
                 const T* d, const T* du, T* b, const int64_t* ldb, int64_t* info) {
  if (*trans != 'N' && *trans != 'n') { *info = -1; return; }
  if (*n < 0) { *info = -2; return; }
  if (*nrhs < 0) { *info = -3; return; }
  if (*ldb < (*n > 1 ? *n : 1)) { *info = -8; return; }
  *info = 0;
  if (*n > 0) solve(*n, *nrhs, dl, d, du, b, *ldb);
}

template <class T>
void factor_solve_entry(const int64_t* n, const int64_t* nrhs, T* dl, T* d, T* du, T* b,
                        const int64_t* ldb, int64_t* info) {
  if (*nrhs < 0) { *info = -2; return; }
  if (*ldb < (*n > 1 ? *n : 1)) { *info = -7; return; }
  *info = factor(*n, dl, d, du);
  if (*info == 0 && *n > 0) solve(*n, *nrhs, dl, d, du, b, *ldb);
}

}  // namespace

ZORN_CORE_EXPORT void ddttrfb_4dfl(const int64_t* n, double* dl, double* d, double* du,
                                   int64_t* info) {
  factor_entry(n, dl, d, du, info);
}
ZORN_CORE_EXPORT void sdttrfb_4dfl(const int64_t* n, float* dl, float* d, float* du,
                                   int64_t* info) {
  factor_entry(n, dl, d, du, info);
}
ZORN_CORE_EXPORT void ddttrsb_4dfl(const char* trans, const int64_t* n, const int64_t* nrhs,
                                   const double* dl, const double* d, const double* du,
                                   double* b, const int64_t* ldb, int64_t* info) {
  solve_entry(trans, n, nrhs, dl, d, du, b, ldb, info);
}
ZORN_CORE_EXPORT void sdttrsb_4dfl(const char* trans, const int64_t* n, const int64_t* nrhs,
                                   const float* dl, const float* d, const float* du, float* b,
                                   const int64_t* ldb, int64_t* info) {
  solve_entry(trans, n, nrhs, dl, d, du, b, ldb, info);
}
ZORN_CORE_EXPORT void ddtsvb_4dfl(const int64_t* n, const int64_t* nrhs, double* dl, double* d,
                                  double* du, double* b, const int64_t* ldb, int64_t* info) {
  factor_solve_entry(n, nrhs, dl, d, du, b, ldb, info);
}
ZORN_CORE_EXPORT void sdtsvb_4dfl(const int64_t* n, const int64_t* nrhs, float* dl, float* d,
                                  float* du, float* b, const int64_t* ldb, int64_t* info) {
  factor_solve_entry(n, nrhs, dl, d, du, b, ldb, info);
}
