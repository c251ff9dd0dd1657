// Lanes of the complex inverse sine and cosine, circular and hyperbolic, for the loop of
// unary_lanes.h: four elements per call, after Hull, Fairgrieve and Tang ("Implementing
// the complex arcsine and arccosine functions using exception handling", ACM TOMS 23,
// 1997) in double-double on the first quadrant, the real vector cores giving the final
// logarithm and arctangent. Elements with a part beyond [2^-250, 2^250] (zero allowed
// for the part that becomes the real one of asin) or non-finite go to the scalar forms
// (inverse.cpp).
#pragma once

namespace zorn::tess::cx {

// asin z (kCosine false) or acos z; kHyperbolic gives asinh z = i asin(-iz) and
// acosh z = +-i acos z (the sign that makes the real part non-negative).
template <bool kCosine, bool kHyperbolic>
struct InverseSineLanes {
  static int group(const double x[4], const double y[4], double re[4], double im[4]);
};
using AsinLanes = InverseSineLanes<false, false>;
using AcosLanes = InverseSineLanes<true, false>;
using AsinhLanes = InverseSineLanes<false, true>;
using AcoshLanes = InverseSineLanes<true, true>;

}  // namespace zorn::tess::cx
