#include "tess_kernels/special/bessel_i_double.h"

#include <cmath>

#include "tess_kernels/special/bessel_i_core.h"
#include "tess_kernels/special/special_functions.h"
#include "zorn/tess.h"

namespace zorn::tess {
namespace {

using namespace bessel_i_core;

template <F64x2 (*F)(F64x2, const double (*)[14])>
int pair(F64x2 x, F64x2& y, const double (*rows)[14]) {
  y = F(x, rows);
  return simd::lane_mask(simd::not_less_equal(simd::abs(x), splat(kFastLimit)));  // NaN too
}
int i0_pair(F64x2 x, F64x2& y) { return pair<i0<14>>(x, y, kI0RowsDouble); }
int i1_pair(F64x2 x, F64x2& y) { return pair<i1<14>>(x, y, kI1RowsDouble); }

int32_t overflow_status(double x, double r) {
  return std::isinf(r) && !std::isinf(x) ? TESS_STATUS_OVERFLOW : TESS_STATUS_OK;
}

}  // namespace

TESS_DOUBLE_PAIR_LOOPS(I0Double, i0_pair)
TESS_DOUBLE_PAIR_LOOPS(I1Double, i1_pair)

// Beyond the fast range e^a is formed from two halves in extended precision.
int32_t tess_callout_dI0(double x, double* r) {
  *r = bessel_i0(x);
  return overflow_status(x, *r);
}
int32_t tess_callout_dI1(double x, double* r) {
  *r = bessel_i1(x);
  return overflow_status(x, *r);
}

}  // namespace zorn::tess
