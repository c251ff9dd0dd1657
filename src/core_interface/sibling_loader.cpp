#include "core_interface/sibling_loader.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/platform.h"

namespace zorn::core_interface {

namespace {

constexpr size_t kMaxPath = 4096;
constexpr char kSiblingName[] = "zorn_core";

// The directory is looked up once per process under a compare-and-swap spin lock.
std::atomic<int32_t> directory_lock{0};
bool directory_known = false;
bool directory_found = false;
char directory[kMaxPath];

const char* own_directory() {
  for (int32_t expected = 0; !directory_lock.compare_exchange_weak(
           expected, 1, std::memory_order_acquire);
       expected = 0)
    std::this_thread::yield();
  if (!directory_known) {
    directory_found = platform::own_module_directory(directory, sizeof directory);
    directory_known = true;
  }
  directory_lock.store(0, std::memory_order_release);
  return directory_found ? directory : nullptr;
}

}  // namespace

void* load_sibling_library(const char* name) {
  if (name == nullptr || std::strncmp(name, "zorn_", 5) != 0) return nullptr;
  const char* dir = own_directory();
  if (dir == nullptr) return nullptr;
  char path[kMaxPath];
  int n = std::snprintf(path, sizeof path, "%slib%s.so", dir, name);
  if (n < 0 || static_cast<size_t>(n) >= sizeof path) return nullptr;
  return platform::load_library(path);
}

void* resolve_sibling_operation(const char* operation) {
  static std::atomic<void*> library{nullptr};
  void* handle = library.load(std::memory_order_acquire);
  if (handle == nullptr) {
    handle = load_sibling_library(kSiblingName);
    if (handle == nullptr) {
      std::fprintf(stderr, "zorn_generic: cannot load lib%s.so from the library's directory\n",
                   kSiblingName);
      std::abort();
    }
    library.store(handle, std::memory_order_release);
  }
  void* symbol = platform::library_symbol(handle, operation);
  if (symbol == nullptr) {
    std::fprintf(stderr, "zorn_generic: lib%s.so has no operation %s\n", kSiblingName, operation);
    std::abort();
  }
  return symbol;
}

}  // namespace zorn::core_interface
