#include "tess_kernels/special/expint_double.h"

#include "tess_kernels/frame/status_rules.h"
#include "tess_kernels/special/expint_core.h"
#include "tess_kernels/special/special_functions.h"

namespace zorn::tess {
namespace {

constexpr double kFastLimit = 700.0;  // E1 leaves the normal range near 701.5
static_assert(kFastLimit < 0x1p+10);  // the last row

simd::F64x2 expint1_pair(simd::F64x2 x, simd::F64x2& y) {
  simd::F64x2 special;
  y = expint_core::e1<kFastLimit>(x, expint_core::kExpInt1RowsDouble,
                                  expint_core::kExpInt1SeriesDouble, special);
  return special;
}

}  // namespace

TESS_DOUBLE_PAIR_LOOPS(ExpInt1Double, expint1_pair)

int32_t tess_callout_dExpInt1(double x, double* r) {
  *r = expint1(x);
  return classify(kExpInt1Rule, *r, x == 0, x);
}

}  // namespace zorn::tess
