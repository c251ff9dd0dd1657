// Double precision operations of the power and root family: each a two-lane fast path
// (in its .cpp) under the frame's double loops, and a callout correct for every argument
// that gives the result and its status.
#pragma once

#include "tess_kernels/frame/lane_loop_binary.h"
#include "tess_kernels/frame/lane_loop_double.h"

namespace zorn::tess {

// Square root: fast path for non-negative x (the hardware root); negative x and -inf give
// NaN with status 1, -0 stays -0.
TESS_DOUBLE_LANE_KERNEL(SqrtDouble, tess_callout_dSqrt);
// 1 / sqrt x: fast path for x in [2^-960, 2^990]; ±0 gives ±inf with status 2,
// negative x NaN with status 1.
TESS_DOUBLE_LANE_KERNEL(InvSqrtDouble, tess_callout_dInvSqrt);
// Cube roots and x^(2/3): fast paths for normal finite x of either sign. 1 / cbrt(±0) is
// ±inf with status 2; nothing else reports.
TESS_DOUBLE_LANE_KERNEL(CbrtDouble, tess_callout_dCbrt);
TESS_DOUBLE_LANE_KERNEL(InvCbrtDouble, tess_callout_dInvCbrt);
TESS_DOUBLE_LANE_KERNEL(Pow2o3Double, tess_callout_dPow2o3);
// x^(3/2): fast path for x in [2^-500, 2^500]; negative x gives NaN with status 1, an
// overflowing result +inf with status 3.
TESS_DOUBLE_LANE_KERNEL(Pow3o2Double, tess_callout_dPow3o2);

// x^y with the C rules for special values: a zero base with a negative exponent reports
// status 1, as does a negative base with a non-integer exponent; an overflowing power
// status 3. Fast path: positive normal x, |y ln x| < 707.
int32_t tess_callout_dPow(double x, double y, double* r);
struct PowDouble : BinaryLanes<PowDouble, double> {
  static int fast_group(const double x[4], const double y[4], double r[4]);
  static int32_t callout(double x, double y, double* r) { return tess_callout_dPow(x, y, r); }
};
// x^y as e^(y ln x): NaN with status 1 for a negative base, 0^0, inf^0 and 1^inf; an
// infinite result from finite arguments status 2. Fast path as for Pow.
int32_t tess_callout_dPowr(double x, double y, double* r);
struct PowrDouble : BinaryLanes<PowrDouble, double> {
  static int fast_group(const double x[4], const double y[4], double r[4]) {
    return PowDouble::fast_group(x, y, r);
  }
  static int32_t callout(double x, double y, double* r) { return tess_callout_dPowr(x, y, r); }
};
// sqrt(x^2 + y^2) without intermediate overflow or underflow; an overflowing result
// gives +inf with status 3. Fast path: the larger magnitude in [2^-500, 2^500].
int32_t tess_callout_dHypot(double x, double y, double* r);
struct HypotDouble : BinaryLanes<HypotDouble, double> {
  static int64_t fast_block(int64_t n, const double* x, const double* y, double* r);
  static int fast_group(const double x[4], const double y[4], double r[4]);
  static int32_t callout(double x, double y, double* r) { return tess_callout_dHypot(x, y, r); }
};

}  // namespace zorn::tess
