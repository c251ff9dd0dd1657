#include "tess_kernels/exp_log/double_ops.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include "tess_kernels/exp_log/flagged_results.h"
#include "tess_kernels/exp_log/log_core_double.h"
#include "tess_kernels/frame/interleaved_schedule.h"
#include "tess_kernels/frame/partitioned_block.h"
#include "tess_kernels/frame/splat_rows.h"

TESS_INTERLEAVE_BEGIN

namespace zorn::tess {
namespace {

using simd::F64x2;
using simd::I64x2;

// ln(1 + x) with u = 1 + x rounded = 2^k m: away from 0 (no u in [0.5, 2) in the pair:
// x outside [-0.5, 1), |result| >= ln 2) by the single-rounding method on m plus c 2^-k,
// c = 1 + x - u by the fast two-sum; near 0, and in the callout for every x, on the
// table's reduction of 1 + x itself (log1p_reduction), which needs no two-sum. 2^-k comes
// from u's exponent field.
struct Log1pStart {
  F64x2 u;
  I64x2 field;
};
[[gnu::always_inline]] inline Log1pStart log1p_start(F64x2 x) {
  const F64x2 u = F64x2::splat(1.0) + x;
  return {u, simd::bits(u) & I64x2::splat(0x7FF0000000000000)};
}

// 2^-k from the exponent field of u = 2^k m, 0 for the largest u (k = 1023).
[[gnu::always_inline]] inline F64x2 inverse_scale(I64x2 field) {
  return simd::from_bits(I64x2::splat(int64_t{2046} << 52) - field);
}

// c 2^-k, where 2^-k = 0 for k = 1023 leaves out a c far below m's last place. The away
// path takes c by the fast two-sum (x, 1), exact there: |x| >= 1, or x in (-1, -0.5] and
// 1 + x exact.
[[gnu::always_inline]] inline F64x2 log1p_tail(Log1pStart s, TwoSum one_plus_x) {
  return one_plus_x.err * inverse_scale(s.field);
}

// r + r_err = (1 + x) 2^-k inv_c - 1 = x_s inv_c + v, x_s = x 2^-k and v = 2^-k inv_c - 1,
// for inv_c of m's row, exact and without the two-sum of 1 + x. x_s is formed as
// (x 2^(1-k)) / 2, 2^(1-k) being normal for every finite u > 0, and exact for subnormal
// x too. x_s is split into x_hi, its leading 41 bits, and x_lo: x_hi inv_c and x_lo inv_c
// are exact (inv_c a multiple of 2^-11), and so is v for k <= 42; for larger k its
// rounding error v_err is exact and joins r_err. r_hi = v + x_hi inv_c,
// below 2^-7, is a multiple of 2^(e-51), e the exponent of x_s, and of 2^-53 or of
// 2^(-k-11): exact where e >= -9 or k >= 44, and for |x| < 2^-9, whose u lies in the rows
// 0 (k = 0) and 128 (k = -1) about 1, v = 0. One fast two-sum then carries r_hi + x_lo
// inv_c: where r_hi is the smaller, both are multiples of 2^(e-63) below 2^(e-40), and
// the sum is exact. With v_err, r is not the rounded sum of r + r_err but off by up to
// 2^-54, and ln(1 + r) - r, taken at r, by r v_err: up to 2^-62 against a result above 29
// whose unit is 2^-48 (rounding to nearest, about one x in 10^5 of [2^43, 2^53) beside a
// near lane goes the other way than the reduction of u, which rounds correctly there).
//
// Its constants are read as memory operands (splat_rows.h): broadcast in every pass, they
// cost the near path two instructions each.
enum NearRow { kHalf, kWholeBelow, kSignBit, kCutLow12, kNearRowCount };
constexpr simd::SplatRows<double, kNearRowCount> kNearRows(
    {0.5, 0x1p-64, -0.0, std::bit_cast<double>(-(int64_t{1} << 12))});
using NearRows = simd::SplatReader<double, kNearRowCount>;

[[gnu::always_inline]] inline LogReduction log1p_reduction(F64x2 x, Log1pStart s,
                                                           const NearRows& c) {
  const LogRows rows = log_rows<true>(s.u, 0);
  const F64x2 one = F64x2::splat(1.0);
  // u = 0 (x = -1, a special lane) takes the field of 2^-53, the least u of other x, so
  // that the lane stays exact, finite and free of flags in every rounding.
  const I64x2 field = {_mm_max_epi16(s.field.v, _mm_set1_epi64x(int64_t{970} << 52))};
  const F64x2 inv_scale = inverse_scale(field);
  const F64x2 twice_scale = simd::from_bits(I64x2::splat(int64_t{2047} << 52) - field);
  const F64x2 x_s = (x * twice_scale) * c[kHalf];
  // x_lo, the low 12 bits of x_s, is kept 0 where |x| <= 2^-64: such x lie in the rows 0
  // and 128, whose inv_c (1 and 1/2) takes x_s whole, and their low bits could be
  // subnormal operands (a denormal flag the kernel does not otherwise raise).
  const F64x2 whole = {_mm_cmple_pd(simd::and_not(x, c[kSignBit]).v, c[kWholeBelow].v)};
  const F64x2 x_hi = x_s & (whole | c[kCutLow12]);
  const F64x2 x_lo = x_s - x_hi;
  const F64x2 scaled_inv_c = inv_scale * rows.inv_c;
  const F64x2 v = scaled_inv_c - one;
  const F64x2 v_err = scaled_inv_c - (v + one);
  const TwoSum r = fast_two_sum(v + x_hi * rows.inv_c, x_lo * rows.inv_c);
  return {rows.k, rows.row0, rows.row1, {r.sum, r.err + v_err}};
}

// ln(1 + x) = head + tail, with the sign of x; this also keeps -0 for -0, and +0 for +0
// rounding down.
[[gnu::always_inline]] inline F64x2 signed_sum(LogParts l, F64x2 x, F64x2 sign_bit) {
  return simd::copy_sign(l.head + l.tail, x, sign_bit);
}

// The head-tail path, for lanes near 0 (u in [0.5, 2)).
[[gnu::always_inline]] inline F64x2 log1p_near_zero(F64x2 x, Log1pStart s) {
  const NearRows c(kNearRows);
  return signed_sum(log_of_reduction(log1p_reduction(x, s, c)), x, c[kSignBit]);
}

// The single-rounding path, for lanes away from 0.
[[gnu::always_inline]] inline F64x2 log1p_away(F64x2 x, Log1pStart s) {
  return log_away_from_one<kBaseE, true>(s.u,
                                         log1p_tail(s, fast_two_sum(x, F64x2::splat(1.0))));
}

// The forms as the lane-partitioned block takes them: away from 0, then near 0 (u in
// [0.5, 2)), each lane by its own u, so that a lane's bits never depend on its partner.
// Special lanes: x not in (-1, largest finite] (NaN included), which are those where u is
// not positive normal finite: u = 1 + x is at least 2^-53 for x > -1, 0 or negative for
// x <= -1, and NaN or +inf with x. (Rounded upward, the largest x gives u = +inf too, and
// the callout ln x.)
struct Log1pForms {
  template <bool kNear>
  [[gnu::always_inline]] static F64x2 form(F64x2 x, LaneClasses& classes) {
    const Log1pStart s = log1p_start(x);
    classes = pair_lane_classes(lane_classes(high_words(s.u)));
    return kNear ? log1p_near_zero(x, s) : log1p_away(x, s);
  }
  static LaneClasses classes(F64x2 x) {
    return pair_lane_classes(lane_classes(high_words(log1p_start(x).u)));
  }
  // Calls of one or two whole groups run pair by pair, mispredicted or not (benchmark
  // arguments, `min_of_calls`: n = 4 0.71x, n = 8 0.90x the time; new arguments every
  // call: 0.85x, 0.95x). From three groups on, the branch costs more on new arguments
  // (n = 12 1.10x, n = 16 1.18x).
  static constexpr int64_t kPairByPairBelow = 3 * kGroupLanes;
};

}  // namespace

TESS_DOUBLE_PARTITIONED_LOOPS(Log1pDouble, Log1pForms)

int32_t tess_callout_dLog1p(double x, double* r) {
  if (std::isnan(x) || x == INFINITY) {
    *r = x + x;
    return TESS_STATUS_OK;
  }
  if (x == -1.0) {
    *r = pole_minus_infinity<double>();
    return TESS_STATUS_SINGULARITY;
  }
  if (x < -1.0) {
    *r = domain_error_nan<double>();
    return TESS_STATUS_DOMAIN;
  }
  // The near lanes' reduction of 1 + x from x itself, exact in every rounding (the complex
  // kernels take this function as their scalar log1p under the caller's rounding), with
  // r made the rounded sum by a two-sum: the results and flags of the reduction of u and
  // its two-sum tail in rounding to nearest.
  const F64x2 v = F64x2::splat(x);
  const Log1pStart s = log1p_start(v);
  // Rounded upward, 1 + x is +inf for the largest x, whose ln(1 + x) is ln x: ln(1 + 1/x)
  // lies far below an ulp.
  if (std::isinf(s.u.lane0())) return tess_callout_dLn(x, r);
  const NearRows c(kNearRows);
  LogReduction red = log1p_reduction(v, s, c);
  red.r = two_sum(red.r.sum, red.r.err);
  *r = signed_sum(log_of_reduction(red), v, c[kSignBit]).lane0();
  return TESS_STATUS_OK;
}

}  // namespace zorn::tess

TESS_INTERLEAVE_END
