// Arguments known to be hard or at a boundary, per function: failure thresholds,
// zeros of the function, points where argument reduction loses the most. The generator
// adds each value's neighbours in the target type and a generic list (zeros,
// subnormals, the largest finite values, infinities, NaN) shared by every function.
#pragma once

#include <string_view>
#include <utility>
#include <vector>

namespace zorn_accuracy {

// Values of the first argument (or of a complex argument's real part) for `func`.
std::vector<double> hard_values(std::string_view func);

// Argument pairs for two-argument functions, beyond the generic pairs.
std::vector<std::pair<double, double>> hard_pairs(std::string_view func);

}  // namespace zorn_accuracy
