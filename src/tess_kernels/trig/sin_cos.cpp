#include "tess_kernels/trig/sin_cos.h"

#include <cmath>

#include "tess_kernels/frame/interleaved_schedule.h"
#include "tess_kernels/trig/double_ops.h"
#include "tess_kernels/trig/pi_over_64_double.h"
#include "tess_kernels/trig/scaled_single.h"
#include "tess_kernels/trig/single_ops.h"

namespace zorn::tess {
namespace {

using simd::F32x4;
using simd::F64x2;
using sin_core::Fn;

// Both fast paths; lanes beyond them (|x| > 10000, ±inf, NaN) go to the callout, so that
// the contiguous loop calls nothing and keeps its constants in registers, as Sin's and
// Cos's do.
[[gnu::always_inline]] inline int sin_cos_single_fast(F32x4 x, F32x4& s, F32x4& c) {
  s = SinSingle::fast_path(x);
  c = CosSingle::fast_path(x);
  return trig_single::beyond_fast_path(x);
}

int fast_path_special_lanes(F64x2 x) {
  return simd::lane_mask(
      simd::not_less_equal(simd::abs(x), F64x2::splat(sin_core::kFastPathLimit)));
}

// Both from one reduction by pi/64: the cosine is Cos's, the sine from the same table.
[[gnu::always_inline]] inline int sin_cos_double_lanes(F64x2 x, F64x2& s, F64x2& c) {
  const pi_over_64::SinCosValues v = pi_over_64::sin_cos_lanes(x);
  s = v.sin;
  c = v.cos;
  return fast_path_special_lanes(x);
}

using scaled::Accuracy;
using scaled::Unit;
// The sine's special lanes are the cosine's (the same bound).
using SinpiSingle = scaled::ScaledSingle<Unit::kHalfTurns, Fn::kSin, Accuracy::kHA>;

using CospiSingle = scaled::ScaledSingle<Unit::kHalfTurns, Fn::kCos, Accuracy::kHA>;

int sin_cos_pi_single(F32x4 x, F32x4& s, F32x4& c) {
  s = SinpiSingle::fast_path(x);
  c = CospiSingle::fast_path(x);
  return SinpiSingle::special_lanes(x);
}

int sin_cos_pi_double(F64x2 x, F64x2& s, F64x2& c) {
  scaled::sin_cos_pi_lanes(x, s, c);
  return scaled::special_mask<Unit::kHalfTurns, Fn::kSin, Accuracy::kHA>(x, s);
}

}  // namespace

int64_t SinCosSingle::fast_block(int64_t n, const float* a, float* r1, float* r2) {
  return run_fast_block_two<F32x4>(n, a, r1, r2, sin_cos_single_fast);
}
int SinCosSingle::fast_group(const float x[4], float y1[4], float y2[4]) {
  return run_fast_group_two<F32x4>(x, y1, y2, sin_cos_single_fast);
}
// Finite x beyond the fast path through the kernel's large-argument path.
int32_t tess_callout_sSinCos(float x, float* s, float* c) {
  if (std::isfinite(x)) {
    *s = trig_single::large_argument(Fn::kSin, x);
    *c = trig_single::large_argument(Fn::kCos, x);
    return TESS_STATUS_OK;
  }
  trig_single::non_finite_callout(&x, c);
  return trig_single::non_finite_callout(&x, s);
}

// Interleaves the two pairs of a group, as for Sin, Cos and Tan (trig_double.cpp): 1.15x
// faster (the float lanes, one vector per step, gain nothing from it).
TESS_INTERLEAVE_BEGIN
int64_t SinCosDouble::fast_block(int64_t n, const double* a, double* r1, double* r2) {
  return run_fast_block_two<F64x2>(n, a, r1, r2, sin_cos_double_lanes);
}
int SinCosDouble::fast_group(const double x[4], double y1[4], double y2[4]) {
  return run_fast_group_two<F64x2>(x, y1, y2, sin_cos_double_lanes);
}
int32_t tess_callout_dSinCos(double x, double* s, double* c) {
  tess_callout_dCos(x, c);
  return tess_callout_dSin(x, s);
}
TESS_INTERLEAVE_END

int64_t SinCospiSingle::fast_block(int64_t n, const float* a, float* r1, float* r2) {
  return run_fast_block_two<F32x4>(n, a, r1, r2, sin_cos_pi_single);
}
int SinCospiSingle::fast_group(const float x[4], float y1[4], float y2[4]) {
  return run_fast_group_two<F32x4>(x, y1, y2, sin_cos_pi_single);
}
int32_t tess_callout_sSinCospi(float x, float* s, float* c) {
  CospiSingle::callout(&x, c);
  return SinpiSingle::callout(&x, s);
}

int64_t SinCospiDouble::fast_block(int64_t n, const double* a, double* r1, double* r2) {
  return run_fast_block_two<F64x2>(n, a, r1, r2, sin_cos_pi_double);
}
int SinCospiDouble::fast_group(const double x[4], double y1[4], double y2[4]) {
  return run_fast_group_two<F64x2>(x, y1, y2, sin_cos_pi_double);
}
int32_t tess_callout_dSinCospi(double x, double* s, double* c) {
  scaled::callout<Unit::kHalfTurns, Fn::kCos, Accuracy::kHA>(x, c);
  return scaled::callout<Unit::kHalfTurns, Fn::kSin, Accuracy::kHA>(x, s);
}

}  // namespace zorn::tess
