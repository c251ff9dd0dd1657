// The one mapping from the C layer's statuses (zorn/status.h) to Python exceptions:
// each service raises its own subclass of zorn.ZornError (zorn/errors.py), carrying the
// status's value, name and meaning.
#pragma once

#include <cstdint>

namespace zorn_python {

enum class Service { vector_math, random, stats, interpolate };

// The name ("PAVO_STATUS_INVALID_BRNG") and the meaning of a status of the service.
const char* status_name(Service service, int32_t status);
const char* status_text(Service service, int32_t status);

// Raises the service's exception for `status`, naming `where` (the Python-level call).
[[noreturn]] void throw_status(Service service, int32_t status, const char* where);

// Raises for a negative status (a failure); zero and positive statuses pass (a positive
// vector-math status is an element error, reported through numpy's error state instead).
inline void throw_if_error(Service service, int32_t status, const char* where) {
  if (status < 0) throw_status(service, status, where);
}

}  // namespace zorn_python
