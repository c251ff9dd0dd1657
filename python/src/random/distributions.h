// The distributions as methods of zorn.random.Stream.
#pragma once

#include <pybind11/pybind11.h>

#include "stream.h"

namespace zorn_python {

void define_distributions(pybind11::class_<Stream>& stream);

}  // namespace zorn_python
