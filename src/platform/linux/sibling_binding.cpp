#include "platform/linux/sibling_binding.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>

#include "core_interface/sibling_loader.h"

namespace zorn::platform {

void* resolve_sibling_operation(const char* operation) {
  static std::atomic<void*> library{nullptr};
  void* handle = library.load(std::memory_order_acquire);
  if (handle == nullptr) {
    handle = core_interface::load_sibling_library(core_interface::kCoreLibraryName);
    if (handle == nullptr) {
      // The loader's message names the path it tried; without one, the directory of
      // this library could not be found.
      const char* why = dlerror();
      std::fprintf(stderr, "zorn_generic: cannot load lib%s.so from the directory of libzorn_generic.so: %s\n",
                   core_interface::kCoreLibraryName,
                   why != nullptr ? why : "that directory is unknown or its path too long");
      std::abort();
    }
    library.store(handle, std::memory_order_release);
  }
  void* symbol = dlsym(handle, operation);
  if (symbol == nullptr) {
    std::fprintf(stderr, "zorn_generic: lib%s.so has no operation %s\n",
                 core_interface::kCoreLibraryName, operation);
    std::abort();
  }
  return symbol;
}

}  // namespace zorn::platform
