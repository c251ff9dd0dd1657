#include <cmath>
#include <cstdint>

#include "tess_kernels/frame/two_sum_double.h"
#include "tess_kernels/pow_root/double_ops.h"

namespace zorn::tess {
namespace {

using simd::F64x2;

constexpr double kFastHigh = 0x1p500;
constexpr double kFastLow = 0x1p-500;

// sqrt(a^2 + b^2) for magnitudes at most 2^500 with the larger at least 2^-500: the
// rounded root s of the rounded sum, and one correction by the residual
// R = a^2 + b^2 - s^2, s + R / (2s). With a >= b and each of a, b, s split in halves,
//   R = (a_hi^2 - s_hi^2 + b_hi^2) + 2 (a_hi a_lo - s_hi s_lo + b_hi b_lo)
//       + (a_lo^2 + b_lo^2 - s_lo^2),
// the first difference exact (both squares are multiples of ulp(a_hi)^2 and it is below
// 2 a^2), as are the three cross products; every rounding then falls on a term below
// 2^-24 s^2, so R carries an error below 2^-75 s^2. (A square of the smaller below the
// normal range weighs less than 2^-60 of the sum.)
F64x2 hypot_core(F64x2 x, F64x2 y) {
  const F64x2 a = simd::max(x, y), b = simd::min(x, y);
  const F64x2 s = {_mm_sqrt_pd((a * a + b * b).v)};
  const Split ah = truncated_split(a), bh = truncated_split(b), sh = truncated_split(s);
  const F64x2 leading = (ah.hi * ah.hi - sh.hi * sh.hi) + bh.hi * bh.hi;
  const F64x2 cross = ((ah.hi * ah.lo - sh.hi * sh.lo) + bh.hi * bh.lo) * F64x2::splat(2.0);
  const F64x2 low = (ah.lo * ah.lo + bh.lo * bh.lo) - sh.lo * sh.lo;
  // 1/(2s) is divided out beside the residual's sums, off the chain's tail (its rounding
  // and the product's weigh 2^-52 of a correction below an ulp of s).
  const F64x2 half_inverse = F64x2::splat(0.5) / s;
  return s + ((leading + cross) + low) * half_inverse;
}

int hypot_pair(F64x2 x, F64x2 y, F64x2& r) {
  const F64x2 a = simd::abs(x), b = simd::abs(y);
  r = hypot_core(a, b);
  // NaN lanes fail the first two comparisons.
  const F64x2 high = F64x2::splat(kFastHigh);
  const F64x2 special = simd::not_less(a, high) | simd::not_less(b, high) |
                        simd::less(simd::max(a, b), F64x2::splat(kFastLow));
  return simd::lane_mask(special);
}

}  // namespace

int64_t HypotDouble::fast_block(int64_t n, const double* x, const double* y, double* r) {
  return run_binary_fast_block(n, x, y, r, hypot_pair);
}
int HypotDouble::fast_group(const double x[4], const double y[4], double r[4]) {
  return run_binary_pairs(x, y, r, hypot_pair);
}

int32_t tess_callout_dHypot(double x, double y, double* r) {
  const double a = std::fabs(x), b = std::fabs(y);
  if (std::isinf(a) || std::isinf(b)) {
    *r = INFINITY;
    return TESS_STATUS_OK;
  }
  if (std::isnan(a) || std::isnan(b)) {
    *r = x + y;
    return TESS_STATUS_OK;
  }
  const double big = std::fmax(a, b);
  if (big == 0) {
    *r = 0.0;
    return TESS_STATUS_OK;
  }
  // Both scaled by 2^-e, with the larger brought to [1, 2), and the result back by 2^e,
  // each power in two halves of normal range: a product that underflows or overflows
  // does so in plain arithmetic (the smaller magnitude's square is negligible then).
  const int e = std::ilogb(big);
  const int e1 = e / 2, e2 = e - e / 2;
  const double down1 = std::ldexp(1.0, -e1), down2 = std::ldexp(1.0, -e2);
  const F64x2 h = hypot_core(F64x2::splat(a * down1 * down2), F64x2::splat(b * down1 * down2));
  *r = h.lane0() * std::ldexp(1.0, e1) * std::ldexp(1.0, e2);
  return std::isinf(*r) ? TESS_STATUS_OVERFLOW : TESS_STATUS_OK;
}

}  // namespace zorn::tess
