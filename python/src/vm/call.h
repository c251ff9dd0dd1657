// One call of a vector function: resolves the element type from the arguments' dtypes,
// lays each operand out as a pointer and an increment (a view where the elements are
// equally spaced, one copy otherwise), runs the kernel of the accuracy slot in chunks
// of int32 counts and reports element errors through numpy's error state.
#pragma once

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <array>
#include <string>

#include "catalogue.h"

namespace zorn_python {

// A Python-level function: the catalogue entries of one name, by element type.
struct VmFunction {
  std::string python_name;
  Shape shape;
  std::array<const VmEntry*, 4> by_type{};  // indexed by ElementType; null: no such kernel
};

// The Python arguments of a call beside the arrays: the scalars of POWX (b), ORDER
// (the order) and LINEAR_FRAC (scalea, shifta, scaleb, shiftb).
struct VmScalars {
  pybind11::object value[4];
};

pybind11::object call_vm(const VmFunction& function, pybind11::handle a, pybind11::handle b,
                         const VmScalars& scalars, pybind11::handle out,
                         pybind11::handle accuracy);

}  // namespace zorn_python
