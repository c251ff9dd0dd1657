// The two-lane core shared by the double and single precision kernels of ErfInv,
// ErfcInv and CdfNormInv (tables from tools/tess_inverse_erf_tables).
//
// Double precision: every argument is reduced, exactly where it is used, to a central
// distance a and a tail argument t (below, `row_argument`), and the result is a
// degree-6 polynomial in v - lo (lo the lower end of v's piece) from one row of a table,
// v = min(a, t):
// - central rows: erfinv(a) (quantile(1/2 + a)) for 2^-53 <= a < 1/2 (1/4);
// - tail rows: erfcinv(t) (-quantile(t)) for 2^-53 <= t <= 1/2 (1/4);
// 64 rows per binade found from the top bits of v, no logarithm. A row is one cache line,
// lo comes from the bits of v, and the constant term is a head and a tail, so that the
// final sum is the one rounding that counts. Below the central rows, a lane
// takes x (head + g(x^2)), g a polynomial of degree 3, with x head exact as a sum of two
// products. The error stays near half an ulp. A contiguous block finds its lanes' rows
// in a pass of its own (erfinv_row_block.h); a pair of any lanes selects (`both_forms`).
//
// Single precision reads the same rows, to degree 4, from lanes reduced in single
// precision (erfinv_single_rows.h).
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <iterator>

#include "tess_kernels/frame/polynomial_double.h"
#include "tess_kernels/frame/simd_double.h"

namespace zorn::tess::inverse_erf {

#include "tess_kernels/special/data/inverse_erf_tables.inc"

// q's bits above a piece's offset within its binade (its row from the top bits), and
// those bits for the first tail row (q = 2^-53).
constexpr int kPieceShift = 52 - kTailPieceBits;
constexpr int64_t kTailBase = int64_t{1023 + kLowestTailExponent} << kTailPieceBits;
constexpr double kSmallestTail = 0x1p-53;

// (head + g(a^2)) a for 2^-960 <= a < 2^-53. The head has at most 8 significant bits:
// a split into its leading 45 bits and the rest makes a head two exact products.
template <size_t N>
[[gnu::always_inline]] inline simd::F64x2 central_magnitude(const double (&poly)[N], double head,
                                                            simd::F64x2 a) {
  using simd::F64x2;
  const F64x2 g = estrin(a * a, poly);
  const F64x2 a_high = simd::from_bits(simd::bits(a) & simd::I64x2::splat(~int64_t{0xFF}));
  const F64x2 c = F64x2::splat(head);
  return a_high * c + ((a - a_high) * c + a * g);
}

// The row of q's tail piece: in the table for 2^-53 <= q below its top, any index otherwise.
[[gnu::always_inline]] inline simd::I64x2 tail_row(simd::F64x2 q) {
  return (simd::bits(q) >> kPieceShift) - simd::I64x2::splat(kTailBase);
}

// The row polynomial at v (2^-53 <= v below the table's top) from the rows of its two
// lanes: head + (tail + w p(w)), w = v - lo, lo the lower end of v's piece.
[[gnu::always_inline]] inline simd::F64x2 row_magnitude(const double* r0, const double* r1,
                                                        simd::F64x2 v) {
  using simd::F64x2;
  using simd::I64x2;
  // The piece's lower end: v's bits above the piece offset.
  const F64x2 lo = simd::from_bits(simd::bits(v) & I64x2::splat(-(int64_t{1} << kPieceShift)));
  const F64x2 w = v - lo;  // exact: both in one binade
  const F64x2 w2 = w * w;
  // Each lane sums its row's aligned column pairs (c1, c2), (c3, c4), (c5, c6) in w^2
  // with w^2 in both halves: (even, odd) = (c1 + c3 w^2 + c5 w^4, c2 + c4 w^2 + c6 w^4),
  // the coefficients read as memory operands, six shuffles a pair where unpacking every
  // column took eight.
  const auto even_odd = [](const double* row, F64x2 s) {
    const auto pair = [&](int i) { return F64x2::load_aligned(row + i); };
    return pair(2) + s * (pair(4) + s * pair(6));
  };
  const F64x2 s0 = even_odd(r0, simd::lane0s(w2, w2)), s1 = even_odd(r1, simd::lane1s(w2, w2));
  const F64x2 p = simd::lane0s(s0, s1) + w * simd::lane1s(s0, s1);
  const F64x2 h0 = F64x2::load_aligned(r0), h1 = F64x2::load_aligned(r1);
  return simd::lane0s(h0, h1) + (simd::lane1s(h0, h1) + w * p);
}

// The rows of lanes of any q: a lane outside the tail reads some row in bounds and gives
// a value the caller discards.
template <int64_t kRowCount>
[[gnu::always_inline]] inline std::array<const double*, 2> any_rows(
    const double (&rows)[kRowCount][kRowWidth], simd::F64x2 q) {
  const simd::I64x2 row = tail_row(q);
  // Unsigned: a negative index (a lane below the table) clamps to the last row as well.
  const uint64_t last = kRowCount - 1;
  return {rows[std::min(row.lane0_bits(), last)], rows[std::min(row.lane1_bits(), last)]};
}
template <int64_t kRowCount>
[[gnu::always_inline]] inline simd::F64x2 tail_magnitude(const double (&rows)[kRowCount][kRowWidth],
                                                         simd::F64x2 q) {
  const auto r = any_rows(rows, q);
  return row_magnitude(r[0], r[1], q);
}

inline simd::F64x2 with_sign_of(simd::F64x2 magnitude, simd::F64x2 x) {
  return magnitude | (x & simd::F64x2::splat(-0.0));
}

// The double kernels evaluate one row per lane, of one of two tables. Each function
// reduces its argument, exactly where it is used, to a central distance a (|x|, |1 - q|,
// |p - 1/2|) and a tail argument t (1 - |x|, q or 2 - q, p or 1 - p), a + t = 1 (1/2 for
// the quantile) up to the rounding of the larger: a lane with a < t takes the central
// rows at a (erfinv(a), quantile(1/2 + a)), any other the tail rows at t (erfcinv(t),
// -quantile(t)), and the result has the sign of `sign_source`. Both tables start at
// 2^-53, so that v = min(a, t) below 2^-53 (or NaN) marks every lane that reads no row:
// special lanes (t below 2^-53 or NaN: arguments outside the domain or at its ends, and
// for erfinv |x| below 2^-960) and central lanes below the rows, which take the central
// polynomial (`central`, by select in a pair, by a later pass in a block).
constexpr double kLowestCentralRow = 0x1p-53;
static_assert(kLowestCentralRowExponent == -53 && kLowestCentralRow == kSmallestTail,
              "the central rows start where the tail rows do");
// Central rows from the bits of a: the first row's (2^-53) index.
constexpr int64_t kCentralBase = int64_t{1023 + kLowestCentralRowExponent} << kTailPieceBits;

struct RowArgument {
  simd::F64x2 v;        // min(a, t)
  simd::F64x2 central;  // all ones where a < t
};
template <class Forms>
[[gnu::always_inline]] inline RowArgument row_argument(simd::F64x2 x) {
  const simd::F64x2 a = Forms::distance(x);
  const simd::F64x2 t = Forms::tail_argument(x);
  return {simd::min(a, t), simd::less(a, t)};
}
// The lanes that read no row (minpd gives t where a or t is NaN, and both are then).
[[gnu::always_inline]] inline simd::F64x2 rare_lanes(const RowArgument& r) {
  return simd::not_greater_equal(r.v, simd::F64x2::splat(kSmallestTail));
}
// Lanes whose central distance is below the central rows (NaN: special anyway).
template <class Forms>
[[gnu::always_inline]] inline simd::F64x2 below_rows(simd::F64x2 x) {
  return simd::less(Forms::distance(x), simd::F64x2::splat(kLowestCentralRow));
}
// For a lane below the central rows, the first central row (in bounds: row_keys do
// not clamp), whose value the lane's central polynomial replaces.
[[gnu::always_inline]] inline RowArgument raised_below_rows(RowArgument r) {
  return {simd::max(r.v, simd::F64x2::splat(kLowestCentralRow)), r.central};
}

// The addresses of the lanes' rows, for lanes that are not special, as the table base
// (`tail`, an address) plus a key: v's bits above the piece offset, times the 64 bytes
// of a row, plus for a central lane the distance from the tail rows to the central rows
// less that between their first indices. The key is a vector operation fewer than the
// address, and the base joins it in the address of the row's loads.
static_assert(kRowWidth * sizeof(double) == 64, "a row is one cache line");
struct RowBases {
  intptr_t tail;
  simd::I64x2 central_less_tail;
};
template <class Forms>
inline RowBases row_bases() {
  const intptr_t tail = reinterpret_cast<intptr_t>(Forms::tail_rows) - (kTailBase << 6);
  const intptr_t central = reinterpret_cast<intptr_t>(Forms::central_rows) - (kCentralBase << 6);
  return {tail, simd::I64x2::splat(central - tail)};
}
[[gnu::always_inline]] inline simd::I64x2 row_keys(const RowArgument& r, const RowBases& b) {
  const simd::I64x2 offset = (simd::bits(r.v) >> (kPieceShift - 6)) & simd::I64x2::splat(-64);
  return offset + (simd::bits(r.central) & b.central_less_tail);
}
[[gnu::always_inline]] inline const double* row_at_key(const RowBases& b, int64_t key) {
  return reinterpret_cast<const double*>(b.tail + key);
}

// The row form of a pair x from its row arguments v and its lanes' rows (lanes above the
// central rows).
template <class Forms>
[[gnu::always_inline]] inline simd::F64x2 row_form(simd::F64x2 x, simd::F64x2 v, const double* r0,
                                                   const double* r1) {
  return with_sign_of(row_magnitude(r0, r1, v), Forms::sign_source(x));
}

// The row of one lane of any argument, in bounds.
template <class Forms>
inline const double* any_row(uint64_t v_bits, bool central) {
  constexpr uint64_t central_last = std::size(Forms::central_rows) - 1;
  constexpr uint64_t tail_last = std::size(Forms::tail_rows) - 1;
  const uint64_t piece = v_bits >> kPieceShift;
  return central ? Forms::central_rows[std::min(piece - kCentralBase, central_last)]
                 : Forms::tail_rows[std::min(piece - kTailBase, tail_last)];
}

// Both forms of a pair of any lanes, each lane taking its own.
template <class Forms>
[[gnu::always_inline]] inline simd::F64x2 both_forms(simd::F64x2 x) {
  const RowArgument r = row_argument<Forms>(x);
  const int central = simd::lane_mask(r.central);
  const uint64_t v0 = simd::bits(r.v).lane0_bits(), v1 = simd::bits(r.v).lane1_bits();
  const simd::F64x2 rows = row_form<Forms>(x, r.v, any_row<Forms>(v0, central & 1),
                                           any_row<Forms>(v1, central & 2));
  return simd::select(below_rows<Forms>(x), Forms::central(x), rows);
}

// erfinv(x) for |x| < 1 (other lanes: any value). t = 1 - |x| is rounded below |x| = 1/2,
// where the lane is central, and exact from there on.
struct ErfInvForms {
  template <class V>
  [[gnu::always_inline]] static V distance(V x) { return simd::abs(x); }
  template <class V>
  [[gnu::always_inline]] static V tail_argument(V x) { return V::splat(1.0) - simd::abs(x); }
  template <class V>
  [[gnu::always_inline]] static V sign_source(V x) { return x; }
  // The polynomial below the central rows.
  [[gnu::always_inline]] static simd::F64x2 central(simd::F64x2 x) {
    return with_sign_of(central_magnitude(kErfInvCentralPoly, kErfInvHead, simd::abs(x)), x);
  }
  static constexpr const auto& central_rows = kErfInvCentralRows;
  static constexpr const auto& tail_rows = kErfInvTailRows;
};

// erfcinv(q) for 2^-53 <= q < 2: a = |1 - q|, exact where the lane is central (q in
// [1/2, 3/2]); t = q below 1, 2 - q above, both exact.
struct ErfcInvForms {
  template <class V>
  [[gnu::always_inline]] static V distance(V q) { return simd::abs(V::splat(1.0) - q); }
  template <class V>
  [[gnu::always_inline]] static V tail_argument(V q) { return simd::min(q, V::splat(2.0) - q); }
  template <class V>
  [[gnu::always_inline]] static V sign_source(V q) { return V::splat(1.0) - q; }
  [[gnu::always_inline]] static simd::F64x2 central(simd::F64x2 q) {
    return ErfInvForms::central(simd::F64x2::splat(1.0) - q);
  }
  static constexpr const auto& central_rows = kErfInvCentralRows;
  static constexpr const auto& tail_rows = kErfInvTailRows;
};

// The quantile's central polynomial on x/2 = p - 1/2 (exact for p in [1/4, 1]), one
// operation sooner than x = 2p - 1: (x/2) (2 head + 2 g(4 (x/2)^2)), whose coefficients
// are g's times powers of two, gives the bits of x (head + g(x^2)) step for step.
struct HalfArgumentPoly {
  double poly[std::size(kNormalQuantileCentralPoly)];
  double head;
};
constexpr HalfArgumentPoly half_argument_poly() {
  HalfArgumentPoly h{};
  double scale = 2;
  for (size_t i = 0; i < std::size(h.poly); ++i, scale *= 4)
    h.poly[i] = kNormalQuantileCentralPoly[i] * scale;
  h.head = 2 * kNormalQuantileHead;
  return h;
}
constexpr HalfArgumentPoly kHalfQuantile = half_argument_poly();

// The normal quantile for 2^-53 <= p < 1: a = |p - 1/2|, exact where the lane is central
// (p in [1/4, 3/4]); t = p below 1/2, 1 - p above, both exact.
struct NormalQuantileForms {
  template <class V>
  [[gnu::always_inline]] static V distance(V p) { return simd::abs(p - V::splat(0.5)); }
  template <class V>
  [[gnu::always_inline]] static V tail_argument(V p) { return simd::min(p, V::splat(1.0) - p); }
  template <class V>
  [[gnu::always_inline]] static V sign_source(V p) { return p - V::splat(0.5); }
  [[gnu::always_inline]] static simd::F64x2 central(simd::F64x2 p) {
    const simd::F64x2 x = p - simd::F64x2::splat(0.5);
    return with_sign_of(central_magnitude(kHalfQuantile.poly, kHalfQuantile.head, simd::abs(x)), x);
  }
  static constexpr const auto& central_rows = kNormalQuantileCentralRows;
  static constexpr const auto& tail_rows = kNormalQuantileTailRows;
};

}  // namespace zorn::tess::inverse_erf
