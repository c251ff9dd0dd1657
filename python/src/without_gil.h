// Running a computation of the C layer with the interpreter's lock released: a failure
// status found inside is carried out as a StatusFailure and raised, with the lock held
// again, as the package's exception for that status.
#pragma once

#include <pybind11/pybind11.h>

#include <cstdint>
#include <optional>

#include "status_errors.h"

namespace zorn_python {

struct StatusFailure {
  int32_t status;
};

// Throws StatusFailure for a negative status.
inline void check_status(int32_t status) {
  if (status < 0) throw StatusFailure{status};
}

// Work on fewer elements keeps the lock: releasing and retaking it costs more than the
// work.
constexpr int64_t kReleaseLockFrom = 1 << 14;

template <class Work>
auto without_gil(Service service, const char* where, Work&& work,
                 int64_t elements = kReleaseLockFrom) {
  try {
    std::optional<pybind11::gil_scoped_release> released;
    if (elements >= kReleaseLockFrom) released.emplace();
    return work();
  } catch (const StatusFailure& failure) {
    throw_status(service, failure.status, where);
  }
}

}  // namespace zorn_python
