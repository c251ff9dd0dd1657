// Lanes of the complex logarithms and square root for the loop of group_lanes.h, four
// elements per call. Both parts are first scaled by the power of two that brings the
// larger into [1, 2) (the logarithm keeps them unscaled between 2^-500 and 2^500, where
// ln |z| may cancel near |z| = 1), and |z|^2 is summed exactly in double-double from
// Dekker's squares. Elements with a non-finite or zero part, a larger part below 2^-1022
// or above 2^1001, or a smaller part the scaling would push below the normal range are
// left to the scalar forms (logarithm.cpp).
#pragma once

#include <complex>
#include <cstdint>

namespace zorn::tess::cx {

// ln z = ln |z| + i arg z, or log10 z (kBase10): ln |z| = ln(x^2 + y^2) / 2 + e ln 2 with
// the logarithm as head + tail, of the double-double sum near |z| = 1 (and for scaled
// parts), elsewhere of its head with the tail's first order; arg z by the double Atan2
// core on the scaled parts (the angle does not change with the scale), in base 10 from
// its unrounded sum.
// Single precision parts need no scaling: their squares are exact and normal in double.
template <bool kBase10>
struct LogLanes {
  // |ln z| stays below 104 for float parts (the lanes take neither zeros nor NaNs).
  static constexpr bool kSingleResultsFinite = true;
  static int group(const double x[4], const double y[4], double re[4], double im[4]);
  // Contiguous elements as ExpLanes::block.
  static int64_t block(int64_t n, const std::complex<double>* z, std::complex<double>* r);
  static int single_group(const double x[4], const double y[4], double re[4], double im[4]);
};
using LnLanes = LogLanes<false>;
using Log10Lanes = LogLanes<true>;

// For the scalar forms, on parts that are finite and not both zero, each rounded once by
// the lanes' steps: ln |z| (or log10 |z|, kBase10) from the parts scaled by the larger's
// exponent, and arg z / ln 10, also where one part lies below 2^-500 of the other.
template <bool kBase10>
double log_modulus_rounded(double x, double y);
double log10_argument(double x, double y);

// Kahan's square root on parts scaled by an even power of two: t = sqrt((|x| + |z|) / 2),
// the other part |y| / 2t, each scaled back by the root of the power.
// Single precision parts need no scaling (their squares are exact and normal in double)
// nor double-double: every step rounds in double, far below a float's last place.
struct SqrtLanes {
  // |sqrt z| stays below 2^65 for float parts (the lanes take no NaNs).
  static constexpr bool kSingleResultsFinite = true;
  // Nothing cancels, and no step needs an exact error: 2 ulp a part at worst under the
  // directed roundings (200000 arguments against long double), 1 float ulp for c.
  static constexpr bool kHoldsInEveryRounding = true;
  static int group(const double x[4], const double y[4], double re[4], double im[4]);
  // Contiguous elements as ExpLanes::block.
  static int64_t block(int64_t n, const std::complex<double>* z, std::complex<double>* r);
  static int single_group(const double x[4], const double y[4], double re[4], double im[4]);
};

}  // namespace zorn::tess::cx
