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
#include "tess_kernels/exp_log/data/exp_tables.inc"
constexpr ShiftedRows<64> kExp2Over64Shifted = shifted_rows(kExp2Over64Relative);

using simd::F64x2;

constexpr double kSixtyFourLog2Of10 = 212.60339807279118;
constexpr double kLog10Of2Over64Hi = 0.004703593682222618;
constexpr double kLog10Of2Over64Lo = 2.7088530630863833e-14;
constexpr double kOverflowBound = 308.2547155599167;
constexpr double kUnderflowBound = -323.60724533877976;
constexpr double kNormalResultBound = -307.6526555685887;  // log10 of 2^-1022
// Below log10 of 2^1014: fast lanes have results above 2^-1014, so that a * (lo + q),
// when subnormal, errs by at most 2^-9 of the result's last place.
constexpr double kFastPathLimit = 305.2;

// 10^x = 2^(k div 64) 2^(j/64) 10^r with k the nearest integer to 64 x log2(10),
// j = k mod 64 and r = x - k log10(2) / 64; 2^(j/64) = hi (1 + lo), 10^r - 1 = r P(r)
// (degree 4, fitted: errs below 2^-58.4 of 10^r). Fast lanes have
// normal results. Returns the compare mask of special lanes.
[[gnu::always_inline]] inline F64x2 exp10_pair(F64x2 x, F64x2& y) {
  const F64x2 shifter = F64x2::splat(kExpShifter);
  const F64x2 t = x * F64x2::splat(kSixtyFourLog2Of10) + shifter;
  const F64x2 k = t - shifter;
  const F64x2 r = (x - k * F64x2::splat(kLog10Of2Over64Hi)) - k * F64x2::splat(kLog10Of2Over64Lo);
  y = scaled_table_sum(kExp2Over64Shifted, simd::bits(t), r_times_horner(r, kExp10Polynomial));
  return simd::not_less(simd::abs(x), F64x2::splat(kFastPathLimit));
}

}  // namespace

TESS_DOUBLE_PAIRED_STEP_LOOPS(Exp10Double, exp10_pair)

int32_t tess_callout_dExp10(double x, double* r) {
  if (std::isnan(x)) {
    *r = x * x;
    return TESS_STATUS_OK;
  }
  if (std::isinf(x)) {
    *r = x > 0 ? x : 0.0;
    return TESS_STATUS_OK;
  }
  if (x > kOverflowBound) {
    *r = overflowed<double>();
    return TESS_STATUS_OVERFLOW;
  }
  if (x < kUnderflowBound) {
    *r = underflowed<double>();
    return TESS_STATUS_UNDERFLOW;
  }
  const double t = x * kSixtyFourLog2Of10 + kExpShifter;
  const double k = t - kExpShifter;
  const double rr = x - k * kLog10Of2Over64Hi - k * kLog10Of2Over64Lo;
  const bool normal = x >= kNormalResultBound;
  *r = callout_table_result(kExp2Over64Relative, t, r_times_horner(rr, kExp10Polynomial),
                            static_cast<int64_t>(k) >> 6, normal);
  return normal ? TESS_STATUS_OK : TESS_STATUS_UNDERFLOW;
}

}  // namespace zorn::tess

TESS_INTERLEAVE_END
