// Constants of a hot loop as full 16-byte rows {c, c, ...}, read as memory operands
// (mulpd (%reg), ...) instead of a scalar load and a broadcast in every pass. It pays where
// branches or a register-hungry path keep the compiler from holding constants in registers
// across the loop; elsewhere it may block hoisting and folding (measure per function).
// The compiler must not see the values where the kernel reads them: read the rows through
// a SplatReader (an opaque pointer), or define the table in another translation unit.
#pragma once

#include <cstddef>

#include "tess_kernels/frame/simd.h"
#include "tess_kernels/frame/simd_double.h"

namespace zorn::tess::simd {

template <class T, size_t N>
struct SplatRows {
  static constexpr size_t kLanes = 16 / sizeof(T);
  alignas(16) T row[N][kLanes];
  explicit constexpr SplatRows(const T (&values)[N]) : row{} {
    for (size_t i = 0; i < N; ++i)
      for (size_t l = 0; l < kLanes; ++l) row[i][l] = values[i];
  }
  // Row i as a vector: F64x2 or F32x4.
  auto operator[](size_t i) const {
    if constexpr (sizeof(T) == 8) {
      return F64x2::load_aligned(row[i]);
    } else {
      return F32x4{_mm_load_ps(row[i])};
    }
  }
};

// Reads rows of one SplatRows table; the empty asm makes the table's address opaque
// (it is loop-invariant and hoisted out of the loop).
template <class T, size_t N>
class SplatReader {
 public:
  explicit SplatReader(const SplatRows<T, N>& table) : rows_(&table) {
    asm("" : "+r"(rows_));
  }
  auto operator[](size_t i) const { return (*rows_)[i]; }

 private:
  const SplatRows<T, N>* rows_;
};

}  // namespace zorn::tess::simd
