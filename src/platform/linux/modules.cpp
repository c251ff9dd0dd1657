// The library's own directory, library loading and the C error number.
#include <dlfcn.h>

#include <cerrno>
#include <cstring>

#include "platform/platform.h"

namespace zorn::platform {

bool own_module_directory(char* buf, size_t capacity) {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&own_module_directory), &info) == 0 ||
      info.dli_fname == nullptr)
    return false;
  const char* slash = std::strrchr(info.dli_fname, '/');
  if (slash == nullptr) return false;
  size_t length = static_cast<size_t>(slash - info.dli_fname) + 1;
  if (length + 1 > capacity) return false;
  std::memcpy(buf, info.dli_fname, length);
  buf[length] = '\0';
  return true;
}

void* load_library(const char* path) { return dlopen(path, RTLD_NOW | RTLD_LOCAL); }

void* library_symbol(void* library, const char* name) { return dlsym(library, name); }

int* error_number_location() { return &errno; }

}  // namespace zorn::platform
