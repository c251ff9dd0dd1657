// Constants of a hot loop as full 16-byte rows {c, c}, read through a pointer the compiler
// cannot see through, so that each one is a memory operand (mulpd (%reg), ...) instead of
// an 8-byte load and an unpcklpd in every pass. It pays where branches keep the compiler
// from holding constants in registers across the loop; elsewhere it may block hoisting
// and folding (measure per function before using it).
#pragma once

#include <cstddef>

#include "tess_kernels/frame/simd_double.h"

namespace zorn::tess::simd {

template <size_t N>
struct SplatRows {
  alignas(16) double row[N][2];
  explicit constexpr SplatRows(const double (&values)[N]) : row{} {
    for (size_t i = 0; i < N; ++i) row[i][0] = row[i][1] = values[i];
  }
};

// Reads rows of one SplatRows table; the empty asm makes the table's address opaque
// (it is loop-invariant and hoisted out of the loop).
class SplatReader {
 public:
  template <size_t N>
  explicit SplatReader(const SplatRows<N>& table) : rows_(table.row) {
    asm("" : "+r"(rows_));
  }
  F64x2 operator[](size_t i) const { return F64x2::load_aligned(rows_[i]); }

 private:
  const double (*rows_)[2];
};

}  // namespace zorn::tess::simd
