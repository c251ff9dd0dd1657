// The angle of x^w = e^a (cos b + i sin b), b = Im(w ln x) = c arg x + d ln |x| for
// w = c + id, where one of cos b and sin b is small against T = |c arg x| + |d ln |x||.
//
// The common path forms ln |x| and arg x as double-double: arg x from the fine arctangent
// (atan_octant_fine_sum, about 2^-65 relative, so its part of b errs by 2^-65 |c arg x|)
// and ln |x| from the logarithm core of |x|^2 (its Taylor series stops at r^7, r up to
// 2^-7.8: about 2^-66.5 absolute, and relative as poor as 2^-59.5 where ln |x| is small),
// so b errs by up to 2^-65 |c arg x| + 2^-66.5 |d| + 2^-65 |d ln |x|| <= 2^-65 T', with
// T' = T + |d|/2. A part v of cos b, sin b errs by that (their slopes are at most 1), so
// where |v| >= kSmallPartRatio T' = 2^-12 T' the angle adds under 2^-53 |v|, within an
// ulp of v; smaller parts take the precise angle below, which forms b to about 2^-102 T,
// enough for parts down to 2^-49 T (|v| at least 2^-53 T is all that is asked of a part:
// smaller ones are the rest of an angle reduction the function cannot avoid). On x in
// 2.5 + [-2, 2]^2, w in [-2, 2]^2 elements take it about once in 2,000 (1 us each).
#pragma once

#include <cmath>

#include "tess_kernels/frame/double_double.h"

namespace zorn::tess::cx {

constexpr double kSmallPartRatio = 0x1p-12;
// T beyond which the reduction's quotient b 2/pi is not an exact integer (and every part
// is below 2^-53 T) and below which its products may leave the normal range.
constexpr double kLargestPreciseTerms = 0x1p40;
constexpr double kSmallestPreciseTerms = 0x1p-800;

// T' = T + |d|/2, the measure of b's error on the common path (above).
inline double angle_error_terms(double terms, double d) { return terms + 0.5 * std::fabs(d); }

// Whether cos b or sin b (each to within 2^-50) is small against T' for b's terms' sum T.
inline bool takes_precise_angle(double cos_b, double sin_b, double terms, double d) {
  const double small = std::fmin(std::fabs(cos_b), std::fabs(sin_b));
  return small < kSmallPartRatio * angle_error_terms(terms, d) &&
         terms <= kLargestPreciseTerms && terms >= kSmallestPreciseTerms;
}

struct PreciseCosSin {
  DoubleDouble cos, sin;
};

// atan(small / big) in [0, pi/4] for 0 <= small <= big, big > 0, to about 2^-104
// relative, in every rounding (the arctangent core's fine sum holds only to nearest).
DoubleDouble octant_angle(double big, double small);

// cos b and sin b as double-double to about 2^-102 T absolute, for finite x != 0, |c| and
// |d| at most 2^900 and T within the bounds above.
PreciseCosSin precise_cos_sin(double x, double y, double c, double d);

}  // namespace zorn::tess::cx
