// The destructor of the thread-local slot: runs when a thread with a non-null slot
// value ends.
#pragma once

namespace zorn::platform {
void on_thread_exit(void* slot_value);
}
