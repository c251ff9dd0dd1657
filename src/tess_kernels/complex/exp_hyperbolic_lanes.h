// Lanes of the complex exponential, hyperbolic and circular functions for the loop of
// group_lanes.h: four elements per call, e^x or sinh |x| and cosh |x| from the
// two-lane cores of the hyperbolic kernels (as hi + lo), cos y and sin y from one
// reduction by quarter turns of the double sine and cosine core (leading part and tail,
// unrounded), and each part the product of the two rounded once. Elements beyond the cores'
// ranges or with a non-finite part are left to the scalar forms (exponential.cpp).
// Single precision elements take the same formulas in plain double arithmetic on the
// cores of single_cores.h (|x| <= 89, |y| <= 10000 for the hyperbolic and tangent lanes).
#pragma once

#include <complex>
#include <cstdint>

namespace zorn::tess::cx {

// Single precision elements take e^x from the float kernels' 2^(k/64) table and cos y,
// sin y from a quarter-turn reduction and Taylor polynomials, each to about 2^-33, the
// parts rounded once in double before their rounding to float.
struct ExpLanes {
  // The single lanes mark x above 88.72, so that no part they give leaves the float range.
  static constexpr bool kSingleResultsFinite = true;
  static int group(const double x[4], const double y[4], double re[4], double im[4]);
  static int single_group(const double x[4], const double y[4], double re[4], double im[4]);
  // Whole groups of contiguous elements until the first holding one for the scalar form,
  // left unstored; returns the count stored.
  static int64_t block(int64_t n, const std::complex<double>* z, std::complex<double>* r);
};

// sinh z (kSine) or cosh z; kRotated gives sin z = -i sinh(iz) and cos z = cosh(iz).
template <bool kSine, bool kRotated>
struct HyperbolicLanes {
  static int group(const double x[4], const double y[4], double re[4], double im[4]);
  static int single_group(const double x[4], const double y[4], double re[4], double im[4]);
};
using SinhLanes = HyperbolicLanes<true, false>;
using CoshLanes = HyperbolicLanes<false, false>;
using SinLanes = HyperbolicLanes<true, true>;
using CosLanes = HyperbolicLanes<false, true>;

// tanh z, or tan z = -i tanh(iz) (kRotated), from sinh and cosh of the real part and the
// sine and cosine of the imaginary part, as for the hyperbolic lanes.
template <bool kRotated>
struct TangentLanes {
  static int group(const double x[4], const double y[4], double re[4], double im[4]);
  // Contiguous elements as ExpLanes::block.
  static int64_t block(int64_t n, const std::complex<double>* z, std::complex<double>* r);
  static int single_group(const double x[4], const double y[4], double re[4], double im[4]);
};
using TanhLanes = TangentLanes<false>;
using TanLanes = TangentLanes<true>;

}  // namespace zorn::tess::cx
