#include "tess_kernels/special/erfinv_double.h"

#include <cmath>
#include <limits>

#include "tess_kernels/frame/lane_loop_double.h"
#include "tess_kernels/special/erfinv_core_double.h"
#include "tess_kernels/special/erfinv_row_block.h"
#include "tess_kernels/special/erfinv_extended.h"

namespace zorn::tess {
namespace {

using simd::F64x2;
using inverse_erf::both_forms;

constexpr double kTinyErfInv = 0x1p-960;

// Special lanes: |x| >= 1, NaN, and |x| < 2^-960, where the low part of x in the central
// form's exact head would be subnormal (and flushed with denormals-are-zero).
struct ErfInvLanes : inverse_erf::ErfInvForms {
  static F64x2 special(F64x2 x) {
    const F64x2 a = simd::abs(x);
    return simd::not_less(a, F64x2::splat(1.0)) | simd::less(a, F64x2::splat(kTinyErfInv));
  }
};

// Special lanes: q below the tail table (0, subnormals, negative numbers), q >= 2, NaN.
struct ErfcInvLanes : inverse_erf::ErfcInvForms {
  static F64x2 special(F64x2 q) {
    return simd::less(q, F64x2::splat(inverse_erf::kSmallestTail)) |
           simd::not_less(q, F64x2::splat(2.0));
  }
};

struct NormalQuantileLanes : inverse_erf::NormalQuantileForms {
  static F64x2 special(F64x2 p) {
    return simd::less(p, F64x2::splat(inverse_erf::kSmallestTail)) |
           simd::not_less(p, F64x2::splat(1.0));
  }
};

// The fast path of a group held in arrays: both forms on every pair.
template <class Lanes>
int run_group(const double x[4], double y[4]) {
  return run_fast_group(x, y, [](F64x2 v, F64x2& result) {
    result = both_forms<Lanes>(v);
    return Lanes::special(v);
  });
}

// The status of an inverse on [lo, hi]: infinite at the ends, undefined outside.
int32_t inverse_status(double x, double lo, double hi) {
  if (x == lo || x == hi) return TESS_STATUS_SINGULARITY;
  return (x < lo || x > hi) ? TESS_STATUS_DOMAIN : TESS_STATUS_OK;
}

}  // namespace

int64_t ErfInvDouble::fast_block(int64_t n, const double* a, double* r) {
  return inverse_erf::run_row_block<ErfInvLanes>(n, a, r);
}
int ErfInvDouble::fast_group(const double x[4], double y[4]) { return run_group<ErfInvLanes>(x, y); }
int64_t ErfcInvDouble::fast_block(int64_t n, const double* a, double* r) {
  return inverse_erf::run_row_block<ErfcInvLanes>(n, a, r);
}
int ErfcInvDouble::fast_group(const double x[4], double y[4]) { return run_group<ErfcInvLanes>(x, y); }
int64_t CdfNormInvDouble::fast_block(int64_t n, const double* a, double* r) {
  return inverse_erf::run_row_block<NormalQuantileLanes>(n, a, r);
}
int CdfNormInvDouble::fast_group(const double x[4], double y[4]) {
  return run_group<NormalQuantileLanes>(x, y);
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
