#include "tess_kernels/complex/inverse_lanes.h"

#include "tess_kernels/complex/double_double_lanes.h"
#include "tess_kernels/complex/pair_loop.h"
#include "tess_kernels/complex/single_cores.h"
#include "tess_kernels/frame/interleaved_schedule.h"
#include "tess_kernels/inv_trig_hyp/hyperbolic_core_double.h"
#include "tess_kernels/inv_trig_hyp/inverse_trig_core_double.h"

TESS_INTERLEAVE_BEGIN
namespace zorn::tess::cx {
namespace {

using dd::Sum;
using simd::F64x2;
namespace h = hyperbolic;
namespace it = inverse_trig;

// Within these bounds on |x| and |y| no square overflows Dekker's split, y^2 / |x| keeps
// its tail in the normal range, and the arctangent's ratio stays within [2^-500, 2^500].
constexpr double kLowestPart = 0x1p-250;
constexpr double kHighestPart = 0x1p250;
// For the inverse tangents, whose 1 - x^2 - y^2 must stay within the arctangent's range.
constexpr double kHighestTangentPart = 0x1p240;

[[gnu::always_inline]] inline Sum select(F64x2 mask, Sum a, Sum b) {
  return {simd::select(mask, a.hi, b.hi), simd::select(mask, a.lo, b.lo)};
}

struct Parts {
  F64x2 real, imag;
};

// asin (or acos, kCosine) of a + ib for a, b >= 0 in the fast range, with acos's real
// part taken as pi minus itself in the lanes of `left` (x < 0). With R = |z + 1|,
// S = |z - 1| and A = (R + S)/2, the imaginary part is ln(A + W), W = sqrt(A^2 - 1),
// taken as log1p((A - 1) + W). A - 1 is (R + S)/2 - 1 from double-double roots, except
// near the segment [-1, 1] where that cancels too far: there, with
// P = R - (a + 1) = b^2 / (R + a + 1), T = S + |a - 1| and V = S - |a - 1| = b^2 / T,
// A - 1 = (P + V)/2 for a < 1 and (P + T)/2 beyond, sums of positive terms. On
// a + ib = sin(u + iv), A = cosh v, W = sinh v, a = sin u cosh v and b = cos u sinh v,
// so that tan u = a W / (b A): the real part is atan(a W / (b A)) (acos: its
// complement), with no cancellation where a / A nears 1. Everything up to the last
// logarithm and arctangent is carried in double-double, whose cores take the tails:
// each part is rounded about once.
template <bool kCosine>
[[gnu::always_inline]] inline Parts first_quadrant(F64x2 a, F64x2 b, F64x2 left) {
  const F64x2 one = F64x2::splat(1.0);
  const Sum a_plus_1 = dd::exact_sum(a, one);
  const TwoSum a_minus_1 = two_difference(a, one);
  const F64x2 below = simd::less(a, one);
  const F64x2 flip = below & F64x2::splat(-0.0);
  const Sum distance = {a_minus_1.sum ^ flip, a_minus_1.err ^ flip};  // |a - 1|
  const Sum b2 = dd::exact_product(b, b);
  const Sum r = dd::root<true>(dd::add(dd::square(a_plus_1), b2));
  const Sum s = dd::root<true>(dd::add(dd::square(distance), b2));
  // A - 1 = (R + S)/2 - 1 from the roots: its error, near 2^-86 A, stays below 2^-66 of
  // it from A - 1 >= 2^-20 on. Its tail is left unnormalized (so that the head waits for
  // no tail), at most 2^-31 of the head there: the root W takes the precise reciprocal,
  // which keeps it 2^-64 relative. Pairs with a lane below take A - 1 as a sum of
  // positive terms.
  const TwoSum rs = two_sum(r.hi, s.hi), rs2 = two_sum(rs.sum, F64x2::splat(-2.0));
  Sum a_minus_one = dd::scale({rs2.sum, rs2.err + (rs.err + (r.lo + s.lo))}, 0.5);
  if (simd::lane_mask(simd::less(a_minus_one.hi, F64x2::splat(0x1p-20))) != 0) [[unlikely]] {
    const Sum t = dd::add_smaller(s, distance);  // S >= |a - 1|, R >= a + 1
    const Sum p = dd::divide(b2, dd::add_smaller(r, a_plus_1));
    const Sum v = dd::divide(b2, t);
    a_minus_one = dd::scale(dd::add(p, select(below, v, t)), 0.5);
  }
  const Sum w =
      dd::root<true>(dd::multiply(a_minus_one, dd::add(a_minus_one, F64x2::splat(2.0))));
  const F64x2 imag = h::log_of_sum(dd::add(dd::add(a_minus_one, w), one));
  // N = a W and M = b A exactly but for the products of tails; their tails (up to 2^-31
  // of the heads, W's tail taking A - 1's) move the angle by (N.lo M - M.lo N) /
  // (N^2 + M^2) for atan(N / M), a quotient off the arctangent's chain.
  const Sum big_a = dd::add(a_minus_one, one);
  const TwoSum aw = dd::product(a, w.hi), ba = dd::product(b, big_a.hi);
  const Sum n = {aw.sum, aw.err + a * w.lo}, m = {ba.sum, ba.err + b * big_a.lo};
  const F64x2 slope = (n.lo * m.hi - m.lo * n.hi) / (n.hi * n.hi + m.hi * m.hi);
  if constexpr (kCosine) {
    const it::Sum angle = it::atan_ratio_sum(m.hi, n.hi, left);
    return {angle.hi + (angle.lo - (slope ^ (left & F64x2::splat(-0.0)))), imag};
  } else {
    const it::Sum angle = it::atan_ratio_sum(n.hi, m.hi);
    return {angle.hi + (angle.lo + slope), imag};
  }
}

}  // namespace

// asin z = asin(|x| + i|y|) with the signs of x and y on the parts; asinh(x + iy) is
// asin(y + ix) with the parts exchanged. acos z = pi - acos(-z) for x < 0 and the
// conjugate below the real axis: Re acos(|x| + i|y|) (sided), -sign(y) Im; acosh z takes
// the imaginary part's magnitude as its real part and sign(y) Re acos z as its imaginary.
// Returns the two-bit mask of the elements for the scalar form.
namespace {
template <bool kCosine, bool kHyperbolic>
[[gnu::always_inline]] inline int inverse_sine_pair(F64x2 x, F64x2 y, F64x2& re, F64x2& im) {
  constexpr bool kExchanged = kHyperbolic && !kCosine;
  const F64x2 minus = F64x2::splat(-0.0), zero = F64x2::splat(0.0);
  const F64x2 low = F64x2::splat(kLowestPart), high = F64x2::splat(kHighestPart);
  const F64x2 xv = kExchanged ? y : x, yv = kExchanged ? x : y;
  const F64x2 a = simd::abs(xv), b = simd::abs(yv);
  const Parts q = first_quadrant<kCosine>(a, b, simd::less(xv, zero));
  const F64x2 x_sign = xv & minus, y_sign = yv & minus;
  if constexpr (kCosine && kHyperbolic) {
    re = q.imag;
    im = q.real | y_sign;
  } else if constexpr (kCosine) {
    re = q.real;
    im = q.imag | (y_sign ^ minus);
  } else if constexpr (kHyperbolic) {
    re = q.imag | y_sign;
    im = q.real | x_sign;
  } else {
    re = q.real | x_sign;
    im = q.imag | y_sign;
  }
  // NaN fails the tests that admit a lane.
  return simd::lane_mask(simd::not_less_equal(low, b) | simd::not_less_equal(b, high) |
                         simd::not_less_equal(a, high) |
                         (simd::less(zero, a) & simd::less(a, low)));
}
}  // namespace

template <bool kCosine, bool kHyperbolic>
int InverseSineLanes<kCosine, kHyperbolic>::group(const double x[4], const double y[4],
                                                  double re[4], double im[4]) {
  int special = 0;
  for (int v = 0; v < 4; v += 2) {
    F64x2 r, i;
    special |=
        inverse_sine_pair<kCosine, kHyperbolic>(F64x2::load(x + v), F64x2::load(y + v), r, i)
        << v;
    r.store(re + v);
    i.store(im + v);
  }
  return special;
}

template <bool kCosine, bool kHyperbolic>
int64_t InverseSineLanes<kCosine, kHyperbolic>::block(int64_t n, const std::complex<double>* z,
                                                      std::complex<double>* r) {
  return pair_block<inverse_sine_pair<kCosine, kHyperbolic>>(n, z, r);
}

// For a = |x| and b = |y| within the fast range: the denominator (1 - a)^2 + b^2 from
// 1 - a exact as a two-sum (its rounding would weigh twice in the quotient), the quotient
// and 1 + it in double-double into the logarithm core; 1 - a^2 - b^2 (which cancels near
// |z| = 1) summed from the exact squares, then the two-lane arctangent of 2b over its
// magnitude (pi minus it where it is negative), corrected for the sum's tail. atan z is atanh(y + ix)
// with the parts exchanged. Returns the two-bit mask of the elements for the scalar form.
namespace {
template <bool kCircular>
[[gnu::always_inline]] inline int inverse_tangent_pair(F64x2 x, F64x2 y, F64x2& re, F64x2& im) {
  const F64x2 minus = F64x2::splat(-0.0), zero = F64x2::splat(0.0), one = F64x2::splat(1.0);
  const F64x2 low = F64x2::splat(kLowestPart), high = F64x2::splat(kHighestTangentPart);
  const F64x2 xv = kCircular ? y : x, yv = kCircular ? x : y;
  const F64x2 a = simd::abs(xv), b = simd::abs(yv);
  // Zero parts are admitted; the pole 1 + i0 is not.
  const F64x2 out_of_range = simd::not_less_equal(a, high) | simd::not_less_equal(b, high) |
                             (simd::less(zero, a) & simd::less(a, low)) |
                             (simd::less(zero, b) & simd::less(b, low));
  const F64x2 pole = simd::less(b, low) & simd::not_less(a, one) & simd::not_greater(a, one);
  const Sum one_minus_a = dd::exact_sum(one, zero - a);
  const Sum b2 = dd::exact_product(b, b);
  const Sum ratio = dd::divide({a * F64x2::splat(4.0), zero},
                               dd::add(dd::square(one_minus_a), b2));
  const F64x2 real = h::log_of_sum(dd::add(ratio, one)) * F64x2::splat(0.25);
  const Sum a2 = dd::exact_product(a, a);
  const TwoSum e1 = two_sum(one, zero - a2.hi);
  const TwoSum e2 = two_sum(e1.sum, zero - b2.hi);
  const TwoSum e = fast_two_sum(e2.sum, e2.err + ((e1.err - a2.lo) - b2.lo));
  const F64x2 left = simd::less(e.sum, zero);
  const it::Sum angle = it::atan_ratio_sum(b + b, simd::abs(e.sum), left);
  // The tail of e moves the angle by -2b e.err / (e^2 + 4b^2) (a rough reciprocal
  // serves: the term is below 2^-52 of the angle).
  const F64x2 slope = (b + b) * e.err * it::rough_reciprocal(e.sum * e.sum + F64x2::splat(4.0) * b2.hi);
  const F64x2 imag = (angle.hi + (angle.lo - slope)) * F64x2::splat(0.5);
  const F64x2 x_sign = xv & minus, y_sign = yv & minus;
  re = (kCircular ? imag : real) | (kCircular ? y_sign : x_sign);
  im = (kCircular ? real : imag) | (kCircular ? x_sign : y_sign);
  return simd::lane_mask(out_of_range | pole);
}
}  // namespace

template <bool kCircular>
int InverseTangentLanes<kCircular>::group(const double x[4], const double y[4], double re[4],
                                          double im[4]) {
  int special = 0;
  // Both pairs in one block, so that the interleaving schedule sees both chains (the
  // inverse sine lanes measured 1.01-1.02x slower so).
#pragma GCC unroll 2
  for (int v = 0; v < 4; v += 2) {
    F64x2 r, i;
    special |= inverse_tangent_pair<kCircular>(F64x2::load(x + v), F64x2::load(y + v), r, i) << v;
    r.store(re + v);
    i.store(im + v);
  }
  return special;
}

template <bool kCircular>
int64_t InverseTangentLanes<kCircular>::block(int64_t n, const std::complex<double>* z,
                                              std::complex<double>* r) {
  return pair_block<inverse_tangent_pair<kCircular>>(n, z, r);
}

// For single precision parts a = |x|, b = |y| every step rounds in double far below a
// float's last place: q = 4a / ((1 - a)^2 + b^2) (a sum of positive terms) to 2^-50
// relative, and the real part ln(1 + q) / 4 from it by log_single. 1 - a^2 - b^2 as
// (1 - m^2) - n^2 with m = max(a, b), n = min(a, b): 1 - m^2 is exact for m in [0.7, 1.5]
// (the squares have 48 bits), and outside it nothing cancels, so the sum keeps 2^-51
// relative; angle_single takes the arctangent of 2b over it (its centre's products with
// these non-float operands round, which moves u by 2^-53 of the result). Lanes with
// b = 0 (the pole among them), non-finite parts, parts beyond 2^30, or 2b or
// 1 - a^2 - b^2 below 2^-60 go to the scalar form (angle_single's range).
template <bool kCircular>
int InverseTangentLanes<kCircular>::single_group(const double x[4], const double y[4],
                                                 double re[4], double im[4]) {
  const F64x2 minus = F64x2::splat(-0.0), one = F64x2::splat(1.0);
  alignas(16) double across[4], along[4], real[4], angle[4];
  int special = 0;
  for (int v = 0; v < 4; v += 2) {
    const F64x2 a = simd::abs(F64x2::load((kCircular ? y : x) + v));
    const F64x2 b = simd::abs(F64x2::load((kCircular ? x : y) + v));
    // NaN parts (max and min would drop them) and infinite ones.
    special |= simd::lane_mask(simd::not_less(a + b, F64x2::splat(INFINITY))) << v;
    const F64x2 one_minus_a = one - a;
    const F64x2 q = (a * F64x2::splat(4.0)) / (one_minus_a * one_minus_a + b * b);
    (log_single(one + q, q) * F64x2::splat(0.25)).store(real + v);
    const F64x2 m = max(a, b), n = min(a, b);
    ((one - m * m) - n * n).store(along + v);
    (b + b).store(across + v);
  }
  special |= angle_single(along, across, angle);
  for (int v = 0; v < 4; v += 2) {
    const F64x2 x_sign = F64x2::load((kCircular ? y : x) + v) & minus;
    const F64x2 y_sign = F64x2::load((kCircular ? x : y) + v) & minus;
    const F64x2 r = F64x2::load(real + v), i = F64x2::load(angle + v) * F64x2::splat(0.5);
    ((kCircular ? i : r) | (kCircular ? y_sign : x_sign)).store(re + v);
    ((kCircular ? r : i) | (kCircular ? x_sign : y_sign)).store(im + v);
  }
  return special;
}

template struct InverseTangentLanes<false>;
template struct InverseTangentLanes<true>;
template struct InverseSineLanes<false, false>;
template struct InverseSineLanes<true, false>;
template struct InverseSineLanes<false, true>;
template struct InverseSineLanes<true, true>;

}  // namespace zorn::tess::cx
TESS_INTERLEAVE_END
