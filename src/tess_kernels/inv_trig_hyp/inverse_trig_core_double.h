// Two-lane double precision cores of the inverse trigonometric functions, each giving
// its value as an unevaluated sum hi + lo rounded once at the end; the pi-scaled forms
// split 1/pi as 1/4 + H + R(0), so that the product of the leading term by 1/4 is exact.
//
// asin and acos: |x| <= 1/2 takes the series of x itself; beyond, asin(sqrt((1 - |x|)/2))
// with 1 - |x| exact, the root carried as w + c (w its top 26 bits, whose square is
// exact, and c = (z - w^2) / (sqrt z + w)).
// atan: a = |y/x| is reduced by the nearest centre c of the grid k/32 (k <= 512; c = 0
// below 5/64) to u = (a - c) / (1 + a c), |u| <= 5/64, and atan a = atan c + atan u with
// atan c from a table of heads and remainders. The fine form takes every centre from 1/32
// up, so that |u| stays below 1/56 and its series is good to 2^-67.
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <iterator>
#include <type_traits>

#include "tess_kernels/frame/constant_source.h"
#include "tess_kernels/frame/polynomial_double.h"
#include "tess_kernels/frame/simd.h"
#include "tess_kernels/frame/simd_double.h"
#include "tess_kernels/frame/two_sum_double.h"
#include "tess_kernels/inv_trig_hyp/inverse_trig_tables.h"

namespace zorn::tess::inverse_trig {

using simd::F64x2;
using simd::I64x2;

#define ZORN_INVERSE_TRIG_INLINE [[gnu::always_inline]] inline

ZORN_INVERSE_TRIG_INLINE F64x2 splat(double v) { return F64x2::splat(v); }
ZORN_INVERSE_TRIG_INLINE F64x2 sign_of(F64x2 x) { return x & splat(-0.0); }

struct Sum {
  F64x2 hi, lo;
};

enum class Scale { kRadians, kHalfTurns };

// The top 26 bits of x (its low 27 cut off): products of two heads, or of a head and
// what x lacks of it, are exact.
ZORN_INVERSE_TRIG_INLINE F64x2 head26(F64x2 x) {
  return simd::from_bits(simd::bits(x) & I64x2::splat(int64_t{-1} << 27));
}

// head + tail = asin s, with s = |x| for |x| <= 1/2 and s = sqrt((1 - |x|)/2) beyond;
// with kHalfTurns, head/4 + head H + tail = asin(s) / pi instead (H the 26-bit
// kInversePiLessQuarterHead26). The tail is c f + head g: beyond 1/2, c is the root's
// remainder (in the middle lanes f is 0); in radians f = 1 + z P(z) and g = z P(z), in
// half turns f = 1/pi - R(0) and g = R(z), R(0) what 1/pi - 1/4 lacks of H (about
// 2^-32; c R(0) would be 0.05 ulp of the result). The root, then its remainder, is the
// longest chain of the pair: the kernels take c last, in one product and one sum. In
// Asin's form f is instead c's factor alone, -2 beyond 1/2 and 0 in the middle (see
// asin_sum). The arcsines read their constants from a source k (frame/constant_source.h).
struct ArcsineParts {
  F64x2 outer;  // |x| > 1/2
  F64x2 head, c, f, g;
};
// The coefficients of a polynomial from the second on.
template <size_t N>
constexpr std::array<double, N - 1> higher_coefficients(const double (&c)[N]) {
  std::array<double, N - 1> rest{};
  for (size_t i = 1; i < N; ++i) rest[i - 1] = c[i];
  return rest;
}
inline constexpr auto kAsinPolynomialRest = higher_coefficients(data::kAsinPolynomial);
constexpr double kArcsinePiRootFactor = data::kInversePiHi - data::kAsinpiPolynomial[0];

// The polynomial with the coefficients from the source k at z, given z2 = z^2: pairs
// c(2i) + c(2i+1) z, then Horner's steps in z2. Estrin's scheme, which then pairs the
// pairs, takes three products more for 12 coefficients.
template <const auto& kCoefficients, class K>
ZORN_INVERSE_TRIG_INLINE F64x2 pairs_then_horner(F64x2 z, F64x2 z2, const K& k) {
  return [&]<size_t... I>(std::index_sequence<I...>) {
    constexpr size_t kCount = sizeof...(I), kPairs = (kCount + 1) / 2;
    const F64x2 c[] = {simd::constant<kCoefficients[I]>(k)...};
    F64x2 terms[kPairs];
    for (size_t i = 0; i < kCount / 2; ++i) terms[i] = c[2 * i] + z * c[2 * i + 1];
    if (kCount % 2 != 0) terms[kPairs - 1] = c[kCount - 1];
    F64x2 p = terms[kPairs - 1];
    for (size_t i = kPairs - 1; i-- > 0;) p = terms[i] + z2 * p;
    return p;
  }(std::make_index_sequence<std::size(kCoefficients)>());
}

// 1/(2 root) within 5% for a normal positive root from its bits (0 gives a finite 2^1021).
inline constexpr double kHalfReciprocalMagic = std::bit_cast<double>(int64_t{0x7FCE623822FC16E6});

// The remainder c of the root (root + c = sqrt v, w = head26(root)), two ways.
// Quotient: c = (v - w^2) / (root + w) with 1/(root + w) = r (1 + d + d^2 ...),
// r = 1/(2 root) and d = (root - w) r <= 2^-26: the terms left out weigh 2^-77 of the
// root; r = sqrt(v) / (2 v), the quotient formed beside the root rather than after it (the
// tiny term keeps 1/0 out at |x| = 1, where v = 0).
// Seeded (no division): c = l + e with l = root - w (exact) and e = (v - root^2)/(2 root),
// the root's own rounding, at most half an ulp of it; v - root^2 = (v - w^2) - l (root + w),
// v - w^2 exact, the product's roundings 2^-76 root^2 against the remainder's 2^-53. 1/(2
// root) from the bits, within 5%, leaves 2^-4.3 of e: 0.025 ulp of asin just beyond 1/2.
// In the middle lanes c is finite (v is at least 1/4), and f is 0.
template <bool kSeeded, class K>
ZORN_INVERSE_TRIG_INLINE F64x2 root_remainder(F64x2 v, F64x2 root, F64x2 w, const K& k) {
  using simd::constant;
  if constexpr (kSeeded) {
    const F64x2 l = root - w;
    const F64x2 half_inverse =
        simd::from_bits(simd::bits(constant<kHalfReciprocalMagic>(k)) - simd::bits(root));
    return l + ((v - w * w) - l * (root + w)) * half_inverse;
  } else {
    const F64x2 half_inverse = constant<0.5>(k) / (v + constant<0x1p-1000>(k));
    const F64x2 r = root * half_inverse;
    return ((v - w * w) * r) * (constant<1.0>(k) + (root - w) * r);
  }
}

// kAsin: the form d Asin takes, z P(z) = c0 z + z^2 Q(z) with Q by pairs_then_horner and
// the seeded remainder; z P(z) with Estrin's scheme and the remainder by quotient in the
// others (with Asin's form Acos and Acospi were 4.5% and 2.5% slower, and Asinpi's error
// rose from 0.699 to 0.717 ulp).
template <Scale kScale = Scale::kRadians, bool kAsin = false, class K>
ZORN_INVERSE_TRIG_INLINE ArcsineParts arcsine_parts(F64x2 x, const K& k) {
  using simd::constant;
  const F64x2 a = simd::abs(x);
  const F64x2 outer = simd::less(constant<0.5>(k), a);
  const F64x2 v = (constant<1.0>(k) - a) * constant<0.5>(k);
  // x^2 < (1 - |x|)/2 exactly when |x| < 1/2 (and the rounded square never crosses).
  const F64x2 z = simd::min(x * x, v);
  const F64x2 root = {_mm_sqrt_pd(v.v)};
  const F64x2 w = head26(root);
  const F64x2 c = root_remainder<kAsin>(v, root, w, k);
  // The root and its head are at least 1/2 below |x| = 1/2 and at most 1/2 above: the
  // smaller of |x| and w is the head the series takes (|x| itself: the rest is odd).
  const F64x2 head = simd::min(a, w);
  if constexpr (kScale == Scale::kRadians) {
    // In Asin's form the leading term is apart: it is 0.9 of the sum, whose roundings in
    // the steps of Estrin's scheme take up to 2^-56 (1/8 ulp of asin just beyond 1/2), and
    // 2^-57 when it is added last. (Acos, whose results there are twice as large, is
    // 1.07x faster on P whole.)
    if constexpr (kAsin) {
      const F64x2 z2 = z * z;
      const F64x2 g = z * constant<data::kAsinPolynomial[0]>(k) +
                      z2 * pairs_then_horner<kAsinPolynomialRest>(z, z2, k);
      return {outer, head, c, outer & constant<-2.0>(k), g};
    }
    const F64x2 g = z * simd::estrin<data::kAsinPolynomial>(z, k);
    return {outer, head, c, outer & (constant<1.0>(k) + g), g};
  } else {
    const F64x2 g = simd::estrin<data::kAsinpiPolynomial>(z, k);
    return {outer, head, c, outer & (constant<kArcsinePiRootFactor>(k) + g), g};
  }
}

// asin a for 0 <= a <= 1: the series, or pi/2 - 2 asin s. The head needs no two-sum:
// beyond 1/2, w >= 2^-27 has 26 bits, so 2 w and the head of pi/2 are multiples of
// 2^-52 and their difference, in [0.5, 2), is exact. The tail is m c (1 + g) + m head g
// with m c = c f (0 in the middle): m c and m c g, the ends of the root's chain, join the
// small terms, and m head g (up to 1/20 of the result) comes last. g, the end of the
// series' chain, then meets the tail after one product; as c (m (1 + g)) it met it after
// a sum, a mask and two products, and d Asin was 1.035x slower.
template <class K>
ZORN_INVERSE_TRIG_INLINE Sum asin_sum(F64x2 a, const K& k) {
  using simd::constant;
  const ArcsineParts p = arcsine_parts<Scale::kRadians, true>(a, k);
  const F64x2 m = constant<1.0>(k) + (p.outer & constant<-3.0>(k));  // 1, or -2 beyond 1/2
  const F64x2 mh = m * p.head;
  const F64x2 cm = p.c * p.f;
  return {(p.outer & constant<data::kHalfPiHi>(k)) + mh,
          (((p.outer & constant<data::kHalfPiLo>(k)) + cm) + cm * p.g) + mh * p.g};
}

// acos x for -1 <= x <= 1: pi/2 - asin x in the middle, 2 asin s above 1/2 and
// pi - 2 asin s below -1/2. Beyond 1/2 the base is pi/2 - sign(x) pi/2 (0 or pi, the
// head exactly; its remainder in proportion) and the factor of asin s is 2 sign(x);
// base + m head by Fast2Sum (|m head| <= |base| or base = 0).
constexpr double kHalfPiLoOverHi = data::kHalfPiLo / data::kHalfPiHi;
template <class K>
ZORN_INVERSE_TRIG_INLINE Sum acos_sum(F64x2 x, const K& k) {
  using simd::constant;
  const ArcsineParts p = arcsine_parts(x, k);
  const F64x2 sign = x & constant<-0.0>(k);
  const F64x2 outer_sign = p.outer & sign;
  const F64x2 base_hi = constant<data::kHalfPiHi>(k) -
                        ((p.outer & constant<data::kHalfPiHi>(k)) | outer_sign);
  const F64x2 base_lo = base_hi * constant<kHalfPiLoOverHi>(k);
  // -sign(x), or 2 sign(x)
  const F64x2 m = ((p.outer & constant<3.0>(k)) - constant<1.0>(k)) ^ sign;
  const F64x2 mh = m * p.head;
  const TwoSum s = fast_two_sum(base_hi, mh);
  return {s.sum, ((base_lo + mh * p.g) + s.err) + p.c * (m * p.f)};
}

// asin(a) / pi for 0 <= a <= 1, rounded once: m (head + tail) / pi, m = 1, or 1/2 minus
// that with m = 2 beyond 1/2. Its lead 1/2 (beyond) + m head/4 is exact (beyond 1/2,
// 1/2 - w/2 with w of 26 bits at least 2^-27); m head H joins it by Fast2Sum, exact
// beyond 1/2 (26 bits by 26) and below rounded by 1/8 ulp of the result (it is 0.22 of
// it), so the error stays within 5/8 ulp.
template <class K>
ZORN_INVERSE_TRIG_INLINE F64x2 asinpi_rounded(F64x2 a, const K& k) {
  using simd::constant;
  const ArcsineParts p = arcsine_parts<Scale::kHalfTurns>(a, k);
  const F64x2 m = constant<1.0>(k) + (p.outer & constant<-3.0>(k));  // 1, or -2 beyond 1/2
  const F64x2 mh = m * p.head;
  const TwoSum s = fast_two_sum((p.outer & constant<0.5>(k)) + mh * constant<0.25>(k),
                                mh * constant<data::kInversePiLessQuarterHead26>(k));
  return s.sum + ((s.err + mh * p.g) + p.c * (m * p.f));
}

// acos(x) / pi for -1 <= x <= 1, rounded once: b/2 + m (head + tail) / pi with b and m
// as in acos_sum (b/2 = 1/2, 0 or 1). b/2 + m head/4 by Fast2Sum, then m head H: in the
// middle and below -1/2 the result is at least 1/3 and m head H at most 0.07, whose
// rounding weighs 1/16 ulp; above 1/2 it is exact (26 bits by 26) and the sum of the rests
// at most 1/4 of the result (1/8 ulp).
template <class K>
ZORN_INVERSE_TRIG_INLINE F64x2 acospi_rounded(F64x2 x, const K& k) {
  using simd::constant;
  const ArcsineParts p = arcsine_parts<Scale::kHalfTurns>(x, k);
  const F64x2 sign = x & constant<-0.0>(k);
  const F64x2 outer_sign = p.outer & sign;
  const F64x2 half_base = constant<0.5>(k) - ((p.outer & constant<0.5>(k)) | outer_sign);
  // -sign(x), or 2 sign(x)
  const F64x2 m = ((p.outer & constant<3.0>(k)) - constant<1.0>(k)) ^ sign;
  const F64x2 mh = m * p.head;
  const TwoSum s = fast_two_sum(half_base, mh * constant<0.25>(k));
  // The two small terms first: beyond 1/2, m head H is a quarter of the result, and each
  // sum at its size rounds by 1/8 ulp.
  return s.sum + ((s.err + mh * constant<data::kInversePiLessQuarterHead26>(k)) +
                  (mh * p.g + p.c * (m * p.f)));
}

// 1/d within 5% for a normal positive d below 2^1021, from the bits.
ZORN_INVERSE_TRIG_INLINE F64x2 reciprocal_seed(F64x2 d) {
  return simd::from_bits(I64x2::splat(0x7FDE623822FC16E6) - simd::bits(d));
}
// The same within 2.6e-3 by one Newton step, which squares the error.
ZORN_INVERSE_TRIG_INLINE F64x2 rough_reciprocal(F64x2 d) {
  const F64x2 r = reciprocal_seed(d);
  return r * (splat(2.0) - d * r);
}

// num - u den for u = num / den rounded, to far better than 2^-60 of it (Dekker's product
// with heads cut by masking; only the product of the two 27-bit tails rounds, 2^-106 of
// u den).
ZORN_INVERSE_TRIG_INLINE F64x2 quotient_remainder(F64x2 num, F64x2 den, F64x2 u) {
  const F64x2 u_head = head26(u), den_head = head26(den);
  const F64x2 u_tail = u - u_head, den_tail = den - den_head;
  const F64x2 p = u * den;
  return (num - p) -
         ((((u_head * den_head - p) + u_head * den_tail) + u_tail * den_head) + u_tail * den_tail);
}

// The table of centres' angles each form reads.
template <Scale kScale, bool kFine>
ZORN_INVERSE_TRIG_INLINE constexpr const auto& atan_centres() {
  if constexpr (kFine) {
    return data::kAtanFineCentres;
  } else if constexpr (kScale == Scale::kRadians) {
    return data::kAtanCentres;
  } else {
    return data::kAtanpiCentres;
  }
}

// atan(num / den) for 0 <= num / den with den > 0, from q, num / den or close to it
// (which picks the centre c), and `reduce(c)`, which gives the reduced argument
// (num - c den) / (den + c num) either rounded (an F64x2) or as an unevaluated sum
// u + u_lo (a Sum). With kSided, the lanes of `left` (all ones) give pi - atan(num / den)
// instead, from the table's rows of pi - atan c and -u. With kHalfTurns, the result is
// divided by pi: the centres' angles from their table over pi, and atan(u) / pi as
// u/4 + u h + u R(u^2), h the head of 1/pi - 1/4 and R(0) its remainder: u/4 is exact,
// u h is at most 0.22 of the sum (its rounding and that of the sum of the rests weigh
// 1/8 ulp each), and u R(u^2) under 1% of it.
//
// With kFine (radians, 0 <= q <= 1 within 2.6e-3), the centre is k/32 for every k >= 1,
// picked from q - 2^-10 so that c <= 1.9 q (b - c a_hi in the reduction is then exact by
// Sterbenz's lemma); |u| stays below 1/56, where kAtanFinePolynomial's error is 2^-67.2
// and the roundings of the series (up to 2^-13.4 of the result) weigh about 2^-65.
template <Scale kScale, bool kSided, bool kFine = false, class Reduce>
ZORN_INVERSE_TRIG_INLINE Sum atan_sum(F64x2 q, Reduce&& reduce, F64x2 left = splat(0.0)) {
  static_assert(!kFine || kScale == Scale::kRadians);
  // Adding 1.5 * 2^47, whose last place is 1/32, rounds q to the grid: t - shifter is
  // k/32 and the low bits of t are k.
  const F64x2 shifter = splat(0x1.8p47);
  F64x2 t, c;
  if constexpr (kFine) {
    t = (q - splat(0x1p-10)) + shifter;
    c = t - shifter;
  } else {
    t = simd::min(q, splat(16.0)) + shifter;
    const F64x2 k_over_32 = t - shifter;
    c = simd::not_less(k_over_32, splat(0.09375)) & k_over_32;
  }
  const auto reduced = reduce(c);
  constexpr bool kQuotientSum = std::is_same_v<decltype(reduced), const Sum>;
  F64x2 u, series_u;
  if constexpr (kQuotientSum) {
    u = reduced.hi;
    // Below a quotient of 2^-30 the series' terms past u (u^3/3, under 2^-60 u) are left
    // at 0 rather than formed among the subnormals (u^3 is one below 2^-341, and a
    // subnormal operand costs about a hundred cycles).
    series_u = u & simd::less(splat(0x1p-30), q);
  } else {
    u = reduced;
    series_u = u;
  }
  const F64x2 z = series_u * series_u;
  F64x2 small;
  if constexpr (kFine) {
    // u_lo (up to 2^-52 u) times atan'(u) = 1 - u^2 + ...: its u^2 term weighs 2^-64.
    small = (reduced.lo - reduced.lo * z) +
            series_u * (z * estrin(z, data::kAtanFinePolynomial));
  } else if constexpr (kScale == Scale::kRadians) {
    small = series_u * (z * estrin(z, data::kAtanPolynomial));
    if constexpr (kQuotientSum) small = reduced.lo + small;
  } else {
    small = u * estrin(z, data::kAtanpiPolynomial);
    if constexpr (kQuotientSum) small = reduced.lo * splat(data::kInversePiHi) + small;
    small = u * splat(data::kInversePiLessQuarterHi) + small;
    u = u * splat(0.25);
  }
  constexpr auto& centres = atan_centres<kScale, kFine>();
  // The low bits of t are k (below 2^16, as gather_pairs takes them).
  I64x2 index = simd::bits(t);
  if constexpr (kSided) {
    constexpr int64_t kLeftRows = std::size(centres) / 2;
    index = index + (simd::bits(left) & I64x2::splat(kLeftRows));
    const F64x2 flip = left & splat(-0.0);
    u = u ^ flip;
    small = small ^ flip;
  }
  F64x2 centre_head, centre_rest;
  simd::gather_pairs(centres, index, centre_head, centre_rest);
  const TwoSum s = fast_two_sum(centre_head, u);
  return {s.sum, s.err + (centre_rest + small)};
}

// atan a for 0 <= a <= 2^900: u = (a - c) / (1 + a c), the difference exact (or, for
// c = 16 and large a, far below the result's last place). Below 5/64, u = a exactly;
// above, |u| <= 1/64 and the result at least 5 |u|, so that the roundings of 1 + a c and
// of the quotient weigh at most 1/5 ulp, over pi as in radians: both leave them.
template <Scale kScale>
ZORN_INVERSE_TRIG_INLINE Sum atan_sum(F64x2 a) {
  return atan_sum<kScale, false>(a, [a](F64x2 c) { return (a - c) / (splat(1.0) + a * c); });
}

// atan(b / a) for a, b in [2^-500, 2^500], or pi minus it in the lanes of `left`:
// u = (b - c a) / (a + c b), with c a split exactly (c has at most 10 bits) so that the
// numerator's error is carried, and the quotient's rounding carried by its remainder
// (u_lo within 2^-52 |u|: the rough reciprocal leaves it 2^-60 |u| off). The centre
// comes from b/a to within 2.6e-3: a neighbour of the nearest centre may be taken, |u|
// stays below 1/60 (and below 5/64 (1 + 2.6e-3) where c = 0), within the series' reach.
template <Scale kScale = Scale::kRadians>
ZORN_INVERSE_TRIG_INLINE Sum atan_ratio_sum(F64x2 b, F64x2 a, F64x2 left = splat(0.0)) {
  const auto reduce = [a, b](F64x2 c) {
    const F64x2 a_hi = head26(a);
    const TwoSum num = two_difference(b - c * a_hi, c * (a - a_hi));
    const F64x2 den = a + c * b;
    const F64x2 u = num.sum / den;
    return Sum{u, (quotient_remainder(num.sum, den, u) + num.err) * rough_reciprocal(den)};
  };
  return atan_sum<kScale, true>(b * rough_reciprocal(a), reduce, left);
}

// atan(b / a) for 0 <= b <= a in [2^-500, 2^500], or pi minus it in the lanes of `left`,
// to about 2^-65 relative (the form above errs by up to 2^-55.3: the rounding of a + c b,
// which its u_lo leaves out, and the series of degree 4 on |u| <= 5/64). Here a + c b is
// carried as den + den_lo (c b from b's 26-bit head and its rest, both products exact, and
// c <= 1 so that a leads), u_lo takes u den_lo away from the remainder, and 1/den is
// refined to 2^-17, so that u_lo is good to 2^-69 of u.
ZORN_INVERSE_TRIG_INLINE Sum atan_octant_fine_sum(F64x2 b, F64x2 a, F64x2 left) {
  const auto reduce = [a, b](F64x2 c) {
    const F64x2 a_hi = head26(a), b_hi = head26(b);
    const TwoSum num = two_difference(b - c * a_hi, c * (a - a_hi));
    const TwoSum lead = fast_two_sum(a, c * b_hi);
    const TwoSum den = fast_two_sum(lead.sum, lead.err + c * (b - b_hi));
    const F64x2 u = num.sum / den.sum;
    const F64x2 r = rough_reciprocal(den.sum);
    const F64x2 inverse = r * (splat(2.0) - den.sum * r);
    return Sum{u, ((quotient_remainder(num.sum, den.sum, u) + num.err) - u * den.err) * inverse};
  };
  return atan_sum<Scale::kRadians, true, true>(b * rough_reciprocal(a), reduce, left);
}

ZORN_INVERSE_TRIG_INLINE F64x2 rounded(Sum v) { return v.hi + v.lo; }

// The range of |a| and |b| of the Atan2 fast path: every product and quotient it forms
// stays normal.
constexpr double kAtan2Low = 0x1p-500, kAtan2High = 0x1p500;

// The lanes with |a| or |b| outside [2^-500, 2^500 (1 + 2^-20)) (NaN included): the high
// words of both magnitudes in one vector, tested by one signed comparison of their offset
// from the lower bound's word (as unsigned integers, NaN's word is above every other).
ZORN_INVERSE_TRIG_INLINE int atan2_special(F64x2 a, F64x2 b) {
  constexpr int32_t kLowWord = 0x20B00000, kHighWord = 0x5F300000;  // 2^-500, 2^500
  static_assert(std::bit_cast<int64_t>(kAtan2Low) == int64_t{kLowWord} << 32);
  static_assert(std::bit_cast<int64_t>(kAtan2High) == int64_t{kHighWord} << 32);
  const F64x2 ma = simd::abs(a), mb = simd::abs(b);
  const simd::I32x4 words = {_mm_castps_si128(
      _mm_shuffle_ps(_mm_castpd_ps(ma.v), _mm_castpd_ps(mb.v), _MM_SHUFFLE(3, 1, 3, 1)))};
  const simd::I32x4 offset =
      words + simd::I32x4::splat(std::bit_cast<int32_t>(0x80000000u - kLowWord));
  const int outside =
      simd::lane_mask(offset > simd::I32x4::splat(INT32_MIN + (kHighWord - kLowWord)));
  return (outside | outside >> 2) & 3;  // a's two lanes, then b's
}

}  // namespace zorn::tess::inverse_trig
