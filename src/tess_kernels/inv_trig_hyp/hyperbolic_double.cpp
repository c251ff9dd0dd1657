#include "tess_kernels/inv_trig_hyp/hyperbolic_double.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include "tess_kernels/frame/interleaved_schedule.h"
#include "tess_kernels/frame/lane_loop_double_groups.h"
#include "tess_kernels/frame/partitioned_block.h"
#include "tess_kernels/inv_trig_hyp/acosh_core_double.h"
#include "tess_kernels/inv_trig_hyp/hyperbolic_core_double.h"
#include "zorn/tess.h"

namespace zorn::tess {
namespace {

using simd::F64x2;
namespace h = hyperbolic;

// Each pair computes on |x| and takes the sign back for the odd functions, so that
// f(-x) = -f(x) holds bit for bit (and -0 stays -0).
//
// Sinh (kCosh false) and Cosh by the rows' product form: unscaled where every lane lies
// below their limit, else the scaled cells (which take Sinh's sign with their exponent).
template <bool kCosh>
[[gnu::always_inline]] inline F64x2 by_rows(F64x2 a, F64x2 x, bool scaled) {
  if (scaled) return h::hyperbolic_by_rows<kCosh, true>(a, kCosh ? h::splat(0.0) : h::sign_of(x));
  const F64x2 y = h::hyperbolic_by_rows<kCosh, false>(a);
  return kCosh ? y : y | h::sign_of(x);
}
// Sinh's lanes below the product limit take the head sum in its place.
template <bool kCosh>
[[gnu::always_inline]] inline F64x2 with_small_sinh(F64x2 a, F64x2 x, F64x2 y) {
  if (kCosh) return y;
  const F64x2 limit = h::splat(h::kSinhProductLimit);
  const F64x2 small = simd::less(a, limit);
  if (simd::lane_mask(small) == 0) return y;
  const F64x2 head_sum = h::hyperbolic_by_rows<false, false, true>(simd::min(a, limit));
  return simd::select(small, head_sum | h::sign_of(x), y);
}
template <bool kCosh>
[[gnu::always_inline]] inline int rows_pair(F64x2 x, F64x2& y) {
  const F64x2 a = simd::abs(x);
  const F64x2 in_rows = simd::less(a, h::splat(h::kRowsLimit));
  // The bound keeps NaN lanes (the callout's) off the rows.
  const F64x2 held = simd::min(a, h::splat(h::kOverflowBound));
  y = with_small_sinh<kCosh>(a, x, by_rows<kCosh>(held, x, simd::lane_mask(in_rows) != 3));
  return simd::lane_mask(simd::not_less_equal(a, h::splat(h::kOverflowBound)));
}
// Both pairs of a group in one straight run, so that they interleave. The tests take the
// four magnitudes' high words in one vector, as signed integers (NaN's lie above every
// bound): a group holding a Sinh lane below the product limit goes pair by pair; one with
// every lane below the rows' limit (all of [-20, 20] but those) takes the unscaled rows,
// else the scaled cells. A word at or above the overflow bound's declines the group (NaN
// and infinities, and the few finite a of [that word 2^32, the bound], which the pair form
// then takes). The product and rows limits have zero low words: their high words decide
// exactly.
[[gnu::always_inline]] inline __m128i high_word_splat(double v) {
  return _mm_set1_epi32(static_cast<int32_t>(std::bit_cast<uint64_t>(v) >> 32));
}
static_assert(static_cast<uint32_t>(std::bit_cast<uint64_t>(h::kSinhProductLimit)) == 0 &&
              static_cast<uint32_t>(std::bit_cast<uint64_t>(h::kRowsLimit)) == 0);
// Lanes whose high word is at or above v's.
[[gnu::always_inline]] inline int lanes_from(__m128i high, double v) {
  const __m128i below = _mm_sub_epi32(high_word_splat(v), _mm_set1_epi32(1));
  return _mm_movemask_ps(_mm_castsi128_ps(_mm_cmpgt_epi32(high, below)));
}
template <bool kCosh>
[[gnu::always_inline]] inline bool rows_group(F64x2 x0, F64x2 x1, F64x2& y0, F64x2& y1) {
  const F64x2 a0 = simd::abs(x0), a1 = simd::abs(x1);
  const __m128i high = _mm_castps_si128(
      _mm_shuffle_ps(_mm_castpd_ps(a0.v), _mm_castpd_ps(a1.v), _MM_SHUFFLE(3, 1, 3, 1)));
  if (!kCosh && lanes_from(high, h::kSinhProductLimit) != 15) {
    if (lanes_from(high, h::kSinhProductLimit) == 0) {
      // Every lane below the product limit: the head sums alone, as rows_pair gives them.
      y0 = h::hyperbolic_by_rows<false, false, true>(a0) | h::sign_of(x0);
      y1 = h::hyperbolic_by_rows<false, false, true>(a1) | h::sign_of(x1);
      return true;
    }
    return (rows_pair<kCosh>(x0, y0) | rows_pair<kCosh>(x1, y1)) == 0;
  }
  if (lanes_from(high, h::kRowsLimit) == 0) {
    y0 = by_rows<kCosh>(a0, x0, false);
    y1 = by_rows<kCosh>(a1, x1, false);
    return true;
  }
  if (lanes_from(high, h::kOverflowBound) != 0) return false;
  y0 = by_rows<kCosh>(a0, x0, true);
  y1 = by_rows<kCosh>(a1, x1, true);
  return true;
}
// tanh a = a + a^3 T(a^2) below 0.55, T = T(0) + z R(z) (z = a^2) from the generated fit
// (relative error 2^-54.9), R in Estrin's order: no exponential, no division. a^3 T
// reaches a tenth of the result; rounded as a whole, its four roundings took the error
// to 0.80 ulp. So its main part is exact: a1, a's first 9 bits, makes a1^3 (27 bits)
// times T(0)'s head (26 bits) exact, and a fast two-sum carries its sum with a. The rest
// (a1^3 times T(0)'s rest and z R, and (a^3 - a1^3) T, a1 within 2^-8 of a) stays near a
// hundredth of the result: 0.56 ulp over 2 10^6 arguments.
[[gnu::always_inline]] inline F64x2 tanh_series(F64x2 a) {
  namespace d = h::data;
  const F64x2 a1 = a & simd::from_bits(simd::I64x2::splat(int64_t{-1} << 44));
  const F64x2 a2 = a - a1;
  const F64x2 z = a * a, z1 = a1 * a1;
  const F64x2 cube1 = z1 * a1;
  const F64x2 cube2 = a2 * ((z + a * a1) + z1);
  const F64x2 rest = h::splat(d::kTanhCubicDouble[1]) + z * estrin(z, d::kTanhSeriesDouble);
  const TwoSum s = fast_two_sum(a, cube1 * h::splat(d::kTanhCubicDouble[0]));
  const F64x2 tail = cube1 * rest + cube2 * (h::splat(d::kTanhCubicDouble[0]) + rest);
  return s.sum + (s.err + tail);
}
// A lane at or above 0.55 (a result of at least 1/2) takes tanh a = 1 - u, u = (1/2)/(e +
// 1/4), e = e^(2a)/4 = hi + lo from one reduction of the exponential, for a up to 22
// (beyond, the result rounds to 1). hi >= 1/4, so hi + 1/4 and its error are exact (a fast
// two-sum), and a second fast two-sum renormalises D_hi + D_lo = e + 1/4. u0 = (1/2)/D_hi,
// u = u0 - 2 u0^2 D_lo, and 1 - u0 by a fast two-sum before the one final rounding. The
// rounding of u0 (u at most 1/2) adds a quarter of an ulp: 0.75, without the product and
// remainder of an exact quotient after the division.
[[gnu::always_inline]] inline F64x2 tanh_by_complement(F64x2 a) {
  const h::Sum e = h::quarter_exponential(a + a);
  const TwoSum d_parts = fast_two_sum(e.hi, h::splat(0.25));
  const TwoSum d = fast_two_sum(d_parts.sum, d_parts.err + e.lo);
  const F64x2 u0 = h::splat(0.5) / d.sum;
  const F64x2 c = (u0 * u0) * (d.err + d.err);
  const TwoSum v = fast_two_sum(h::splat(1.0), h::splat(0.0) - u0);
  return v.sum + (v.err + c);
}
// Each lane by its own form, the complement at or above 0.55 and the series below, so that
// its bits never depend on its partner; the lane-partitioned block queues the lanes of
// the rarer form (a branch a pair on them was mispredicted on fresh arguments). Special
// lanes: NaN (infinities are held at 22, where the complement rounds to 1).
struct TanhForms {
  template <bool kBelow>
  [[gnu::always_inline]] static F64x2 form(F64x2 x, LaneClasses& lane_set) {
    lane_set = classes(x);
    const F64x2 a = min(simd::abs(x), h::splat(22.0));
    return (kBelow ? tanh_series(a) : tanh_by_complement(a)) | h::sign_of(x);
  }
  static LaneClasses classes(F64x2 x) {
    const F64x2 a = simd::abs(x);
    const F64x2 limit = h::splat(h::data::kTanhSeriesLimitDouble);
    return {static_cast<uint32_t>(simd::lane_mask(simd::not_less_equal(a, h::splat(INFINITY)))),
            static_cast<uint32_t>(simd::lane_mask(simd::less(a, limit)))};
  }
  // The block from one group on: pair by pair, n = 16 took 81.9 ns against 73.9.
  static constexpr int64_t kPairByPairBelow = 0;
};
[[gnu::always_inline]] inline int tanh_pair(F64x2 x, F64x2& y) {
  return run_lane_partitioned_pair<TanhForms>(x, y);
}
[[gnu::always_inline]] inline int asinh_pair(F64x2 x, F64x2& y) {
  const F64x2 a = simd::abs(x);
  y = h::asinh_of_magnitude(a) | h::sign_of(x);
  return simd::lane_mask(simd::not_less_equal(a, h::splat(h::kLargestFastArgument)));
}
[[gnu::always_inline]] inline int acosh_pair(F64x2 x, F64x2& y) {
  y = h::acosh_value(x);
  return simd::lane_mask(simd::less(x, h::splat(1.0)) |
                         simd::not_less_equal(x, h::splat(h::kLargestFastArgument)));
}
[[gnu::always_inline]] inline int atanh_pair(F64x2 x, F64x2& y) {
  const F64x2 a = simd::abs(x);
  // Not an OR of the sign: rounding down, the magnitude of +0 comes out as -0.
  y = simd::copy_sign(h::atanh_of_magnitude(a), x, h::splat(-0.0));
  return simd::lane_mask(simd::not_less(a, h::splat(1.0)));
}

double lane_result(int (*pair)(F64x2, F64x2&), double x) {
  F64x2 y;
  pair(F64x2::splat(x), y);
  return y.lane0();
}

// ln(2a) for a beyond the fast path: ln a + ln 2, the sum of the heads carried exactly.
double log_of_twice(double a) {
  const LogParts l = log_parts<false>(F64x2::splat(a));
  const TwoSum s = two_sum(l.head, F64x2::splat(log_table_double::kLn2Hi));
  return (s.sum + (s.err + (l.tail + F64x2::splat(log_table_double::kLn2Lo)))).lane0();
}

// Sinh and Cosh beyond the fast path: NaN and infinities pass through, finite arguments
// overflow.
int32_t beyond_overflow_bound(double x, double infinite_result, double* r) {
  if (std::isnan(x) || std::isinf(x)) {
    *r = std::isnan(x) ? x + x : infinite_result;
    return TESS_STATUS_OK;
  }
  *r = infinite_result;
  return TESS_STATUS_OVERFLOW;
}

}  // namespace

TESS_INTERLEAVE_BEGIN
TESS_DOUBLE_GROUP_LOOPS(SinhDouble, rows_group<false>, rows_pair<false>)
TESS_DOUBLE_GROUP_LOOPS(CoshDouble, rows_group<true>, rows_pair<true>)
TESS_DOUBLE_PAIR_LOOPS(AsinhDouble, asinh_pair)
TESS_DOUBLE_PAIR_LOOPS(AcoshDouble, acosh_pair)
TESS_DOUBLE_PAIR_LOOPS(AtanhDouble, atanh_pair)
TESS_DOUBLE_PARTITIONED_LOOPS(TanhDouble, TanhForms)
TESS_INTERLEAVE_END

int32_t tess_callout_dSinh(double x, double* r) {
  if (!(std::fabs(x) <= h::kOverflowBound)) {
    return beyond_overflow_bound(x, std::copysign(INFINITY, x), r);
  }
  *r = lane_result(rows_pair<false>, x);
  return TESS_STATUS_OK;
}

int32_t tess_callout_dCosh(double x, double* r) {
  if (!(std::fabs(x) <= h::kOverflowBound)) return beyond_overflow_bound(x, INFINITY, r);
  *r = lane_result(rows_pair<true>, x);
  return TESS_STATUS_OK;
}

int32_t tess_callout_dTanh(double x, double* r) {
  *r = std::isnan(x) ? x + x : lane_result(tanh_pair, x);
  return TESS_STATUS_OK;
}

int32_t tess_callout_dAsinh(double x, double* r) {
  if (std::isnan(x) || std::isinf(x)) {
    *r = x + x;
  } else if (std::fabs(x) > h::kLargestFastArgument) {
    *r = std::copysign(log_of_twice(std::fabs(x)), x);
  } else {
    *r = lane_result(asinh_pair, x);
  }
  return TESS_STATUS_OK;
}

int32_t tess_callout_dAcosh(double x, double* r) {
  if (x < 1.0) {
    *r = std::numeric_limits<double>::quiet_NaN();
    return TESS_STATUS_DOMAIN;
  }
  if (std::isnan(x) || std::isinf(x)) {
    *r = x + x;
  } else if (x > h::kLargestFastArgument) {
    *r = log_of_twice(x);
  } else {
    *r = lane_result(acosh_pair, x);
  }
  return TESS_STATUS_OK;
}

int32_t tess_callout_dAtanh(double x, double* r) {
  if (std::isnan(x)) {
    *r = x + x;
    return TESS_STATUS_OK;
  }
  if (std::fabs(x) == 1.0) {
    *r = x / 0.0;
    return TESS_STATUS_SINGULARITY;
  }
  if (std::fabs(x) > 1.0) {
    *r = std::isinf(x) ? x * 0.0 : std::numeric_limits<double>::quiet_NaN();
    return TESS_STATUS_DOMAIN;
  }
  *r = lane_result(atanh_pair, x);
  return TESS_STATUS_OK;
}

}  // namespace zorn::tess
