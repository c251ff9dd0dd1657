// The DLL entry point: the platform's reasons are the entry routine's reasons.
#include <windows.h>

#include "tess_frame/library_entry.h"

static_assert(DLL_PROCESS_DETACH == zorn::kProcessDetach && DLL_PROCESS_ATTACH == zorn::kProcessAttach &&
              DLL_THREAD_ATTACH == zorn::kThreadAttach && DLL_THREAD_DETACH == zorn::kThreadDetach);

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
  return zorn::tess_library_entry(module, reason, reserved);
}
