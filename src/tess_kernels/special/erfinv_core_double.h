// The two-lane core shared by the double and single precision kernels of ErfInv,
// ErfcInv and CdfNormInv (tables from tools/tess_inverse_erf_tables).
//
// Every argument is first reduced, exactly, to one of two forms:
// - central: |x| <= 1/2 for erfinv, |x| <= 1/4 for erfcinv's x = 1 - q and the
//   quantile's x = 2p - 1, with the result x (head + g(x^2)), g one polynomial of degree
//   13 (8 on the narrower piece), no table read. x head is exact as a sum of two
//   products, and |g| < 0.06 keeps the rounding of x g small next to that of the final
//   sum. erfinv's tail argument 1 - |x| is exact only from |x| = 1/2 on; those of the
//   other two (q or 2 - q, p or 1 - p) are exact everywhere, so that their central piece
//   is narrower, with half the polynomial, and their tails take the lanes between;
// - tail: 2^-53 <= q <= 3/4 (erfinv's q rounds to 3/4 just above |x| = 1/4, so the rows
//   run one piece past it) or 2^-53 <= q < 3/8 (the
//   quantile), the result erfcinv(q) (or -quantile(q)) as a degree-6
//   polynomial in q - centre from the lane's row, 64 rows per binade found from the top
//   bits of q, no logarithm. A row is one cache line, the centre comes from the bits of q,
//   and the constant term is a head and a tail, so that the final sum is the one rounding
//   that counts.
// The error stays near half an ulp. Each function comes as its two forms and their
// criterion (`Forms`), so that a block can sort its lanes by form and run each form on
// pairs of its own lanes only (the pair form selects between the two).
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

// (head + g(a^2)) a for 2^-960 <= a <= 1/2. The head has at most 8 significant bits:
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

// The tail form of q + q_low (2^-53 <= q below the table's top; q_low zero unless
// kWithLow, below q's ulp) from the rows of its two lanes.
template <bool kWithLow = false>
[[gnu::always_inline]] inline simd::F64x2 tail_magnitude(const double* r0, const double* r1,
                                                         simd::F64x2 q,
                                                         simd::F64x2 q_low = simd::F64x2::splat(0)) {
  using simd::F64x2;
  using simd::I64x2;
  // Columns i and i + 1 of both rows from one aligned load per row.
  const auto columns = [&](int i, F64x2& even, F64x2& odd) {
    const F64x2 a = F64x2::load_aligned(r0 + i), c = F64x2::load_aligned(r1 + i);
    even = simd::lane0s(a, c);
    odd = simd::lane1s(a, c);
  };
  F64x2 head, tail, c1, c2, c3, c4, c5, c6;
  columns(0, head, tail);
  columns(2, c1, c2);
  columns(4, c3, c4);
  columns(6, c5, c6);
  // The piece's centre: q's bits above the piece offset, then a one and zeros.
  const I64x2 b = simd::bits(q);
  const F64x2 centre = simd::from_bits((b & I64x2::splat(-(int64_t{1} << kPieceShift))) |
                                       I64x2::splat(int64_t{1} << (kPieceShift - 1)));
  F64x2 w = q - centre;  // exact: both in one binade
  if constexpr (kWithLow) w = w + q_low;
  const F64x2 w2 = w * w;
  const F64x2 p = (c1 + w * c2) + w2 * ((c3 + w * c4) + w2 * (c5 + w * c6));
  return head + (tail + w * p);
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
  return tail_magnitude(r[0], r[1], q);
}

inline simd::F64x2 with_sign_of(simd::F64x2 magnitude, simd::F64x2 x) {
  return magnitude | (x & simd::F64x2::splat(-0.0));
}

// The tail form of each function as its argument q and the sign of its result
// (`tail_argument`, `tail_sign`) on its table (`rows`), and whether q is rounded
// (`kRoundedTailArgument`, its remainder `tail_argument_low`); Tail<Forms> adds the
// functions the block loop and the pair form call.
template <class Forms>
struct Tail : Forms {
  // The row of each lane (for lanes in the tail).
  [[gnu::always_inline]] static simd::I64x2 tail_row(simd::F64x2 x) {
    return inverse_erf::tail_row(Forms::tail_argument(x));
  }
  [[gnu::always_inline]] static simd::F64x2 magnitude(const double* r0, const double* r1, simd::F64x2 x) {
    const simd::F64x2 q = Forms::tail_argument(x);
    if constexpr (Forms::kRoundedTailArgument)
      return tail_magnitude<true>(r0, r1, q, Forms::tail_argument_low(x, q));
    else
      return tail_magnitude(r0, r1, q);
  }
  // The tail form of a pair from its lanes' rows.
  [[gnu::always_inline]] static simd::F64x2 tail(simd::F64x2 x, int64_t row0, int64_t row1) {
    return with_sign_of(magnitude(Forms::rows[row0], Forms::rows[row1], x), Forms::tail_sign(x));
  }
  // The tail form of a pair of any lanes.
  [[gnu::always_inline]] static simd::F64x2 tail(simd::F64x2 x) {
    const auto r = any_rows(Forms::rows, Forms::tail_argument(x));
    return with_sign_of(magnitude(r[0], r[1], x), Forms::tail_sign(x));
  }
};

// erfinv(x) for |x| < 1 (other lanes: any value): central for |x| <= 1/4, otherwise the
// tail of q = 1 - |x|, rounded for |x| < 1/2 (exact from 1/2 on): its remainder
// (1 - q) - |x| is exact (1 - q by Sterbenz's lemma, q >= 1/2, then two numbers within a
// factor of two), and so is q - centre (one binade), so that their sum is w to 2^-60.
struct ErfInvForms {
  [[gnu::always_inline]] static simd::F64x2 central_lanes(simd::F64x2 x) {
    return simd::not_greater(simd::abs(x), simd::F64x2::splat(0.25));
  }
  [[gnu::always_inline]] static simd::F64x2 central(simd::F64x2 x) {
    return with_sign_of(central_magnitude(kErfInvCentralPoly, kErfInvHead, simd::abs(x)), x);
  }
  static constexpr const auto& rows = kErfInvTailRows;
  [[gnu::always_inline]] static simd::F64x2 tail_argument(simd::F64x2 x) {
    return simd::F64x2::splat(1.0) - simd::abs(x);
  }
  static constexpr bool kRoundedTailArgument = true;
  [[gnu::always_inline]] static simd::F64x2 tail_argument_low(simd::F64x2 x, simd::F64x2 q) {
    return (simd::F64x2::splat(1.0) - q) - simd::abs(x);
  }
  [[gnu::always_inline]] static simd::F64x2 tail_sign(simd::F64x2 x) { return x; }
};

// erfcinv(q) for 2^-53 <= q < 2: central 1 - q for q in [3/4, 5/4], both exact;
// otherwise the tail of q or, negated, of 2 - q.
struct ErfcInvForms {
  // q in [3/4, 5/4] (and NaN).
  [[gnu::always_inline]] static simd::F64x2 central_lanes(simd::F64x2 q) {
    using simd::F64x2;
    return simd::not_less(q, F64x2::splat(0.75)) & simd::not_greater(q, F64x2::splat(1.25));
  }
  [[gnu::always_inline]] static simd::F64x2 central(simd::F64x2 q) {
    return ErfInvForms::central(simd::F64x2::splat(1.0) - q);
  }
  static constexpr const auto& rows = kErfInvTailRows;
  static constexpr bool kRoundedTailArgument = false;
  // q below 1, 2 - q above (exact there).
  [[gnu::always_inline]] static simd::F64x2 tail_argument(simd::F64x2 q) {
    return simd::min(q, simd::F64x2::splat(2.0) - q);
  }
  [[gnu::always_inline]] static simd::F64x2 tail_sign(simd::F64x2 q) {
    return simd::F64x2::splat(1.0) - q;
  }
};

// The quantile's central piece on x/2 = p - 1/2 (exact for p in [1/4, 1]), one
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

// The normal quantile for 2^-53 <= p < 1: central p - 1/2 for p in [3/8, 5/8], exact;
// otherwise the tail of p (negative) or of 1 - p.
struct NormalQuantileForms {
  [[gnu::always_inline]] static simd::F64x2 central_lanes(simd::F64x2 p) {
    using simd::F64x2;
    return simd::not_less(p, F64x2::splat(0.375)) & simd::not_greater(p, F64x2::splat(0.625));
  }
  [[gnu::always_inline]] static simd::F64x2 central(simd::F64x2 p) {
    const simd::F64x2 x = p - simd::F64x2::splat(0.5);
    return with_sign_of(central_magnitude(kHalfQuantile.poly, kHalfQuantile.head, simd::abs(x)), x);
  }
  static constexpr const auto& rows = kNormalQuantileTailRows;
  static constexpr bool kRoundedTailArgument = false;
  // p below 1/2, 1 - p above (exact there).
  [[gnu::always_inline]] static simd::F64x2 tail_argument(simd::F64x2 p) {
    return simd::min(p, simd::F64x2::splat(1.0) - p);
  }
  [[gnu::always_inline]] static simd::F64x2 tail_sign(simd::F64x2 p) {
    return p - simd::F64x2::splat(0.5);
  }
};

// Both forms of a pair, each lane taking its own.
template <class Forms>
[[gnu::always_inline]] inline simd::F64x2 both_forms(simd::F64x2 x) {
  return simd::select(Forms::central_lanes(x), Forms::central(x), Forms::tail(x));
}

// Single precision, on widened lanes: the central piece |x| <= bound as x N(u) / D(u),
// u = x^2 - bound^2, one rational function of degree 6 for all lanes, no table (double
// precision sums, rounding far below a float's ulp); only a pair holding a lane beyond
// it also reads the tail rows, for q.
struct SingleCentral {
  double bound, centre;
  const double (&num)[7];
  const double (&den)[7];
};
constexpr SingleCentral kErfInvSingle{kErfInvCentralBound, kErfInvCentralCentre,
                                      kErfInvCentralNum, kErfInvCentralDen};
constexpr SingleCentral kNormalQuantileSingle{kNormalQuantileCentralBound,
                                              kNormalQuantileCentralCentre,
                                              kNormalQuantileCentralNum, kNormalQuantileCentralDen};

template <int64_t kRowCount>
inline simd::F64x2 single_lanes(const SingleCentral& c,
                                const double (&rows)[kRowCount][kRowWidth], simd::F64x2 x,
                                simd::F64x2 q) {
  using simd::F64x2;
  const F64x2 a = simd::abs(x);
  const F64x2 central = simd::not_greater(a, F64x2::splat(c.bound));
  const F64x2 u = x * x - F64x2::splat(c.centre);
  const F64x2 y = x * (estrin(u, c.num) / estrin(u, c.den));
  if (simd::lane_mask(central) == 3) return y;
  const F64x2 tail = with_sign_of(tail_magnitude(rows, q), x);
  return simd::select(central, y, tail);
}

// x, q exact in double for float arguments: 1 - q, p - 1/2 and the tail arguments.
inline simd::F64x2 erfinv_single_pair(simd::F64x2 x) {
  return single_lanes(kErfInvSingle, kErfInvTailRows, x, simd::F64x2::splat(1.0) - simd::abs(x));
}
inline simd::F64x2 erfcinv_single_pair(simd::F64x2 q) {
  using simd::F64x2;
  const F64x2 one = F64x2::splat(1.0);
  const F64x2 tail = simd::select(simd::less(q, one), q, F64x2::splat(2.0) - q);
  return single_lanes(kErfInvSingle, kErfInvTailRows, one - q, tail);
}
inline simd::F64x2 normal_quantile_single_pair(simd::F64x2 p) {
  using simd::F64x2;
  const F64x2 half = F64x2::splat(0.5);
  const F64x2 tail = simd::select(simd::less(p, half), p, F64x2::splat(1.0) - p);
  return single_lanes(kNormalQuantileSingle, kNormalQuantileTailRows, p - half, tail);
}

}  // namespace zorn::tess::inverse_erf
