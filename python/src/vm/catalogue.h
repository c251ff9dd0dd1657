// The vector functions as the binding sees them: one entry per (function, element type),
// generated from the library's catalogue, holding the strided entry points of the three
// accuracy slots (a strided call with unit increments runs the contiguous kernel).
#pragma once

#include <cstdint>
#include <span>

#include "zorn/tess_function_types.h"

namespace zorn_python {

// The argument shapes of the catalogue that are element-wise functions.
enum class Shape { ONE, TWO, POWX, ONE_TWO, ORDER, LINEAR_FRAC, TO_REAL, CIS };

// Element types by the catalogue's type letter: float, double, complex float, complex double.
enum class ElementType { s, d, c, z };

struct VmEntry {
  const char* name;  // the catalogue's name, for example "Exp"
  Shape shape;
  ElementType type;
  TessKernel strided[3];  // LA, HA, EP
};

std::span<const VmEntry> vm_catalogue();

}  // namespace zorn_python
