// The angle of x^w = e^a (cos b + i sin b), b = Im(w ln x) = c arg x + d ln |x| for
// w = c + id, where one of cos b and sin b is small against T = |c arg x| + |d ln |x||.
//
// The common path forms ln |x| and arg x as double-double from the logarithm and
// arctangent cores: measured against MPFR, arg x is good to 2^-59 absolute (2^-55.4
// relative near 5/64) and ln |x| to 2^-66 absolute, so b errs by up to about 2^-57.5 T.
// A part v of cos b, sin b then errs by up to 2^53 2^-57.5 T / |v| ulp. Below
// kSmallPartRatio T = 2^-8 T elements take the precise angle below, which forms b to
// about 2^-102 T, enough for parts down to 2^-49 T (|v| at least 2^-53 T is all that is
// asked of a part: smaller ones are the rest of an angle reduction the function cannot
// avoid). The ratio trades accuracy just above it (up to 22 ulp by the bound above; 3.9
// and 10.9 measured at 10^6) against the precise angle's cost: on x in 2.5 + [-2, 2]^2,
// w in [-2, 2]^2 it is taken for 0.7% of elements, about 1 us each.
#pragma once

#include <cmath>

#include "tess_kernels/frame/double_double.h"

namespace zorn::tess::cx {

constexpr double kSmallPartRatio = 0x1p-8;
// T beyond which the reduction's quotient b 2/pi is not an exact integer (and every part
// is below 2^-53 T) and below which its products may leave the normal range.
constexpr double kLargestPreciseTerms = 0x1p40;
constexpr double kSmallestPreciseTerms = 0x1p-800;

// Whether cos b or sin b (each to within 2^-50) is small against the terms' sum T.
inline bool takes_precise_angle(double cos_b, double sin_b, double terms) {
  const double small = std::fmin(std::fabs(cos_b), std::fabs(sin_b));
  return small < kSmallPartRatio * terms && terms <= kLargestPreciseTerms &&
         terms >= kSmallestPreciseTerms;
}

struct PreciseCosSin {
  DoubleDouble cos, sin;
};

// cos b and sin b as double-double to about 2^-102 T absolute, for finite x != 0, |c| and
// |d| at most 2^900 and T within the bounds above.
PreciseCosSin precise_cos_sin(double x, double y, double c, double d);

}  // namespace zorn::tess::cx
