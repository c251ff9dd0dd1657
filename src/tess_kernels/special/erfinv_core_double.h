// The two-lane core shared by the double and single precision kernels of ErfInv,
// ErfcInv and CdfNormInv (tables from tools/tess_inverse_erf_tables).
//
// Every argument is first reduced, exactly, to one of two forms:
// - central: |x| <= 1/2 with the result x (head + g(x^2)), g one polynomial of degree 15,
//   no table read. x head is exact as a sum of two products, and |g| < 0.06 keeps the
//   rounding of x g small next to that of the final sum;
// - tail: 2^-53 <= q < 1/2, the result erfcinv(q) (or -quantile(q)) as a degree-8
//   polynomial in q from the lane's row, 16 rows per binade found from the top bits of
//   q, no logarithm. The constant term is a head and a tail, so that the final sum is
//   the one rounding that counts.
// The error stays near half an ulp. Each function comes as its two forms and their
// criterion (`Forms`), so that a block can sort its lanes by form and run each form on
// pairs of its own lanes only (the pair form selects between the two).
#pragma once

#include <algorithm>
#include <cstdint>

#include "tess_kernels/frame/polynomial_double.h"
#include "tess_kernels/frame/simd_double.h"

namespace zorn::tess::inverse_erf {

#include "tess_kernels/special/data/inverse_erf_tables.inc"

// The bits of q above the 48 lowest for the first tail row (q = 2^-53).
constexpr int64_t kTailBase = int64_t{1023 + kLowestTailExponent} << 4;
constexpr double kSmallestTail = 0x1p-53;

// (head + g(a^2)) a for 2^-960 <= a <= 1/2. The head has at most 8 significant bits:
// a split into its leading 45 bits and the rest makes a head two exact products.
[[gnu::always_inline]] inline simd::F64x2 central_magnitude(const double (&poly)[16], double head, simd::F64x2 a) {
  using simd::F64x2;
  const F64x2 g = estrin(a * a, poly);
  const F64x2 a_high = simd::from_bits(simd::bits(a) & simd::I64x2::splat(~int64_t{0xFF}));
  const F64x2 c = F64x2::splat(head);
  return a_high * c + ((a - a_high) * c + a * g);
}

// The tail form of q (2^-53 <= q < 1/2). Lanes outside it read some row in bounds and
// give a value the caller discards.
template <int64_t kRowCount>
[[gnu::always_inline]] inline simd::F64x2 tail_magnitude(const double (&rows)[kRowCount][kRowWidth], simd::F64x2 q) {
  using simd::F64x2;
  using simd::I64x2;
  const I64x2 row = (simd::bits(q) >> 48) - I64x2::splat(kTailBase);
  // Unsigned: a negative index (a lane below the table) clamps to the last row as well.
  const uint64_t last = kRowCount - 1;
  const double* r0 = rows[std::min(row.lane0_bits(), last)];
  const double* r1 = rows[std::min(row.lane1_bits(), last)];
  const auto column = [&](int i) { return F64x2{_mm_loadh_pd(_mm_load_sd(r0 + i), r1 + i)}; };

  const F64x2 w = q - column(0);  // exact
  // c1 + c2 w + ... + c8 w^7 by Estrin's scheme: the loads and the table index already
  // make a long chain, and the terms it rounds sit far below the head.
  const F64x2 w2 = w * w;
  const auto linear = [&](int i) { return column(i) + w * column(i + 1); };
  const F64x2 low = linear(3) + w2 * linear(5);
  const F64x2 high = linear(7) + w2 * linear(9);
  return column(1) + (column(2) + w * (low + (w2 * w2) * high));
}

inline simd::F64x2 with_sign_of(simd::F64x2 magnitude, simd::F64x2 x) {
  return magnitude | (x & simd::F64x2::splat(-0.0));
}

// erfinv(x) for |x| < 1 (other lanes: any value).
struct ErfInvForms {
  [[gnu::always_inline]] static simd::F64x2 central_lanes(simd::F64x2 x) {
    return simd::not_greater(simd::abs(x), simd::F64x2::splat(0.5));
  }
  [[gnu::always_inline]] static simd::F64x2 central(simd::F64x2 x) {
    return with_sign_of(central_magnitude(kErfInvCentralPoly, kErfInvHead, simd::abs(x)), x);
  }
  [[gnu::always_inline]] static simd::F64x2 tail(simd::F64x2 x) {
    return with_sign_of(tail_magnitude(kErfInvTailRows, simd::F64x2::splat(1.0) - simd::abs(x)),
                        x);
  }
};

// erfcinv(q) for 2^-53 <= q < 2: central 1 - q for q in [1/2, 3/2], both exact;
// otherwise the tail of q or, negated, of 2 - q.
struct ErfcInvForms {
  [[gnu::always_inline]] static simd::F64x2 central_lanes(simd::F64x2 q) {
    using simd::F64x2;
    return simd::not_greater(simd::abs(F64x2::splat(1.0) - q), F64x2::splat(0.5)) &
           simd::not_less(q, F64x2::splat(0.5));
  }
  [[gnu::always_inline]] static simd::F64x2 central(simd::F64x2 q) { return ErfInvForms::central(simd::F64x2::splat(1.0) - q); }
  [[gnu::always_inline]] static simd::F64x2 tail(simd::F64x2 q) {
    using simd::F64x2;
    const F64x2 one = F64x2::splat(1.0);
    const F64x2 t = simd::select(simd::less(q, one), q, F64x2::splat(2.0) - q);
    return with_sign_of(tail_magnitude(kErfInvTailRows, t), one - q);
  }
};

// The normal quantile for 2^-53 <= p < 1: central 2p - 1 for p in [1/4, 3/4], exact;
// otherwise the tail of p (negative) or of 1 - p.
struct NormalQuantileForms {
  [[gnu::always_inline]] static simd::F64x2 central_lanes(simd::F64x2 p) {
    using simd::F64x2;
    return simd::not_less(p, F64x2::splat(0.25)) & simd::not_greater(p, F64x2::splat(0.75));
  }
  [[gnu::always_inline]] static simd::F64x2 central(simd::F64x2 p) {
    using simd::F64x2;
    const F64x2 x = (p + p) - F64x2::splat(1.0);
    return with_sign_of(
        central_magnitude(kNormalQuantileCentralPoly, kNormalQuantileHead, simd::abs(x)), x);
  }
  [[gnu::always_inline]] static simd::F64x2 tail(simd::F64x2 p) {
    using simd::F64x2;
    const F64x2 one = F64x2::splat(1.0);
    const F64x2 t = simd::select(simd::less(p, F64x2::splat(0.5)), p, one - p);
    return with_sign_of(tail_magnitude(kNormalQuantileTailRows, t), (p + p) - one);
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
