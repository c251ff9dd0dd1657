#include "tess_kernels/exp_log/double_ops.h"

#include <cmath>
#include <limits>

#include "tess_kernels/exp_log/log_core_double.h"
#include "tess_kernels/frame/interleaved_schedule.h"

TESS_INTERLEAVE_BEGIN

namespace zorn::tess {
namespace {

using simd::F64x2;
using simd::I64x2;

// ln(1 + x) = ln(u + c) with u = 1 + x rounded and c its rounding error (two-sum): the
// logarithm of u, with c 2^-k added to u's mantissa m = u 2^-k. 2^-k comes from u's
// exponent field; u >= 2^-53, and for the largest u (k = 1023) the factor is 0, where c
// is far below the last place anyway. In the vector loop a pair with no u in [0.5, 2)
// (x outside [-0.5, 1), |result| >= ln 2) takes the single-rounding method away from 1:
// the exact reduction and head-tail sum are paid only where the result may be small.
struct Log1pStart {
  F64x2 u, tail;
};
[[gnu::always_inline]] inline Log1pStart log1p_start(F64x2 x) {
  const F64x2 one = F64x2::splat(1.0);
  const F64x2 u = one + x;
  const F64x2 back = u - one;
  const F64x2 x_rest = x - back;
  const F64x2 c = (one - (u - back)) + x_rest;
  // The loop raises the invalid flag for NaN arguments, quiet ones included, by a
  // signalling compare whose result nothing needs: x_rest and c are NaN where x is (or
  // where an infinite x has raised the flag already).
  asm volatile("" : : "x"(_mm_cmpnlt_pd(x_rest.v, c.v)));
  const F64x2 inv_scale = simd::from_bits(I64x2::splat(int64_t{2046} << 52) -
                                            (simd::bits(u) & I64x2::splat(0x7FF0000000000000)));
  return {u, c * inv_scale};
}

// The head-tail path, for lanes near 0 (u in [0.5, 2)) and the callout.
[[gnu::always_inline]] inline F64x2 log1p_near_zero(F64x2 x, Log1pStart s) {
  const LogParts l = log_parts<true, true>(s.u, 0, s.tail);
  // ln(1 + x) has the sign of x; this also keeps -0 for -0.
  return (l.head + l.tail) | (x & F64x2::splat(-0.0));
}

// Special lanes: x not in (-1, largest finite] (NaN included), which are those where u
// is not positive normal finite: u = 1 + x is at least 2^-53 for x > -1, 0 or negative
// for x <= -1, and NaN or +inf with x. (Rounded upward, the largest x gives u = +inf
// too; the callout's head-tail path then gives the NaN and flags the vector path gave.)
[[gnu::always_inline]] inline int log1p_pair(F64x2 x, F64x2& y) {
  const Log1pStart s = log1p_start(x);
  const int classes = lane_classes(high_words(s.u));
  y = (classes & kLanesNearOne) != 0 ? log1p_near_zero(x, s)
                                     : log_away_from_one<kBaseE, true>(s.u, s.tail);
  return classes & kSpecialLanes;
}

}  // namespace

int64_t Log1pDouble::fast_block(int64_t n, const double* a, double* r) {
  return run_fast_block(n, a, r, log1p_pair);
}
int Log1pDouble::fast_group(const double x[4], double y[4]) {
  return run_fast_group(x, y, log1p_pair);
}

int32_t tess_callout_dLog1p(double x, double* r) {
  if (std::isnan(x) || x == INFINITY) {
    *r = x + x;
    return TESS_STATUS_OK;
  }
  if (x == -1.0) {
    *r = -INFINITY;
    return TESS_STATUS_SINGULARITY;
  }
  if (x < -1.0) {
    *r = std::numeric_limits<double>::quiet_NaN();
    return TESS_STATUS_DOMAIN;
  }
  const F64x2 v = F64x2::splat(x);
  *r = log1p_near_zero(v, log1p_start(v)).lane0();
  return TESS_STATUS_OK;
}

}  // namespace zorn::tess

TESS_INTERLEAVE_END
