// Single precision operations of the power and root family: four-lane fast paths, most
// computed on two pairs of doubles and rounded once, with special lanes out of line to
// callouts correct for every argument.
#pragma once

#include <cstdint>

#include "tess_kernels/frame/lane_loop_binary.h"
#include "tess_kernels/frame/lane_loop_single.h"
#include "tess_kernels/frame/simd.h"

namespace zorn::tess {

// Lanes whose magnitude is not a normal finite float (zero, subnormal, inf, NaN);
// with `signed_too`, negative lanes as well.
inline int not_normal_lanes(simd::F32x4 x, bool signed_too) {
  using simd::I32x4;
  const I32x4 b = signed_too ? simd::bits(x) : simd::bits(simd::abs(x));
  const I32x4 moved = b - I32x4::splat(0x00800000);
  return simd::lane_mask((I32x4::splat(0) > moved) | (moved > I32x4::splat(0x7EFFFFFF)));
}

// Square root: the hardware root; negative lanes (sign bit set) go to the callout, which
// keeps -0 and gives NaN with status 1 below zero.
int32_t tess_callout_sSqrt(const float* x, float* r);
struct SqrtSingle : LaneLoopSingle<SqrtSingle> {
  static simd::F32x4 fast_path(simd::F32x4 x) { return {_mm_sqrt_ps(x.v)}; }
  static int special_lanes(simd::F32x4 x) { return _mm_movemask_ps(x.v); }
  static int32_t callout(const float* x, float* r) { return tess_callout_sSqrt(x, r); }
};

// 1 / sqrt x: 1 divided by the hardware root, in double; lanes other than positive normal
// finite go to the callout (±0 gives ±inf with status 2, negative x NaN with status 1).
int32_t tess_callout_sInvSqrt(const float* x, float* r);
struct InvSqrtSingle : LaneLoopSingle<InvSqrtSingle> {
  static simd::F32x4 fast_path(simd::F32x4 x);
  static int special_lanes(simd::F32x4 x) { return not_normal_lanes(x, true); }
  static int32_t callout(const float* x, float* r) { return tess_callout_sInvSqrt(x, r); }
};

// x^(3/2) = x sqrt x in double; negative, infinite and NaN lanes and results beyond the
// float range go to the callout (negative x: NaN, status 1; overflow: +inf, status 3).
int32_t tess_callout_sPow3o2(const float* x, float* r);
struct Pow3o2Single : LaneLoopSingle<Pow3o2Single> {
  static simd::F32x4 fast_path(simd::F32x4 x);
  static int special_lanes(simd::F32x4 x);
  static int32_t callout(const float* x, float* r) { return tess_callout_sPow3o2(x, r); }
};

// Cube roots and x^(2/3) on the double precision cores; zero, subnormal, infinite and
// NaN lanes go to the callouts, which keep the sign of zero and of infinity (InvCbrt of
// ±0 is ±inf with status 2).
int32_t tess_callout_sCbrt(const float* x, float* r);
int32_t tess_callout_sInvCbrt(const float* x, float* r);
int32_t tess_callout_sPow2o3(const float* x, float* r);
template <simd::F32x4 (*Fast)(simd::F32x4), int32_t (*Callout)(const float*, float*)>
struct CubeRootSingle : LaneLoopSingle<CubeRootSingle<Fast, Callout>> {
  static simd::F32x4 fast_path(simd::F32x4 x) { return Fast(x); }
  static int special_lanes(simd::F32x4 x) { return not_normal_lanes(x, false); }
  static int32_t callout(const float* x, float* r) { return Callout(x, r); }
};
simd::F32x4 cbrt_single(simd::F32x4 x);
simd::F32x4 inv_cbrt_single(simd::F32x4 x);
simd::F32x4 pow2o3_single(simd::F32x4 x);
using CbrtSingle = CubeRootSingle<cbrt_single, tess_callout_sCbrt>;
using InvCbrtSingle = CubeRootSingle<inv_cbrt_single, tess_callout_sInvCbrt>;
using Pow2o3Single = CubeRootSingle<pow2o3_single, tess_callout_sPow2o3>;

// x^y in double (log2 by one table reduction and a series, 2^z by the 1/128 table):
// positive normal x with |y log2 x| < 126; the callouts follow the double precision
// ones (Pow, Powr) and report a float overflow as status 3 (Pow) or 2 (Powr).
int32_t tess_callout_sPow(const float* x, const float* y, float* r);
int32_t tess_callout_sPowr(const float* x, const float* y, float* r);
int pow_group_single(const float x[4], const float y[4], float r[4]);
struct PowSingle : BinaryLanes<PowSingle, float> {
  static int fast_group(const float x[4], const float y[4], float r[4]) {
    return pow_group_single(x, y, r);
  }
  static int32_t callout(const float* x, const float* y, float* r) {
    return tess_callout_sPow(x, y, r);
  }
};
struct PowrSingle : BinaryLanes<PowrSingle, float> {
  static int fast_group(const float x[4], const float y[4], float r[4]) {
    return pow_group_single(x, y, r);
  }
  static int32_t callout(const float* x, const float* y, float* r) {
    return tess_callout_sPowr(x, y, r);
  }
};

// sqrt(x^2 + y^2) in double, exact squares and one rounding each for the sum and root;
// infinite or NaN arguments and results beyond the float range go to the callout
// (overflow: +inf, status 3).
int32_t tess_callout_sHypot(const float* x, const float* y, float* r);
struct HypotSingle : BinaryLanes<HypotSingle, float> {
  static int fast_group(const float x[4], const float y[4], float r[4]);
  static int32_t callout(const float* x, const float* y, float* r) {
    return tess_callout_sHypot(x, y, r);
  }
};

}  // namespace zorn::tess
