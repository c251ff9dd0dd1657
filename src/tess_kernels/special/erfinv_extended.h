// erfinv, erfcinv and the normal quantile of one argument, refined in extended precision
// and rounded once: the callouts' values for every argument, the deepest tails included.
// Arguments outside the domain give NaN, its ends infinities.
#pragma once

namespace zorn::tess {

double erfinv_extended(double y);           // y in [-1, 1]
double erfcinv_extended(double q);          // q in [0, 2]
double normal_quantile_extended(double p);  // p in [0, 1]

}  // namespace zorn::tess
