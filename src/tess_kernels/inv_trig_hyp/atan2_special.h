// atan2 of any pair of doubles, including the special values of C99 (signed zeros and
// infinities give exact fractions of a half turn), for the callouts of both precisions.
#pragma once

namespace zorn::tess::inverse_trig {

// atan2(a, b), the angle of the point (b, a); divided by pi when pi_scaled.
double atan2_any(double a, double b, bool pi_scaled);

}  // namespace zorn::tess::inverse_trig
