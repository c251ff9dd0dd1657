// The operating-system services the library needs, behind one small interface with
// one implementation per platform (linux/, windows/): a thread-local slot, a private
// heap, loading a sibling library from our own directory, and the C error number.
// How sibling operations are bound is in sibling_binding.h.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zorn::platform {

// ---- thread-local slot ----
// A slot holds one pointer per thread. kNoSlot is the index that names no slot.
constexpr uint32_t kNoSlot = 0xFFFFFFFFu;
uint32_t slot_alloc();  // kNoSlot on failure
void slot_free(uint32_t slot);
void* slot_get(uint32_t slot);
bool slot_set(uint32_t slot, void* value);

// ---- private heap ----
// Destroying a heap releases every block still allocated from it.
struct Heap;
Heap* heap_create(size_t initial_bytes);
void* heap_alloc(Heap* heap, size_t bytes);  // 16-byte aligned; null on failure
void heap_free(Heap* heap, void* block);
void heap_destroy(Heap* heap);
size_t heap_live_blocks(const Heap* heap);

// ---- sibling libraries ----
// Loads the sibling library `name` ("zorn_core" here, "zorn_core.dll" on Windows, as
// the lazy binding names it) from the directory that holds this library, found once
// per process. Null when the directory cannot be had, the path is too long, or the
// load fails.
void* load_library_beside_self(const char* name);

// ---- C runtime ----
// The C runtime's accessor of the calling thread's error number, or null when none can
// be found (then error numbers are not set). Callers look it up once and keep it.
using ErrorNumberAccessor = int* (*)();
ErrorNumberAccessor find_error_number_accessor();

}  // namespace zorn::platform
