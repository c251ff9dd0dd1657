// Thread attach and detach reach the entry routine through a TLS callback: the loader
// calls the callbacks of every image that has a TLS directory, a program as well as a
// DLL, so the blocks of ending threads are freed also where the library's objects are
// linked into a program, which never gets a DllMain call. (Process reasons come from
// DllMain: TLS callbacks do not tell an unload from process exit.)
#include <windows.h>

#include "tess_frame/library_entry.h"

namespace {

void NTAPI on_thread_notification(PVOID module, DWORD reason, PVOID reserved) {
  if (reason == DLL_THREAD_ATTACH || reason == DLL_THREAD_DETACH)
    zorn::tess_library_entry(module, reason, reserved);
}

}  // namespace

extern "C" {
// The TLS directory of the MinGW-w64 runtime; referring to it makes sure the image has one.
extern const IMAGE_TLS_DIRECTORY _tls_used;
[[gnu::used]] const void* const zorn_tls_directory = &_tls_used;
// The loader calls every callback stored between the runtime's .CRT$XLA and .CRT$XLZ markers.
[[gnu::section(".CRT$XLD"), gnu::used]] const PIMAGE_TLS_CALLBACK zorn_thread_notification =
    on_thread_notification;
}
