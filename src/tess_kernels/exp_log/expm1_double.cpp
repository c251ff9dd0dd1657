#include "tess_kernels/exp_log/double_ops.h"

#include <cmath>

#include "tess_kernels/exp_log/exp_table_double.h"
#include "tess_kernels/exp_log/scale_double.h"
#include "tess_kernels/frame/simd_double.h"
#include "tess_kernels/frame/splat_rows.h"
#include "tess_kernels/frame/two_sum_double.h"
#include "zorn/tess.h"

namespace zorn::tess {
namespace {
#include "tess_kernels/exp_log/data/exp_fine_tables.inc"
constexpr ShiftedRows<256> kExp2Over256Shifted = shifted_rows(kExp2Over256Relative);

using simd::F64x2;

// Below this magnitude e^x - 1 comes from its own series; above it, from e^x.
constexpr double kSeriesLimit = 0.25;
// Below this, e^x < 2^-57 and e^x - 1 rounds to -1.
constexpr double kMinusOneBelow = -40.0;
constexpr double kFastPathLimit = 708.39;
// Up to this x, A = 2^(k div 256) hi is at most 2^53 (k <= 13567), and A - 1 is carried
// exactly in three operations.
constexpr double kExactDifferenceLimit = 36.7;
constexpr double kOverflowBound = 709.782712893384;

// The fast path's constants, as rows read from memory: its branches keep the compiler
// from holding them in registers across the loop.
enum Constant : size_t {
  kSplit,  // 2^27 + 1, Veltkamp's split
  kS0, kS1, kS2, kS3, kS4, kS5, kS6, kS7, kS8, kS9, kS10, kS11,  // S(x) = 1/3! + x/4! + ...
  kHalf,
  kMinusOneLimit,
  kShifter,  // 1.5 * 2^52
  kTwoFiftySixOverLn2,
  kLn2Over256Hi,
  kLn2Over256Lo,
  kQ0, kQ1, kQ2, kQ3,  // e^r - 1 = r + r^2 (kQ0 + r kQ1 + r^2 kQ2 + r^3 kQ3)
  kMinusOne,
  kSeriesLimitRow,
  kSignBit,
  kFastPathLimitRow,
  kExactDifferenceLimitRow,
  kConstantCount
};
constexpr simd::SplatRows<double, kConstantCount> kRows({
    134217729.0, 0.16666666666666666, 0.041666666666666664, 0.008333333333333333,
    0.001388888888888889, 0.0001984126984126984, 2.48015873015873e-05, 2.7557319223985893e-06,
    2.755731922398589e-07, 2.505210838544172e-08, 2.08767569878681e-09, 1.6059043836821613e-10,
    1.1470745597729725e-11, 0.5, kMinusOneBelow, 6755399441055744.0, 0x1.71547652b82fep+8,
    kLn2Over256[0], kLn2Over256[1], kExpm1Over256Polynomial[0], kExpm1Over256Polynomial[1],
    kExpm1Over256Polynomial[2], kExpm1Over256Polynomial[3], -1.0, kSeriesLimit, -0.0,
    kFastPathLimit, kExactDifferenceLimit});
using Rows = simd::SplatReader<double, kConstantCount>;

// e^x - 1 = x + x^2/2 + x^3 S(x) for |x| < 1/4, S the Taylor series to x^14 (truncated
// below 2^-67 relative). x^2 is carried exactly (Dekker's product with Veltkamp's split)
// and x + x^2/2 by a two-sum, so that only the small x^3 S(x) is rounded on its own.
[[gnu::always_inline]] inline F64x2 series(F64x2 x, const Rows& c) {
  const F64x2 spread = x * c[kSplit];
  const F64x2 x_hi = spread - (spread - x);
  const F64x2 x_lo = x - x_hi;
  const F64x2 x2 = x * x;
  const F64x2 x2_err = ((x_hi * x_hi - x2) + (x_hi * x_lo + x_hi * x_lo)) + x_lo * x_lo;
  const F64x2 x4 = x2 * x2;
  const F64x2 s01 = c[kS0] + x * c[kS1];
  const F64x2 s23 = c[kS2] + x * c[kS3];
  const F64x2 s45 = c[kS4] + x * c[kS5];
  const F64x2 s67 = c[kS6] + x * c[kS7];
  const F64x2 s89 = c[kS8] + x * c[kS9];
  const F64x2 s1011 = c[kS10] + x * c[kS11];
  const F64x2 s = (s01 + x2 * s23) + x4 * ((s45 + x2 * s67) + x4 * (s89 + x2 * s1011));
  const TwoSum lead = two_sum(x, c[kHalf] * x2);
  // The sign of x, which the sum loses for x = -0, and for x = +0 rounding down.
  return simd::copy_sign(lead.sum + (lead.err + (c[kHalf] * x2_err + (x2 * x) * s)), x,
                         c[kSignBit]);
}

// e^x - 1 from e^x = 2^(k div 256) hi (1 + lo + p), 2^(j/256) = hi (1 + lo) from the
// relative table, k = 256 x / ln 2 rounded (in the caller's direction: the plain frame
// keeps its rounding, so |r| may reach a whole step ln 2 / 256, which the polynomial
// covers). With A = 2^(k div 256) hi exact (normal range), A - 1 is carried exactly and
// the small part A (lo + p) added last. x below -40 is taken as -40, where the result is
// -1 already. Up to A = 2^53 (kSmallA), A - 1 is carried by the fast two-sum of -1 and A:
// d = A - 1 is exact from A = 1/2 on, and below it |-1| > A; so A - (d + 1) is the exact
// error everywhere. Above 2^53 d + 1 may round, and Knuth's two-sum takes its place.
template <bool kSmallA>
[[gnu::always_inline]] inline F64x2 from_exponential(F64x2 x_in, const Rows& c) {
  const F64x2 x = simd::max(x_in, c[kMinusOneLimit]);
  const F64x2 t = x * c[kTwoFiftySixOverLn2] + c[kShifter];
  const F64x2 k = t - c[kShifter];
  // k ln2_hi is exact for |k| < 2^19.
  const F64x2 r = (x - k * c[kLn2Over256Hi]) - k * c[kLn2Over256Lo];
  // In Estrin's order: two short chains instead of one.
  const F64x2 r2 = r * r;
  const F64x2 q_low = c[kQ0] + r * c[kQ1];
  const F64x2 q_high = c[kQ2] + r * c[kQ3];
  const F64x2 p = r + r2 * (q_low + r2 * q_high);
  const auto [a, lo] = scaled_rows(kExp2Over256Shifted, simd::bits(t));
  TwoSum big;
  if constexpr (kSmallA) {
    big.sum = a + c[kMinusOne];
    big.err = a - (big.sum - c[kMinusOne]);
  } else {
    big = two_sum(a, c[kMinusOne]);
  }
  return big.sum + (big.err + a * (lo + p));
}

// Pairs whose lanes all lie in [-inf, -1/4] or [1/4, 36.7] take the short form of the
// exponential's method and have no special lane. The others (a lane in the series'
// range, above 36.7, or NaN) take each lane's method, computing both where they differ;
// both give e^x - 1 with the sign of x, and the same bits for the same lane.
[[gnu::always_inline]] inline int expm1_pair(F64x2 x, F64x2& y) {
  const Rows c(kRows);
  const F64x2 in_series = simd::less(simd::abs(x), c[kSeriesLimitRow]);
  const F64x2 beyond = simd::not_less_equal(x, c[kExactDifferenceLimitRow]);
  if (simd::lane_mask(in_series | beyond) == 0) [[likely]] {
    y = from_exponential<true>(x, c);
    return 0;
  }
  const int series_lanes = simd::lane_mask(in_series);
  if (series_lanes != 3) {
    y = from_exponential<false>(x, c);
    if (series_lanes != 0) y = simd::select(in_series, series(x, c), y);
  } else {
    y = series(x, c);
  }
  return simd::lane_mask(simd::not_less_equal(x, c[kFastPathLimitRow]));
}

}  // namespace

int64_t Expm1Double::fast_block(int64_t n, const double* a, double* r) {
  return run_fast_block(n, a, r, expm1_pair);
}
int Expm1Double::fast_group(const double x[4], double y[4]) {
  return run_fast_group(x, y, expm1_pair);
}

int32_t tess_callout_dExpm1(double x, double* r) {
  if (std::isnan(x) || x == INFINITY) {
    *r = x + x;
    return TESS_STATUS_OK;
  }
  if (x > kOverflowBound) {
    *r = INFINITY;
    return TESS_STATUS_OVERFLOW;
  }
  if (x > kFastPathLimit) {  // e^x above 2^1021: the 1 is far below its last place
    return tess_callout_dExp(x, r);
  }
  F64x2 y;
  expm1_pair(F64x2::splat(x), y);
  *r = y.lane0();
  return TESS_STATUS_OK;
}

}  // namespace zorn::tess
