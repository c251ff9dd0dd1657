// The functions measured, the ordinary argument range of each (no special lanes for any
// implementation: results stay finite and normal), and an extended precision reference
// for the start-up agreement check.
#pragma once

#include <cstdint>

#include "vector_math/implementations.h"

namespace bench::vector_math {

struct FunctionInfo {
  Function id;
  const char* name;
  const char* range;  // how the arguments are drawn, for the report
  long double (*reference)(long double);
  // Two-argument functions: the reference of (a, b), b from second_arguments.
  long double (*reference2)(long double, long double) = nullptr;
};

// One row per Function, in its order (checked where the rows are written).
extern const FunctionInfo (&kFunctions)[kFunctionCount];

// n arguments of f drawn from its range with a fixed seed.
template <class T>
void draw_arguments(Function f, T* out, int64_t n);

// The second arguments of a two-argument function for a call of n elements, drawn once
// per (f, n) with their own seed and kept until the next (f, n).
template <class T>
const T* second_arguments(Function f, int64_t n);

}  // namespace bench::vector_math
