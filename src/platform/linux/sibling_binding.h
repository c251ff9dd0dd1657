// Linux: the kernel library has no link-time dependency on the sibling. The first call
// of each operation loads the sibling (once) and looks the operation up by name; the
// address is then kept.
#pragma once

#include <atomic>

namespace zorn::platform {
// Resolves one operation of libzorn_core.so. A missing library or operation ends the
// process with a message, as an unresolvable lazily bound import does.
void* resolve_sibling_operation(const char* operation);
}  // namespace zorn::platform

#define ZORN_SIBLING_OPERATION(name)                                               \
  inline decltype(&::name) name() {                                                \
    using Fn = decltype(&::name);                                                  \
    static std::atomic<Fn> bound{nullptr};                                         \
    Fn fn = bound.load(std::memory_order_acquire);                                 \
    if (fn == nullptr) {                                                           \
      fn = reinterpret_cast<Fn>(platform::resolve_sibling_operation(#name));       \
      bound.store(fn, std::memory_order_release);                                  \
    }                                                                              \
    return fn;                                                                     \
  }
