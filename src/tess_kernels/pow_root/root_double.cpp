#include <cmath>
#include <limits>

#include "tess_kernels/frame/interleaved_schedule.h"
#include "tess_kernels/frame/two_sum_double.h"
#include "tess_kernels/pow_root/cbrt_core_double.h"
#include "tess_kernels/pow_root/double_ops.h"

namespace zorn::tess {
namespace {

using simd::F64x2;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Lanes whose high word, read as a signed integer, lies outside [low, high): negative
// numbers, and NaN and inf when high is at most 0x7FF00000.
int high_word_outside(F64x2 x, int32_t low, int32_t high) {
  const __m128i words = _mm_shuffle_epi32(_mm_castpd_si128(x.v), _MM_SHUFFLE(3, 1, 3, 1));
  const __m128i below = _mm_cmplt_epi32(words, _mm_set1_epi32(low));
  const __m128i above = _mm_cmpgt_epi32(words, _mm_set1_epi32(high - 1));
  return _mm_movemask_ps(_mm_castsi128_ps(_mm_or_si128(below, above))) & 3;
}

// ---- square roots ----

int sqrt_pair(F64x2 x, F64x2& y) {
  y = {_mm_sqrt_pd(x.v)};
  return _mm_movemask_pd(x.v);  // sign bits: negative numbers, -0, -inf, negative NaNs
}

// The residual x - s^2 of the rounded root s (halves h) of x, exact up to the last
// product's rounding: x - hi^2 is exact, being below 2^-23 x and a multiple of ulp(x).
[[gnu::always_inline]] inline F64x2 square_residual(F64x2 x, const Split& h) {
  return (x - h.hi * h.hi) - (h.hi * (h.lo + h.lo) + h.lo * h.lo);
}

// 1 / sqrt x for x in [2^-960, 2^990]: with s = sqrt x and y = 1 / s rounded,
// 1 / sqrt x = y (1 + r) (1 + d)^(-1/2) for r = 1 - s y and d = (x - s^2) / x, both
// exact residuals of order 2^-53, so y + y (r - d/2) leaves errors of order 2^-105 before
// its one rounding. x - s^2 stays normal over the range (also with flushing on).
constexpr int32_t kInvSqrtLowWord = 0x03F00000;   // 2^-960
constexpr int32_t kInvSqrtHighWord = 0x7DD00000;  // 2^990
[[gnu::always_inline]] inline F64x2 inv_sqrt_core(F64x2 x) {
  const F64x2 s = {_mm_sqrt_pd(x.v)};
  const F64x2 y = F64x2::splat(1.0) / s;
  const Split sh = truncated_split(s), yh = truncated_split(y);
  const F64x2 r = ((F64x2::splat(1.0) - sh.hi * yh.hi) - (sh.hi * yh.lo + sh.lo * yh.hi)) -
                  sh.lo * yh.lo;
  const F64x2 half_d = square_residual(x, sh) * (F64x2::splat(0.5) * (y * y));
  return y + y * (r - half_d);
}

int inv_sqrt_pair(F64x2 x, F64x2& y) {
  y = inv_sqrt_core(x);
  return high_word_outside(x, kInvSqrtLowWord, kInvSqrtHighWord);
}

// x^(3/2) = x sqrt x for x in [2^-600, 2^600]. With s = sqrt x rounded, cut into t (its
// leading 26 bits) and l = s - t, and x cut alike into xh + xl:
//   x sqrt x = xh t + xl t + x l + x (sqrt x - s),
// the first two products exact (52 and 53 bits), x l of order 2^-26 of the result, and
// x (sqrt x - s) = x (x - s^2) / (2s) ~ (s/2) (x - s^2) of order 2^-53, where
// x - s^2 = (x - t^2) - l (t + s) with x - t^2 exact. The three small terms carry errors
// of order 2^-77 of the result, so the sum rounds once: 0.5 ulp and a hair.
constexpr double kPow3o2Low = 0x1p-600;
constexpr double kPow3o2High = 0x1p600;
[[gnu::always_inline]] inline F64x2 pow3o2_core(F64x2 x) {
  const F64x2 s = {_mm_sqrt_pd(x.v)};
  const Split sh = truncated_split(s), xh = truncated_split(x);
  const F64x2 t = sh.hi, l = sh.lo;
  const F64x2 half_s = F64x2::splat(0.5) * s;
  const F64x2 root_residual = (x - t * t) - l * (t + s);
  return xh.hi * t + ((xh.lo * t + x * l) + root_residual * half_s);
}

// Lanes outside [2^-600, 2^600], NaN and negative numbers included, as a compare mask.
F64x2 pow3o2_pair(F64x2 x, F64x2& y) {
  y = pow3o2_core(x);
  return simd::not_less_equal(x, F64x2::splat(kPow3o2High)) |
         simd::not_greater_equal(x, F64x2::splat(kPow3o2Low));
}

// ---- cube roots ----

// Lambdas, so that the loops call them directly and inline them whole: a call per pair
// through a function pointer would pass the results through memory and reload every
// constant.
template <F64x2 (*Root)(F64x2)>
constexpr auto cube_root_pair = [](F64x2 x, F64x2& y) {
  y = Root(x);
  return cbrt_core::outside_range(x);
};
constexpr auto cbrt_pair = cube_root_pair<cbrt_core::signed_cbrt>;
constexpr auto inv_cbrt_pair = cube_root_pair<cbrt_core::signed_inv_cbrt>;
constexpr auto pow2o3_pair = cube_root_pair<cbrt_core::pow2o3_of>;

// A finite non-zero magnitude brought to [1, 8) by 2^(-3e) and the result of `Pair`
// scaled back by 2^(e scale_power): a cube root has scale_power 1, x^(2/3) 2, x^(-1/3)
// -1.
template <F64x2 (*Root)(F64x2)>
double cube_root_scaled(double a, int scale_power) {
  const int e = std::ilogb(a) / 3;
  return std::ldexp(Root(F64x2::splat(std::ldexp(a, -3 * e))).lane0(), e * scale_power);
}

}  // namespace

int32_t tess_callout_dSqrt(double x, double* r) {
  if (x == 0) {
    *r = x;
    return TESS_STATUS_OK;
  }
  if (x < 0) {
    *r = kNaN;
    return TESS_STATUS_DOMAIN;
  }
  *r = std::sqrt(x);
  return TESS_STATUS_OK;
}

int32_t tess_callout_dInvSqrt(double x, double* r) {
  if (x == 0) {
    *r = 1.0 / x;
    return TESS_STATUS_SINGULARITY;
  }
  if (x < 0) {
    *r = kNaN;
    return TESS_STATUS_DOMAIN;
  }
  if (std::isnan(x) || std::isinf(x)) {
    *r = 1.0 / std::sqrt(x);
    return TESS_STATUS_OK;
  }
  // Brought to [1, 4) by an even power of two.
  const int e = std::ilogb(x) / 2;
  *r = std::ldexp(inv_sqrt_core(F64x2::splat(std::ldexp(x, -2 * e))).lane0(), -e);
  return TESS_STATUS_OK;
}

int32_t tess_callout_dPow3o2(double x, double* r) {
  if (std::isnan(x) || x == 0 || x == INFINITY) {
    *r = x * x;  // NaN, +0 for ±0, +inf
    return TESS_STATUS_OK;
  }
  if (x < 0) {
    *r = kNaN;
    return TESS_STATUS_DOMAIN;
  }
  // Brought to [1, 16) by 2^(-4e), back by 2^(6e) in two exact halves, so that an
  // overflow or a subnormal result comes from plain arithmetic and rounds once.
  const int e = std::ilogb(x) / 4;
  const double half_scale = std::ldexp(1.0, 3 * e);
  *r = pow3o2_core(F64x2::splat(std::ldexp(x, -4 * e))).lane0() * half_scale * half_scale;
  return std::isinf(*r) ? TESS_STATUS_OVERFLOW : TESS_STATUS_OK;
}

int32_t tess_callout_dCbrt(double x, double* r) {
  if (x == 0 || !std::isfinite(x)) {
    *r = x + x;
    return TESS_STATUS_OK;
  }
  *r = std::copysign(cube_root_scaled<cbrt_core::signed_cbrt>(std::fabs(x), 1), x);
  return TESS_STATUS_OK;
}

int32_t tess_callout_dInvCbrt(double x, double* r) {
  *r = 1.0 / x;  // ±inf for ±0, ±0 for ±inf, NaN
  if (x == 0) return TESS_STATUS_SINGULARITY;
  if (std::isfinite(x)) {
    *r = std::copysign(cube_root_scaled<cbrt_core::signed_inv_cbrt>(std::fabs(x), -1), x);
  }
  return TESS_STATUS_OK;
}

int32_t tess_callout_dPow2o3(double x, double* r) {
  if (x == 0 || !std::isfinite(x)) {
    *r = x * x;  // +0, +inf, NaN
    return TESS_STATUS_OK;
  }
  *r = cube_root_scaled<cbrt_core::pow2o3_of>(std::fabs(x), 2);
  return TESS_STATUS_OK;
}

TESS_DOUBLE_PAIR_LOOPS(SqrtDouble, sqrt_pair)
TESS_DOUBLE_PAIR_LOOPS(InvSqrtDouble, inv_sqrt_pair)
TESS_DOUBLE_PAIR_LOOPS(Pow3o2Double, pow3o2_pair)
// Two cube root pairs interleaved: d Cbrt 2.30 against 2.67 ns per element apart.
TESS_INTERLEAVE_BEGIN
TESS_DOUBLE_PAIR_LOOPS(CbrtDouble, cbrt_pair)
TESS_DOUBLE_PAIR_LOOPS(InvCbrtDouble, inv_cbrt_pair)
TESS_DOUBLE_PAIR_LOOPS(Pow2o3Double, pow2o3_pair)
TESS_INTERLEAVE_END

}  // namespace zorn::tess
