// The two-lane core shared by the double and single precision kernels of ErfInv,
// ErfcInv and CdfNormInv: one polynomial of degree 8 per lane, its coefficients read
// from the lane's row of a piecewise table (tools/tess_inverse_erf_tables).
//
// Every argument is first reduced, exactly, to one of two forms:
// - central: |x| <= 1/2 with the result x (1 + shift + g(x^2)); row floor(64 x^2). With
//   a = |x|, a + shift a (the shift a power of two) is carried exactly as s + e by a fast
//   two-sum, and the result formed as s + (e + a g), where |g| < 0.1 keeps the rounding
//   of a g small next to that of the final sum;
// - tail: 2^-53 <= q < 1/2, the result erfcinv(q) (or -quantile(q)) as the row's
//   polynomial in q, 16 rows per binade found from the top bits of q, no logarithm.
// Each polynomial carries its constant term as a head and a tail, so that the final
// sum is the one rounding that counts: the error stays near half an ulp.
#pragma once

#include <algorithm>
#include <cstdint>

#include "tess_kernels/frame/polynomial_double.h"
#include "tess_kernels/frame/simd_double.h"

namespace zorn::tess::inverse_erf {

#include "tess_kernels/special/data/inverse_erf_tables.inc"

using Rows = const double (*)[kRowWidth];

// The bits of q above the 48 lowest for the first tail row (q = 2^-53).
constexpr int64_t kTailBase = int64_t{1023 + kLowestTailExponent} << 4;
constexpr double kSmallestTail = 0x1p-53;

// |result| of two lanes: the central form where `central` is all ones (a = |x| <= 1/2),
// the tail form of q elsewhere. Lanes outside both forms read some row in bounds and
// give a value the caller discards.
template <int64_t kRowCount>
inline simd::F64x2 magnitude(const double (&rows)[kRowCount][kRowWidth], double shift,
                             simd::F64x2 central, simd::F64x2 a, simd::F64x2 q) {
  using simd::F64x2;
  using simd::I64x2;
  const F64x2 t = a * a;
  const __m128i central_row32 = _mm_cvttpd_epi32((t * F64x2::splat(64.0)).v);
  const I64x2 central_row{_mm_unpacklo_epi32(central_row32, _mm_setzero_si128())};
  const I64x2 tail_row =
      I64x2{_mm_srli_epi64(simd::bits(q).v, 48)} - I64x2::splat(kTailBase - kCentralRows);
  const __m128i c = _mm_castpd_si128(central.v);
  const I64x2 row{_mm_or_si128(_mm_and_si128(c, central_row.v), _mm_andnot_si128(c, tail_row.v))};
  // Unsigned: a negative index (a lane below the table) clamps to the last row as well.
  const uint64_t last = kRowCount - 1;
  const double* r0 = rows[std::min(row.lane0_bits(), last)];
  const double* r1 = rows[std::min(row.lane1_bits(), last)];
  const auto column = [&](int i) { return F64x2{_mm_loadh_pd(_mm_load_sd(r0 + i), r1 + i)}; };

  const F64x2 w = simd::select(central, t, q) - column(0);  // exact in the tail rows
  // c1 + c2 w + ... + c8 w^7 by Estrin's scheme: the loads and the table index already
  // make a long chain, and the terms it rounds sit far below the head.
  const F64x2 w2 = w * w;
  const auto linear = [&](int i) { return column(i) + w * column(i + 1); };
  const F64x2 low = linear(3) + w2 * linear(5);
  const F64x2 high = linear(7) + w2 * linear(9);
  const F64x2 tail_low = column(2) + w * (low + (w2 * w2) * high);
  // Central: g = head + tail_low, and |shift a| < a for the fast two-sum.
  const F64x2 shifted = a * F64x2::splat(shift);
  const F64x2 s = a + shifted;
  const F64x2 e = (a - s) + shifted;
  const F64x2 central_value = s + (e + a * (column(1) + tail_low));
  return simd::select(central, central_value, column(1) + tail_low);
}

inline simd::F64x2 with_sign_of(simd::F64x2 magnitude, simd::F64x2 x) {
  return magnitude | (x & simd::F64x2::splat(-0.0));
}

// erfinv(x) for |x| < 1 (other lanes: any value).
inline simd::F64x2 erfinv_pair(simd::F64x2 x) {
  using simd::F64x2;
  const F64x2 a = simd::abs(x);
  const F64x2 central = simd::not_greater(a, F64x2::splat(0.5));
  return with_sign_of(magnitude(kErfInvRows, kErfInvShift, central, a, F64x2::splat(1.0) - a), x);
}

// erfcinv(q) for 2^-53 <= q < 2: central 1 - q for q in [1/2, 3/2], both exact;
// otherwise the tail of q or, negated, of 2 - q.
inline simd::F64x2 erfcinv_pair(simd::F64x2 q) {
  using simd::F64x2;
  const F64x2 one = F64x2::splat(1.0);
  const F64x2 x = one - q;
  const F64x2 central =
      simd::not_greater(simd::abs(x), F64x2::splat(0.5)) & simd::not_less(q, F64x2::splat(0.5));
  const F64x2 tail = simd::select(simd::less(q, one), q, F64x2::splat(2.0) - q);
  return with_sign_of(magnitude(kErfInvRows, kErfInvShift, central, simd::abs(x), tail), x);
}

// The normal quantile for 2^-53 <= p < 1: central 2p - 1 for p in [1/4, 3/4], exact;
// otherwise the tail of p (negative) or of 1 - p.
inline simd::F64x2 normal_quantile_pair(simd::F64x2 p) {
  using simd::F64x2;
  const F64x2 half = F64x2::splat(0.5);
  const F64x2 x = (p + p) - F64x2::splat(1.0);
  const F64x2 central =
      simd::not_less(p, F64x2::splat(0.25)) & simd::not_greater(p, F64x2::splat(0.75));
  const F64x2 tail = simd::select(simd::less(p, half), p, F64x2::splat(1.0) - p);
  return with_sign_of(
      magnitude(kNormalQuantileRows, kNormalQuantileShift, central, simd::abs(x), tail), x);
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
                                const double (&rows)[kRowCount][kRowWidth], double shift,
                                simd::F64x2 x, simd::F64x2 q) {
  using simd::F64x2;
  const F64x2 a = simd::abs(x);
  const F64x2 central = simd::not_greater(a, F64x2::splat(c.bound));
  const F64x2 u = x * x - F64x2::splat(c.centre);
  const F64x2 y = x * (estrin(u, c.num) / estrin(u, c.den));
  if (simd::lane_mask(central) == 3) return y;
  const F64x2 tail = with_sign_of(magnitude(rows, shift, F64x2::splat(0.0), a, q), x);
  return simd::select(central, y, tail);
}

// x, q exact in double for float arguments: 1 - q, p - 1/2 and the tail arguments.
inline simd::F64x2 erfinv_single_pair(simd::F64x2 x) {
  return single_lanes(kErfInvSingle, kErfInvRows, kErfInvShift, x,
                      simd::F64x2::splat(1.0) - simd::abs(x));
}
inline simd::F64x2 erfcinv_single_pair(simd::F64x2 q) {
  using simd::F64x2;
  const F64x2 one = F64x2::splat(1.0);
  const F64x2 tail = simd::select(simd::less(q, one), q, F64x2::splat(2.0) - q);
  return single_lanes(kErfInvSingle, kErfInvRows, kErfInvShift, one - q, tail);
}
inline simd::F64x2 normal_quantile_single_pair(simd::F64x2 p) {
  using simd::F64x2;
  const F64x2 half = F64x2::splat(0.5);
  const F64x2 tail = simd::select(simd::less(p, half), p, F64x2::splat(1.0) - p);
  return single_lanes(kNormalQuantileSingle, kNormalQuantileRows, kNormalQuantileShift, p - half,
                      tail);
}

}  // namespace zorn::tess::inverse_erf
