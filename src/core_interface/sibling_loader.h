// Finding and loading the sibling libraries from this library's own directory.
#pragma once

namespace zorn::core_interface {

// The loader hook: for a library name beginning with "zorn_", loads lib<name>.so from
// the directory that holds this library and returns its handle; null for any other
// name, when the directory cannot be had, or when the load fails.
void* load_sibling_library(const char* name);

// Resolves one operation of libzorn_core.so, loading the library on first use. A
// missing library or operation ends the process with a message, as an unresolvable
// lazily bound import does.
void* resolve_sibling_operation(const char* operation);

}  // namespace zorn::core_interface
