// Arguments known to be hard or at a boundary, per function: failure thresholds,
// zeros of the function, points where argument reduction loses the most. The lists
// are the hard-case column of harness/functions.def; the generator adds each value's
// neighbours in the target type and a generic list (zeros, subnormals, the largest
// finite values, infinities, NaN) shared by every function.
#pragma once

#include <complex>
#include <string_view>
#include <utility>
#include <vector>

namespace zorn_accuracy {

// Values of the first argument (or of a complex argument's real part) for `func`.
std::vector<double> hard_values(std::string_view func);

// Argument pairs for two-argument functions, beyond the generic pairs.
std::vector<std::pair<double, double>> hard_pairs(std::string_view func);

// Complex arguments of double precision kernels for `func` where sweeps against MPFR found
// their largest errors, out of reach of the random draws.
std::vector<std::complex<double>> complex_hard_values(std::string_view func);

// Complex arguments every complex function sees: near the unit circle, near the axes at
// zeros of the circular functions, parts far apart, both huge or both tiny.
std::vector<std::complex<double>> complex_cases();

// Sets of hard values shared by several functions of the catalogue.
std::vector<double> trig_cases();       // near multiples of pi/2, huge reductions
std::vector<double> degree_cases();     // multiples of 45 degrees, huge arguments
std::vector<double> half_turn_cases();  // multiples of a half turn, exactness limits
std::vector<double> near_one();         // 1 +- 2^-k, polynomial boundaries near 1
std::vector<double> join(std::vector<double> a, const std::vector<double>& b);

}  // namespace zorn_accuracy
