#include <cmath>

#include "tess_kernels/frame/two_sum_double.h"
#include "tess_kernels/pow_root/double_ops.h"

namespace zorn::tess {
namespace {

using simd::F64x2;

constexpr double kFastHigh = 0x1p500;
constexpr double kFastLow = 0x1p-500;

// sqrt(a^2 + b^2) for |a|, |b| at most 2^500 with the larger at least 2^-500: the sum
// of squares as a double-double (Dekker's products; a square of the smaller below the
// normal range weighs less than 2^-60 of the sum), its rounded root s, and one
// correction by the exact residual: s + (sum - s^2) / (2s).
F64x2 hypot_core(F64x2 a, F64x2 b) {
  const TwoSum a2 = two_product(a, a), b2 = two_product(b, b);
  const TwoSum sum = two_sum(a2.sum, b2.sum);
  const F64x2 tail = sum.err + (a2.err + b2.err);
  const F64x2 s = {_mm_sqrt_pd(sum.sum.v)};
  const TwoSum s2 = two_product(s, s);
  return s + (((sum.sum - s2.sum) - s2.err) + tail) / (s + s);
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
