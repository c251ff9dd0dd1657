#include "tess_kernels/exp_log/double_ops.h"

#include <cmath>

#include "tess_kernels/exp_log/scale_double.h"
#include "tess_kernels/frame/simd_double.h"
#include "zorn/tess.h"

namespace zorn::tess {
namespace {
#include "tess_kernels/exp_log/data/exp_tables.inc"

using simd::F64x2;

constexpr double kShifter = 105553116266496.0;  // 1.5 * 2^46: rounds x to a multiple of 1/64
// Fast lanes have results of at least 2^-1014, so that a * (lo + q), when subnormal,
// errs by at most 2^-9 of the result's last place.
constexpr double kFastPathLimit = 1014.0;
constexpr double kOverflowBound = 1024.0;
constexpr double kUnderflowBound = -1075.0;
constexpr double kNormalResultBound = -1022.0;

// 2^r - 1 = r P(r) for |r| <= 1/128: the Taylor coefficients (ln 2)^n / n!, to degree 6,
// whose truncation stays below 2^-64 relative.
constexpr double kP1 = 0.6931471805599453;
constexpr double kP2 = 0.24022650695910072;
constexpr double kP3 = 0.05550410866482158;
constexpr double kP4 = 0.009618129107628477;
constexpr double kP5 = 0.0013333558146428443;
constexpr double kP6 = 0.0001540353039338161;

// 2^x = 2^(k div 64) 2^(j/64) 2^r with k = 64 x rounded, j = k mod 64, r = x - k/64
// exact; 2^(j/64) = hi (1 + lo). Returns the compare mask of special lanes.
[[gnu::always_inline]] inline F64x2 exp2_pair(F64x2 x, F64x2& y) {
  const F64x2 shifter = F64x2::splat(kShifter);
  const F64x2 t = x + shifter;
  const F64x2 r = x - (t - shifter);
  const F64x2 q =
      r * (F64x2::splat(kP1) +
           r * (F64x2::splat(kP2) +
                r * (F64x2::splat(kP3) +
                     r * (F64x2::splat(kP4) + r * (F64x2::splat(kP5) + r * F64x2::splat(kP6))))));
  const simd::I64x2 t_bits = simd::bits(t);
  const F64x2 row0 = F64x2::load_aligned(kExp2Over64Relative[t_bits.low32_lane0() & 63]);
  const F64x2 row1 = F64x2::load_aligned(kExp2Over64Relative[t_bits.low32_lane1() & 63]);
  const F64x2 hi = simd::lane0s(row0, row1);
  const F64x2 lo = simd::lane1s(row0, row1);
  // hi scaled ahead of the polynomial (exact: fast lanes have normal results), so that
  // the scaling is off the chain that follows it.
  const F64x2 a = hi * scale_from_shifted_integer(t_bits);
  y = a + a * (lo + q);
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
    *r = INFINITY;
    return TESS_STATUS_OVERFLOW;
  }
  if (x <= kUnderflowBound) {
    *r = 0.0;
    return TESS_STATUS_UNDERFLOW;
  }
  const double t = x + kShifter;
  const double rr = x - (t - kShifter);
  const int64_t k = static_cast<int64_t>((t - kShifter) * 64.0);
  const int j = static_cast<int>(bits_of_double(t) & 63);
  const double hi = kExp2Over64Relative[j][0];
  const double w = hi * (kExp2Over64Relative[j][1] +
                         rr * (kP1 + rr * (kP2 + rr * (kP3 + rr * (kP4 + rr * (kP5 + rr * kP6))))));
  if (x >= kNormalResultBound) {
    *r = scale_normal(hi + w, k >> 6);
    return TESS_STATUS_OK;
  }
  *r = scale_subnormal<100>(hi, w, k >> 6);
  return TESS_STATUS_UNDERFLOW;
}

}  // namespace zorn::tess
