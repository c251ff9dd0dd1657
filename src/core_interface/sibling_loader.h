// The loader hook for the sibling libraries.
#pragma once

namespace zorn::core_interface {

// The sibling this library calls, as its lazy binding names it.
#if defined(_WIN32)
inline constexpr char kCoreLibraryName[] = "zorn_core.dll";
#else
inline constexpr char kCoreLibraryName[] = "zorn_core";
#endif

// For a library name beginning with "zorn_", loads it from the directory that holds
// this library and returns its handle; null for any other name (the platform's own
// search then applies), when the directory cannot be had, or when the load fails.
void* load_sibling_library(const char* name);

}  // namespace zorn::core_interface
