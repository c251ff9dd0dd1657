#include "tess_kernels/exp_log/double_ops.h"

#include <cmath>

#include "tess_kernels/exp_log/exp_table_double.h"
#include "tess_kernels/exp_log/flagged_results.h"
#include "tess_kernels/frame/interleaved_schedule.h"
#include "tess_kernels/frame/simd_double.h"
#include "zorn/tess.h"

TESS_INTERLEAVE_BEGIN

namespace zorn::tess {
namespace {
#include "tess_kernels/exp_log/data/exp_fine_tables.inc"
#include "tess_kernels/exp_log/data/exp_tables.inc"
constexpr ShiftedRows<256> kExp2Over256Shifted = shifted_rows(kExp2Over256Relative);

using simd::F64x2;

constexpr double kShifter = 26388279066624.0;  // 1.5 * 2^44: rounds x to a multiple of 1/256
// The callout's, on the steps of 1/64 of its table.
constexpr double kCalloutShifter = 105553116266496.0;  // 1.5 * 2^46
// Fast lanes have results of at least 2^-1014, so that a * (lo + q), when subnormal,
// errs by at most 2^-9 of the result's last place.
constexpr double kFastPathLimit = 1014.0;
constexpr double kOverflowBound = 1024.0;
constexpr double kUnderflowBound = -1075.0;
constexpr double kNormalResultBound = -1022.0;

// 2^x = 2^(k div 256) 2^(j/256) 2^r with k = 256 x rounded, j = k mod 256,
// r = x - k/256 exact; 2^(j/256) = hi (1 + lo), 2^r - 1 = r P(r) (degree 3, fitted: errs
// below 2^-57.5 of 2^r). Returns the compare mask of special lanes.
[[gnu::always_inline]] inline F64x2 exp2_pair(F64x2 x, F64x2& y) {
  const F64x2 shifter = F64x2::splat(kShifter);
  const F64x2 t = x + shifter;
  const F64x2 r = x - (t - shifter);
  y = scaled_table_sum(kExp2Over256Shifted, simd::bits(t),
                       r_times_horner(r, kExp2Over256Polynomial));
  return simd::not_less(simd::abs(x), F64x2::splat(kFastPathLimit));
}

}  // namespace

int64_t Exp2Double::fast_block(int64_t n, const double* a, double* r) {
  return run_fast_block(n, a, r, exp2_pair);
}

int Exp2Double::fast_group(const double x[4], double y[4]) {
  return run_fast_group(x, y, exp2_pair);
}

int32_t tess_callout_dExp2(double x, double* r) {
  if (std::isnan(x) || x == INFINITY) {
    *r = x;
    return TESS_STATUS_OK;
  }
  if (x == -INFINITY) {
    *r = 0.0;
    return TESS_STATUS_OK;
  }
  if (x >= kOverflowBound) {
    *r = overflowed<double>();
    return TESS_STATUS_OVERFLOW;
  }
  if (x <= kUnderflowBound) {
    *r = underflowed<double>();
    return TESS_STATUS_UNDERFLOW;
  }
  const double t = x + kCalloutShifter;
  const double rr = x - (t - kCalloutShifter);
  const int64_t k = static_cast<int64_t>((t - kCalloutShifter) * 64.0);
  const bool normal = x >= kNormalResultBound;
  *r = callout_table_result(kExp2Over64Relative, t, r_times_horner(rr, kExp2Polynomial), k >> 6,
                            normal);
  return normal ? TESS_STATUS_OK : TESS_STATUS_UNDERFLOW;
}

}  // namespace zorn::tess

TESS_INTERLEAVE_END
