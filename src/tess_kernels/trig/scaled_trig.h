// Sine, cosine and tangent of arguments in half turns (pi-scaled) and in degrees. The
// argument is reduced exactly; the remaining angle, at most a quarter of a half turn,
// is scaled to radians. The high accuracy variant carries that product as a double-double
// and corrects the result to first order; the others use the rounded product.
#pragma once

namespace zorn::tess {

enum class AngleUnit { kHalfTurns, kDegrees };

double scaled_sin(double x, AngleUnit unit, bool high_accuracy);
double scaled_cos(double x, AngleUnit unit, bool high_accuracy);
double scaled_tan(double x, AngleUnit unit, bool high_accuracy);

}  // namespace zorn::tess
