// The complex exponential, hyperbolic and circular functions, logarithms and square
// root in double precision, with the special values and branch cuts of C99's Annex G
// (the circular functions by the rotations sin z = -i sinh(iz), cos z = cosh(iz),
// tan z = -i tanh(iz), under which the Annex defines them). Single precision callers
// evaluate them on the widened argument and round each part once.
#pragma once

#include "tess_kernels/complex/real_parts.h"

namespace zorn::tess::cx {

Z exp(Z z);
Z sinh(Z z);
Z cosh(Z z);
Z tanh(Z z);
inline Z sin(Z z) { return times_minus_i(sinh(times_i(z))); }
inline Z cos(Z z) { return cosh(times_i(z)); }
inline Z tan(Z z) { return times_minus_i(tanh(times_i(z))); }

Z log(Z z);
Z log10(Z z);
Z sqrt(Z z);

// x^y = e^(y ln x), with 0^y = 0 and x^0 = 1.
Z pow(Z x, Z y);

}  // namespace zorn::tess::cx
