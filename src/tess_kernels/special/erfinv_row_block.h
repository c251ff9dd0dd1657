// The contiguous block loop of the double precision inverse error functions and normal
// quantile (erfinv_core_double.h), in three passes over chunks of 512 elements:
// - the first finds every lane's row key from the aligned pairs and stores it by
//   position, and stops at the first group holding a special lane; a group holding a
//   lane below the central rows (|x|, |1 - q| or |p - 1/2| below 2^-53) takes the
//   central polynomial for its four lanes, kept with their positions; one comparison of
//   v = min(a, t) finds both kinds of lane;
// - the second runs the row form on the contiguous pairs, its loads waiting on no chain
//   from the argument to the row address (the chain, not the loads, limited a loop that
//   found the rows itself);
// - the third stores the kept polynomial values over the row form's.
// A lane's result is that of both_forms, which strided and partial groups use. Like
// run_fast_block, this stores whole groups of four from the start until the first group
// holding a special lane and returns the number of elements stored; r may be a.
#pragma once

#include <algorithm>
#include <cstdint>

#include "tess_kernels/frame/kernel_frame.h"
#include "tess_kernels/frame/simd_double.h"
#include "tess_kernels/special/erfinv_core_double.h"

namespace zorn::tess::inverse_erf {

// Lanes supplies the Forms of erfinv_core_double.h and special(x), the all-ones mask of
// the lanes that need the callout.
template <class Lanes>
inline int64_t run_row_block(int64_t n, const double* a, double* r) {
  using simd::F64x2;
  constexpr int64_t kChunk = 512;
  // By position in the chunk: the row keys and the row arguments (the result's sign
  // comes from the argument again, which the second pass reads before it stores there).
  alignas(16) int64_t row_key[kChunk];
  alignas(16) double row_v[kChunk];
  int32_t kept_at[kChunk];             // positions of the kept polynomial values
  double kept[kChunk];
  const RowBases bases = row_bases<Lanes>();
  int64_t done = 0;
  while (done + kGroupLanes <= n) {
    const int64_t m = std::min(kChunk, n - done) / kGroupLanes * kGroupLanes;
    const double* x = a + done;
    double* y = r + done;
    int32_t kept_count = 0;
    int64_t g = 0;
    for (; g < m; g += kGroupLanes) {
      const F64x2 x0 = F64x2::load(x + g), x1 = F64x2::load(x + g + 2);
      RowArgument r0 = row_argument<Lanes>(x0), r1 = row_argument<Lanes>(x1);
      if (simd::lane_mask(rare_lanes(r0) | rare_lanes(r1)) != 0) [[unlikely]] {
        if (simd::lane_mask(Lanes::special(x0) | Lanes::special(x1)) != 0) break;
        const F64x2 below0 = below_rows<Lanes>(x0), below1 = below_rows<Lanes>(x1);
        double central[kGroupLanes];
        Lanes::central(x0).store(central);
        Lanes::central(x1).store(central + 2);
        const int below = simd::lane_mask(below0) | simd::lane_mask(below1) << 2;
        for (int l = 0; l < kGroupLanes; ++l) {
          if ((below >> l) & 1) {
            kept_at[kept_count] = static_cast<int32_t>(g + l);
            kept[kept_count++] = central[l];
          }
        }
        r0 = raised_below_rows(r0);
        r1 = raised_below_rows(r1);
      }
      _mm_store_si128(reinterpret_cast<__m128i*>(row_key + g), row_keys(r0, bases).v);
      _mm_store_si128(reinterpret_cast<__m128i*>(row_key + g + 2), row_keys(r1, bases).v);
      _mm_store_pd(row_v + g, r0.v.v);
      _mm_store_pd(row_v + g + 2, r1.v.v);
    }
    for (int64_t i = 0; i < g; i += 2) {
      const double* r0 = row_at_key(bases, row_key[i]);
      const double* r1 = row_at_key(bases, row_key[i + 1]);
      row_form<Lanes>(F64x2::load(x + i), F64x2::load_aligned(row_v + i), r0, r1).store(y + i);
    }
    for (int32_t k = 0; k < kept_count; ++k) y[kept_at[k]] = kept[k];
    done += g;
    if (g < m) break;  // stopped at a special group
  }
  return done;
}

}  // namespace zorn::tess::inverse_erf
