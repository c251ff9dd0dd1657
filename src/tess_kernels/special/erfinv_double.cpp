#include "tess_kernels/special/erfinv_double.h"

#include <cmath>
#include <limits>

#include "tess_kernels/special/erfinv_core_double.h"
#include "tess_kernels/special/erfinv_extended.h"

namespace zorn::tess {
namespace {

using simd::F64x2;

constexpr double kTinyErfInv = 0x1p-1000;

// Special lanes: |x| >= 1, NaN, and |x| < 2^-1000, where a x shift in the central form
// would round in the subnormal range.
[[gnu::always_inline]] inline int erfinv_lanes(F64x2 x, F64x2& y) {
  y = inverse_erf::erfinv_pair(x);
  const F64x2 a = simd::abs(x);
  return simd::lane_mask(simd::not_less(a, F64x2::splat(1.0)) |
                         simd::less(a, F64x2::splat(kTinyErfInv)));
}

// Special lanes: q below the tail table (0, subnormals, negative numbers), q >= 2, NaN.
[[gnu::always_inline]] inline int erfcinv_lanes(F64x2 q, F64x2& y) {
  y = inverse_erf::erfcinv_pair(q);
  return simd::lane_mask(simd::less(q, F64x2::splat(inverse_erf::kSmallestTail)) |
                         simd::not_less(q, F64x2::splat(2.0)));
}

[[gnu::always_inline]] inline int normal_quantile_lanes(F64x2 p, F64x2& y) {
  y = inverse_erf::normal_quantile_pair(p);
  return simd::lane_mask(simd::less(p, F64x2::splat(inverse_erf::kSmallestTail)) |
                         simd::not_less(p, F64x2::splat(1.0)));
}

// The status of an inverse on [lo, hi]: infinite at the ends, undefined outside.
int32_t inverse_status(double x, double lo, double hi) {
  if (x == lo || x == hi) return TESS_STATUS_SINGULARITY;
  return (x < lo || x > hi) ? TESS_STATUS_DOMAIN : TESS_STATUS_OK;
}

}  // namespace

int64_t ErfInvDouble::fast_block(int64_t n, const double* a, double* r) {
  return run_fast_block(n, a, r, erfinv_lanes);
}
int ErfInvDouble::fast_group(const double x[4], double y[4]) {
  return run_fast_group(x, y, erfinv_lanes);
}
int64_t ErfcInvDouble::fast_block(int64_t n, const double* a, double* r) {
  return run_fast_block(n, a, r, erfcinv_lanes);
}
int ErfcInvDouble::fast_group(const double x[4], double y[4]) {
  return run_fast_group(x, y, erfcinv_lanes);
}
int64_t CdfNormInvDouble::fast_block(int64_t n, const double* a, double* r) {
  return run_fast_block(n, a, r, normal_quantile_lanes);
}
int CdfNormInvDouble::fast_group(const double x[4], double y[4]) {
  return run_fast_group(x, y, normal_quantile_lanes);
}

int32_t tess_callout_dErfInv(double x, double* r) {
  // Zero, and with denormals-are-zero on the subnormals that compare equal to it, keep
  // their sign, as the fast path gives them.
  *r = x == 0 ? std::copysign(0.0, x) : erfinv_extended(x);
  return inverse_status(x, -1.0, 1.0);
}
int32_t tess_callout_dErfcInv(double q, double* r) {
  *r = erfcinv_extended(q);
  return inverse_status(q, 0.0, 2.0);
}
int32_t tess_callout_dCdfNormInv(double p, double* r) {
  *r = normal_quantile_extended(p);
  return inverse_status(p, 0.0, 1.0);
}

}  // namespace zorn::tess
