// Exact reduction of any finite double by multiples of pi/2 (Payne and Hanek): the
// argument's 53-bit mantissa times a 192-bit window of the digits of 2/pi, chosen by its
// exponent, gives the quadrant count mod 4 and at least 126 bits of the fraction. The
// doubles closest to a multiple of pi/2 lie about 2^-61 from it, so at least 64 bits of
// the fraction are significant.
#pragma once

#include <cstdint>

namespace zorn::tess {

// a = (4 m + quadrant) pi/2 + hi + lo for some integer m, |hi + lo| <= pi/4, |lo| within
// an ulp of hi.
struct QuarterTurnReduction {
  int32_t quadrant;
  double hi, lo;
};

// For finite a >= 1.
QuarterTurnReduction reduce_quarter_turns(double a);

}  // namespace zorn::tess
