// What every construction shares: the task's checks, the view of the caller's values,
// the node steps, the coefficient blocks, the end condition table and the choice of a
// worker by value storage class and partition class.
#pragma once

#include <emmintrin.h>

#include <cstdint>

#include "data_fitting/status.h"
#include "data_fitting/task.h"
#include "zorn/df.h"

namespace zorn::df {

// End condition kinds and their index in the worker's end rules.
enum EndIndex : int {
  kEndNotAKnot = 0,
  kEndFree = 1,
  kEndSlopeSlope = 2,        // first derivative at both ends
  kEndSlopeCurvature = 3,    // first at the left, second at the right
  kEndCurvatureSlope = 4,    // second at the left, first at the right
  kEndCurvatureCurvature = 5,
  kEndPeriodic = 6,
  kEndAkima = 7,             // Akima's own rule (end condition kind 0)
};

// The index of an end condition kind, or -1 when the kind is not one of the table's.
inline int end_index(int64_t kind) {
  switch (kind) {
    case ZORN_DF_END_NOT_A_KNOT: return kEndNotAKnot;
    case ZORN_DF_END_FREE: return kEndFree;
    case ZORN_DF_END_D1_LEFT | ZORN_DF_END_D1_RIGHT: return kEndSlopeSlope;
    case ZORN_DF_END_D1_LEFT | ZORN_DF_END_D2_RIGHT: return kEndSlopeCurvature;
    case ZORN_DF_END_D2_LEFT | ZORN_DF_END_D1_RIGHT: return kEndCurvatureSlope;
    case ZORN_DF_END_D2_LEFT | ZORN_DF_END_D2_RIGHT: return kEndCurvatureCurvature;
    case ZORN_DF_END_PERIODIC: return kEndPeriodic;
    default: return -1;
  }
}
inline bool end_needs_values(int index) { return index >= kEndSlopeSlope && index <= kEndCurvatureCurvature; }
inline bool left_is_slope(int index) { return index == kEndSlopeSlope || index == kEndSlopeCurvature; }
inline bool right_is_slope(int index) { return index == kEndSlopeSlope || index == kEndCurvatureSlope; }

// Checks the task's end condition kind and its array; sets `index`. Kind 0 is
// accepted only where the construction has its own end rule.
inline int32_t check_end_conditions(const Task& t, bool own_rule_for_zero, int& index) {
  if (t.end_kind == 0 && own_rule_for_zero) {
    index = kEndAkima;
    return kOk;
  }
  index = end_index(t.end_kind);
  if (index < 0) return kBadEndConditionKind;
  const bool periodic_needs = index == kEndPeriodic && (t.spline_kind == 0 || t.spline_kind == 3);
  if ((end_needs_values(index) || periodic_needs) && t.end == nullptr) return kNullEndConditions;
  return kOk;
}

// Functions a construction loops over.
inline int64_t function_count(const Task& t) { return t.ny < 1 ? 1 : t.ny; }

// The value and coefficient tables must cover every function the construction reads
// and writes, and each coefficient block must be as long as this spline needs.
inline int32_t check_tables(const Task& t, int64_t block) {
  const int64_t nf = function_count(t);
  if (t.values == nullptr || t.value_entries < (is_column_storage(t) ? 1 : nf)) return kNullValues;
  for (int64_t j = 0; j < t.value_entries; ++j)
    if (t.values[j] == nullptr) return kNullValues;
  if (t.coefficients == nullptr || t.coefficient_entries < nf) return kNullCoefficients;
  for (int64_t j = 0; j < nf; ++j)
    if (t.coefficients[j] == nullptr) return kNullCoefficients;
  if (t.coefficient_block != 0 && t.coefficient_block < block) return kNullCoefficients;
  return kOk;
}

// Function j's value at node i, for row-type or column storage.
template <class T, bool kColumns>
struct Values {
  const void* const* table;
  int64_t ny;  // at least 1
  T at(int64_t j, int64_t i) const { return function(j)[i * stride()]; }
  // Function j's values from node 0, `stride` reals apart.
  const T* function(int64_t j) const {
    if constexpr (kColumns) return static_cast<const T*>(table[0]) + j;
    return static_cast<const T*>(table[j]);
  }
  int64_t stride() const { return kColumns ? ny : 1; }
};

// Nodes and steps of a uniform (two stored ends) or non-uniform partition.
template <class T, bool kUniform>
struct Grid {
  const T* x;
  int64_t nx;
  T h;  // uniform step
  static Grid make(const T* x, int64_t nx) {
    return {x, nx, kUniform ? (x[1] - x[0]) / T(nx - 1) : T(0)};
  }
  T node(int64_t i) const {
    if constexpr (kUniform) return i == nx - 1 ? x[1] : x[0] + T(i) * h;
    return x[i];
  }
  T step(int64_t i) const {
    if constexpr (kUniform) return h;
    return x[i + 1] - x[i];
  }
};

// The common inputs of a construction worker.
template <class T>
struct Job {
  const Task* task;
  int end;          // EndIndex
  const T* ends;    // end condition values or null
  const T* inner;   // inner condition values or null
};

template <class T>
inline T* coefficient_block(const Task& t, int64_t j) {
  return static_cast<T*>(t.coefficients[j]);
}

// The periodic condition needs every function to end where it starts.
template <class T, bool kColumns>
bool all_periodic(const Task& t, const Values<T, kColumns>& v) {
  for (int64_t j = 0; j < function_count(t); ++j)
    if (!(v.at(j, 0) == v.at(j, t.nx - 1))) return false;
  return true;
}

// A worker table indexed by value storage class and partition class.
template <class T, template <class, bool, bool> class Worker>
int32_t run_worker(const Job<T>& job) {
  using Fn = int32_t (*)(const Job<T>&);
  static constexpr Fn kTable[2][2] = {
      {&Worker<T, false, false>::run, &Worker<T, false, true>::run},
      {&Worker<T, true, false>::run, &Worker<T, true, true>::run}};
  return kTable[is_column_storage(*job.task)][is_uniform(*job.task)](job);
}

// Cubic Hermite cell from the values y0, y1 and slopes m0, m1 at the ends of a cell of
// width h: the coefficients of 1, d, d^2, d^3 (one division per cell).
template <class T>
inline void hermite_cell(T* c, T y0, T y1, T m0, T m1, T h) {
  const T inverse = T(1) / h;
  const T delta = (y1 - y0) * inverse;
  c[0] = y0;
  c[1] = m0;
  c[2] = (T(3) * delta - T(2) * m0 - m1) * inverse;
  c[3] = (m0 + m1 - T(2) * delta) * inverse * inverse;
}

// From this many cells on, a function's coefficients (32 bytes a cell in double) exceed
// the caches: they are written around them, which saves reading each line before it is
// overwritten.
constexpr int64_t kStreamCellsFrom = int64_t{1} << 17;

// Cells [0, cells) of function j from the slopes m[0 .. cells]: hermite_cell's
// coefficients, the same bits by either path.
template <class T, bool kColumns, bool kUniform>
void hermite_cells(T* c, const Values<T, kColumns>& v, int64_t j, const Grid<T, kUniform>& g,
                   const T* m, int64_t cells) {
  const T* y = v.function(j);
  const int64_t stride = v.stride();
  int64_t i = 0;
  if constexpr (sizeof(T) == sizeof(double)) {
    if (cells >= kStreamCellsFrom && reinterpret_cast<uintptr_t>(c) % 16 == 0) {
      // Two cells at a time, one per lane, in hermite_cell's order of operations.
      const __m128d one = _mm_set1_pd(1), two = _mm_set1_pd(2), three = _mm_set1_pd(3);
      for (; i + 2 <= cells; i += 2) {
        const __m128d y0 = _mm_set_pd(y[(i + 1) * stride], y[i * stride]);
        const __m128d y1 = _mm_set_pd(y[(i + 2) * stride], y[(i + 1) * stride]);
        const __m128d m0 = _mm_loadu_pd(m + i), m1 = _mm_loadu_pd(m + i + 1);
        const __m128d inverse = _mm_div_pd(one, _mm_set_pd(g.step(i + 1), g.step(i)));
        const __m128d delta = _mm_mul_pd(_mm_sub_pd(y1, y0), inverse);
        const __m128d c2 = _mm_mul_pd(
            _mm_sub_pd(_mm_sub_pd(_mm_mul_pd(three, delta), _mm_mul_pd(two, m0)), m1), inverse);
        const __m128d c3 = _mm_mul_pd(
            _mm_mul_pd(_mm_sub_pd(_mm_add_pd(m0, m1), _mm_mul_pd(two, delta)), inverse), inverse);
        _mm_stream_pd(c + 4 * i, _mm_unpacklo_pd(y0, m0));
        _mm_stream_pd(c + 4 * i + 2, _mm_unpacklo_pd(c2, c3));
        _mm_stream_pd(c + 4 * i + 4, _mm_unpackhi_pd(y0, m0));
        _mm_stream_pd(c + 4 * i + 6, _mm_unpackhi_pd(c2, c3));
      }
      _mm_sfence();
    }
  }
  for (; i < cells; ++i)
    hermite_cell(c + 4 * i, y[i * stride], y[(i + 1) * stride], m[i], m[i + 1], g.step(i));
}

}  // namespace zorn::df
