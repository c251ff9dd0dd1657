#include <cmath>

#include "tess_kernels/pow_root/double_ops.h"
#include "tess_kernels/pow_root/narrowed_callout.h"
#include "tess_kernels/pow_root/pow_core_double.h"
#include "tess_kernels/pow_root/single_ops.h"

namespace zorn::tess {
namespace {

using simd::F32x4;
using simd::F64x2;
using simd::I32x4;

constexpr double kFastPathProductBound = 126.0;  // |y log2 x|: normal float results

// x^y for two lanes of positive normal x (floats widened): log2 x = k + log2(1 / c) +
// ln(1 + r) / ln 2 with c from the first table of the double kernel and r = m c - 1
// exact (24 by 12 bits), ln(1 + r) by its series to r^6 (|r| < 2^-7.9, the next term
// below 2^-50 relative), and 2^(y log2 x) by the double kernel's exponential. The
// product's error stays below 2^-40, far inside the float rounding.
F64x2 pow_pair(F64x2 x, F64x2 y, F64x2& z) {
  const pow_core::Mantissa xm = pow_core::mantissa(x);
  const F64x2 r = xm.m * xm.first.c - F64x2::splat(1.0);
  const F64x2 series =
      r * (F64x2::splat(1.0) +
           r * (F64x2::splat(-0.5) +
                r * (F64x2::splat(1.0 / 3) +
                     r * (F64x2::splat(-0.25) +
                          r * (F64x2::splat(0.2) + r * F64x2::splat(-1.0 / 6))))));
  const F64x2 log2x = (xm.k + xm.first.hi) + series * F64x2::splat(pow_tables::kInvLn2[0]);
  z = y * log2x;
  const pow_core::Exp2Parts e = pow_core::exp2_parts({z, F64x2::splat(0.0)});
  return e.base * pow_core::scale_of(e.shifted);
}

int far_lanes(F64x2 z) {
  return simd::lane_mask(simd::not_less(simd::abs(z), F64x2::splat(kFastPathProductBound)));
}

}  // namespace

int pow_group_single(const float x[4], const float y[4], float r[4]) {
  const F32x4 xv = F32x4::load(x), yv = F32x4::load(y);
  F64x2 z0, z1;
  const F64x2 r0 = pow_pair(simd::low_to_double(xv), simd::low_to_double(yv), z0);
  const F64x2 r1 = pow_pair(simd::high_to_double(xv), simd::high_to_double(yv), z1);
  simd::to_float(r0, r1).store(r);
  return not_normal_lanes(xv, true) | far_lanes(z0) | far_lanes(z1) << 2;
}

int HypotSingle::fast_group(const float x[4], const float y[4], float r[4]) {
  const F32x4 xv = F32x4::load(x), yv = F32x4::load(y);
  const auto root = [](F64x2 a, F64x2 b) { return F64x2{_mm_sqrt_pd((a * a + b * b).v)}; };
  const F32x4 h = simd::to_float(root(simd::low_to_double(xv), simd::low_to_double(yv)),
                                 root(simd::high_to_double(xv), simd::high_to_double(yv)));
  h.store(r);
  // Infinite or NaN arguments, or a result beyond the float range.
  const I32x4 top = I32x4::splat(0x7F7FFFFF);
  return simd::lane_mask((simd::bits(simd::abs(xv)) > top) | (simd::bits(simd::abs(yv)) > top) |
                         (simd::bits(h) > top));
}

int32_t tess_callout_sPow(const float* x, const float* y, float* r) {
  return narrowed_callout<tess_callout_dPow, TESS_STATUS_OVERFLOW>(x, y, r);
}
int32_t tess_callout_sPowr(const float* x, const float* y, float* r) {
  return narrowed_callout<tess_callout_dPowr, TESS_STATUS_SINGULARITY>(x, y, r);
}
int32_t tess_callout_sHypot(const float* x, const float* y, float* r) {
  return narrowed_callout<tess_callout_dHypot, TESS_STATUS_OVERFLOW>(x, y, r);
}

}  // namespace zorn::tess
