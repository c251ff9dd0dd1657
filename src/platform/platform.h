// The operating-system services the library needs, behind one small interface:
// a thread-local slot, a private heap, the library's own directory, loading a library
// and resolving a symbol, and the thread's C error number.
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

// ---- module lookup ----
// Writes the directory of the file that holds this library, with its trailing
// separator, NUL-terminated; false when the name cannot be had or does not fit.
bool own_module_directory(char* buf, size_t capacity);
void* load_library(const char* path);  // null on failure
void* library_symbol(void* library, const char* name);

// ---- C runtime ----
int* error_number_location();

}  // namespace zorn::platform
