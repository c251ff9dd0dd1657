// The shared read-only data table: dense entries 0..count-1, one spin lock.
#include "streams/ro_data_table.h"

#include <x86intrin.h>

#include <atomic>

#include "core_interface/sibling.h"
#include "platform/spin_lock.h"
#include "streams/status.h"

namespace zorn::streams {
namespace {

std::atomic<int32_t> g_lock{0};
uint32_t g_count = 0;
PavoRODataEntry g_entries[kRODataTableCapacity];
// Bytes of each entry's block, kept beside the entries (whose layout is public) and
// moved with them; a chunk never states a size other than its entry's.
int32_t g_sizes[kRODataTableCapacity];

bool same_key(const PavoRODataEntry& e, const uint64_t* key) {
  return e.key[0] == key[0] && e.key[1] == key[1];
}

// Callers hold the lock.
PavoRODataEntry* find_locked(const uint64_t* key) {
  for (uint32_t i = 0; i < g_count; ++i)
    if (same_key(g_entries[i], key)) return &g_entries[i];
  return nullptr;
}

PavoRODataEntry* append_locked(const uint64_t* key, void* data, int32_t size) {
  g_sizes[g_count] = size;
  PavoRODataEntry& e = g_entries[g_count++];
  e.key[0] = key[0];
  e.key[1] = key[1];
  e.reference_count = 1;
  e.data = data;
  return &e;
}

// Drops a reference from every entry with the key; the last entry fills a freed place.
bool release_locked(const uint64_t* key) {
  bool found = false;
  uint32_t i = 0;
  while (i < g_count) {
    PavoRODataEntry& e = g_entries[i];
    if (!same_key(e, key)) {
      ++i;
      continue;
    }
    found = true;
    if (--e.reference_count != 0) {
      ++i;
      continue;
    }
    sibling::deallocate(e.data);
    --g_count;
    e = g_entries[g_count];
    g_sizes[i] = g_sizes[g_count];
    g_entries[g_count] = PavoRODataEntry{};
  }
  return found;
}

}  // namespace

ShareOutcome share_chunk_data(const uint64_t* key, void** data, int32_t size, UnknownSize unknown) {
  zorn::platform::SpinLockGuard guard(g_lock);
  if (PavoRODataEntry* e = find_locked(key)) {
    const int32_t held = g_sizes[e - g_entries];
    const bool trusted = held == kUnknownBlockSize && unknown == UnknownSize::kTrust;
    if (held != size && !trusted) return ShareOutcome::kSizeConflict;
    ++e->reference_count;
    *data = e->data;
    return ShareOutcome::kJoined;
  }
  if (g_count >= kChunkShareLimit) return ShareOutcome::kMadePrivate;
  append_locked(key, *data, size);
  return ShareOutcome::kAppended;
}

bool release_shared(const uint64_t* key) {
  if (key_is_zero(key)) return false;
  zorn::platform::SpinLockGuard guard(g_lock);
  return release_locked(key);
}

bool is_shared(const uint64_t* key) {
  if (key_is_zero(key)) return false;
  zorn::platform::SpinLockGuard guard(g_lock);
  return find_locked(key) != nullptr;
}

uint32_t ro_data_table_count() {
  zorn::platform::SpinLockGuard guard(g_lock);
  return g_count;
}

}  // namespace zorn::streams

using namespace zorn::streams;

extern "C" {

int32_t __pavoCreateGlobRODataTableEntry(PavoRODataEntry** entry, const uint64_t* key, void* data) {
  zorn::platform::SpinLockGuard guard(g_lock);
  if (g_count >= kRODataTableCapacity) return kStatusTableFull;
  *entry = append_locked(key, data, kUnknownBlockSize);
  return kStatusOk;
}

int32_t __pavoFindGlobRODataTableEntry(PavoRODataEntry** entry, const uint64_t* key) {
  if (key_is_zero(key)) return kStatusEntryNotFound;
  zorn::platform::SpinLockGuard guard(g_lock);
  PavoRODataEntry* e = find_locked(key);
  if (e == nullptr) return kStatusEntryNotFound;
  *entry = e;
  return kStatusOk;
}

void __pavoRegisterGlobRODataReference(void** holder, const uint64_t* key) {
  if (key_is_zero(key)) return;
  zorn::platform::SpinLockGuard guard(g_lock);
  if (PavoRODataEntry* e = find_locked(key)) {
    ++e->reference_count;
    holder[1] = e->data;
  }
}

void __pavoUnregisterGlobRODataReference(const uint64_t* key) { release_shared(key); }

int32_t __pavoGenerateNewGlobalRODataTableEntryId(uint64_t* key, uint64_t tag) {
  key[1] = tag;
  key[0] = __rdtsc();
  // A key is fresh when no entry holds it; an all-zero key would mean "private".
  while (key_is_zero(key) || is_shared(key)) key[0] = __rdtsc();
  return kStatusOk;
}

}  // extern "C"
