// Single precision Bessel functions J0, J1, Y0 and Y1: four-lane fast paths computed in
// double (bessel_core.h, the fast phase, whose error is far below a float's), rounded to
// float once; NaN, |x| beyond 65536 and Y's arguments below 2^-60 (zero, negative and
// overflowing ones included) go to the callouts, the double callouts rounded to float.
#pragma once

#include <cstdint>

#include "tess_kernels/frame/lane_loop_single.h"
#include "tess_kernels/frame/simd.h"

namespace zorn::tess {

int32_t tess_callout_sJ0(const float* x, float* r);
int32_t tess_callout_sJ1(const float* x, float* r);
int32_t tess_callout_sY0(const float* x, float* r);
int32_t tess_callout_sY1(const float* x, float* r);

namespace bessel_single {

// f(x) of both halves of x in double, rounded to float once.
template <int kNu, bool kSecond>
simd::F32x4 in_double(simd::F32x4 x);

// NaN, |x| > 65536 and (Y) x < 2^-60.
template <bool kSecond>
int special_lanes(simd::F32x4 x);

}  // namespace bessel_single

template <int kNu, bool kSecond, int32_t (*kCallout)(const float*, float*)>
struct BesselSingle : LaneLoopSingle<BesselSingle<kNu, kSecond, kCallout>> {
  static simd::F32x4 fast_path(simd::F32x4 x) { return bessel_single::in_double<kNu, kSecond>(x); }
  static int special_lanes(simd::F32x4 x) { return bessel_single::special_lanes<kSecond>(x); }
  static int32_t callout(const float* x, float* r) { return kCallout(x, r); }
};
using J0Single = BesselSingle<0, false, tess_callout_sJ0>;
using J1Single = BesselSingle<1, false, tess_callout_sJ1>;
using Y0Single = BesselSingle<0, true, tess_callout_sY0>;
using Y1Single = BesselSingle<1, true, tess_callout_sY1>;

}  // namespace zorn::tess
