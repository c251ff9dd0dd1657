#include "tess_kernels/complex/power_lanes.h"

#include <cfloat>

#include "tess_kernels/complex/double_double_lanes.h"
#include "tess_kernels/complex/power_small_part.h"
#include "tess_kernels/exp_log/log_core_double.h"
#include "tess_kernels/inv_trig_hyp/hyperbolic_core_double.h"
#include "tess_kernels/inv_trig_hyp/inverse_trig_core_double.h"
#include "tess_kernels/trig/sin_cos.h"

namespace zorn::tess::cx {
namespace {

using dd::Sum;
using simd::F64x2;
using simd::I64x2;
namespace h = hyperbolic;
namespace it = inverse_trig;

// Within these bounds on the larger part of x (the smaller may also be 0) |x|^2 and its
// tail stay normal and the arctangent's ratio within its range.
constexpr double kLowestPart = 0x1p-400;
constexpr double kHighestPart = 0x1p400;
// Beyond this an exponent part's product with ln x could overflow in its split.
constexpr double kLargestExponent = 0x1p900;
// e^a / 4 stays a normal hi + lo, with normal tails of its products with cos and sin.
constexpr double kExpLow = -600.0;
constexpr double kExpHigh = 690.0;
// Below this (e^a / 4) min(|cos b|, |sin b|) a part's product has a subnormal tail.
constexpr double kSmallestProduct = 0x1p-968;

[[gnu::always_inline]] inline Sum times(Sum v, F64x2 f) {
  const TwoSum p = dd::product(v.hi, f);
  return {p.sum, p.err + v.lo * f};
}

// (e.hi + e.lo) f + e.hi extra, rounded once beyond the rounding of f.
[[gnu::always_inline]] inline F64x2 scaled(Sum e, F64x2 f, F64x2 extra) {
  const TwoSum p = dd::product(e.hi, f);
  return p.sum + (p.err + (e.lo * f + e.hi * extra));
}

// The lanes of four elements; with kPreciseAngle, those whose cos b or sin b is small
// against T' (b's terms and |d|/2) are left to the scalar form's precise angle
// (power_small_part.h). Single precision results need no such angle: b's error of about
// 2^-65 T' is below 2^-40 of any part at or above 2^-24 of T'.
template <bool kPreciseAngle>
int pow_group(const double x[4], const double y[4], const double u[4], const double v[4],
              double re[4], double im[4]) {
  alignas(16) double a_hi[4], a_lo[4], b_hi[4], b_lo[4], terms[4];
  const F64x2 zero = F64x2::splat(0.0), minus = F64x2::splat(-0.0);
  const F64x2 low = F64x2::splat(kLowestPart), high = F64x2::splat(kHighestPart);
  const F64x2 largest = F64x2::splat(kLargestExponent);
  int special = 0;
  for (int k = 0; k < 4; k += 2) {
    const F64x2 xr = F64x2::load(x + k), xi = F64x2::load(y + k);
    const F64x2 c = F64x2::load(u + k), d = F64x2::load(v + k);
    const F64x2 ax = simd::abs(xr), ay = simd::abs(xi);
    const F64x2 big = simd::max(ax, ay), small = simd::min(ax, ay);
    const F64x2 exponent = simd::max(simd::abs(c), simd::abs(d));
    // NaN fails the tests that admit a lane; x^0 = 1 exactly is the scalar form's.
    special |= simd::lane_mask(simd::not_less_equal(low, big) | simd::not_less_equal(big, high) |
                               (simd::less(zero, small) & simd::less(small, low)) |
                               simd::not_less_equal(exponent, largest) |
                               simd::less(exponent, F64x2::splat(DBL_TRUE_MIN)))
               << k;
    // ln |x| = ln(x^2 + y^2) / 2, the tail of the sum joining the mantissa in the core.
    const Sum n = dd::add(dd::exact_product(xr, xr), dd::exact_product(xi, xi));
    const F64x2 inv_scale = simd::from_bits(I64x2::splat(int64_t{2046} << 52) -
                                            (simd::bits(n.hi) & I64x2::splat(0x7FF0000000000000)));
    const LogParts l = log_parts<true>(n.hi, 0, n.lo * inv_scale);
    // The cores' tails reach 1/128 of their heads (the arctangent's 1/30): renormalised,
    // so that products with the tails need no second-order terms.
    const TwoSum ln_n = fast_two_sum(l.head, l.tail);
    const Sum ln_modulus = {ln_n.sum * F64x2::splat(0.5), ln_n.err * F64x2::splat(0.5)};
    // arg x from t = atan(small / big) in [0, pi/4], whose error is relative to t: t,
    // pi - t (x < 0), pi/2 -+ t (|y| > |x|), the sign of y. Near an axis the angle is
    // then exact to about 2^-105 of pi, where w's angle (c arg x) may lie near a multiple
    // of pi/2 and cos or sin of it be small: atan(|y| / |x|) of a large ratio is only
    // good to 2^-57 absolute, which such a part would show as a relative error.
    const F64x2 steep = simd::less(ax, ay);
    const F64x2 left = simd::less(xr, zero);
    const it::Sum t = it::atan_octant_fine_sum(small, big, simd::and_not(left, steep));
    const F64x2 flip = simd::and_not(steep, left) & minus;
    const TwoSum turned = fast_two_sum(steep & F64x2::splat(it::data::kHalfPiHi), t.hi ^ flip);
    const TwoSum angle = fast_two_sum(
        turned.sum, turned.err + ((steep & F64x2::splat(it::data::kHalfPiLo)) + (t.lo ^ flip)));
    const F64x2 y_sign = xi & minus;
    const Sum arg = {angle.sum ^ y_sign, angle.err ^ y_sign};
    // w = (c + id)(ln |x| + i arg x) = (c ln|x| - d arg) + i (c arg + d ln|x|).
    const Sum d_arg = times(arg, d);
    const Sum a = dd::add(times(ln_modulus, c), Sum{d_arg.hi ^ minus, d_arg.lo ^ minus});
    const Sum c_arg = times(arg, c), d_ln = times(ln_modulus, d);
    const Sum b = dd::add(c_arg, d_ln);
    // T' = T + |d|/2, as angle_error_terms forms it.
    ((simd::abs(c_arg.hi) + simd::abs(d_ln.hi)) + simd::abs(d) * F64x2::splat(0.5))
        .store(terms + k);
    special |= simd::lane_mask(simd::not_less_equal(a.hi, F64x2::splat(kExpHigh)) |
                               simd::less(a.hi, F64x2::splat(kExpLow)))
               << k;
    a.hi.store(a_hi + k);
    a.lo.store(a_lo + k);
    b.hi.store(b_hi + k);
    b.lo.store(b_lo + k);
  }
  alignas(16) double s[4], c[4];
  special |= sin_cos_table_group(b_hi, s, c);
  const F64x2 four = F64x2::splat(4.0);
  for (int k = 0; k < 4; k += 2) {
    const h::Sum e_parts = h::quarter_exponential(F64x2::load(a_hi + k));
    const TwoSum e_sum = fast_two_sum(e_parts.hi, e_parts.lo);
    const Sum e = {e_sum.sum, e_sum.err};
    if constexpr (kPreciseAngle) {
      // Beside the precise angle's test, the scalar form takes a part below 2^-966 (e^a/4
      // times the smaller of cos b, sin b below 2^-968: the product's tail would be
      // subnormal and the part rounded twice) and an angle b below 2^-900, whose products
      // may have lost bits to the subnormal range (Im z^w 2.95 ulp at z = 0.711 - 9e-58i,
      // w = 6.8e-263 + 1.2e-322i): both where that smaller part times min(e^a/4, 2^-68)
      // is below 2^-968, but for b = 0 exactly (x > 0 and w real: x^w = e^(w ln|x|) has
      // an imaginary part of e^a d ln|x| for a tiny d, which may be far from 0).
      const F64x2 t = F64x2::load(terms + k);
      const F64x2 small_part =
          simd::min(simd::abs(F64x2::load(c + k)), simd::abs(F64x2::load(s + k)));
      const F64x2 tiny =
          simd::less(small_part * simd::min(e.hi, F64x2::splat(0x1p-68)),
                     F64x2::splat(kSmallestProduct)) &
          ((simd::not_equal(small_part, zero) | simd::not_equal(F64x2::load(y + k), zero)) |
           simd::not_equal(F64x2::load(v + k), zero));
      special |=
          simd::lane_mask(simd::less(small_part, F64x2::splat(kSmallPartRatio) * t) | tiny)
          << k;
    }
    const F64x2 cv = F64x2::load(c + k), sv = F64x2::load(s + k);
    // (1 + a')(cos b - b' sin b) - cos b and its sine counterpart, the cross term a'b'
    // kept: it multiplies the other factor, which may be 2^50 times the part's own.
    const F64x2 a_tail = F64x2::load(a_lo + k), b_tail = F64x2::load(b_lo + k);
    const F64x2 b_turn = b_tail + a_tail * b_tail;
    (scaled(e, cv, a_tail * cv - b_turn * sv) * four).store(re + k);
    (scaled(e, sv, a_tail * sv + b_turn * cv) * four).store(im + k);
  }
  return special;
}

}  // namespace

int PowLanes::group(const double x[4], const double y[4], const double u[4], const double v[4],
                    double re[4], double im[4]) {
  return pow_group<true>(x, y, u, v, re, im);
}

int PowLanes::single_group(const double x[4], const double y[4], const double u[4],
                           const double v[4], double re[4], double im[4]) {
  return pow_group<false>(x, y, u, v, re, im);
}

}  // namespace zorn::tess::cx
