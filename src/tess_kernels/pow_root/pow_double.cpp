#include <cmath>
#include <limits>

#include "tess_kernels/exp_log/scalar_bits_single.h"
#include "tess_kernels/frame/status_rules.h"
#include "tess_kernels/pow_root/double_ops.h"
#include "tess_kernels/pow_root/pow_core_double.h"
#include "tess_kernels/pow_root/pow_fast_core_double.h"

namespace zorn::tess {
namespace {

using simd::F64x2;

constexpr double kFarProductBound = 1100.0;  // beyond it the result is ±inf or ±0
constexpr double kNearOneBound = 0x1p-60;    // below it 2^z rounds to 1
constexpr double kTwoTo1023 = 8.98846567431158e307;
constexpr double kTwoToMinus1022 = 2.2250738585072014e-308;
constexpr double kTwoTo200 = 1.6069380442589903e60;
constexpr double kTwoToMinus200 = 6.223015277861142e-61;

// Positive normal x, and |y ln x| below the bound (NaN products and infinite y fail it).
int pow_pair(F64x2 x, F64x2 y, F64x2& r) {
  const TwoSum z = pow_fast::times(y, pow_fast::ln_parts(x));
  r = pow_fast::exp_of(z);
  return pow_core::positive_normal_special(x) |
         simd::lane_mask(simd::not_less(simd::abs(z.sum), F64x2::splat(pow_fast::kProductBound)));
}

// sign 2^(y log2 |x|) for finite x != 0, ±1 and finite y != 0, with its status.
int32_t finite_power(double x, double y, double sign, double* r) {
  double ax = std::fabs(x);
  int32_t k_offset = 0;
  if (ax < std::numeric_limits<double>::min()) {
    ax *= kTwoTo200;
    k_offset = -200;
  }
  const TwoSum l = pow_core::log2_parts(F64x2::splat(ax), k_offset);
  const double rough = y * l.sum.lane0();
  if (!(std::fabs(rough) < kFarProductBound)) {
    if (rough > 0) {
      *r = sign * (kTwoTo1023 * kTwoTo1023);
      return TESS_STATUS_OVERFLOW;
    }
    *r = sign * (kTwoToMinus1022 * kTwoToMinus1022);
    return TESS_STATUS_OK;
  }
  if (std::fabs(rough) < kNearOneBound) {
    *r = sign * (1.0 + kTwoToMinus1022);
    return TESS_STATUS_OK;
  }
  const pow_core::Exp2Parts e = pow_core::exp2_parts(pow_core::times(F64x2::splat(y), l));
  const double base = sign * e.base.lane0();
  const int64_t k = e.shifted.low32_lane0() >> 7;
  double v;
  if (k > 1000) {
    v = base * power_of_two(k - 1000) * power_of_two(1000);
  } else if (k < -1022) {
    v = base * power_of_two(k + 200) * kTwoToMinus200;
  } else {
    v = base * power_of_two(k);
  }
  *r = v;
  return std::isinf(v) ? TESS_STATUS_OVERFLOW : TESS_STATUS_OK;
}

}  // namespace

int PowDouble::fast_group(const double x[4], const double y[4], double r[4]) {
  return run_binary_pairs(x, y, r, pow_pair);
}

int32_t tess_callout_dPow(double x, double y, double* r) {
  const pow_core::IntegerClass cls = pow_core::integer_class(y);
  const bool odd = cls == pow_core::IntegerClass::kOdd;
  if (y == 0 || x == 1.0) {
    *r = 1.0;
    return TESS_STATUS_OK;
  }
  if (std::isnan(x) || std::isnan(y)) {
    *r = x + y;
    return TESS_STATUS_OK;
  }
  if (x == 0) {
    const double magnitude = y < 0 ? 1.0 / (x * x) : x * x;
    *r = odd ? std::copysign(magnitude, x) : magnitude;
    return y < 0 ? TESS_STATUS_DOMAIN : TESS_STATUS_OK;
  }
  if (x == -1.0 && (cls != pow_core::IntegerClass::kNotInteger || std::isinf(y))) {
    *r = odd ? -1.0 : 1.0;
    return TESS_STATUS_OK;
  }
  if (std::isfinite(x) && std::isfinite(y)) {
    if (x < 0 && cls == pow_core::IntegerClass::kNotInteger) {
      *r = std::numeric_limits<double>::quiet_NaN();
      return TESS_STATUS_DOMAIN;
    }
    return finite_power(x, y, x < 0 && odd ? -1.0 : 1.0, r);
  }
  if (std::isinf(y) && std::fabs(x) < 1) {
    *r = y < 0 ? INFINITY : 0.0;
    return TESS_STATUS_OK;
  }
  // |x| > 1 with y infinite, or x infinite.
  const double magnitude = y > 0 ? INFINITY : 0.0;
  *r = x == -INFINITY && odd ? -magnitude : magnitude;
  return TESS_STATUS_OK;
}

int32_t tess_callout_dPowr(double x, double y, double* r) {
  if (std::isnan(x) || std::isnan(y)) {
    *r = x + y;
    return TESS_STATUS_OK;
  }
  const bool undefined = x < 0 || (y == 0 && (x == 0 || std::isinf(x))) ||
                         (x == 1 && std::isinf(y));
  if (undefined) {
    *r = std::numeric_limits<double>::quiet_NaN();
    return TESS_STATUS_DOMAIN;
  }
  tess_callout_dPow(x, y, r);
  return classify(kDomain | kPole, *r, false, x, y);
}

}  // namespace zorn::tess
