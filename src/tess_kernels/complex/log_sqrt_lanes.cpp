#include "tess_kernels/complex/log_sqrt_lanes.h"

#include "tess_kernels/complex/modulus_double.h"
#include "tess_kernels/complex/single_cores.h"
#include "tess_kernels/exp_log/double_cores_single.h"
#include "tess_kernels/exp_log/log_core_double.h"
#include "tess_kernels/frame/interleaved_schedule.h"
#include "tess_kernels/frame/simd_double.h"
#include "tess_kernels/frame/two_sum_double.h"
#include "tess_kernels/inv_trig_hyp/hyperbolic_core_double.h"
#include "tess_kernels/inv_trig_hyp/inverse_trig_double.h"
#include "tess_kernels/inv_trig_hyp/inverse_trig_single.h"

namespace zorn::tess::cx {
namespace {

using simd::F64x2;
using simd::I64x2;
namespace h = hyperbolic;

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

// a^2 + b^2 = hi + lo from Dekker's squares (a, b scaled to where neither overflows or
// loses its tail below the normal range).
[[gnu::always_inline]] inline h::Sum sum_of_squares(F64x2 a, F64x2 b) {
  const TwoSum a2 = two_product(a, a), b2 = two_product(b, b);
  const TwoSum n = two_sum(a2.sum, b2.sum);
  return {n.sum, n.err + (a2.err + b2.err)};
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

// sqrt(hi + lo) for hi in [1/2, 32): the root s of the head and one Newton correction
// with the remainder hi - s^2 + lo over 2s, s^2 as h^2 + l (s + h) for s = h + l (h its
// leading 26 bits: hi - h^2 is exact, the other term's rounding near 2^-78 hi).
inline F64x2 root_of_scaled_sum(h::Sum n) {
  const F64x2 s = h::sqrt(n.hi);
  const Split split = truncated_split(s);
  const F64x2 remainder = ((n.hi - split.hi * split.hi) - split.lo * (s + split.hi)) + n.lo;
  return s + remainder * half_inverse_root(n.hi);
}

// The other part of the root, |y| / 2t.
inline F64x2 w_of(F64x2 ay, F64x2 t) { return ay / (t + t); }

// sqrt z = u + i w (x >= +0) or w + i u (x <= -0), the imaginary part signed as y.
inline void store_root(F64x2 x, F64x2 y, F64x2 u, F64x2 w, double* re, double* im) {
  const F64x2 x_negative = sign_lanes(x);
  simd::select(x_negative, w, u).store(re);
  (simd::select(x_negative, u, w) | (y & F64x2::splat(-0.0))).store(im);
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
    for (int v = 0; v < 4; v += 2) (F64x2::load(im + v) * F64x2::splat(0.4342944819032518)).store(im + v);
  } else {
    alignas(16) float xf[4], yf[4], angle[4];
    const auto narrow = [](const double* p, float* q) {
      _mm_store_ps(q, _mm_movelh_ps(_mm_cvtpd_ps(_mm_load_pd(p)), _mm_cvtpd_ps(_mm_load_pd(p + 2))));
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

template <bool kBase10>
int LogLanes<kBase10>::group(const double x[4], const double y[4], double re[4], double im[4]) {
  // ln 2 with its head's last 21 bits zero, so that e ln2_hi is exact for |e| < 2^21.
  constexpr double kLn2Hi = 6.93147180369123816490e-01;
  constexpr double kLn2Lo = 1.90821492927058770002e-10;
  alignas(16) double xs[4], ys[4];
  int special = 0;
  for (int v = 0; v < 4; v += 2) {
    const Parts p = load_parts(x + v, y + v);
    special |= p.special << v;
    const F64x2 moderate = simd::not_less(p.larger, F64x2::splat(0x1p-500)) &
                           simd::less(p.larger, F64x2::splat(0x1p500));
    if (simd::lane_mask(moderate) == 3) {
      const h::Sum n = sum_of_squares_away_from_one(p.larger, p.smaller);
      if (simd::lane_mask(simd::not_less(n.hi, F64x2::splat(0.5)) &
                          simd::less(n.hi, F64x2::splat(2.0))) == 0) [[likely]] {
        in_base<kBase10>(log_modulus_away_from_one(n)).store(re + v);
        p.x.store(xs + v);
        p.y.store(ys + v);
        continue;
      }
    }
    const F64x2 e = simd::select(moderate, F64x2::splat(0.0),
                                 simd::exponent_and_mantissa(p.larger, 0).k);
    const F64x2 s = simd::select(moderate, F64x2::splat(1.0),
                                 inverse_power(simd::bits(p.larger) & I64x2::splat(kExponentField)));
    const LogParts l = log_of_sum_parts(sum_of_squares(p.larger * s, p.smaller * s));
    // ln |z| = e ln 2 + ln(n) / 2, the sum of the heads carried exactly (0 + head where
    // e = 0).
    const TwoSum head = two_sum(e * F64x2::splat(kLn2Hi), l.head * F64x2::splat(0.5));
    const F64x2 tail = head.err + (l.tail * F64x2::splat(0.5) + e * F64x2::splat(kLn2Lo));
    in_base<kBase10>({head.sum, tail}).store(re + v);
    (p.x * s).store(xs + v);
    (p.y * s).store(ys + v);
  }
  special |= Atan2Double::fast_group(ys, xs, im);
  if constexpr (kBase10) {
    for (int v = 0; v < 4; v += 2) over_ln10(F64x2::load(im + v), F64x2::splat(0.0)).store(im + v);
  }
  return special;
}

template struct LogLanes<false>;
template struct LogLanes<true>;

// The two pairs' chains of two roots and a quotient interleave (the logarithms and the
// single lanes measured no gain).
[[TESS_INTERLEAVED]] int SqrtLanes::group(const double x[4], const double y[4], double re[4],
                                          double im[4]) {
  int special = 0;
  for (int v = 0; v < 4; v += 2) {
    const Parts p = load_parts(x + v, y + v);
    // The even exponent 2k at or below the larger part's: field (E - 1) | 1.
    const I64x2 field = ((simd::bits(p.larger) & I64x2::splat(kExponentField)) -
                         I64x2::splat(kUnitExponent)) |
                        I64x2::splat(kUnitExponent);
    const F64x2 s = inverse_power(field);
    const F64x2 unscale = simd::from_bits((field + I64x2::splat(1023 * kUnitExponent)) >> 1);
    const F64x2 ax = simd::abs(p.x) * s, ay = simd::abs(p.y) * s;
    // t = sqrt((|x| + |z|) / 2) from the sum as hi + lo, so that t rounds once: |z| = m + c
    // (the modulus's root and its correction R / 2m) with m >= |x| (the root of a rounded
    // sum at least x^2), so that m + |x| is an exact fast two-sum. (With |z| and the sum rounded,
    // t gathered three roundings and w = |y| / 2t four: up to 2.2 ulp.)
    const F64x2 squares = ax * ax + ay * ay;
    const RootResidual modulus = root_residual(max(ax, ay), min(ax, ay), squares);
    const TwoSum sum = fast_two_sum(modulus.root, ax);
    const F64x2 correction = modulus.residual * half_inverse_root(squares);
    const F64x2 half = F64x2::splat(0.5);
    const F64x2 t = root_of_scaled_sum({sum.sum * half, (sum.err + correction) * half});
    const F64x2 u = t * unscale, w = w_of(ay, t) * unscale;
    store_root(p.x, p.y, u, w, re + v, im + v);
    special |= (p.special | simd::lane_mask(simd::less(ay, F64x2::splat(0x1p-1000)) |
                                            simd::less(w, F64x2::splat(0x1p-1022))))
               << v;
  }
  return special;
}

int SqrtLanes::single_group(const double x[4], const double y[4], double re[4], double im[4]) {
  int special = 0;
  for (int v = 0; v < 4; v += 2) {
    const F64x2 xv = F64x2::load(x + v), yv = F64x2::load(y + v);
    const F64x2 ax = simd::abs(xv), ay = simd::abs(yv);
    special |= scalar_single_lanes(ax, ay) << v;
    const F64x2 modulus = h::sqrt(ax * ax + ay * ay);
    const F64x2 t = h::sqrt((ax + modulus) * F64x2::splat(0.5));
    store_root(xv, yv, t, w_of(ay, t), re + v, im + v);
  }
  return special;
}

}  // namespace zorn::tess::cx
