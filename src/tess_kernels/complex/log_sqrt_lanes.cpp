#include "tess_kernels/complex/log_sqrt_lanes.h"

#include <algorithm>
#include <cmath>

#include "tess_kernels/complex/modulus_double.h"
#include "tess_kernels/complex/real_parts.h"
#include "tess_kernels/complex/single_cores.h"
#include "tess_kernels/exp_log/double_cores_single.h"
#include "tess_kernels/exp_log/log_core_double.h"
#include "tess_kernels/frame/interleaved_schedule.h"
#include "tess_kernels/frame/simd_double.h"
#include "tess_kernels/frame/two_sum_double.h"
#include "tess_kernels/inv_trig_hyp/hyperbolic_core_double.h"
#include "tess_kernels/inv_trig_hyp/inverse_trig_core_double.h"
#include "tess_kernels/inv_trig_hyp/inverse_trig_single.h"

namespace zorn::tess::cx {
namespace {

using simd::F64x2;
using simd::I64x2;
namespace h = hyperbolic;
namespace it = inverse_trig;

constexpr int64_t kExponentField = 0x7FF0000000000000;
constexpr int64_t kUnitExponent = int64_t{1} << 52;

// The parts of two elements, their magnitudes ordered, and the lanes the scalar form
// must take: a non-finite part, a larger part that is zero, subnormal or >= 2^1001.
struct Parts {
  F64x2 x, y, larger, smaller;
  int special;
};
[[gnu::always_inline]] inline Parts load_parts(const double* x, const double* y) {
  const F64x2 xv = F64x2::load(x), yv = F64x2::load(y);
  const F64x2 ax = simd::abs(xv), ay = simd::abs(yv);
  const F64x2 larger = max(ax, ay);
  const F64x2 out = simd::less(larger, F64x2::splat(0x1p-1022)) |
                    simd::not_less(larger, F64x2::splat(0x1p1001)) |
                    simd::not_less(min(ax, ay), F64x2::splat(INFINITY));  // NaN, inf
  return {xv, yv, larger, min(ax, ay), simd::lane_mask(out)};
}

// 2^-e for the biased exponent field E = e + 1023 of a double: the field 2046 - E.
inline F64x2 inverse_power(I64x2 field) {
  return simd::from_bits(I64x2::splat(2046 * kUnitExponent) - field);
}

// a^2 + b^2 = hi + lo + rest for a >= b (scaled to where neither overflows or loses its
// tail below the normal range), as 1 + d with d = a^2 + b^2 - 1 carried from Dekker's
// squares before it cancels: a^2 - 1, then b^2 and a^2's tail by two-sums, the small
// errors last. Near |z| = 1 those are multiples of ulp(b)^2 below 2^-52 and sum exactly;
// `rest`, the rounding of lo, keeps d's relative precision where hi is 1 and lo is d.
// (The squares summed first lost d beyond 2^-106: 8 ulp of ln |z| at |z|^2 - 1 = 2^-58;
// without `rest`, 1.36 ulp of log10 |z|.)
struct SquaresSum {
  F64x2 hi, lo, rest;
};
[[gnu::always_inline]] inline SquaresSum sum_of_squares(F64x2 a, F64x2 b) {
  const TwoSum a2 = two_product(a, a), b2 = two_product(b, b);
  const TwoSum t = two_sum(a2.sum, F64x2::splat(-1.0));
  const TwoSum s1 = two_sum(t.sum, b2.sum);
  const TwoSum s2 = two_sum(s1.sum, a2.err);
  const TwoSum one = two_sum(F64x2::splat(1.0), s2.sum);
  const TwoSum lo = two_sum(one.err, ((s1.err + s2.err) + t.err) + b2.err);
  return {one.sum, lo.sum, lo.err};
}

// The same sum for a >= b to about 2^-76 of it, enough where it lies away from 1: the
// squares' errors as (h^2 - a^2) + l (a + h) for a = h + l (h its leading 26 bits; the
// difference is exact, the product rounds near 2^-78 a^2), and a^2 >= b^2 summed by a
// fast two-sum.
[[gnu::always_inline]] inline h::Sum sum_of_squares_away_from_one(F64x2 a, F64x2 b) {
  const F64x2 a2 = a * a, b2 = b * b;
  const Split as = truncated_split(a), bs = truncated_split(b);
  const F64x2 a2_error = (as.hi * as.hi - a2) + as.lo * (a + as.hi);
  const F64x2 b2_error = (bs.hi * bs.hi - b2) + bs.lo * (b + bs.hi);
  const TwoSum n = fast_two_sum(a2, b2);
  return {n.sum, n.err + (a2_error + b2_error)};
}

// All-ones lanes where the sign bit is set (-0 and NaN included).
inline F64x2 sign_lanes(F64x2 v) {
  const __m128i high = _mm_srai_epi32(_mm_castpd_si128(v.v), 31);
  return {_mm_castsi128_pd(_mm_shuffle_epi32(high, _MM_SHUFFLE(3, 3, 1, 1)))};
}

// 1/2 sqrt(v) to about 2^-11, from the single reciprocal square root, for v within the
// single precision range: the divisor of corrections within an ulp of the root.
inline F64x2 half_inverse_root(F64x2 v) {
  return F64x2{_mm_cvtps_pd(_mm_rsqrt_ps(_mm_cvtpd_ps(v.v)))} * F64x2::splat(0.5);
}

// sqrt(hi + lo) for hi in [1/2, 32) as head + correction, unrounded: the root of the
// head and one Newton correction with the remainder hi - s^2 + lo over 2s, s^2 as
// h^2 + l (s + h) for s = h + l (h its leading 26 bits: hi - h^2 is exact, the other
// term's rounding near 2^-78 hi), and the correction over the head, c / s, for the quotient
// by the root (from 1/2s to about 2^-11, off the remainder's chain).
struct Root {
  F64x2 head, correction, relative_correction;
  F64x2 rounded() const { return head + correction; }
};
inline Root root_of_scaled_sum(h::Sum n) {
  const F64x2 s = h::sqrt(n.hi);
  const Split split = truncated_split(s);
  const F64x2 remainder = (n.hi - split.hi * split.hi) + (n.lo - split.lo * (s + split.hi));
  const F64x2 half_inverse = half_inverse_root(n.hi);
  return {s, remainder * half_inverse, remainder * (half_inverse * (half_inverse + half_inverse))};
}

// The other part of the root, |y| / 2t for t = s + c, given h = |y| / 2 (scaled alike): the
// quotient q = h / s less q c / s (c / s is below 2^-51, its square negligible), so that
// the division waits for the root only and not for its correction. One rounding more than
// the quotient's: within an ulp. (|y| over the rounded t erred by up to 1.6 ulp, where t
// lies just above a power of two and the quotient just below one.)
inline F64x2 w_of(F64x2 half_ay, Root r) {
  const F64x2 q = half_ay / r.head;
  return q - q * r.relative_correction;
}

// sqrt z = u + i w (x >= +0) or w + i u (x <= -0), the imaginary part signed as y.
struct RootParts {
  F64x2 re, im;
};
inline RootParts root_parts(F64x2 x, F64x2 y, F64x2 u, F64x2 w) {
  // The exchange where x is negative by exclusive or under the mask.
  const F64x2 exchange = (u ^ w) & sign_lanes(x);
  return {u ^ exchange, (w ^ exchange) | (y & F64x2::splat(-0.0))};
}
inline void store_root(F64x2 x, F64x2 y, F64x2 u, F64x2 w, double* re, double* im) {
  const RootParts p = root_parts(x, y, u, w);
  p.re.store(re);
  p.im.store(im);
}

// The single precision lanes the scalar form takes: zero (both parts), NaN and infinite
// parts, from the magnitudes.
inline int scalar_single_lanes(F64x2 ax, F64x2 ay) {
  const F64x2 sum = ax + ay;
  return simd::lane_mask(simd::not_less(F64x2::splat(0.0), sum) |
                         simd::not_less(sum, F64x2::splat(INFINITY)));
}

// ln(a^2 + b^2) for single precision parts a >= b >= 0, a > 0 (widened), to about 2^-36
// relative: the squares are exact in double, and so is d = (a^2 - 1) + b^2 near 1, where
// a lies in [0.7, 1.01] and a^2 - 1 is exact.
inline F64x2 log_of_squares_single(F64x2 a, F64x2 b) {
  const F64x2 a2 = a * a, b2 = b * b;
  return log_single(a2 + b2, (a2 - F64x2::splat(1.0)) + b2);
}

// (head + tail) / ln 10, |tail| below 2^-7 |head|, rounded once beyond errors near 2^-75
// of it: with 1/ln 10 as its 26-bit head c0 and the rest c1 (kLogBase10) and h the
// leading 26 bits of head, h c0 is exact and the other terms, near 2^-26 of it, are
// summed before the one addition to it.
inline F64x2 over_ln10(F64x2 head, F64x2 tail) {
  const F64x2 c0 = F64x2::splat(kLogBase10[0]), c1 = F64x2::splat(kLogBase10[1]);
  const F64x2 h = truncated_split(head).hi;
  return h * c0 + (((head - h) * c0 + head * c1) + tail * (c0 + c1));
}

// ln |z| given as head + tail, in base e or, for kBase10, 10: either way one rounding
// beyond errors near 2^-60 of the result.
template <bool kBase10>
inline F64x2 in_base(LogParts l) {
  return kBase10 ? over_ln10(l.head, l.tail) : l.head + l.tail;
}

// ln |z| = ln(n) / 2 for n = |z|^2 = hi + lo outside [0.5, 2) (|lo| <= 2^-52 hi): ln hi
// as head + tail (|ln hi| >= ln 2), with lo / hi, the first order of ln(1 + lo / hi)
// (its square below 2^-104), joining the tail.
inline LogParts log_modulus_away_from_one(h::Sum n) {
  const LogParts l = log_parts<false>(n.hi);
  return {l.head * F64x2::splat(0.5), (l.tail + n.lo / n.hi) * F64x2::splat(0.5)};
}

// ln(hi + lo) as head + tail for a positive normal hi and |lo| up to about an ulp of hi:
// the pair ordered, lo 2^-k joins the mantissa m of hi = 2^k m in the reduction.
inline LogParts log_of_sum_parts(h::Sum v) {
  const TwoSum n = fast_two_sum(v.hi, v.lo);
  return log_parts<true>(n.sum, 0,
                         n.err * inverse_power(simd::bits(n.sum) & I64x2::splat(kExponentField)));
}

// ln |z| = e ln 2 + ln(a^2 + b^2) / 2 for parts scaled by 2^-e (a >= b), the sum of the
// heads carried exactly (0 + head where e = 0); the squares' rest joins the tail as
// ln(n + rest) - ln n = rest / n (n's head is 0 where n lies below 2^-54, in moderate
// lanes beside one taking this path).
inline LogParts log_modulus_scaled(F64x2 a, F64x2 b, F64x2 e) {
  // ln 2 with its head's last 21 bits zero, so that e ln2_hi is exact for |e| < 2^21.
  constexpr double kLn2Hi = 6.93147180369123816490e-01;
  constexpr double kLn2Lo = 1.90821492927058770002e-10;
  const SquaresSum n = sum_of_squares(a, b);
  const LogParts l = log_of_sum_parts({n.hi, n.lo});
  const TwoSum head = two_sum(e * F64x2::splat(kLn2Hi), l.head * F64x2::splat(0.5));
  const F64x2 rest = n.rest / (n.hi + n.lo);
  return {head.sum,
          head.err + ((l.tail + rest) * F64x2::splat(0.5) + e * F64x2::splat(kLn2Lo))};
}

}  // namespace

// Single precision: the real part from log_of_squares_single; the argument by the single
// Atan2 fast path (Ln) or, for Log10, whose argument is rounded once more after the
// quotient by ln 10, by angle_single in double.
template <bool kBase10>
int LogLanes<kBase10>::single_group(const double x[4], const double y[4], double re[4],
                                    double im[4]) {
  int special = 0;
  for (int v = 0; v < 4; v += 2) {
    const F64x2 xv = F64x2::load(x + v), yv = F64x2::load(y + v);
    const F64x2 ax = simd::abs(xv), ay = simd::abs(yv);
    special |= scalar_single_lanes(ax, ay) << v;
    const F64x2 half_log = log_of_squares_single(max(ax, ay), min(ax, ay)) * F64x2::splat(0.5);
    (kBase10 ? half_log * F64x2::splat(0.4342944819032518) : half_log).store(re + v);
  }
  if constexpr (kBase10) {
    special |= angle_single(x, y, im);
    for (int v = 0; v < 4; v += 2) {
      (F64x2::load(im + v) * F64x2::splat(0.4342944819032518)).store(im + v);
    }
  } else {
    alignas(16) float xf[4], yf[4], angle[4];
    const auto narrow = [](const double* p, float* q) {
      _mm_store_ps(q, _mm_movelh_ps(_mm_cvtpd_ps(_mm_load_pd(p)),
                                    _mm_cvtpd_ps(_mm_load_pd(p + 2))));
    };
    narrow(x, xf);
    narrow(y, yf);
    special |= Atan2Single::fast_group(yf, xf, angle);
    const __m128 a = _mm_load_ps(angle);
    _mm_store_pd(im, _mm_cvtps_pd(a));
    _mm_store_pd(im + 2, _mm_cvtps_pd(_mm_movehl_ps(a, a)));
  }
  return special;
}

// arg z = atan2(y, x) as an unevaluated sum (the double Atan2 core's, whose rounding gives
// the Atan2 fast path's bits) for parts in [2^-500, 2^500], and the lanes beyond, which
// the scalar form takes.
struct Angle {
  it::Sum value;  // of |arg z|
  int special;
};
inline Angle angle_of(F64x2 x, F64x2 y) {
  const F64x2 ax = simd::abs(x), ay = simd::abs(y);
  const F64x2 low = F64x2::splat(0x1p-500), high = F64x2::splat(0x1p500);
  const int special = simd::lane_mask(simd::less(ax, low) | simd::not_less_equal(ax, high) |
                                      simd::less(ay, low) | simd::not_less_equal(ay, high));
  return {it::atan_ratio_sum(ay, ax, simd::less(x, F64x2::splat(0.0))), special};
}

// arg z (or arg z / ln 10, kBase10) with the sign of y, rounded once.
template <bool kBase10>
inline F64x2 signed_angle(it::Sum value, F64x2 y) {
  const F64x2 magnitude = kBase10 ? over_ln10(value.hi, value.lo) : it::rounded(value);
  return magnitude | it::sign_of(y);
}

// Lanes whose parts both lie in [2^-500, 2^500) (the sum fails for a NaN, which max and
// min drop): none of the scalar form's lanes, no angle beyond the core's range and no
// scaling is among them.
inline F64x2 unscaled_parts(F64x2 ax, F64x2 ay) {
  return simd::not_less(min(ax, ay), F64x2::splat(0x1p-500)) &
         simd::less(ax + ay, F64x2::splat(0x1p500));
}
// Lanes whose |z|^2 (its head) lies in [0.5, 2), where ln |z| may cancel.
inline F64x2 near_one(F64x2 n) {
  return simd::not_less(n, F64x2::splat(0.5)) & simd::less(n, F64x2::splat(2.0));
}

// ln z of two elements with unscaled parts and |z|^2 = n away from 1. In base 10 the
// angle's tail joins the quotient by ln 10, so that it rounds once (rounded first, up to
// 1.4 ulp).
template <bool kBase10>
[[gnu::always_inline]] inline void log_away_from_one(h::Sum n, F64x2 x, F64x2 y, F64x2& re,
                                                     F64x2& im) {
  re = in_base<kBase10>(log_modulus_away_from_one(n));
  im = signed_angle<kBase10>(
      it::atan_ratio_sum(simd::abs(y), simd::abs(x), simd::less(x, F64x2::splat(0.0))), y);
}
template <bool kBase10>
[[gnu::always_inline]] inline void log_away_from_one(h::Sum n, F64x2 x, F64x2 y, double* re,
                                                     double* im) {
  F64x2 r, i;
  log_away_from_one<kBase10>(n, x, y, r, i);
  r.store(re);
  i.store(im);
}

// Groups whose four elements have unscaled parts and |z|^2 away from 1 (about 99% of
// moderate arguments) take both pairs in one block after one test, which makes every other
// test void; in other groups each pair takes that path or the general steps below.
template <bool kBase10>
[[TESS_INTERLEAVED]] int LogLanes<kBase10>::group(const double x[4], const double y[4],
                                                  double re[4], double im[4]) {
  const F64x2 x0 = F64x2::load(x), y0 = F64x2::load(y);
  const F64x2 x1 = F64x2::load(x + 2), y1 = F64x2::load(y + 2);
  const F64x2 ax0 = simd::abs(x0), ay0 = simd::abs(y0), ax1 = simd::abs(x1), ay1 = simd::abs(y1);
  if (simd::lane_mask(unscaled_parts(ax0, ay0) & unscaled_parts(ax1, ay1)) == 3) [[likely]] {
    const h::Sum n0 = sum_of_squares_away_from_one(max(ax0, ay0), min(ax0, ay0));
    const h::Sum n1 = sum_of_squares_away_from_one(max(ax1, ay1), min(ax1, ay1));
    if (simd::lane_mask(near_one(n0.hi) | near_one(n1.hi)) == 0) [[likely]] {
      log_away_from_one<kBase10>(n0, x0, y0, re, im);
      log_away_from_one<kBase10>(n1, x1, y1, re + 2, im + 2);
      return 0;
    }
  }
  int special = 0;
  for (int v = 0; v < 4; v += 2) {
    const Parts p = load_parts(x + v, y + v);
    if (simd::lane_mask(unscaled_parts(simd::abs(p.x), simd::abs(p.y))) == 3) {
      const h::Sum n = sum_of_squares_away_from_one(p.larger, p.smaller);
      if (simd::lane_mask(near_one(n.hi)) == 0) {
        log_away_from_one<kBase10>(n, p.x, p.y, re + v, im + v);
        continue;
      }
    }
    const F64x2 moderate = simd::not_less(p.larger, F64x2::splat(0x1p-500)) &
                           simd::less(p.larger, F64x2::splat(0x1p500));
    const F64x2 e = simd::select(moderate, F64x2::splat(0.0),
                                 simd::exponent_and_mantissa(p.larger, 0).k);
    const F64x2 scale =
        simd::select(moderate, F64x2::splat(1.0),
                     inverse_power(simd::bits(p.larger) & I64x2::splat(kExponentField)));
    in_base<kBase10>(log_modulus_scaled(p.larger * scale, p.smaller * scale, e)).store(re + v);
    // The angle does not change with the scale.
    const Angle angle = angle_of(p.x * scale, p.y * scale);
    signed_angle<kBase10>(angle.value, p.y).store(im + v);
    special |= (p.special | angle.special) << v;
  }
  return special;
}

// Two elements of the kind the group takes in one block (unscaled parts, |z|^2 away from
// 1), and the two-bit mask of the others.
namespace {
template <bool kBase10>
[[gnu::always_inline]] inline int log_pair(F64x2 x, F64x2 y, F64x2& re, F64x2& im) {
  const F64x2 ax = simd::abs(x), ay = simd::abs(y);
  const h::Sum s = sum_of_squares_away_from_one(max(ax, ay), min(ax, ay));
  log_away_from_one<kBase10>(s, x, y, re, im);
  return simd::lane_mask(simd::and_not(unscaled_parts(ax, ay), near_one(s.hi))) ^ 3;
}
}  // namespace

template <bool kBase10>
[[TESS_INTERLEAVED]] int64_t LogLanes<kBase10>::block(int64_t n, const std::complex<double>* z,
                                                      std::complex<double>* r) {
  return pair_block<log_pair<kBase10>>(n, z, r);
}

template struct LogLanes<false>;
template struct LogLanes<true>;

template <bool kBase10>
double log_modulus_rounded(double x, double y) {
  const double a = std::max(std::fabs(x), std::fabs(y)), b = std::min(std::fabs(x), std::fabs(y));
  // As in the lanes, parts in [2^-500, 2^500) stay unscaled (e ln 2 and ln(n) / 2 would
  // cancel near |z| = 1); beyond, 2^-e a lies in [1, 2) and 2^-e b may lose bits below the
  // normal range, where its square weighs below 2^-2000 of a^2.
  const int e = a >= 0x1p-500 && a < 0x1p500 ? 0 : std::ilogb(a);
  return in_base<kBase10>(log_modulus_scaled(F64x2::splat(std::scalbn(a, -e)),
                                             F64x2::splat(std::scalbn(b, -e)), F64x2::splat(e)))
      .lane0();
}
template double log_modulus_rounded<false>(double x, double y);
template double log_modulus_rounded<true>(double x, double y);

double log10_argument(double x, double y) {
  const double a = std::max(std::fabs(x), std::fabs(y));
  const int e = std::ilogb(a);
  const double sx = std::scalbn(x, -e), sy = std::scalbn(y, -e);
  const Angle angle = angle_of(F64x2::splat(sx), F64x2::splat(sy));
  if (angle.special == 0) {
    return std::copysign(over_ln10(angle.value.hi, angle.value.lo).lane0(), y);
  }
  // One part below 2^-500 of the other: the angle is y / x (x > 0), or pi or pi/2 less
  // something below 2^-500 of it, which moves neither's rounding. The quotient in extended
  // precision (64 bits, no underflow) leaves one rounding to double.
  if (std::fabs(sy) < std::fabs(sx) && x > 0) {
    constexpr long double kInverseLn10 = 0.434294481903251827651128918916605082L;
    return static_cast<double>(static_cast<long double>(y) / x * kInverseLn10);
  }
  const bool half = std::fabs(sx) < std::fabs(sy);
  const F64x2 hi = F64x2::splat(half ? kHalfPi : kPi), lo = F64x2::splat(half ? kHalfPiLo : kPiLo);
  return std::copysign(over_ln10(hi, lo).lane0(), y);
}

// The parts of sqrt z for the parts x, y of two elements scaled by a power of two s, both
// scaled by sqrt(2 s): t = sqrt((|x| + |z|) / 2) and w = |y| / 2t (and s |y|, the scaled
// part the caller checks).
struct ScaledRoot {
  F64x2 t, w, ay;
};
[[gnu::always_inline]] inline ScaledRoot scaled_root(const Parts& p, F64x2 s) {
  // Scaled by s, half an even power of two, (|x| + |z|) / 2 and |y| / 2 come scaled
  // without a product.
  const F64x2 ax = simd::abs(p.x) * s, ay = simd::abs(p.y) * s;
  // t from the sum as hi + lo, so that t rounds once: |z| = m + c (the modulus's root and
  // its correction R / 2m) with m >= |x| (the root of a rounded sum at least x^2), so that
  // m + |x| is an exact fast two-sum. (With |z| and the sum rounded, t gathered three
  // roundings and w four: up to 2.2 ulp.)
  const F64x2 squares = ax * ax + ay * ay;
  const RootResidual modulus = root_residual(max(ax, ay), min(ax, ay), squares);
  const TwoSum sum = fast_two_sum(modulus.root, ax);
  const F64x2 correction = modulus.residual * half_inverse_root(squares);
  const Root t = root_of_scaled_sum({sum.sum, sum.err + correction});
  return {t.rounded(), w_of(ay, t), ay};
}

// Lanes whose parts both lie in [2^-60, 2^60] (the sum fails for a NaN, which the minimum
// may drop): nothing then leaves the normal range, nor the single precision one of the
// reciprocal roots, and none of the scalar form's lanes is among them.
inline F64x2 moderate_parts(F64x2 ax, F64x2 ay) {
  return simd::not_less(min(ax, ay), F64x2::splat(0x1p-60)) &
         simd::less(ax + ay, F64x2::splat(0x1p60));
}

// The root of two elements with moderate parts: s = 1/2, a constant the chains do not
// wait for, and nothing to scale back.
[[gnu::always_inline]] inline RootParts moderate_root(F64x2 x, F64x2 y) {
  const F64x2 ax = simd::abs(x), ay = simd::abs(y);
  const ScaledRoot r = scaled_root({x, y, max(ax, ay), min(ax, ay), 0}, F64x2::splat(0.5));
  return root_parts(x, y, r.t, r.w);
}
[[gnu::always_inline]] inline void moderate_root(F64x2 x, F64x2 y, double* re, double* im) {
  const RootParts p = moderate_root(x, y);
  p.re.store(re);
  p.im.store(im);
}
// Both pairs of a group moderate (see SqrtLanes::group).
inline bool moderate_group(F64x2 x0, F64x2 y0, F64x2 x1, F64x2 y1) {
  return simd::lane_mask(moderate_parts(simd::abs(x0), simd::abs(y0)) &
                         moderate_parts(simd::abs(x1), simd::abs(y1))) == 3;
}

// Groups whose four elements have moderate parts take both pairs in one block, so that
// their chains of two roots and a quotient interleave (the single lanes measured no
// gain). In other groups, a pair's elements beyond those parts take s = 2^(-2k-1) for
// the even exponent 2k at or below the larger part's (field (E - 1) | 1), and the roots
// are scaled back by 2^k. Either rounds alike.
[[TESS_INTERLEAVED]] int SqrtLanes::group(const double x[4], const double y[4], double re[4],
                                          double im[4]) {
  const F64x2 x0 = F64x2::load(x), y0 = F64x2::load(y);
  const F64x2 x1 = F64x2::load(x + 2), y1 = F64x2::load(y + 2);
  if (moderate_group(x0, y0, x1, y1)) [[likely]] {
    moderate_root(x0, y0, re, im);
    moderate_root(x1, y1, re + 2, im + 2);
    return 0;
  }
  int special = 0;
  for (int v = 0; v < 4; v += 2) {
    const Parts p = load_parts(x + v, y + v);
    if (simd::lane_mask(moderate_parts(simd::abs(p.x), simd::abs(p.y))) == 3) {
      moderate_root(p.x, p.y, re + v, im + v);
      continue;
    }
    const I64x2 field = ((simd::bits(p.larger) & I64x2::splat(kExponentField)) -
                         I64x2::splat(kUnitExponent)) |
                        I64x2::splat(kUnitExponent);
    const ScaledRoot r = scaled_root(p, inverse_power(field + I64x2::splat(kUnitExponent)));
    const F64x2 unscale = simd::from_bits((field + I64x2::splat(1023 * kUnitExponent)) >> 1);
    const F64x2 w = r.w * unscale;
    store_root(p.x, p.y, r.t * unscale, w, re + v, im + v);
    special |= (p.special | simd::lane_mask(simd::less(r.ay, F64x2::splat(0x1p-1001)) |
                                            simd::less(w, F64x2::splat(0x1p-1022))))
               << v;
  }
  return special;
}

// Contiguous groups of moderate parts, split and merged in registers, two groups a step
// where both are moderate: four chains of roots and quotients in flight (the chain, not
// the instruction count, bounds this kernel), then one group a step.
[[TESS_INTERLEAVED]] int64_t SqrtLanes::block(int64_t n, const std::complex<double>* z,
                                              std::complex<double>* r) {
  int64_t i = 0;
  for (; i + 2 * kGroupLanes <= n; i += 2 * kGroupLanes) {
    __m128d zs[8];
    F64x2 x[4], y[4];
    for (int v = 0; v < 4; ++v) {
      load_pair(z + i + 2 * v, zs[2 * v], zs[2 * v + 1]);
      x[v] = {_mm_unpacklo_pd(zs[2 * v], zs[2 * v + 1])};
      y[v] = {_mm_unpackhi_pd(zs[2 * v], zs[2 * v + 1])};
    }
    if (!moderate_group(x[0], y[0], x[1], y[1]) || !moderate_group(x[2], y[2], x[3], y[3])) {
      break;
    }
    RootParts p[4];
    for (int v = 0; v < 4; ++v) p[v] = moderate_root(x[v], y[v]);
    for (int v = 0; v < 4; ++v) {
      store_pair(r + i + 2 * v, _mm_unpacklo_pd(p[v].re.v, p[v].im.v),
                 _mm_unpackhi_pd(p[v].re.v, p[v].im.v));
    }
  }
  for (; i + kGroupLanes <= n; i += kGroupLanes) {
    F64x2 x0, y0, x1, y1;
    split_group(z + i, x0, y0, x1, y1);
    if (!moderate_group(x0, y0, x1, y1)) [[unlikely]] break;
    const RootParts p0 = moderate_root(x0, y0), p1 = moderate_root(x1, y1);
    store_pair(r + i, _mm_unpacklo_pd(p0.re.v, p0.im.v), _mm_unpackhi_pd(p0.re.v, p0.im.v));
    store_pair(r + i + 2, _mm_unpacklo_pd(p1.re.v, p1.im.v), _mm_unpackhi_pd(p1.re.v, p1.im.v));
  }
  return i;
}

int SqrtLanes::single_group(const double x[4], const double y[4], double re[4], double im[4]) {
  int special = 0;
  for (int v = 0; v < 4; v += 2) {
    const F64x2 xv = F64x2::load(x + v), yv = F64x2::load(y + v);
    const F64x2 ax = simd::abs(xv), ay = simd::abs(yv);
    special |= scalar_single_lanes(ax, ay) << v;
    const F64x2 modulus = h::sqrt(ax * ax + ay * ay);
    const F64x2 t = h::sqrt((ax + modulus) * F64x2::splat(0.5));
    store_root(xv, yv, t, ay / (t + t), re + v, im + v);
  }
  return special;
}

}  // namespace zorn::tess::cx
