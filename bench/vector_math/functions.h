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
};

extern const FunctionInfo kFunctions[24];

// n arguments of f drawn from its range with a fixed seed.
template <class T>
void draw_arguments(Function f, T* out, int64_t n);

}  // namespace bench::vector_math
