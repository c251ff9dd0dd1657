// The natural logarithm in double precision that the callouts of the single precision
// logarithms share, and the arguments on which they all agree.
#pragma once

#include <cstdint>

namespace zorn::tess {

// ln x for a positive finite normal double x: near 1 (|x - 1| <= near_one_bound, at most
// 2^-7) the polynomial r + r^2 Q(r) in r = x - 1, elsewhere x = 2^k m reduced by the
// nearest of 65 reciprocals c^-1 with ln c from the table, in hi and lo parts.
double ln_core_single(double x, double near_one_bound);

// The results of a logarithm on NaN, +inf (passed through, status 0), -inf and negative
// arguments (NaN 0x7FC00000, status 1) and zero (-inf, status 2). Returns false and
// leaves *r alone for positive finite x. x is the argument as the SSE unit reads it, so a
// subnormal counts as zero when denormals-are-zero is on.
bool log_special_argument(double x, float* r, int32_t* status);

}  // namespace zorn::tess
