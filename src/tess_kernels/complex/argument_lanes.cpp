#include "tess_kernels/complex/argument_lanes.h"

#include "tess_kernels/complex/pair_loop.h"
#include "tess_kernels/frame/interleaved_schedule.h"
#include "tess_kernels/frame/lane_loop_binary.h"
#include "tess_kernels/inv_trig_hyp/inverse_trig_core_double.h"

namespace zorn::tess::cx {
namespace {

using simd::F64x2;
namespace it = inverse_trig;

// arg z = atan2(y, x) by d Atan2's reduction (it::atan_ratio_sum: |y| / |x| reduced by the
// centre c = k/32 to u = (|y| - c |x|) / (|x| + c |y|), u_lo the quotient's remainder over
// the denominator), with two terms the error analysis lets go:
// - The numerator is rounded once rather than carried as a two-difference. Where c = 0
//   (|y| / |x| below about 5/64) it is |y| itself, exact. Elsewhere the result is above
//   atan(5/64 (1 - 2.6e-3)) > 0.0777 and |u| < 1/60, so the rounding (at most 2^-53 |u|)
//   weighs at most 2^-53/60 against the ulp 2^-56 of [1/16, 1/8): 0.134 ulp there, 0.067
//   ulp up to 1/4 and less beyond; the other terms' errors are unchanged.
// - The remainder (at most 2^-53 |u| of the quotient) is divided by the reciprocal's seed,
//   5% off, without its Newton step: 2^-57.3 |u|, 0.03 ulp where c = 0 and the result is u.
[[gnu::always_inline]] inline int argument_pair(F64x2 y, F64x2 x, F64x2& r) {
  const F64x2 my = simd::abs(y), mx = simd::abs(x);
  const auto reduce = [my, mx](F64x2 c) {
    const F64x2 mx_hi = it::head26(mx);
    const F64x2 num = (my - c * mx_hi) - c * (mx - mx_hi);
    const F64x2 den = mx + c * my;
    const F64x2 u = num / den;
    return it::Sum{u, it::quotient_remainder(num, den, u) * it::reciprocal_seed(den)};
  };
  const it::Sum angle = it::atan_sum<it::Scale::kRadians, true>(
      my * it::rough_reciprocal(mx), reduce, simd::less(x, it::splat(0.0)));
  r = it::rounded(angle) | it::sign_of(y);
  return it::atan2_special(y, x);
}

}  // namespace

// The pairs of a group interleave, as in d Atan2's block.
TESS_INTERLEAVE_BEGIN
int argument_group(const double x[4], const double y[4], double r[4]) {
  return run_binary_pairs(y, x, r, argument_pair);
}
// Four pairs a step: each pair's chain (the reciprocal, the quotient, its remainder, the
// series) is long against the loop's body, and with two pairs a step (a group) the
// block took 1.10x the time.
int64_t argument_block(int64_t n, const std::complex<double>* z, double* r) {
  return real_chunk_block<4>(n, z, r, [](const F64x2* x, const F64x2* y, F64x2* a) {
    int special = 0;
#pragma GCC unroll 4
    for (int k = 0; k < 4; ++k) special |= argument_pair(y[k], x[k], a[k]);
    return special != 0;
  });
}
TESS_INTERLEAVE_END

}  // namespace zorn::tess::cx
