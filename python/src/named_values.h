// Enumerators chosen from Python by name: a table of (name, value) rows per enumeration.
#pragma once

#include <pybind11/pybind11.h>

#include <cstddef>
#include <string>

namespace zorn_python {

template <class T>
struct Named {
  const char* name;
  T value;
};

// The value named `name`; a ValueError listing the names for any other.
template <class T, size_t N>
T value_named(const Named<T> (&table)[N], const std::string& name, const char* what) {
  std::string names;
  for (const Named<T>& row : table) {
    if (name == row.name) return row.value;
    names += std::string(names.empty() ? "" : ", ") + "'" + row.name + "'";
  }
  throw pybind11::value_error("unknown " + std::string(what) + " '" + name + "' (one of " + names +
                              ")");
}

}  // namespace zorn_python
