// Loading a sibling from this library's directory, and the C error number.
#include <dlfcn.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/platform.h"
#include "platform/spin_lock.h"

namespace zorn::platform {

namespace {

constexpr size_t kMaxPath = 4096;

// The directory of our own file, with its trailing '/', looked up once.
const char* own_directory() {
  static std::atomic<int32_t> lock{0};
  static bool known = false;
  static bool found = false;
  static char directory[kMaxPath];
  SpinLockGuard guard(lock);
  if (!known) {
    known = true;
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&own_directory), &info) != 0 && info.dli_fname != nullptr) {
      const char* slash = std::strrchr(info.dli_fname, '/');
      const size_t length = slash == nullptr ? 0 : static_cast<size_t>(slash - info.dli_fname) + 1;
      if (length > 0 && length < sizeof directory) {
        std::memcpy(directory, info.dli_fname, length);
        directory[length] = '\0';
        found = true;
      }
    }
  }
  return found ? directory : nullptr;
}

}  // namespace

void* load_library_beside_self(const char* name) {
  const char* dir = own_directory();
  if (dir == nullptr) return nullptr;
  char path[kMaxPath];
  const int n = std::snprintf(path, sizeof path, "%slib%s.so", dir, name);
  if (n < 0 || static_cast<size_t>(n) >= sizeof path) return nullptr;
  return dlopen(path, RTLD_NOW | RTLD_LOCAL);
}

namespace {
int* thread_error_number() { return &errno; }
}  // namespace

ErrorNumberAccessor find_error_number_accessor() { return &thread_error_number; }

}  // namespace zorn::platform
