// The delay-load notification hook: before the platform loads a delay-imported DLL,
// ours are loaded from our own folder; any other DLL takes the platform's search.
#include <windows.h>
// delayimp.h needs windows.h first.
#include <delayimp.h>

#include "core_interface/sibling_loader.h"

namespace {

FARPROC WINAPI on_delay_load(unsigned notification, PDelayLoadInfo info) {
  if (notification != dliNotePreLoadLibrary || info == nullptr) return nullptr;
  return reinterpret_cast<FARPROC>(zorn::core_interface::load_sibling_library(info->szDll));
}

}  // namespace

// Replaces the runtime's empty default hook.
PfnDliHook __pfnDliNotifyHook2 = &on_delay_load;  // declared extern "C" by delayimp.h
