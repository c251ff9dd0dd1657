#include "tess_kernels/inv_trig_hyp/inverse_trig_double.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

#include "tess_kernels/frame/interleaved_schedule.h"
#include "tess_kernels/inv_trig_hyp/atan2_special.h"
#include "tess_kernels/inv_trig_hyp/inverse_trig_core_double.h"
#include "zorn/tess.h"

namespace zorn::tess {
namespace {

using simd::F64x2;
namespace it = inverse_trig;
namespace data = inverse_trig::data;

// Below this magnitude the pi forms leave the fast path: the double-double product
// with 1/pi would lose its low part to underflow.
constexpr double kPiFormSmallest = 0x1p-900;
// Beyond this, atan rounds to pi/2 (atan a = pi/2 - 1/a + ...); below it, the reduced
// denominator 1 + 16 a still splits without overflow.
constexpr double kAtanLargest = 0x1p900;

// The pi forms of the arcsine test the high word of |x| for [2^-900, 1) by one signed
// comparison of its offset from 2^-900's (as unsigned integers, NaN's word is above every
// other): zeros and 1 go to the callout too. Offset and bound are pairs of 32-bit words,
// held as the bits of doubles among the rows below.
constexpr int32_t kPiFormLowWord = 0x07B00000, kOneWord = 0x3FF00000;
static_assert(std::bit_cast<int64_t>(kPiFormSmallest) == int64_t{kPiFormLowWord} << 32);
static_assert(std::bit_cast<int64_t>(1.0) == int64_t{kOneWord} << 32);
constexpr double word_pair(uint32_t w) { return std::bit_cast<double>(uint64_t{w} << 32 | w); }
constexpr double kPiFormWordOffset = word_pair(0x80000000u - kPiFormLowWord);
constexpr double kPiFormWordBound = word_pair(0x80000000u + (kOneWord - 1 - kPiFormLowWord));

// Every constant of the arcsine pairs, read as rows (frame/constant_source.h): a pair
// holds more values than there are registers, and GCC kept each broadcast constant on
// the stack, reloading it into a register before use. From memory, the bound of the
// word test also stays the operand of one comparison (as a constant, GCC compared the
// other way and negated the result).
constexpr double kArcsineConstants[] = {
    0.5, 1.0, 0x1p-1000, it::kHalfReciprocalMagic, -3.0, 3.0, -2.0, -0.0, 0.25,
    kPiFormWordOffset, kPiFormWordBound,
    data::kHalfPiHi, data::kHalfPiLo, it::kHalfPiLoOverHi, it::kArcsinePiRootFactor,
    data::kInversePiLessQuarterHead26,
    data::kAsinPolynomial[0], data::kAsinPolynomial[1], data::kAsinPolynomial[2],
    data::kAsinPolynomial[3], data::kAsinPolynomial[4], data::kAsinPolynomial[5],
    data::kAsinPolynomial[6], data::kAsinPolynomial[7], data::kAsinPolynomial[8],
    data::kAsinPolynomial[9], data::kAsinPolynomial[10], data::kAsinPolynomial[11],
    data::kAsinPolynomial[12],
    data::kAsinpiPolynomial[0], data::kAsinpiPolynomial[1], data::kAsinpiPolynomial[2],
    data::kAsinpiPolynomial[3], data::kAsinpiPolynomial[4], data::kAsinpiPolynomial[5],
    data::kAsinpiPolynomial[6], data::kAsinpiPolynomial[7], data::kAsinpiPolynomial[8],
    data::kAsinpiPolynomial[9], data::kAsinpiPolynomial[10], data::kAsinpiPolynomial[11],
    data::kAsinpiPolynomial[12], data::kAsinpiPolynomial[13]};
using ArcsineConstants = simd::RowConstants<kArcsineConstants>;

ZORN_INVERSE_TRIG_INLINE F64x2 outside_unit(F64x2 x, const ArcsineConstants& k) {
  return simd::not_less_equal(simd::abs(x), simd::constant<1.0>(k));
}
// The lanes of the pi forms' callout: |x| outside [2^-900, 1), NaN included.
ZORN_INVERSE_TRIG_INLINE F64x2 outside_pi_form_range(F64x2 x, const ArcsineConstants& k) {
  const auto words = [](F64x2 v) { return simd::I32x4{simd::bits(v).v}; };
  // Each lane's high word in both of its halves, so that the result is a double mask.
  const simd::I32x4 high = {_mm_shuffle_epi32(simd::bits(simd::abs(x)).v, _MM_SHUFFLE(3, 3, 1, 1))};
  const simd::I32x4 offset = high + words(simd::constant<kPiFormWordOffset>(k));
  return simd::from_bits(simd::I64x2{(offset > words(simd::constant<kPiFormWordBound>(k))).v});
}

// Odd functions compute on |x| and take the sign back, so that f(-x) = -f(x) bit for
// bit and -0 stays -0.
ZORN_INVERSE_TRIG_INLINE F64x2 asin_pair(F64x2 x, F64x2& y) {
  const ArcsineConstants k;
  y = it::rounded(it::asin_sum(simd::abs(x), k)) | (x & simd::constant<-0.0>(k));
  return outside_unit(x, k);
}
ZORN_INVERSE_TRIG_INLINE F64x2 asinpi_pair(F64x2 x, F64x2& y) {
  const ArcsineConstants k;
  y = it::asinpi_rounded(simd::abs(x), k) | (x & simd::constant<-0.0>(k));
  return outside_pi_form_range(x, k);
}
ZORN_INVERSE_TRIG_INLINE F64x2 acos_pair(F64x2 x, F64x2& y) {
  const ArcsineConstants k;
  y = it::rounded(it::acos_sum(x, k));
  return outside_unit(x, k);
}
ZORN_INVERSE_TRIG_INLINE F64x2 acospi_pair(F64x2 x, F64x2& y) {
  const ArcsineConstants k;
  y = it::acospi_rounded(x, k);
  return outside_unit(x, k);
}
ZORN_INVERSE_TRIG_INLINE F64x2 atan_pair(F64x2 x, F64x2& y) {
  const F64x2 a = simd::abs(x);
  y = it::rounded(it::atan_sum<it::Scale::kRadians>(simd::min(a, it::splat(kAtanLargest)))) |
      it::sign_of(x);
  return simd::not_less_equal(a, it::splat(INFINITY));
}
ZORN_INVERSE_TRIG_INLINE F64x2 atanpi_pair(F64x2 x, F64x2& y) {
  const F64x2 a = simd::abs(x);
  y = it::rounded(it::atan_sum<it::Scale::kHalfTurns>(simd::min(a, it::splat(kAtanLargest)))) |
      it::sign_of(x);
  // NaN and 0 < |x| < 2^-900 in two comparisons: NaN is neither at least 2^-900 nor 0.
  return simd::not_greater_equal(a, it::splat(kPiFormSmallest)) & simd::not_equal(a, it::splat(0.0));
}

// atan2(a, b) = ±atan(|a| / |b|) for b > 0 and ±(pi - atan(|a| / |b|)) for b < 0, with
// the sign of a.
template <it::Scale kScale>
ZORN_INVERSE_TRIG_INLINE it::Sum atan2_sum(F64x2 a, F64x2 b) {
  return it::atan_ratio_sum<kScale>(simd::abs(a), simd::abs(b), simd::less(b, it::splat(0.0)));
}
ZORN_INVERSE_TRIG_INLINE int atan2_pair(F64x2 a, F64x2 b, F64x2& r) {
  r = it::rounded(atan2_sum<it::Scale::kRadians>(a, b)) | it::sign_of(a);
  return it::atan2_special(a, b);
}
ZORN_INVERSE_TRIG_INLINE int atan2pi_pair(F64x2 a, F64x2 b, F64x2& r) {
  r = it::rounded(atan2_sum<it::Scale::kHalfTurns>(a, b)) | it::sign_of(a);
  return it::atan2_special(a, b);
}

double lane_result(F64x2 (*pair)(F64x2, F64x2&), double x) {
  F64x2 y;
  pair(F64x2::splat(x), y);
  return y.lane0();
}

// Acos, Asin and their pi forms beyond the fast path: NaN through, NaN with status 1
// beyond [-1, 1]; the pi forms' tiny arguments as x / pi in extended precision, one
// rounding to double (the error of the long double quotient is 2^-64 relative).
int32_t unit_domain(F64x2 (*pair)(F64x2, F64x2&), double x, double* r) {
  if (std::isnan(x)) {
    *r = x + x;
    return TESS_STATUS_OK;
  }
  if (std::fabs(x) > 1.0) {
    *r = std::numeric_limits<double>::quiet_NaN();
    return TESS_STATUS_DOMAIN;
  }
  *r = lane_result(pair, x);
  return TESS_STATUS_OK;
}

constexpr long double kPiExtended = 3.141592653589793238462643383279502884L;

double over_pi(double x) { return static_cast<double>(x / kPiExtended); }

int32_t pi_form(F64x2 (*pair)(F64x2, F64x2&), double x, double* r) {
  if (x != 0 && std::fabs(x) < kPiFormSmallest) {
    *r = over_pi(x);
    return TESS_STATUS_OK;
  }
  return unit_domain(pair, x, r);
}

}  // namespace

// Each pair is one long chain (a square root or a division, then the series). With the
// arcsines' constants as rows and the root's remainder taken last, d Asin, Acos and
// Asinpi are 2-4% faster one group a step than two; d Acospi is 6-10% faster two groups
// a step (four chains in flight). Atan and Atanpi, whose gathers and centres take fewer
// operations, spill less one group a step and are 2.5-4.5% faster so.
TESS_INTERLEAVE_BEGIN
TESS_DOUBLE_PAIR_LOOPS(AsinDouble, asin_pair)
TESS_DOUBLE_PAIR_LOOPS(AcosDouble, acos_pair)
TESS_DOUBLE_PAIR_LOOPS(AsinpiDouble, asinpi_pair)
TESS_DOUBLE_PAIRED_STEP_LOOPS(AcospiDouble, acospi_pair)
TESS_DOUBLE_PAIR_LOOPS(AtanDouble, atan_pair)
TESS_DOUBLE_PAIR_LOOPS(AtanpiDouble, atanpi_pair)

int Atan2Double::fast_group(const double a[4], const double b[4], double r[4]) {
  return run_binary_pairs(a, b, r, atan2_pair);
}
int Atan2piDouble::fast_group(const double a[4], const double b[4], double r[4]) {
  return run_binary_pairs(a, b, r, atan2pi_pair);
}
int64_t Atan2Double::fast_block(int64_t n, const double* a, const double* b, double* r) {
  return run_binary_fast_block(n, a, b, r, atan2_pair);
}
int64_t Atan2piDouble::fast_block(int64_t n, const double* a, const double* b, double* r) {
  return run_binary_fast_block(n, a, b, r, atan2pi_pair);
}
TESS_INTERLEAVE_END

int32_t tess_callout_dAsin(double x, double* r) { return unit_domain(asin_pair, x, r); }
int32_t tess_callout_dAcos(double x, double* r) { return unit_domain(acos_pair, x, r); }
int32_t tess_callout_dAsinpi(double x, double* r) { return pi_form(asinpi_pair, x, r); }
int32_t tess_callout_dAcospi(double x, double* r) { return unit_domain(acospi_pair, x, r); }
int32_t tess_callout_dAtan(double x, double* r) {
  *r = std::isnan(x) ? x + x : lane_result(atan_pair, x);
  return TESS_STATUS_OK;
}
int32_t tess_callout_dAtanpi(double x, double* r) {
  *r = std::isnan(x) ? x + x : x != 0 && std::fabs(x) < kPiFormSmallest ? over_pi(x)
                                                                       : lane_result(atanpi_pair, x);
  return TESS_STATUS_OK;
}
int32_t tess_callout_dAtan2(double a, double b, double* r) {
  *r = it::atan2_any(a, b, false);
  return TESS_STATUS_OK;
}
int32_t tess_callout_dAtan2pi(double a, double b, double* r) {
  *r = it::atan2_any(a, b, true);
  return TESS_STATUS_OK;
}

namespace inverse_trig {

// Special values first (C99 F.9.1.4); finite non-zero pairs scaled by a common power of
// two into the fast path's range, unless one is below 2^-500 of the other, where the
// angle is the quotient (b > 0), pi (b < 0) or pi/2 to within far below an ulp.
double atan2_any(double a, double b, bool pi_scaled) {
  if (std::isnan(a) || std::isnan(b)) return a + b;
  const double quarter = pi_scaled ? 0.25 : data::kHalfPiHi / 2;
  const double half = pi_scaled ? 0.5 : data::kHalfPiHi;
  const double three_quarters = pi_scaled ? 0.75 : data::kThreeQuarterPiHi;
  const double whole = pi_scaled ? 1.0 : data::kPiHi;
  const double ma = std::fabs(a), mb = std::fabs(b);
  if (ma == 0) return std::copysign(std::signbit(b) ? whole : 0.0, a);
  if (std::isinf(ma)) {
    return std::copysign(std::isinf(mb) ? (b < 0 ? three_quarters : quarter) : half, a);
  }
  if (mb == 0) return std::copysign(half, a);
  if (std::isinf(mb)) return std::copysign(b < 0 ? whole : 0.0, a);
  const int e = std::max(std::ilogb(ma), std::ilogb(mb));
  const double sa = std::scalbn(a, -e), sb = std::scalbn(b, -e);
  if (std::fabs(sb) < it::kAtan2Low) return std::copysign(half, a);
  if (std::fabs(sa) < it::kAtan2Low) {
    if (b < 0) return std::copysign(whole, a);
    return pi_scaled ? static_cast<double>(a / (b * kPiExtended)) : a / b;
  }
  F64x2 r;
  (pi_scaled ? atan2pi_pair : atan2_pair)(F64x2::splat(sa), F64x2::splat(sb), r);
  return r.lane0();
}

}  // namespace inverse_trig
}  // namespace zorn::tess
