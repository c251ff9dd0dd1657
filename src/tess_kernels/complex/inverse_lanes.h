// Lanes of the complex inverse sine and cosine, circular and hyperbolic, for the loop of
// group_lanes.h: four elements per call, after Hull, Fairgrieve and Tang ("Implementing
// the complex arcsine and arccosine functions using exception handling", ACM TOMS 23,
// 1997) in double-double on the first quadrant, the real vector cores giving the final
// logarithm and arctangent; and of the inverse tangents by Kahan's parts of
// atanh z = ln((1 + z)/(1 - z))/2. Elements with a part beyond the fast ranges or
// non-finite go to the scalar forms (inverse.cpp).
#pragma once

#include <complex>
#include <cstdint>

namespace zorn::tess::cx {

// asin z (kCosine false) or acos z; kHyperbolic gives asinh z = i asin(-iz) and
// acosh z = +-i acos z (the sign that makes the real part non-negative).
template <bool kCosine, bool kHyperbolic>
struct InverseSineLanes {
  static int group(const double x[4], const double y[4], double re[4], double im[4]);
  // Contiguous elements whole groups at a time (group_lanes.h).
  static int64_t block(int64_t n, const std::complex<double>* z, std::complex<double>* r);
};
using AsinLanes = InverseSineLanes<false, false>;
using AcosLanes = InverseSineLanes<true, false>;
using AsinhLanes = InverseSineLanes<false, true>;
using AcoshLanes = InverseSineLanes<true, true>;

// atanh z, or atan z = -i atanh(iz) (kCircular): the real part
// log1p(4|x| / ((1 - |x|)^2 + y^2)) / 4 and the imaginary part
// atan2(2|y|, (1 - |x|)(1 + |x|) - y^2) / 2, with the signs of x and y. Single precision
// parts (widened) take the same parts in plain double arithmetic.
template <bool kCircular>
struct InverseTangentLanes {
  static int group(const double x[4], const double y[4], double re[4], double im[4]);
  // Contiguous elements whole groups at a time (group_lanes.h).
  static int64_t block(int64_t n, const std::complex<double>* z, std::complex<double>* r);
  static int single_group(const double x[4], const double y[4], double re[4], double im[4]);
};
using AtanhLanes = InverseTangentLanes<false>;
using AtanLanes = InverseTangentLanes<true>;

}  // namespace zorn::tess::cx
