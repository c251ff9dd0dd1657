#include "tess_kernels/complex/exp_hyperbolic_lanes.h"

#include "tess_kernels/frame/simd_double.h"
#include "tess_kernels/frame/two_sum_double.h"
#include "tess_kernels/inv_trig_hyp/hyperbolic_core_double.h"
#include "tess_kernels/trig/sin_cos.h"

namespace zorn::tess::cx {
namespace {

using simd::F64x2;
namespace h = hyperbolic;

// The exponential lanes take -600 <= x <= 690 and the hyperbolic ones |x| <= 689: there
// the values stay below 2^995, where Dekker's split cannot overflow, and above 2^-866,
// where the products' tails stay normal for every cosine and sine of a double.
constexpr double kExpLow = -600.0;
constexpr double kExpHigh = 690.0;
constexpr double kHyperbolicHigh = 689.0;

// |(v.hi + v.lo) f| rounded once beyond the rounding of f, with the sign of f flipped
// by `sign` (-0.0 lanes): the sign of a zero product follows the sign rule exactly.
[[gnu::always_inline]] inline F64x2 product(h::Sum v, F64x2 f, F64x2 sign) {
  const TwoSum p = two_product(v.hi, f);
  return simd::abs(p.sum + (p.err + v.lo * f)) | ((f & F64x2::splat(-0.0)) ^ sign);
}

}  // namespace

int ExpLanes::group(const double x[4], const double y[4], double re[4], double im[4]) {
  alignas(16) double s[4], c[4];
  int special = sin_cos_table_group(y, s, c);
  const F64x2 four = F64x2::splat(4.0), positive = F64x2::splat(0.0);
  for (int v = 0; v < 4; v += 2) {
    const F64x2 xv = F64x2::load(x + v);
    const h::Sum e = h::quarter_exponential(xv);
    (product(e, F64x2::load(c + v), positive) * four).store(re + v);
    (product(e, F64x2::load(s + v), positive) * four).store(im + v);
    special |= simd::lane_mask(simd::not_less_equal(xv, F64x2::splat(kExpHigh)) |
                               simd::less(xv, F64x2::splat(kExpLow)))
               << v;
  }
  return special;
}

// sinh(x + iy) = sinh x cos y + i cosh x sin y, cosh(x + iy) = cosh x cos y + i sinh x sin y,
// from sinh |x| and cosh |x| with the sign of x on the odd part. The rotated forms take
// x' + iy' = i z = -y + ix, and the sine gives back -i times the result.
template <bool kSine, bool kRotated>
int HyperbolicLanes<kSine, kRotated>::group(const double x[4], const double y[4], double re[4],
                                            double im[4]) {
  alignas(16) double s[4], c[4];
  int special = sin_cos_table_group(kRotated ? x : y, s, c);
  const F64x2 two = F64x2::splat(2.0), positive = F64x2::splat(0.0), minus = F64x2::splat(-0.0);
  for (int v = 0; v < 4; v += 2) {
    const F64x2 xv = kRotated ? F64x2::load(y + v) ^ minus : F64x2::load(x + v);
    const F64x2 a = simd::abs(xv), sign = xv & minus;
    const h::HalfHyperbolic half = h::half_hyperbolic(a);
    const h::Sum series = h::sinh_series(a);
    const F64x2 in_series = simd::less(a, F64x2::splat(h::kSinhSeriesLimit));
    const h::Sum sinh = {simd::select(in_series, series.hi, half.sinh_half.hi * two),
                         simd::select(in_series, series.lo, half.sinh_half.lo * two)};
    const h::Sum cosh = {half.cosh_half.hi * two, half.cosh_half.lo * two};
    const F64x2 cv = F64x2::load(c + v), sv = F64x2::load(s + v);
    const F64x2 even_part = kSine ? product(cosh, sv, positive) : product(cosh, cv, positive);
    const F64x2 odd_part = kSine ? product(sinh, cv, sign) : product(sinh, sv, sign);
    if constexpr (kRotated && kSine) {  // -i (odd + i even)
      even_part.store(re + v);
      (odd_part ^ minus).store(im + v);
    } else if constexpr (kSine) {
      odd_part.store(re + v);
      even_part.store(im + v);
    } else {
      even_part.store(re + v);
      odd_part.store(im + v);
    }
    special |= simd::lane_mask(simd::not_less_equal(a, F64x2::splat(kHyperbolicHigh))) << v;
  }
  return special;
}

template struct HyperbolicLanes<true, false>;
template struct HyperbolicLanes<false, false>;
template struct HyperbolicLanes<true, true>;
template struct HyperbolicLanes<false, true>;

}  // namespace zorn::tess::cx
