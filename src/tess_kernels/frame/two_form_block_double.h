// The contiguous block loop of a double precision kernel whose lanes take one of two
// forms: a cheap one (`central`, a few constants) and a costly one (`tail`, table rows
// gathered per lane). Evaluating both on every pair and selecting pays the costly form
// for every lane; instead each chunk of the block is first sorted, by lane index, into
// central and tail lanes, and each form then runs on pairs of its own lanes only. A
// lane's result does not depend on which other lane shares its pair, so this gives the
// bits of the select form (`both_forms`) that strided and partial groups use.
//
// The costly form's table rows are found while sorting, from the aligned pairs of the
// chunk, and kept per lane: the tail pass then loads its rows without waiting on the
// chain from its gathered argument to the row address (sorted d ErfInv blocks of uniform
// arguments 25 % faster, the tail lanes alone nearly twice).
//
// Forms supplies static functions special(x) and central_lanes(x) (all-ones masks of
// lanes that need the callout and of those the central form applies to), central(x),
// tail_row(x) (I64x2: the row of each lane in the tail, any value for other lanes) and
// tail(x, row0, row1). Like run_fast_block, this stores whole groups of four from the
// start until the first group holding a special lane and returns the number of elements
// stored; r may be a.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

#include "tess_kernels/frame/kernel_frame.h"
#include "tess_kernels/frame/simd_double.h"

namespace zorn::tess {

namespace two_form {

// For each four-bit lane mask, the positions of its set bits packed to the front.
struct LanePack {
  std::array<std::array<int32_t, 4>, 16> positions{};
  std::array<int32_t, 16> count{};
  constexpr LanePack() {
    for (int m = 0; m < 16; ++m)
      for (int l = 0; l < 4; ++l)
        if ((m >> l) & 1) positions[m][count[m]++] = l;
  }
};
inline constexpr LanePack kLanePack{};

constexpr int64_t kChunk = 512;

// Runs `form` on the listed positions of x, two at a time, storing into y; form(v, i0, i1)
// is given the pair and its positions. An odd count pairs its last position with itself.
template <class Form>
[[gnu::always_inline]] inline void run_listed(int32_t* positions, int32_t count, const double* x,
                                              double* y, Form&& form) {
  if (count % 2 != 0) positions[count] = positions[count - 1];
  for (int32_t k = 0; k < count; k += 2) {
    const int32_t i0 = positions[k], i1 = positions[k + 1];
    const simd::F64x2 v = form(simd::F64x2{_mm_loadh_pd(_mm_load_sd(x + i0), x + i1)}, i0, i1);
    _mm_storel_pd(y + i0, v.v);
    _mm_storeh_pd(y + i1, v.v);
  }
}

}  // namespace two_form

template <class Forms>
inline int64_t run_two_form_block(int64_t n, const double* a, double* r) {
  using simd::F64x2;
  // Four entries of slack: each group writes four positions to both lists.
  alignas(16) int32_t central[two_form::kChunk + 4];
  alignas(16) int32_t tail[two_form::kChunk + 4];
  alignas(16) int32_t row_of[two_form::kChunk];  // by position in the chunk
  int64_t done = 0;
  while (done + kGroupLanes <= n) {
    const int64_t m = std::min(two_form::kChunk, n - done) / kGroupLanes * kGroupLanes;
    const double* x = a + done;
    double* y = r + done;
    int32_t central_count = 0, tail_count = 0;
    int64_t g = 0;
    for (; g < m; g += kGroupLanes) {
      const F64x2 x0 = F64x2::load(x + g), x1 = F64x2::load(x + g + 2);
      if (simd::lane_mask(Forms::special(x0) | Forms::special(x1)) != 0) break;
      const int lanes =
          simd::lane_mask(Forms::central_lanes(x0)) | simd::lane_mask(Forms::central_lanes(x1)) << 2;
      const __m128i base = _mm_set1_epi32(static_cast<int32_t>(g));
      const auto append = [&](int32_t* list, int32_t& count, int mask) {
        const __m128i p = _mm_loadu_si128(
            reinterpret_cast<const __m128i*>(two_form::kLanePack.positions[mask].data()));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(list + count), _mm_add_epi32(p, base));
        count += two_form::kLanePack.count[mask];
      };
      append(central, central_count, lanes);
      append(tail, tail_count, lanes ^ 15);
      // The low halves of the four 64-bit rows.
      const __m128i rows = _mm_unpacklo_epi64(_mm_shuffle_epi32(Forms::tail_row(x0).v, 0x08),
                                              _mm_shuffle_epi32(Forms::tail_row(x1).v, 0x08));
      _mm_store_si128(reinterpret_cast<__m128i*>(row_of + g), rows);
    }
    two_form::run_listed(central, central_count, x, y,
                         [](F64x2 v, int32_t, int32_t) { return Forms::central(v); });
    two_form::run_listed(tail, tail_count, x, y, [&](F64x2 v, int32_t i0, int32_t i1) {
      return Forms::tail(v, row_of[i0], row_of[i1]);
    });
    done += g;
    if (g < m) break;  // stopped at a special group
  }
  return done;
}

}  // namespace zorn::tess
