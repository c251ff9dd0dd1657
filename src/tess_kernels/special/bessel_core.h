// Two-lane cores of the double precision Bessel functions J0, J1, Y0 and Y1, each giving
// an unevaluated sum hi + lo (a few bits beyond double; the recurrences of Jn and Yn
// start from it). Tables from tools/tess_bessel_tables.
//
// - 0 <= x < 64 (Y: 1/2 <= x): polynomial rows a quarter wide; a row near a zero is
//   expanded in h = x - z about the zero z held as a double-double, so that the relative
//   error stays small where the function passes through zero. x - z_hi is exact
//   (Sterbenz) and h is carried as a two-sum.
// - Y for x < 1/2: Y0 = (2/pi) ln(x) J0 + R0(x^2), Y1 = (2/pi) (ln(x) J1 - 1/x) + x R1(x^2),
//   the logarithm from the Ln kernel's core as head + tail.
// - x >= 64 (Hankel's asymptotic form as amplitude and phase): f = M sin(x - (2 nu + 1) pi/4
//   + phi + pi/2) for J, without the pi/2 for Y. x is reduced by multiples of pi/256
//   (the sine kernel's reduction, up to 65536) so that the offsets (2 nu + 1) pi/4 are
//   exact multiples, phi = (g0 + v G(v)) / x with v = 1/x^2 is added and the sum reduced
//   again. The phase's error must stay far below the distance to the nearest zero: the
//   fast phase (G's heads in double, error below 2^-75) serves unless the reduced angle
//   lies within 2^-14 of a zero of the function, where the caller takes the accurate
//   phase (G in double-double, error below 2^-110).
#pragma once

#include <emmintrin.h>

#include <cstdint>

#include "tess_kernels/exp_log/log_core_double.h"
#include "tess_kernels/frame/double_double.h"
#include "tess_kernels/frame/simd_double.h"
#include "tess_kernels/frame/two_sum_double.h"
#include "tess_kernels/trig/sin_core_double.h"

namespace zorn::tess::bessel_core {

#include "tess_kernels/special/data/bessel_tables.inc"

using simd::F64x2;
using simd::I64x2;

inline F64x2 splat(double v) { return F64x2::splat(v); }

constexpr double kRowsPerUnit = 4;
constexpr double kRowsEnd = 64;  // also where the asymptotic form takes over
constexpr int kYFirstRow = 2;
constexpr double kLogFormEnd = 0.5;
constexpr double kTinyY = 0x1p-60;  // below, Y0 = (2/pi) ln x + R0(0), Y1 = -2/(pi x)
constexpr double kTwoOverPiHi = 0.6366197723675814;
constexpr double kTwoOverPiLo = -3.935735335036497e-17;
constexpr double kSqrtTwoOverPiHi = 0.7978845608028654;
constexpr double kSqrtTwoOverPiLo = -4.98465440455546e-17;
// Beyond the sine kernel's reduction the callouts reduce by quarter turns.
constexpr double kReductionLimit = sin_core::kFastPathLimit;
constexpr double kNearZeroAngle = 0x1p-14;

struct Parts {
  F64x2 hi, lo;
};

inline F64x2 horner(const double* c, int n, F64x2 x) {
  F64x2 p = splat(c[n - 1]);
  for (int k = n - 2; k >= 0; --k) p = p * x + splat(c[k]);
  return p;
}

// f(x) from the rows, first_row/4 <= x < 64. Row {t_hi, t_lo, c0 hi, c0 lo, c1 hi, c1 lo,
// c2, ...}: f = c0 + c1 h + h^2 (c2 + c3 h + ...), h = x - t. The single precision
// kernels round the quadratic term plainly (kExactQuadratic false).
template <bool kExactQuadratic, int kWidth>
inline Parts from_rows(F64x2 x, const double (*rows)[kWidth], int first_row) {
  const __m128i index = _mm_cvttpd_epi32((x * splat(kRowsPerUnit)).v);
  const double* r0 = rows[_mm_cvtsi128_si32(index) - first_row];
  const double* r1 = rows[_mm_cvtsi128_si32(_mm_srli_si128(index, 4)) - first_row];
  F64x2 c[kWidth];
  for (int k = 0; k < kWidth; k += 2) {
    const F64x2 u = F64x2::load_aligned(r0 + k), v = F64x2::load_aligned(r1 + k);
    c[k] = simd::lane0s(u, v);
    c[k + 1] = simd::lane1s(u, v);
  }
  const TwoSum h = two_difference(x - c[0], c[1]);  // x - t_hi exact
  const TwoSum linear = two_product(h.sum, c[4]);
  const TwoSum head = two_sum(c[2], linear.sum);
  const F64x2 small = ((head.err + linear.err) + c[3]) + (h.err * c[4] + h.sum * c[5]);
  if constexpr (!kExactQuadratic) {
    F64x2 p = c[kWidth - 1];
    for (int k = kWidth - 2; k >= 6; --k) p = p * h.sum + c[k];
    const F64x2 q = h.sum * p;
    return {head.sum, small + (q * h.sum + splat(2.0) * q * h.err)};
  }
  // Near the first zeros the quadratic term reaches a fifth of the value: h^2 (c2 + h p3)
  // is formed with exact products, so that only p3 h^3 is rounded in double.
  F64x2 p3 = c[kWidth - 1];
  for (int k = kWidth - 2; k >= 7; --k) p3 = p3 * h.sum + c[k];
  const TwoSum cubic = two_product(h.sum, p3);
  const TwoSum p = two_sum(c[6], cubic.sum);
  const TwoSum hp = two_product(h.sum, p.sum);
  const F64x2 hp_lo = hp.err + h.sum * (p.err + cubic.err);
  const TwoSum quadratic = two_product(hp.sum, h.sum);
  const TwoSum sum = two_sum(head.sum, quadratic.sum);
  return {sum.sum, (sum.err + small) +
                       (quadratic.err + hp_lo * h.sum + splat(2.0) * hp.sum * h.err)};
}

template <bool kExact = true>
inline Parts j0_rows(F64x2 x) { return from_rows<kExact>(x, kJ0Rows, 0); }
template <bool kExact = true>
inline Parts j1_rows(F64x2 x) { return from_rows<kExact>(x, kJ1Rows, 0); }
template <bool kExact = true>
inline Parts y0_rows(F64x2 x) { return from_rows<kExact>(x, kY0Rows, kYFirstRow); }
template <bool kExact = true>
inline Parts y1_rows(F64x2 x) { return from_rows<kExact>(x, kY1Rows, kYFirstRow); }

// (2/pi) ln(x) (j.hi + j.lo) + r.hi + r.lo for 2^-1022 <= x (times 2^-k_offset) < 1/2.
inline Parts log_term(F64x2 x, int32_t k_offset, const Parts& j, const Parts& r) {
  // Both factors are renormalised, so that the product of their low parts drops out.
  const LogParts parts = log_parts<false>(x, k_offset);
  const TwoSum ln = fast_two_sum(parts.head, parts.tail);
  const TwoSum jn = fast_two_sum(j.hi, j.lo);
  const TwoSum lj = two_product(ln.sum, jn.sum);
  const F64x2 lj_lo = lj.err + (ln.sum * jn.err + ln.err * jn.sum);
  const TwoSum scaled = two_product(lj.sum, splat(kTwoOverPiHi));
  const F64x2 scaled_lo = scaled.err + (lj.sum * splat(kTwoOverPiLo) + lj_lo * splat(kTwoOverPiHi));
  const TwoSum sum = two_sum(scaled.sum, r.hi);
  return {sum.sum, (sum.err + scaled_lo) + r.lo};
}

// R0(x^2) and x R1(x^2) with their heads apart.
template <int n>
inline Parts log_remainder(F64x2 x, const double (&c)[n]) {
  const F64x2 s = x * x;
  return {splat(c[0]), splat(c[1]) + s * horner(c + 2, n - 2, s)};
}

// Y0 for 2^-1022 <= x < 1/2.
inline Parts y0_log_form(F64x2 x) {
  return log_term(x, 0, j0_rows(x), log_remainder(x, kY0Log));
}

// Y1 for 2^-60 <= x < 1/2: the -2/(pi x) term as a double-double quotient.
inline Parts y1_log_form(F64x2 x) {
  const Parts r = log_remainder(x, kY1Log);
  const TwoSum xr = two_product(x, r.hi);
  const Parts xr_parts = {xr.sum, xr.err + x * r.lo};
  const F64x2 q = splat(-kTwoOverPiHi) / x;
  const TwoSum qx = two_product(q, x);
  const F64x2 q_lo = (((splat(-kTwoOverPiHi) - qx.sum) - qx.err) - splat(kTwoOverPiLo)) / x;
  const Parts t = log_term(x, 0, j1_rows(x), xr_parts);
  const TwoSum sum = two_sum(q, t.hi);
  return {sum.sum, (sum.err + q_lo) + t.lo};
}

// --- x >= 64 ---

// The phase correction phi = (g0 + v G(v)) / x as hi + lo.
struct Phase {
  F64x2 hi, lo;
};

// G's heads in double: error below 2^-75 for x >= 64.
template <int kNu>
inline Phase fast_phase(F64x2 x) {
  const auto& g = kNu == 0 ? kPhase0 : kPhase1;
  constexpr int n = sizeof(kPhase0) / sizeof(kPhase0[0]);
  const F64x2 u = splat(1.0) / x;
  const TwoSum ux = two_product(u, x);
  const F64x2 u_lo = ((splat(1.0) - ux.sum) - ux.err) * u;
  const F64x2 v = u * u;
  F64x2 p = splat(g[n - 1][0]);
  for (int k = n - 2; k >= 0; --k) p = p * v + splat(g[k][0]);
  const F64x2 rest = u * v * p;
  if constexpr (kNu == 0) return {u * splat(-0.125), u_lo * splat(-0.125) + rest};
  const TwoSum head = two_product(u, splat(0.375));
  return {head.sum, head.err + u_lo * splat(0.375) + rest};
}

// The same with G in double-double, for one lane (error below 2^-110).
template <int kNu>
inline DoubleDouble accurate_phase(double x) {
  const auto& g = kNu == 0 ? kPhase0 : kPhase1;
  constexpr int n = sizeof(kPhase0) / sizeof(kPhase0[0]);
  const auto mul = [](DoubleDouble a, DoubleDouble b) {
    const DoubleDouble p = two_product(a.hi, b.hi);
    return two_sum(p.hi, p.lo + (a.hi * b.lo + a.lo * b.hi));
  };
  const auto add = [](DoubleDouble a, DoubleDouble b) {
    const DoubleDouble s = two_sum(a.hi, b.hi);
    return two_sum(s.hi, s.lo + (a.lo + b.lo));
  };
  const double u_hi = 1.0 / x;
  const DoubleDouble ux = two_product(u_hi, x);
  const DoubleDouble u = {u_hi, ((1.0 - ux.hi) - ux.lo) * u_hi};
  const DoubleDouble v = mul(u, u);
  DoubleDouble p = {g[n - 1][0], g[n - 1][1]};
  for (int k = n - 2; k >= 0; --k) p = add(mul(p, v), {g[k][0], g[k][1]});
  p = add(mul(p, v), {kNu == 0 ? -0.125 : 0.375, 0.0});
  return mul(p, u);
}

// x = k pi/256 + hi + lo, k in the low bits of t_bits.
using sin_core::ReducedAngle;

// Reduction for 64 <= x <= 65536.
inline ReducedAngle reduce(F64x2 x) { return sin_core::reduce_pi_over_256(x); }

// M sin(angle + phi - (2 nu + 1) pi/4 (+ pi/2 for J)); the lanes whose reduced angle
// lies within 2^-14 of a zero of the function are returned in near_zero (one bit each).
template <int kNu, bool kSecond>
inline Parts asymptotic(F64x2 x, const ReducedAngle& angle, const Phase& phi, int& near_zero) {
  // The sine's series takes a low part of at most an ulp or so of the angle: the sum is
  // renormalised before the second reduction.
  const TwoSum turned = two_sum(angle.hi, phi.hi);
  const TwoSum sum = fast_two_sum(turned.sum, (turned.err + angle.lo) + phi.lo);
  ReducedAngle a = sin_core::reduce_pi_over_256(sum.sum);
  a.lo = a.lo + sum.err;
  constexpr int64_t kOffset = 64 * (2 * kNu + 1) - (kSecond ? 0 : 128);
  a.t_bits = a.t_bits + angle.t_bits - I64x2::splat(kOffset);
  // The sine of the angle is zero at multiples of 256 (in units of pi/256).
  const int small = simd::lane_mask(simd::less(simd::abs(a.hi), splat(kNearZeroAngle)));
  near_zero = 0;
  if (small != 0) {
    const I64x2 k = a.t_bits & I64x2::splat(255);
    if ((small & 1) && k.low32_lane0() == 0) near_zero |= 1;
    if ((small & 2) && k.low32_lane1() == 0) near_zero |= 2;
  }
  const sin_core::SinParts s = sin_core::sin_parts(a, sin_core::remainder_series(a), 0);

  // M = sqrt(2/pi) / sqrt(x) (1 + v A(v)) = m + dm, m = sqrt(2/pi)_hi / root to about an
  // ulp and dm from the exact residual; 1/root = root / x to 2^-52 serves for the small terms.
  const F64x2 inv = splat(1.0) / x;
  const F64x2 root = F64x2{_mm_sqrt_pd(x.v)};
  const F64x2 inv_root = root * inv;
  // root_lo / root from the square's residual, in quarters so that it cannot overflow.
  const F64x2 quarter = x * splat(0.25);
  const TwoSum square = two_product(root * splat(0.5), root * splat(0.5));
  const F64x2 root_rel = ((quarter - square.sum) - square.err) / (splat(2.0) * quarter);
  const F64x2 m = splat(kSqrtTwoOverPiHi) * inv_root;
  const TwoSum mr = two_product(m, root);
  const F64x2 m_err = ((splat(kSqrtTwoOverPiHi) - mr.sum) - mr.err) * inv_root;
  const F64x2 v = inv * inv;
  const auto& amplitude = kNu == 0 ? kAmplitude0 : kAmplitude1;
  const F64x2 a_rel = v * horner(amplitude, sizeof(kAmplitude0) / sizeof(double), v);
  const F64x2 dm = m_err + splat(kSqrtTwoOverPiLo) * inv_root + m * (a_rel - root_rel);
  const TwoSum head = two_product(m, s.hi);
  return {head.sum, head.err + m * s.lo + dm * (s.hi + s.lo)};
}

// f(a) for 0 <= a < 64 (Y: 2^-60 <= a) or 64 <= a <= 65536 lane by lane: both forms on
// lanes clamped into their ranges, chosen by mask where the lanes differ. Lanes near a
// large zero, which need the accurate phase, are added to `special`.
template <int kNu, bool kSecond, bool kExact = true>
inline Parts small_or_large(F64x2 a, int& special) {
  const F64x2 is_large = simd::not_less(a, splat(kRowsEnd));
  const int large_lanes = simd::lane_mask(is_large);
  Parts small = {}, big = {};
  if (large_lanes != 3) {
    const F64x2 r = simd::min(a, splat(0x1.fffffffffffffp+5));  // below 64
    if constexpr (!kSecond) {
      small = kNu == 0 ? j0_rows<kExact>(r) : j1_rows<kExact>(r);
    } else {
      const F64x2 log_lanes = simd::less(a, splat(kLogFormEnd));
      const int log_mask = simd::lane_mask(log_lanes);
      if (log_mask != 3) {
        const F64x2 y = simd::max(r, splat(kLogFormEnd));
        small = kNu == 0 ? y0_rows<kExact>(y) : y1_rows<kExact>(y);
      }
      if (log_mask != 0) {
        const F64x2 l = simd::max(simd::min(a, splat(0x1.fffffffffffffp-2)), splat(kTinyY));
        const Parts p = kNu == 0 ? y0_log_form(l) : y1_log_form(l);
        small = {simd::select(log_lanes, p.hi, small.hi), simd::select(log_lanes, p.lo, small.lo)};
      }
    }
  }
  if (large_lanes != 0) {
    const F64x2 l = simd::max(simd::min(a, splat(kReductionLimit)), splat(kRowsEnd));
    int near_zero;
    big = asymptotic<kNu, kSecond>(l, reduce(l), fast_phase<kNu>(l), near_zero);
    special |= near_zero & large_lanes;
  }
  return {simd::select(is_large, big.hi, small.hi), simd::select(is_large, big.lo, small.lo)};
}

}  // namespace zorn::tess::bessel_core
