// Windows: the sibling's operations are delay-loaded imports. The first call of an
// operation goes through the platform's delay-load helper, which asks our loader hook
// (delay_load_hook.cpp) for zorn_core.dll and binds the import.
#pragma once

#define ZORN_SIBLING_OPERATION(name) \
  inline decltype(&::name) name() { return &::name; }
