// How a call into the sibling library reaches it: ZORN_SIBLING_OPERATION(name) defines
// `name()`, which returns the sibling's function `name`, bound on first use.
#pragma once

#if defined(_WIN32)
#include "platform/windows/sibling_binding.h"
#else
#include "platform/linux/sibling_binding.h"
#endif
