// Single precision operations of the power and root family: four-lane fast paths, most
// computed on two pairs of doubles and rounded once, with special lanes out of line to
// callouts correct for every argument.
#pragma once

#include <cstdint>

#include "tess_kernels/frame/lane_loop_binary.h"
#include "tess_kernels/frame/lane_loop_single.h"
#include "tess_kernels/frame/simd.h"
#include "tess_kernels/pow_root/cbrt_core_single.h"
#include "tess_kernels/pow_root/pow_fast_single.h"

namespace zorn::tess {

// The fast paths are defined here, so that each kernel's loop inlines them whole.

// 1 / sqrt x and x^(3/2) from the float root s = sqrt x (rounded once), corrected in
// pairs of doubles, where s^2, x s and s y (float y) are exact and so are d = x - s^2 and
// r = 1 - s y (Sterbenz): with d / x and r of order 2^-24,
//   1 / sqrt x = y (1 + r) (1 - d / (2x)) ~ y + y (r - d y^2 / 2)   for y = 1/s rounded,
//   x^(3/2)    = x s (1 + d / (2x))       ~ x s + d s / 2 = s (3x/2 - s^2/2),
// leaving errors of order 2^-47 before the one rounding to float (3x/2 and s^2/2 are
// exact, their difference and the product each round once in double). A double root of
// the widened x would need two `sqrtpd` per four lanes, twice the time of the whole.
template <class Pair>
[[gnu::always_inline]] inline simd::F32x4 by_root_pairs(simd::F32x4 x, simd::F32x4 s,
                                                        simd::F32x4 y, Pair&& pair) {
  using simd::high_to_double;
  using simd::low_to_double;
  return simd::to_float(pair(low_to_double(x), low_to_double(s), low_to_double(y)),
                        pair(high_to_double(x), high_to_double(s), high_to_double(y)));
}
[[gnu::always_inline]] inline simd::F32x4 inv_sqrt_of(simd::F32x4 x) {
  using simd::F64x2;
  const simd::F32x4 s = {_mm_sqrt_ps(x.v)};
  return by_root_pairs(x, s, simd::F32x4::splat(1.0f) / s, [](F64x2 xd, F64x2 sd, F64x2 yd) {
    const F64x2 r = F64x2::splat(1.0) - sd * yd;
    const F64x2 half_d = (xd - sd * sd) * F64x2::splat(0.5);
    return yd + yd * (r - half_d * (yd * yd));
  });
}
[[gnu::always_inline]] inline simd::F32x4 pow3o2_of(simd::F32x4 x) {
  using simd::F64x2;
  const simd::F32x4 s = {_mm_sqrt_ps(x.v)};
  return by_root_pairs(x, s, s, [](F64x2 xd, F64x2 sd, F64x2) {
    return sd * (xd * F64x2::splat(1.5) - sd * (sd * F64x2::splat(0.5)));
  });
}

// All ones in lanes whose bits are those of a positive normal finite float: moved by
// 2^31 - 2^23, that range is [INT32_MIN, -2^24) and every other pattern lies above.
inline simd::I32x4 positive_normal(simd::I32x4 bits) {
  using simd::I32x4;
  return I32x4::splat(-(1 << 24)) > bits + I32x4::splat(0x7F800000);
}
// Lanes whose magnitude is not a normal finite float (zero, subnormal, inf, NaN);
// with `signed_too`, negative lanes as well.
inline int not_normal_lanes(simd::F32x4 x, bool signed_too) {
  const simd::I32x4 b = signed_too ? simd::bits(x) : simd::bits(simd::abs(x));
  return simd::lane_mask(positive_normal(b)) ^ 15;
}

// Square root: the hardware root; negative lanes (sign bit set) go to the callout, which
// keeps -0 and gives NaN with status 1 below zero.
int32_t tess_callout_sSqrt(const float* x, float* r);
struct SqrtSingle : LaneLoopSingle<SqrtSingle> {
  static simd::F32x4 fast_path(simd::F32x4 x) { return {_mm_sqrt_ps(x.v)}; }
  static int special_lanes(simd::F32x4 x) { return _mm_movemask_ps(x.v); }
  static int32_t callout(const float* x, float* r) { return tess_callout_sSqrt(x, r); }
};

// 1 / sqrt x: 1 divided by the hardware root, corrected in double; lanes other than
// positive normal finite go to the callout (±0 gives ±inf with status 2, negative x NaN with status 1).
int32_t tess_callout_sInvSqrt(const float* x, float* r);
struct InvSqrtSingle : LaneLoopSingle<InvSqrtSingle> {
  static simd::F32x4 fast_path(simd::F32x4 x) { return inv_sqrt_of(x); }
  static int special_lanes(simd::F32x4 x) { return not_normal_lanes(x, true); }
  static int32_t callout(const float* x, float* r) { return tess_callout_sInvSqrt(x, r); }
};

// x^(3/2) from the hardware root, corrected in double; negative, infinite and NaN lanes and results beyond the
// float range go to the callout (negative x: NaN, status 1; overflow: +inf, status 3).
int32_t tess_callout_sPow3o2(const float* x, float* r);
struct Pow3o2Single : LaneLoopSingle<Pow3o2Single> {
  static simd::F32x4 fast_path(simd::F32x4 x) { return pow3o2_of(x); }
  // Sign bit set, or x at least 2^85, which takes in every result beyond the float range
  // (x^(3/2) overflows from about 2^85.33 on) and inf and NaN.
  static int special_lanes(simd::F32x4 x) {
    return _mm_movemask_ps(x.v) |
           simd::lane_mask(simd::bits(x) > simd::I32x4::splat(0x69FFFFFF));  // 2^85 and up
  }
  static int32_t callout(const float* x, float* r) { return tess_callout_sPow3o2(x, r); }
};

// Cube roots and x^(2/3) on float lanes; zero, subnormal, infinite and NaN lanes and the
// top two binades go to the callouts, which keep the sign of zero and of infinity (InvCbrt of ±0 is ±inf with status 2).
int32_t tess_callout_sCbrt(const float* x, float* r);
int32_t tess_callout_sInvCbrt(const float* x, float* r);
int32_t tess_callout_sPow2o3(const float* x, float* r);
template <cbrt_core::RootPower P, int32_t (*Callout)(const float*, float*)>
struct CubeRootSingle : LaneLoopSingle<CubeRootSingle<P, Callout>> {
  static constexpr bool kPairedVectors = true;  // s Cbrt 1.26 against 1.39 ns unpaired
  static simd::F32x4 fast_path(simd::F32x4 x) { return cbrt_core::single_root_power<P>(x); }
  static int special_lanes(simd::F32x4 x) { return cbrt_core::single_outside_range(x); }
  static int32_t callout(const float* x, float* r) { return Callout(x, r); }
};
using CbrtSingle = CubeRootSingle<cbrt_core::RootPower::kCbrt, tess_callout_sCbrt>;
using InvCbrtSingle = CubeRootSingle<cbrt_core::RootPower::kInvCbrt, tess_callout_sInvCbrt>;
using Pow2o3Single = CubeRootSingle<cbrt_core::RootPower::kPow2o3, tess_callout_sPow2o3>;

// x^y in double (log2 x and 2^t each from a small table and a short series): positive
// normal x with a normal float result; the callouts follow the double precision ones (Pow,
// Powr) and report a float overflow as status 3 (Pow) or 2 (Powr).
int32_t tess_callout_sPow(const float* x, const float* y, float* r);
int32_t tess_callout_sPowr(const float* x, const float* y, float* r);
inline int pow_lanes_single(simd::F32x4 x, simd::F32x4 y, simd::F32x4& r) {
  int wide;
  r = pow_single::power(x, y, wide);
  return not_normal_lanes(x, true) | wide;
}
struct PowSingle : BinaryLanes<PowSingle, float>, FloatBinaryFastPaths<pow_lanes_single> {
  static int32_t callout(const float* x, const float* y, float* r) {
    return tess_callout_sPow(x, y, r);
  }
};
struct PowrSingle : BinaryLanes<PowrSingle, float> {
  static int64_t fast_block(int64_t n, const float* x, const float* y, float* r) {
    return PowSingle::fast_block(n, x, y, r);
  }
  static int fast_group(const float x[4], const float y[4], float r[4]) {
    return PowSingle::fast_group(x, y, r);
  }
  static int32_t callout(const float* x, const float* y, float* r) {
    return tess_callout_sPowr(x, y, r);
  }
};

// sqrt(x^2 + y^2) in double, exact squares and one rounding each for the sum and root;
// infinite or NaN arguments and results beyond the float range go to the callout
// (overflow: +inf, status 3).
int32_t tess_callout_sHypot(const float* x, const float* y, float* r);
inline int hypot_lanes_single(simd::F32x4 x, simd::F32x4 y, simd::F32x4& r) {
  using simd::F64x2;
  using simd::I32x4;
  const auto root = [](F64x2 a, F64x2 b) { return F64x2{_mm_sqrt_pd((a * a + b * b).v)}; };
  r = simd::to_float(root(simd::low_to_double(x), simd::low_to_double(y)),
                     root(simd::high_to_double(x), simd::high_to_double(y)));
  // Infinite or NaN arguments, or a result beyond the float range.
  const I32x4 top = I32x4::splat(0x7F7FFFFF);
  return simd::lane_mask((simd::bits(simd::abs(x)) > top) | (simd::bits(simd::abs(y)) > top) |
                         (simd::bits(r) > top));
}
struct HypotSingle : BinaryLanes<HypotSingle, float>, FloatBinaryFastPaths<hypot_lanes_single> {
  static int32_t callout(const float* x, const float* y, float* r) {
    return tess_callout_sHypot(x, y, r);
  }
};

}  // namespace zorn::tess
