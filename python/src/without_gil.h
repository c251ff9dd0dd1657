// Running a computation of the C layer with the interpreter's lock released: a failure
// status found inside is carried out as a StatusFailure and raised, with the lock held
// again, as the package's exception for that status.
#pragma once

#include <pybind11/pybind11.h>

#include <cstdint>

#include "status_errors.h"

namespace zorn_python {

struct StatusFailure {
  int32_t status;
};

// Throws StatusFailure for a negative status.
inline void check_status(int32_t status) {
  if (status < 0) throw StatusFailure{status};
}

template <class Work>
auto without_gil(Service service, const char* where, Work&& work) {
  try {
    pybind11::gil_scoped_release released;
    return work();
  } catch (const StatusFailure& failure) {
    throw_status(service, failure.status, where);
  }
}

}  // namespace zorn_python
