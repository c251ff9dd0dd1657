// Single precision ErfInv, ErfcInv and CdfNormInv on the rows of the double kernels
// (erfinv_core_double.h): each lane is reduced in single precision to v = min(a, t), as
// there (the reductions are exact where they are used, by the same arguments in 24 bits
// as in 53), and its row is found from v's own bits; only the polynomial is evaluated in
// double precision, on w = v - lo widened exactly, and rounded once to single.
//
// A float needs 24 bits: the rows' head alone and their terms to degree 4 suffice. The
// terms dropped, c5 w^5 + c6 w^6 over a piece, stay below 2^-33 of the head on every row
// (measured over the tables), 0.002 of a float's ulp; the head is rounded to 2^-53.
//
// A contiguous block runs in three passes over chunks of 512 floats, like the double one
// (erfinv_row_block.h): the first reduces four lanes at a time in single precision and
// stores each lane's row key and w with the result's sign, and stops at the first group
// holding a special lane; a group holding a lane below the rows (v = 0: the centre
// itself, p = 1/2 or q = 1) takes the group form, kept by position; the second evaluates
// the rows on contiguous groups; the third stores the kept groups. Any other group takes
// `rows_group`, with the same bits lane for lane.
#pragma once

#include <algorithm>
#include <cstdint>

#include "tess_kernels/frame/kernel_frame.h"
#include "tess_kernels/frame/simd.h"
#include "tess_kernels/special/erfinv_core_double.h"

namespace zorn::tess::inverse_erf {

// A float's bits above its piece offset (the biased exponent and the top kTailPieceBits
// bits of the fraction) index the rows as the double's do, less (1023 - 127) binades.
constexpr int kSinglePieceShift = 23 - kTailPieceBits;
constexpr int32_t kSingleRowBase = (127 + kLowestTailExponent) << kTailPieceBits;
constexpr float kSingleLowestRow = 0x1p-53f;

// The row of a lane is at `tail` plus its key: the offset of its piece times the 64 bytes
// of a row, plus for a central lane the distance from the tail rows to the central rows
// (both tables start at the same row; they lie in one library's read-only data, far
// closer than 2^31 bytes).
struct SingleRowBases {
  intptr_t tail;
  int32_t central_less_tail;
};
template <class Forms>
inline SingleRowBases single_row_bases() {
  const intptr_t tail = reinterpret_cast<intptr_t>(Forms::tail_rows);
  const intptr_t central = reinterpret_cast<intptr_t>(Forms::central_rows);
  return {tail - (intptr_t{kSingleRowBase} << 6), static_cast<int32_t>(central - tail)};
}

// Four lanes reduced as in row_argument (erfinv_core_double.h): v = min(a, t), and the
// lanes with a < t.
struct SingleRowArgument {
  simd::F32x4 v;
  simd::I32x4 central;
};
template <class Forms>
[[gnu::always_inline]] inline SingleRowArgument single_row_argument(simd::F32x4 x) {
  const simd::F32x4 a = Forms::distance(x), t = Forms::tail_argument(x);
  return {simd::min(a, t), simd::bits(simd::less(a, t))};
}
// Lanes that read no row: v below 2^-53, or NaN.
[[gnu::always_inline]] inline int below_rows(const SingleRowArgument& r) {
  return simd::lane_mask_not_less_equal(simd::F32x4::splat(kSingleLowestRow), r.v);
}
// v raised to the first row where it is below it or NaN (keys in bounds for any lane).
[[gnu::always_inline]] inline SingleRowArgument raised_to_rows(SingleRowArgument r) {
  return {simd::max(r.v, simd::F32x4::splat(kSingleLowestRow)), r.central};
}

// The lanes' row keys, and w = v - lo with the result's sign.
struct SingleRowLanes {
  simd::I32x4 key;
  simd::F32x4 signed_w;
};
[[gnu::always_inline]] inline SingleRowLanes single_row_lanes(const SingleRowArgument& r,
                                                              simd::F32x4 sign_source,
                                                              int32_t central_less_tail) {
  using simd::I32x4;
  const I32x4 piece = simd::bits(r.v) & I32x4::splat(-(1 << kSinglePieceShift));
  const I32x4 key =
      (piece >> (kSinglePieceShift - 6)) + (r.central & I32x4::splat(central_less_tail));
  const simd::F32x4 w = r.v - simd::from_bits(piece);  // exact: both in one binade
  return {key, simd::or_sign(w, sign_source)};
}

// head + w (c1 + c2 w + c3 w^2 + c4 w^3) of two lanes' rows, each lane summing its aligned
// column pairs (c1, c2) and (c3, c4) in w^2 with w^2 in both halves.
[[gnu::always_inline]] inline simd::F64x2 short_row_value(const double* r0, const double* r1,
                                                          simd::F64x2 w) {
  using simd::F64x2;
  const F64x2 w2 = w * w;
  const auto even_odd = [](const double* row, F64x2 s) {
    return F64x2::load_aligned(row + 2) + s * F64x2::load_aligned(row + 4);
  };
  const F64x2 s0 = even_odd(r0, simd::lane0s(w2, w2)), s1 = even_odd(r1, simd::lane1s(w2, w2));
  const F64x2 p = simd::lane0s(s0, s1) + w * simd::lane1s(s0, s1);
  const F64x2 head{_mm_loadh_pd(_mm_load_sd(r0), r1)};
  return head + w * p;
}

// Four results from the lanes' keys and signed w.
[[gnu::always_inline]] inline simd::F32x4 single_row_results(intptr_t tail, const int32_t key[4],
                                                             simd::F32x4 signed_w) {
  const auto row = [&](int l) { return reinterpret_cast<const double*>(tail + key[l]); };
  const simd::F32x4 w = simd::abs(signed_w);
  const simd::F64x2 y0 = short_row_value(row(0), row(1), simd::low_to_double(w));
  const simd::F64x2 y1 = short_row_value(row(2), row(3), simd::high_to_double(w));
  return simd::or_sign(simd::to_float(y0, y1), signed_w);
}

// Any four lanes: the row lanes' results; a lane below the rows gives zero with the
// result's sign, its value at v = 0 (special lanes: any value, for the callout to replace).
template <class Forms>
inline simd::F32x4 rows_group(simd::F32x4 x) {
  const SingleRowBases bases = single_row_bases<Forms>();
  const SingleRowArgument r = single_row_argument<Forms>(x);
  const simd::F32x4 sign_source = Forms::sign_source(x);
  const SingleRowLanes lanes =
      single_row_lanes(raised_to_rows(r), sign_source, bases.central_less_tail);
  alignas(16) int32_t key[4];
  _mm_store_si128(reinterpret_cast<__m128i*>(key), lanes.key.v);
  const simd::F32x4 y = single_row_results(bases.tail, key, lanes.signed_w);
  const simd::F32x4 in_rows{_mm_cmple_ps(simd::F32x4::splat(kSingleLowestRow).v, r.v.v)};
  return simd::or_sign(simd::from_bits(simd::bits(y) & simd::bits(in_rows)), sign_source);
}

// Whole contiguous groups from the start until the first group holding a special lane
// (special_lanes(x) non-zero), which is left unstored; returns the number of elements
// stored. r may be a.
template <class Forms, int (*special_lanes)(simd::F32x4)>
inline int64_t run_single_row_block(int64_t n, const float* a, float* r) {
  using simd::F32x4;
  constexpr int64_t kChunk = 512;
  alignas(16) int32_t row_key[kChunk];
  alignas(16) float row_w[kChunk];
  int32_t kept_at[kChunk / kGroupLanes];  // groups below the rows, by position
  F32x4 kept[kChunk / kGroupLanes];
  const SingleRowBases bases = single_row_bases<Forms>();
  int64_t done = 0;
  while (done + kGroupLanes <= n) {
    const int64_t m = std::min(kChunk, n - done) / kGroupLanes * kGroupLanes;
    const float* x = a + done;
    float* y = r + done;
    int32_t kept_count = 0;
    int64_t g = 0;
    for (; g < m; g += kGroupLanes) {
      const F32x4 xg = F32x4::load(x + g);
      SingleRowArgument ra = single_row_argument<Forms>(xg);
      if (below_rows(ra) != 0) [[unlikely]] {
        if (special_lanes(xg) != 0) break;
        kept_at[kept_count] = static_cast<int32_t>(g);
        kept[kept_count++] = rows_group<Forms>(xg);
        ra = raised_to_rows(ra);
      }
      const SingleRowLanes lanes =
          single_row_lanes(ra, Forms::sign_source(xg), bases.central_less_tail);
      _mm_store_si128(reinterpret_cast<__m128i*>(row_key + g), lanes.key.v);
      _mm_store_ps(row_w + g, lanes.signed_w.v);
    }
    for (int64_t i = 0; i < g; i += kGroupLanes) {
      single_row_results(bases.tail, row_key + i, F32x4{_mm_load_ps(row_w + i)}).store(y + i);
    }
    for (int32_t k = 0; k < kept_count; ++k) kept[k].store(y + kept_at[k]);
    done += g;
    if (g < m) break;  // stopped at a special group
  }
  return done;
}

}  // namespace zorn::tess::inverse_erf
