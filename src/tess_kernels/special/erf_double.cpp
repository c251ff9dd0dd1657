#include "tess_kernels/special/erf_double.h"

#include <cmath>

#include "tess_kernels/exp_log/scale_double.h"
#include "tess_kernels/frame/splat_rows.h"
#include "tess_kernels/special/erf_core.h"
#include "zorn/tess.h"

namespace zorn::tess {
namespace {

using namespace erf_core;
using simd::F64x2;

// Below 1/16 erf comes from its series (an eightieth of the lanes of uniform arguments
// on [-5, 5], so that the branch seldom mispredicts), above from the rows about k/64;
// from 6 on it rounds to 1.
constexpr double kSmallLimit = 0.0625;
constexpr double kErfIsOne = 6.0;
// Below this the series loses bits to the subnormal grid (the low part of Dekker's
// product x P(0) falls to 2^-57 of x, and its partial products lower still), so the
// callout forms it 2^64 higher.
constexpr double kErfTinyLimit = 0x1p-960;
// erfc(x) < 2^-1075 from here on: it rounds to zero.
constexpr double kErfcZeroFrom = 27.3;
// erfcx: the rows below 30.5, the asymptotic form from 30.5 to 2^995; 2 e^(x^2)
// overflows below about -26.6287.
constexpr double kAsymptoticLimit = 0x1p995;
constexpr double kErfcxOverflowBelow = -26.63;
// Phi: t = -x / sqrt 2 <= 26.5 in the fast path; Phi rounds to zero below -38.55 and
// to one long before x = 40.
constexpr double kCdfNormFastLimit = -37.47;
constexpr double kCdfNormZeroBelow = -38.55;
constexpr double kCdfNormClamp = 40.0;
constexpr double kInvSqrt2Hi = 0.7071067811865476;
constexpr double kInvSqrt2Lo = -4.833646656726456e-17;

inline F64x2 zero() { return splat(0.0); }
inline F64x2 with_sign_of(F64x2 y, F64x2 x) { return y | (x & splat(-0.0)); }

// The loop's constants as rows read through memory operands: the branch on the series
// keeps the compiler from holding them in registers, and it rebuilt each by a load and a
// broadcast every pass.
constexpr simd::SplatRows<double, 4> kErfLoopRows({kSmallLimit, kErfIsOne, kErfTinyLimit,
                                                   kRowShifter<64>});

[[gnu::always_inline]] inline F64x2 erf_pair(F64x2 x, F64x2& y) {
  const simd::SplatReader<double, 4> k(kErfLoopRows);
  const F64x2 a = simd::abs(x);
  const F64x2 small = simd::less(a, k[0]);
  const int small_lanes = simd::lane_mask(small);
  F64x2 big{}, series{};
  if (small_lanes != 3) big = with_sign_of(erf_rows(simd::min(a, k[1]), k[3]), x);
  if (small_lanes != 0) series = with_sign_of(erf_small_split<5>(x, kErfRatioDouble), x);  // -0 too
  y = small_lanes == 3 ? series : small_lanes == 0 ? big : simd::select(small, series, big);
  return simd::not_greater(a, k[2]);  // NaN too
}

// The lanes of the rows' hi + lo past the rows' end replaced by e^(-a^2) erfcx(a) (out of
// line: the common range lies within the rows; the parts go by value, in registers, so
// that the common path keeps them there).
template <bool kWithLow>
[[gnu::noinline]] Pair with_scaled_tail(F64x2 a, F64x2 al, F64x2 far, F64x2 hi, F64x2 lo) {
  const Pair tail = scaled_parts(erfc_scaled<kWithLow>(simd::min(a, splat(kTailLimit)), al));
  return {simd::select(far, tail.hi, hi), simd::select(far, tail.lo, lo)};
}

// erfc(a + al) for a >= 0 as hi + lo, a + al up to 26.5 (beyond: any value).
template <bool kWithLow>
[[gnu::always_inline]] inline Pair erfc_parts(F64x2 a, F64x2 al) {
  Pair rows = erfc_rows<kWithLow>(simd::min(a, splat(kErfcRowsEnd)), al);
  const F64x2 far = simd::less(splat(kErfcRowsEnd), a);
  if (simd::lane_mask(far) != 0) rows = with_scaled_tail<kWithLow>(a, al, far, rows.hi, rows.lo);
  return rows;
}

// erfc(-a) = 2 - erfc(a), which rounds to 2 from a = 9 on, as (-erfc(a)) + 2: x's sign
// bit negates the sum and, shifted right by one, is the bit pattern of 2 (+0 for positive
// x). Rounding the sum first costs at most a quarter ulp of the result, at least 1 there.
[[gnu::always_inline]] inline F64x2 erfc_pair(F64x2 x, F64x2& y) {
  const Pair r = erfc_parts<false>(simd::abs(x), zero());
  const F64x2 sign = x & splat(-0.0);
  y = ((r.hi + r.lo) ^ sign) + simd::from_bits(simd::bits(sign) >> 1);
  return simd::not_less_equal(x, splat(kTailLimit));
}

[[gnu::always_inline]] inline F64x2 erfcx_pair(F64x2 x, F64x2& y) {
  const F64x2 a = simd::abs(x);
  const Pair f = erfcx_rows(simd::min(a, splat(kAsymptoticFrom)), kErfcxRowsDouble);
  y = f.hi + f.lo;
  const F64x2 far = simd::not_less(a, splat(kAsymptoticFrom));
  if (simd::lane_mask(far) != 0) {
    const Pair g = erfcx_asymptotic(a);
    y = simd::select(far, g.hi + g.lo, y);
  }
  const F64x2 negative = simd::less(x, zero());
  if (simd::lane_mask(negative) != 0) {
    // erfcx(-a) = 2 e^(a^2) - erfcx(a), with 2 e^(a^2) >= 2 > erfcx(a).
    const F64x2 b = simd::min(a, splat(kTailLimit));
    const TwoSum square = two_product(b, b);
    const ScaledPair e = exp_pair(square.sum, square.err);
    const F64x2 twice_scale = splat(2.0) * scale_of(e);
    const TwoSum d = fast_two_sum(e.hi * twice_scale, zero() - f.hi);
    y = simd::select(negative, d.sum + (d.err + (e.lo * twice_scale - f.lo)), y);
  }
  return simd::not_less_equal(splat(-kTailLimit), x) | simd::not_less(x, splat(kAsymptoticLimit));
}

// t = -x / sqrt 2 as th + tl, exactly enough for erfc, whose relative change is about
// 2 t^2 times that of t.
TwoSum scaled_argument(F64x2 x) {
  const TwoSum t = two_product(x, splat(-kInvSqrt2Hi));
  return {t.sum, t.err + x * splat(-kInvSqrt2Lo)};
}

[[gnu::always_inline]] inline F64x2 cdfnorm_pair(F64x2 x, F64x2& y) {
  const TwoSum t = scaled_argument(simd::min(x, splat(kCdfNormClamp)));
  const F64x2 negative_t = simd::less(t.sum, zero());
  const F64x2 al = t.err ^ (t.sum & splat(-0.0));  // the low part of |t|
  const Pair r = erfc_parts<true>(simd::abs(t.sum), al);
  y = splat(0.5) * simd::select(negative_t, subtract_from(2.0, r), r.hi + r.lo);
  return simd::not_less_equal(splat(kCdfNormFastLimit), x);
}

template <F64x2 (*Pair_)(F64x2, F64x2&)>
double lane0(double x) {
  F64x2 y;
  Pair_(splat(x), y);
  return y.lane0();
}

// 2^m (hi + lo) rounded once, -1076 <= m <= 1023, hi below 2: scaled as a normal number
// while the result surely is one, else through the subnormal grid.
double scaled_result(const ScaledPair& p, int64_t m) {
  const double hi = p.hi.lane0(), lo = p.lo.lane0();
  return m >= -1000 ? scale_normal(hi + lo, m) : scale_subnormal<60>(hi, lo, m);
}

}  // namespace

TESS_DOUBLE_PAIR_LOOPS(ErfDouble, erf_pair)
TESS_DOUBLE_PAIR_LOOPS(ErfcDouble, erfc_pair)
TESS_DOUBLE_PAIR_LOOPS(ErfcxDouble, erfcx_pair)
TESS_DOUBLE_PAIR_LOOPS(CdfNormDouble, cdfnorm_pair)

int32_t tess_callout_dErf(double x, double* r) {
  if (std::isnan(x)) {
    *r = x + x;
  } else if (std::fabs(x) <= kErfTinyLimit) {
    // The series formed 2^64 higher (where its square term vanishes) and scaled back
    // with one rounding; erf is odd, -0 included.
    const TwoSum up = erf_small_parts<5>(splat(std::fabs(x) * 0x1p64), kErfRatioDouble);
    *r = std::copysign(scale_subnormal<64>(up.sum.lane0(), up.err.lane0(), -64), x);
  } else {
    *r = lane0<erf_pair>(x);
  }
  return TESS_STATUS_OK;
}

int32_t tess_callout_dErfc(double x, double* r) {
  if (std::isnan(x)) {
    *r = x + x;
    return TESS_STATUS_OK;
  }
  if (x <= kTailLimit) {
    *r = lane0<erfc_pair>(x);
    return TESS_STATUS_OK;
  }
  if (x >= kErfcZeroFrom) {
    *r = 0.0;
    return std::isinf(x) ? TESS_STATUS_OK : TESS_STATUS_UNDERFLOW;
  }
  const ScaledPair p = erfc_scaled<false>(splat(x), zero());
  *r = scaled_result(p, scale_exponent(p));
  return *r == 0 ? TESS_STATUS_UNDERFLOW : TESS_STATUS_OK;
}

int32_t tess_callout_dErfcx(double x, double* r) {
  if (std::isnan(x)) {
    *r = x + x;
    return TESS_STATUS_OK;
  }
  if (x < kErfcxOverflowBelow) {
    *r = INFINITY;
    return std::isinf(x) ? TESS_STATUS_OK : TESS_STATUS_OVERFLOW;
  }
  if (x < -kTailLimit) {
    // 2 e^(x^2); erfcx(-x) is below 2^-1000 of it.
    const TwoSum square = two_product(splat(x), splat(x));
    const ScaledPair e = exp_pair(square.sum, square.err);
    *r = scale_normal(2.0 * (e.hi + e.lo).lane0(), scale_exponent(e));
    return std::isinf(*r) ? TESS_STATUS_OVERFLOW : TESS_STATUS_OK;
  }
  if (x >= kAsymptoticLimit) {
    // 1 / (x sqrt(pi)) = (g0 hi + g0 lo) / x to double precision, the quotient corrected
    // by its residual on x 2^-600 (whose split cannot overflow), scaled back once.
    if (std::isinf(x)) {
      *r = 0.0;
      return TESS_STATUS_OK;
    }
    const double xs = x * 0x1p-600;
    const double g = kErfcxTailDouble[0];
    const double q = g / xs;
    const TwoSum qx = two_product(splat(q), splat(xs));
    const double correction =
        ((g - qx.sum.lane0()) - qx.err.lane0() + kErfcxTailDouble[1]) / xs;
    *r = (q + correction) * 0x1p-600;
    return TESS_STATUS_OK;
  }
  *r = lane0<erfcx_pair>(x);
  return TESS_STATUS_OK;
}

int32_t tess_callout_dCdfNorm(double x, double* r) {
  if (std::isnan(x)) {
    *r = x + x;
    return TESS_STATUS_OK;
  }
  if (x >= kCdfNormFastLimit) {
    *r = lane0<cdfnorm_pair>(x);
    return TESS_STATUS_OK;
  }
  if (x < kCdfNormZeroBelow) {
    *r = 0.0;
    return std::isinf(x) ? TESS_STATUS_OK : TESS_STATUS_UNDERFLOW;
  }
  const TwoSum t = scaled_argument(splat(x));
  const ScaledPair p = erfc_scaled<true>(t.sum, t.err);
  *r = scaled_result(p, scale_exponent(p) - 1);  // the half folded into the scale
  return *r == 0 ? TESS_STATUS_UNDERFLOW : TESS_STATUS_OK;
}

}  // namespace zorn::tess
