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
// Not a multiple of 512: chains a multiple of 4 KiB apart would have their loads wait on
// the other chains' stores to the same page offset (4K aliasing), several times slower.
constexpr int64_t kChunk = 2000;
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

// The substitutions are first-order recurrences, value(p) = step(p, value(p - 1)) over
// positions p of a sweep, run by the same scheme as the factorisation: segments of kChains
// chunks side by side, later chunks from guesses after kWarmUp positions from zero,
// checked and, if the guess differs, computed again, so that the results are bit for bit
// those of the sequential sweep. A sweep gives step(p, carried), out(p) (the value's
// place, which holds step's input until written) and prepare(first, count), called before
// the positions [first, first + count) of a segment are stepped.
template <class T, class Sweep>
T sweep_positions(const Sweep& s, int64_t begin, int64_t end, T carried) {
  for (int64_t p = begin; p < end; ++p) s.out(p) = carried = s.step(p, carried);
  return carried;
}

// Positions [first, first + kSegment) from the value before them; scratch holds the
// (kChains - 1) * kChunk values of the later chunks until they are known to be exact.
template <class T, class Sweep>
T sweep_segment(const Sweep& s, int64_t first, T carried, T* scratch) {
  T c[kChains], guess[kChains];
  c[0] = carried;
  for (int64_t k = 1; k < kChains; ++k) {
    const int64_t start = first + k * kChunk;
    T g = T(0);
    for (int64_t p = start - kWarmUp; p < start; ++p) g = s.step(p, g);
    guess[k] = c[k] = g;
  }
  T* s1 = scratch;
  T* s2 = s1 + kChunk;
  T* s3 = s2 + kChunk;
  for (int64_t j = 0; j < kChunk; ++j) {  // written out: the four values stay in registers
    const int64_t p = first + j;
    s.out(p) = c[0] = s.step(p, c[0]);
    s1[j] = c[1] = s.step(p + kChunk, c[1]);
    s2[j] = c[2] = s.step(p + 2 * kChunk, c[2]);
    s3[j] = c[3] = s.step(p + 3 * kChunk, c[3]);
  }
  for (int64_t k = 1; k < kChains; ++k) {
    const int64_t start = first + k * kChunk;
    const T before = s.out(start - 1);  // final: chunk k - 1 is done
    if (!(guess[k] == before)) {
      sweep_positions(s, start, start + kChunk, before);
      continue;
    }
    const T* chunk = scratch + (k - 1) * kChunk;
    for (int64_t j = 0; j < kChunk; ++j) s.out(start + j) = chunk[j];
  }
  return s.out(first + kSegment - 1);
}

// Positions [0, count) from `carried`; without scratch (short sweeps, or no memory for
// it) one position after the other.
template <class T, class Sweep>
void sweep(const Sweep& s, int64_t count, T carried, T* scratch) {
  for (int64_t first = 0; first < count; first += kSegment) {
    const int64_t positions = count - first < kSegment ? count - first : kSegment;
    s.prepare(first, positions);
    carried = positions == kSegment && scratch != nullptr
                  ? sweep_segment(s, first, carried, scratch)
                  : sweep_positions(s, first, first + positions, carried);
  }
}

// Forward substitution with the unit lower factor: x_i -= l_{i-1} x_{i-1}, rows 1 .. n-1.
template <class T>
struct ForwardSweep {
  const T* dl;
  T* x;
  void prepare(int64_t, int64_t) const {}
  T step(int64_t p, T carried) const { return x[p + 1] - dl[p] * carried; }
  T& out(int64_t p) const { return x[p + 1]; }
};

// Back substitution with the upper factor, rows n-2 down to 0, as
// x_i = x_i r_i - (du_i r_i) x_{i+1} with r_i = 1 / u_i: the reciprocal and both products
// are off the chain of dependent operations, which is one multiply-subtract per row
// instead of a subtraction and a division. Each row stays backward stable: its result is
// exact for data perturbed by a few units in the last place. The reciprocals of a segment
// are taken together beforehand (a loop the compiler vectorises; one division per row
// inside the chains would be bound by the divider's throughput).
template <class T>
struct BackwardSweep {
  const T* d;
  const T* du;
  T* x;
  int64_t last;    // row of position 0: n - 2
  T* reciprocal;   // kSegment values: 1 / u_i of the prepared rows from row `base`, or null
  mutable int64_t base = 0;
  void prepare(int64_t first, int64_t count) const {
    if (reciprocal == nullptr) return;
    base = last - first - count + 1;
    for (int64_t q = 0; q < count; ++q) reciprocal[q] = T(1) / d[base + q];
  }
  T step(int64_t p, T carried) const {
    const int64_t i = last - p;
    const T r = reciprocal != nullptr ? reciprocal[i - base] : T(1) / d[i];
    return x[i] * r - du[i] * r * carried;
  }
  T& out(int64_t p) const { return x[last - p]; }
};

template <class T>
void solve(int64_t n, int64_t nrhs, const T* dl, const T* d, const T* du, T* b, int64_t ldb) {
  // Long systems: the later chunks' values, then the reciprocals of a segment.
  std::unique_ptr<T[]> scratch(
      n > 4 * kSegment ? new (std::nothrow) T[(kChains - 1) * kChunk + kSegment] : nullptr);
  T* reciprocal = scratch != nullptr ? scratch.get() + (kChains - 1) * kChunk : nullptr;
  for (int64_t r = 0; r < nrhs; ++r) {
    T* x = b + r * ldb;
    sweep(ForwardSweep<T>{dl, x}, n - 1, x[0], scratch.get());
    x[n - 1] /= d[n - 1];
    sweep(BackwardSweep<T>{d, du, x, n - 2, reciprocal}, n - 1, x[n - 1], scratch.get());
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
