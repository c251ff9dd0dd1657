// Drives the library entry routine from the ELF loader:
//   load (constructor)                -> reason 1, process attach
//   thread end (slot key destructor)  -> reason 3, thread detach
//   dlclose (destructor)              -> reason 0 with a null reserved pointer
//   process exit (destructor)         -> reason 0 with a non-null reserved pointer
// The exit case is told apart by an atexit handler: at exit, handlers run before the
// loader calls destructors; at dlclose our destructor runs before this object's own
// atexit handlers are finalised.
#include <cstdlib>

#include "platform/linux/thread_exit_hook.h"
#include "tess_frame/library_entry.h"
#include "tess_frame/thread_state.h"

namespace zorn::platform {

namespace {
bool process_exiting = false;
void mark_process_exiting() { process_exiting = true; }
int exit_marker = 0;  // any non-null address serves as the "process is ending" pointer

__attribute__((constructor)) void on_load() {
  std::atexit(&mark_process_exiting);
  // An ELF object cannot refuse its load: when attach fails (and has said so), the
  // first service call retries and ends the process if it still cannot get a block.
  tess_library_entry(nullptr, kProcessAttach, nullptr);
}

__attribute__((destructor)) void on_unload() {
  tess_library_entry(nullptr, kProcessDetach, process_exiting ? &exit_marker : nullptr);
}
}  // namespace

void on_thread_exit(void* slot_value) {
  // The runtime clears the slot before calling us; restore it so that thread detach
  // finds the block exactly as the entry routine expects.
  if (tess_tls_index != kNoSlot) slot_set(tess_tls_index, slot_value);
  tess_library_entry(nullptr, kThreadDetach, nullptr);
}

}  // namespace zorn::platform
