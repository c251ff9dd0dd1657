// The DLL entry point hands the process reasons to the entry routine. DllMain alone
// tells an unload (reserved pointer null) from process exit. The thread reasons come
// through the TLS callback of thread_notifications.cpp instead.
#include <windows.h>

#include "tess_frame/library_entry.h"

static_assert(DLL_PROCESS_DETACH == zorn::kProcessDetach && DLL_PROCESS_ATTACH == zorn::kProcessAttach &&
              DLL_THREAD_ATTACH == zorn::kThreadAttach && DLL_THREAD_DETACH == zorn::kThreadDetach);

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
  if (reason != DLL_PROCESS_ATTACH && reason != DLL_PROCESS_DETACH) return TRUE;
  return zorn::tess_library_entry(module, reason, reserved);
}
