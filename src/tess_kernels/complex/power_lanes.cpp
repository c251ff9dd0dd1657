#include "tess_kernels/complex/power_lanes.h"

#include <algorithm>
#include <cfloat>

#include "tess_kernels/complex/double_double_lanes.h"
#include "tess_kernels/complex/group_io.h"
#include "tess_kernels/complex/power_small_part.h"
#include "tess_kernels/frame/interleaved_schedule.h"
#include "tess_kernels/exp_log/log_core_double.h"
#include "tess_kernels/inv_trig_hyp/hyperbolic_core_double.h"
#include "tess_kernels/inv_trig_hyp/inverse_trig_core_double.h"
#include "tess_kernels/trig/quarter_turn_double.h"

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

// cos b and sin b of b = b.hi + b.lo (|b.hi| <= sin_core::kFastPathLimit) from one
// reduction by quarter turns, b.lo joining the reduced angle, each as the quarter-turn
// core's leading part and tail (the tail below 2^-3 of the part where the part is above
// 2^-50 |b|), with the quadrant's sign as a -0.0 mask apart: the products below round
// once. Odd quadrants exchange the two by exclusive or under the mask.
struct CosSinParts {
  Sum c, s;
  F64x2 c_sign, s_sign;
};
[[gnu::always_inline]] inline CosSinParts cos_sin_parts(Sum b) {
  namespace qt = quarter_turn;
  sin_core::ReducedAngle angle = qt::reduce(b.hi);
  // r + (r_lo + b.lo) renormalised: the core's tails take r_lo to first order only, with
  // cos r's slope as r (b.lo up to 2^-38 would leave r^3 r_lo / 6, near 2^-44).
  const TwoSum r = fast_two_sum(angle.hi, angle.lo + b.lo);
  angle.hi = r.sum;
  angle.lo = r.err;
  const qt::SinCosParts p = qt::sin_cos_parts(angle);
  const F64x2 odd = qt::odd_quadrant(angle);
  const F64x2 swap_hi = (p.sin.hi ^ p.cos.hi) & odd, swap_lo = (p.sin.lo ^ p.cos.lo) & odd;
  return {{p.cos.hi ^ swap_hi, p.cos.lo ^ swap_lo},
          {p.sin.hi ^ swap_hi, p.sin.lo ^ swap_lo},
          simd::from_bits(qt::cos_negate(angle)),
          simd::from_bits((angle.t_bits & I64x2::splat(2)) << 62)};
}

// 4 (e.hi + e.lo)(f.hi + f.lo) rounded once, its sign flipped by `sign` (-0.0 lanes), for
// e > 0. With the heads cut to 26 bits, e.hi = a + a' and f.hi = g + g', the product is
// a g + a g' (both exact) plus a f.lo + (a' + e.lo)(f.hi + f.lo): e's tail (up to 2^-7 of
// its head, with a' e^a/4 in it) and f's (up to 2^-3) both join, their product included.
// The sum has the sign of f.hi (its head a g leads), and f.hi = +0 (never -0) gives +0.
[[gnu::always_inline]] inline F64x2 product(Sum e, Sum f, F64x2 sign) {
  const Split a = truncated_split(e.hi), g = truncated_split(f.hi);
  const F64x2 rest = a.hi * f.lo + (a.hi * g.lo + (a.lo + e.lo) * (f.hi + f.lo));
  return ((a.hi * g.hi + rest) * F64x2::splat(4.0)) ^ sign;
}

// ln x = ln |x| + i arg x of two elements x + iy, as head + tail each, and the lanes
// where x is not real (all ones).
struct PowLog {
  Sum ln_modulus, arg;
  F64x2 not_real;
};

// ln x of two elements; returns the mask of the lanes for the scalar form by x (a part
// out of range, or NaN).
[[gnu::always_inline]] inline F64x2 pow_log(F64x2 xr, F64x2 xi, PowLog& x) {
  const F64x2 zero = F64x2::splat(0.0), minus = F64x2::splat(-0.0);
  const F64x2 ax = simd::abs(xr), ay = simd::abs(xi);
  const F64x2 big = simd::max(ax, ay), small = simd::min(ax, ay);
  // ln |x| = ln(x^2 + y^2) / 2, the tail of the sum joining the mantissa in the core; the
  // squares of the larger and smaller part, so that Fast2Sum adds them.
  const Sum n = dd::add_smaller(dd::exact_product(big, big), dd::exact_product(small, small));
  const F64x2 inv_scale = simd::from_bits(I64x2::splat(int64_t{2046} << 52) -
                                          (simd::bits(n.hi) & I64x2::splat(0x7FF0000000000000)));
  // The rows' words by movd: through the stack, z Pow took 1.0x to 1.3x this time from
  // one run or array layout to the next.
  const LogParts l = log_parts<true, true>(n.hi, 0, n.lo * inv_scale);
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
  x = {ln_modulus, arg, simd::not_equal(xi, zero)};
  // NaN fails the tests that admit a lane, and a NaN real part, which max and min drop,
  // the first.
  return F64x2{_mm_cmpunord_pd(xr.v, xi.v)} |
         simd::not_less_equal(F64x2::splat(kLowestPart), big) |
         simd::not_less_equal(big, F64x2::splat(kHighestPart)) |
         (simd::less(zero, small) & simd::less(small, F64x2::splat(kLowestPart)));
}

// w = y ln x = a + ib of two elements, with what the last stage's tests need of x and y.
struct PowExponent {
  Sum a, b;
  // T' of the precise angle's test (b's terms and |d|/2), and the lanes where x or w is
  // not real (all ones).
  F64x2 terms, not_real;
};

// w of two elements from their ln x and exponents c + id; returns the mask of the lanes
// for the scalar form by w (an exponent part out of range, zero or NaN: x^0 = 1 exactly is
// the scalar form's; w beyond the exponential's and the reduction's range).
[[gnu::always_inline]] inline F64x2 pow_exponent(const PowLog& x, F64x2 c, F64x2 d,
                                                 PowExponent& w) {
  const F64x2 minus = F64x2::splat(-0.0);
  const F64x2 exponent = simd::max(simd::abs(c), simd::abs(d));
  const Sum ln_modulus = x.ln_modulus, arg = x.arg;
  // w = (c + id)(ln |x| + i arg x) = (c ln|x| - d arg) + i (c arg + d ln|x|).
  const Sum d_arg = times(arg, d);
  const Sum a = dd::add(times(ln_modulus, c), Sum{d_arg.hi ^ minus, d_arg.lo ^ minus});
  const Sum c_arg = times(arg, c), d_ln = times(ln_modulus, d);
  const Sum b = dd::add(c_arg, d_ln);
  w = {a, b, (simd::abs(c_arg.hi) + simd::abs(d_ln.hi)) + simd::abs(d) * F64x2::splat(0.5),
       x.not_real | simd::not_equal(d, F64x2::splat(0.0))};
  return simd::not_less_equal(exponent, F64x2::splat(kLargestExponent)) |
         simd::less(exponent, F64x2::splat(DBL_TRUE_MIN)) |
         simd::not_less_equal(a.hi, F64x2::splat(kExpHigh)) |
         simd::less(a.hi, F64x2::splat(kExpLow)) |
         simd::not_less_equal(simd::abs(b.hi), F64x2::splat(sin_core::kFastPathLimit));
}

// The second stage: x^y = e^w of two elements as re + i im; returns the mask of the
// lanes for the scalar form that it adds. With kPreciseAngle, those whose cos b or sin b
// is small against T' are left to the scalar form's precise angle (power_small_part.h).
// Single precision results need no such angle: b's error of about 2^-65 T' is below
// 2^-40 of any part at or above 2^-24 of T'.
template <bool kPreciseAngle>
[[gnu::always_inline]] inline F64x2 pow_result(const PowExponent& w, F64x2& re, F64x2& im) {
  const Sum a = w.a;
  // e^(a + a') / 4 = e^a/4 (1 + a') to within a'^2, a' e^a/4 joining the tail (a' times
  // the whole of e^a/4: its tail reaches 2^-7.5 of the head, and a' 2^-43 near a = 690).
  const h::Sum e_parts = h::quarter_exponential(a.hi);
  const Sum e = {e_parts.hi, e_parts.lo + (e_parts.hi + e_parts.lo) * a.lo};
  const CosSinParts cs = cos_sin_parts(w.b);
  F64x2 special{};
  if constexpr (kPreciseAngle) {
    // Beside the precise angle's test (T' = T + |d|/2, as angle_error_terms forms it),
    // the scalar form takes a part below 2^-966 (e^a/4 times the smaller of cos b, sin b
    // below 2^-968: the product's tail would be subnormal and the part rounded twice) and
    // an angle b below 2^-900, whose products may have lost bits to the subnormal range
    // (Im z^w 2.95 ulp at z = 0.711 - 9e-58i, w = 6.8e-263 + 1.2e-322i): both where that
    // smaller part times min(e^a/4, 2^-68) is below 2^-968, but for b = 0 exactly (x > 0
    // and w real: x^w = e^(w ln|x|) has an imaginary part of e^a d ln|x| for a tiny d,
    // which may be far from 0).
    const F64x2 small_part =
        simd::min(simd::abs(cs.c.hi + cs.c.lo), simd::abs(cs.s.hi + cs.s.lo));
    const F64x2 tiny =
        simd::less(small_part * simd::min(e.hi, F64x2::splat(0x1p-68)),
                   F64x2::splat(kSmallestProduct)) &
        (simd::not_equal(small_part, F64x2::splat(0.0)) | w.not_real);
    special = simd::less(small_part, F64x2::splat(kSmallPartRatio) * w.terms) | tiny;
  }
  re = product(e, cs.c, cs.c_sign);
  im = product(e, cs.s, cs.s_sign);
  return special;
}

// Both stages of two elements; returns the two-bit mask of the elements for the scalar
// form.
template <bool kPreciseAngle>
[[gnu::always_inline]] inline int pow_pair(F64x2 xr, F64x2 xi, F64x2 c, F64x2 d, F64x2& re,
                                           F64x2& im) {
  PowLog l;
  PowExponent w;
  const F64x2 special = pow_log(xr, xi, l);
  const F64x2 by_w = pow_exponent(l, c, d, w);
  return simd::lane_mask(special | by_w | pow_result<kPreciseAngle>(w, re, im));
}

// Four elements. Both pairs in one block, scheduled together: each pair's chain (the
// logarithm, the arctangent's quotient, the exponential, the circular parts) is longer
// than the out-of-order window reaches.
template <bool kPreciseAngle>
[[TESS_INTERLEAVED]] int pow_group(const double x[4], const double y[4], const double u[4],
                                   const double v[4], double re[4], double im[4]) {
  F64x2 re0, im0, re1, im1;
  const int special =
      pow_pair<kPreciseAngle>(F64x2::load(x), F64x2::load(y), F64x2::load(u), F64x2::load(v),
                              re0, im0) |
      pow_pair<kPreciseAngle>(F64x2::load(x + 2), F64x2::load(y + 2), F64x2::load(u + 2),
                              F64x2::load(v + 2), re1, im1)
          << 2;
  re0.store(re);
  im0.store(im);
  re1.store(re + 2);
  im1.store(im + 2);
  return special;
}

}  // namespace

int PowLanes::group(const double x[4], const double y[4], const double u[4], const double v[4],
                    double re[4], double im[4]) {
  return pow_group<true>(x, y, u, v, re, im);
}

// Contiguous elements in three passes over a chunk of kChunkPairs pairs, each stage's
// results through memory: ln x of every pair (pow_log), then w = y ln x (pow_exponent),
// then e^w (pow_result), merged in registers; the block ends before the first group
// holding an element for the scalar form, and leaves the elements past its last whole
// chunk to the caller's groups (group_lanes.h). In one pass the stages of two pairs held
// about 400 values a group on the stack and one group's chains ran out before the next
// group's could start. Now each pass keeps its own constants and interleaves as many pairs as
// its registers allow: two for the logarithm and the arctangent, four for the products
// of w and for e^w. z Pow 0.88x, z Powx 0.90x the time of one pass; w within the last
// pass 0.92x and 0.94x, within the first 0.945x and 0.975x; the logarithm in a pass of
// its own, or a step of one or four pairs in the first pass, or of two in the others,
// were slower still. Chunks of 12 pairs took 0.975x-0.99x the time of 8 (n = 1000 to
// 4000), of 4 or 16 pairs 1.01x-1.05x.
// `exponents(i, c, d)` gives the parts of the exponents of elements i and i + 1.
namespace {
constexpr int kChunkPairs = 12, kLogPairs = 2, kExponentPairs = 4, kResultPairs = 4;
template <class Exponents>
[[gnu::always_inline]] inline int64_t pow_block(int64_t n, const std::complex<double>* x,
                                                std::complex<double>* r, Exponents exponents) {
  int64_t i = 0;
  while (i + 2 * kChunkPairs <= n) {
    PowLog logs[kChunkPairs];
    PowExponent ws[kChunkPairs];
    F64x2 special[kChunkPairs];
    for (int v = 0; v < kChunkPairs; v += kLogPairs) {
#pragma GCC unroll 8
      for (int u = v; u < v + kLogPairs; ++u) {
        F64x2 xr, xi;
        split_pair(x + i + 2 * u, xr, xi);
        special[u] = pow_log(xr, xi, logs[u]);
      }
    }
    for (int v = 0; v < kChunkPairs; v += kExponentPairs) {
#pragma GCC unroll 8
      for (int u = v; u < v + kExponentPairs; ++u) {
        F64x2 c, d;
        exponents(i + 2 * u, c, d);
        special[u] = special[u] | pow_exponent(logs[u], c, d, ws[u]);
      }
    }
    for (int v = 0; v < kChunkPairs; v += kResultPairs) {
      F64x2 re[kResultPairs], im[kResultPairs];
      int mask[kResultPairs], any = 0;
#pragma GCC unroll 8
      for (int u = 0; u < kResultPairs; ++u) {
        mask[u] = simd::lane_mask(special[v + u] | pow_result<true>(ws[v + u], re[u], im[u]));
        any |= mask[u];
      }
      if (any != 0) [[unlikely]] {
        for (int u = 0; u < kResultPairs; u += 2, i += kGroupLanes) {
          if ((mask[u] | mask[u + 1]) != 0) return i;
          merge_group(r + i, re[u], im[u], re[u + 1], im[u + 1]);
        }
        return i;
      }
#pragma GCC unroll 8
      for (int u = 0; u < kResultPairs; u += 2, i += kGroupLanes) {
        merge_group(r + i, re[u], im[u], re[u + 1], im[u + 1]);
      }
    }
  }
  return i;
}
}  // namespace

[[TESS_INTERLEAVED]] int64_t PowLanes::block(int64_t n, const std::complex<double>* x,
                                             const std::complex<double>* w,
                                             std::complex<double>* r) {
  return pow_block(n, x, r, [w](int64_t i, F64x2& c, F64x2& d) { split_pair(w + i, c, d); });
}
// The one exponent's parts splatted once (Powx).
[[TESS_INTERLEAVED]] int64_t PowLanes::block(int64_t n, const std::complex<double>* x,
                                             std::complex<double> w, std::complex<double>* r) {
  const F64x2 c = F64x2::splat(w.real()), d = F64x2::splat(w.imag());
  return pow_block(n, x, r, [c, d](int64_t, F64x2& c0, F64x2& d0) {
    c0 = c;
    d0 = d;
  });
}

int PowLanes::single_group(const double x[4], const double y[4], const double u[4],
                           const double v[4], double re[4], double im[4]) {
  return pow_group<false>(x, y, u, v, re, im);
}

}  // namespace zorn::tess::cx
