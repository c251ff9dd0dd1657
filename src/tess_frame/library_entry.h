// The library entry routine the platform calls at load, unload and thread end.
#pragma once

#include <cstdint>

namespace zorn {

enum : uint32_t { kProcessDetach = 0, kProcessAttach = 1, kThreadAttach = 2, kThreadDetach = 3 };

// Returns 1 for success, 0 to refuse the load (process attach only).
int32_t tess_library_entry(void* module, uint32_t reason, void* reserved);

}  // namespace zorn
