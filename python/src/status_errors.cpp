#include "status_errors.h"

#include <pybind11/pybind11.h>

#include <string>

#include "zorn/status.h"

namespace py = pybind11;

namespace zorn_python {
namespace {

struct ServiceRow {
  Service service;
  int32_t subsystem;       // the status list of zorn/status.h
  const char* exception;   // the class in zorn.errors
};

constexpr ServiceRow kServices[] = {
    {Service::vector_math, ZORN_SUBSYSTEM_TESS, "VectorMathError"},
    {Service::random, ZORN_SUBSYSTEM_PAVO, "RandomError"},
    {Service::stats, ZORN_SUBSYSTEM_SS, "StatsError"},
    {Service::interpolate, ZORN_SUBSYSTEM_DF, "InterpolateError"},
};

const ServiceRow& row_of(Service service) {
  for (const ServiceRow& row : kServices)
    if (row.service == service) return row;
  return kServices[0];  // unreachable: every enumerator has a row
}

}  // namespace

const char* status_name(Service service, int32_t status) {
  return zorn_status_name(row_of(service).subsystem, status);
}

const char* status_text(Service service, int32_t status) {
  return zorn_status_text(row_of(service).subsystem, status);
}

void throw_status(Service service, int32_t status, const char* where) {
  const ServiceRow& row = row_of(service);
  const char* name = zorn_status_name(row.subsystem, status);
  const char* text = zorn_status_text(row.subsystem, status);
  const std::string message = std::string(where) + ": " + name + " (" +
                              std::to_string(status) + "): " + text;
  py::object type = py::module_::import("zorn.errors").attr(row.exception);
  py::object error = type(message, status, name, text);
  PyErr_SetObject(type.ptr(), error.ptr());
  throw py::error_already_set();
}

}  // namespace zorn_python
