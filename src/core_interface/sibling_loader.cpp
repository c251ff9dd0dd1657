#include "core_interface/sibling_loader.h"

#include <cstring>

#include "platform/platform.h"

namespace zorn::core_interface {

void* load_sibling_library(const char* name) {
  if (name == nullptr || std::strncmp(name, "zorn_", 5) != 0) return nullptr;
  return platform::load_library_beside_self(name);
}

}  // namespace zorn::core_interface
