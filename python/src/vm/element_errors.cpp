#include "element_errors.h"

#include <pybind11/pybind11.h>

#include "status_errors.h"
#include "zorn/tess.h"

namespace py = pybind11;

namespace zorn_python {
namespace {

constexpr int32_t kElementStatuses = TESS_STATUS_UNDERFLOW;  // statuses 1..4

struct ThreadRecord {
  bool callback_installed = false;
  int64_t offset = 0;
  int64_t first_index[kElementStatuses + 1] = {-1, -1, -1, -1, -1};
};
thread_local ThreadRecord record;

// Keeps the first index of each element status; a nonzero return tells the library the
// element is handled (no errno, message or floating-point exception of its own).
int32_t record_element(TessErrorContext* context) {
  const int32_t status = context->status;
  if (status >= 1 && status <= kElementStatuses && record.first_index[status] < 0)
    record.first_index[status] = record.offset + context->index;
  return 1;
}

}  // namespace

void begin_element_errors() {
  if (!record.callback_installed) {
    _tessSetErrorCallBack(&record_element);
    record.callback_installed = true;
  }
  record.offset = 0;
  if (_tessGetErrStatus() != TESS_STATUS_OK) _tessClearErrStatus();
}

void set_element_index_offset(int64_t offset) { record.offset = offset; }

void finish_element_errors(const char* function) {
  const int32_t last = _tessGetErrStatus();
  if (last == TESS_STATUS_OK) return;
  _tessClearErrStatus();
  throw_if_error(Service::vector_math, last, function);
  int64_t first_index[kElementStatuses + 1];
  for (int32_t status = 0; status <= kElementStatuses; ++status) {
    first_index[status] = record.first_index[status];
    record.first_index[status] = -1;
  }
  py::object report = py::module_::import("zorn.vm").attr("_element_error");
  for (int32_t status = 1; status <= kElementStatuses; ++status) {
    // Without the callback (a mode that skips it) only the last status is known.
    if (first_index[status] < 0 && status != last) continue;
    report(function, status, status_name(Service::vector_math, status),
           status_text(Service::vector_math, status), first_index[status]);
  }
}

}  // namespace zorn_python
