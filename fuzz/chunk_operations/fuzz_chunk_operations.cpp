// Fuzzes sequences of chunk operations over three streams and three shared keys:
// add (with sizes that agree or conflict, null or real blocks), search, delete by
// identifier, delete all, copy, copy-state, save and reload, and outside references
// to the shared table. After every operation the shared table must hold, for each
// key, as many references as chunks and outside holders use it, and every shared
// chunk must point at its entry's block; at the end the table is empty again.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstring>
#include <vector>

#include "core_interface/sibling.h"
#include "streams/ro_data_table.h"
#include "zorn/pavo.h"

namespace {

constexpr int kStreams = 3;
constexpr uint64_t kKeys[4][2] = {{0, 0}, {0xA1, 1}, {0xB2, 2}, {0xC3, 3}};
constexpr int32_t kSizes[] = {0, 1, 8, 16, 100, 4096};

struct World {
  std::array<void*, kStreams> streams{};
  std::array<uint32_t, 4> outside{};  // references taken through the table interface
  std::array<bool, 4> unsized{};      // the entry was made by the table interface
};

void fail() { __builtin_trap(); }

bool same_key(const uint64_t* a, const uint64_t* b) { return a[0] == b[0] && a[1] == b[1]; }

void check(World& w) {
  for (int k = 1; k < 4; ++k) {
    uint32_t chunks = 0;
    const void* data = nullptr;
    for (void* s : w.streams)
      for (const PavoChunk* c = static_cast<const PavoStreamHeader*>(s)->chunks; c; c = c->chunk_next)
        if (same_key(c->chunk_key, kKeys[k])) {
          ++chunks;
          if (data != nullptr && c->chunk_data != data) fail();  // one block per key
          data = c->chunk_data;
        }
    PavoRODataEntry* e = nullptr;
    const bool found = __pavoFindGlobRODataTableEntry(&e, kKeys[k]) == 0;
    const uint32_t want = chunks + w.outside[k];
    if (found != (want != 0) || (found && (e->reference_count != want || (chunks && e->data != data)))) fail();
    if (!found) w.unsized[k] = false;
  }
  for (void* s : w.streams) {
    std::vector<char> image(static_cast<size_t>(__pavoGetStreamSize(s)));
    __pavoSaveStreamM(s, image.data());
  }
}

// Four caller identifiers, clear of the library's own (1-4 hold pending pairs, whose
// contents a loader checks; see streams/cache_chunks.h).
uint32_t chunk_id(FuzzedDataProvider& in) { return 20 + in.ConsumeIntegralInRange<uint32_t>(0, 3); }

void add(World& w, FuzzedDataProvider& in) {
  void* s = w.streams[in.ConsumeIntegralInRange(0, kStreams - 1)];
  const int k = in.ConsumeIntegralInRange(0, 3);
  const int32_t size = kSizes[in.ConsumeIntegralInRange<size_t>(0, 5)];
  const bool null_block = in.ConsumeBool();
  void* data = null_block ? nullptr : zorn::sibling::allocate(static_cast<uint64_t>(size) + 1);
  if (data != nullptr) std::memset(data, 0x33, static_cast<size_t>(size));
  const int32_t status = __pavoAddChunk(s, chunk_id(in), kKeys[k], data, size);
  if (null_block && size > 0 ? status != -3 : status != 0 && status != -3002) fail();
  const PavoChunk* head = static_cast<const PavoStreamHeader*>(s)->chunks;
  // The block is the chunk's when it became private or started an entry.
  if (status != 0 || head->chunk_data != data) zorn::sibling::deallocate(data);
}

// An image may not join a block whose size the table does not know: such a reload is
// refused, and only then.
void reload(World& w, int i) {
  std::vector<char> image(static_cast<size_t>(__pavoGetStreamSize(w.streams[i])));
  __pavoSaveStreamM(w.streams[i], image.data());
  bool joins_unsized = false;
  for (const PavoChunk* c = static_cast<const PavoStreamHeader*>(w.streams[i])->chunks; c; c = c->chunk_next)
    for (int k = 1; k < 4; ++k) joins_unsized |= w.unsized[k] && same_key(c->chunk_key, kKeys[k]);
  void* loaded = nullptr;
  const int32_t status = __pavoLoadStreamM(&loaded, image.data());
  if (status != (joins_unsized ? -3002 : 0)) fail();
  if (joins_unsized) return;
  __pavoDeleteStream(&w.streams[i]);
  w.streams[i] = loaded;
}

void table_reference(World& w, FuzzedDataProvider& in) {
  const int k = in.ConsumeIntegralInRange(1, 3);
  PavoRODataEntry* e = nullptr;
  switch (in.ConsumeIntegralInRange(0, 2)) {
    case 0:  // a block of a size the table is not told
      if (__pavoFindGlobRODataTableEntry(&e, kKeys[k]) != 0 &&
          __pavoCreateGlobRODataTableEntry(&e, kKeys[k], zorn::sibling::allocate(4096)) == 0) {
        ++w.outside[k];
        w.unsized[k] = true;
      }
      break;
    case 1: {
      void* holder[2] = {nullptr, &w};  // the second word changes only when the key is found
      const bool found = __pavoFindGlobRODataTableEntry(&e, kKeys[k]) == 0;
      __pavoRegisterGlobRODataReference(holder, kKeys[k]);
      if (holder[1] != (found ? e->data : &w)) fail();
      if (found) ++w.outside[k];
      break;
    }
    default:
      if (w.outside[k] != 0) {
        __pavoUnregisterGlobRODataReference(kKeys[k]);
        --w.outside[k];
      }
      break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  World w;
  const uint32_t ids[kStreams] = {PAVO_BRNG_MCG31M1, PAVO_BRNG_MRG32K3A, PAVO_BRNG_MCG59};
  for (int i = 0; i < kStreams; ++i) {
    const uint32_t seed = 1;
    if (__pavoNewStreamEx(&w.streams[i], ids[i], 1, &seed) != 0) fail();
  }
  for (int step = 0; step < 64 && in.remaining_bytes() > 0; ++step) {
    const int i = in.ConsumeIntegralInRange(0, kStreams - 1);
    const int j = in.ConsumeIntegralInRange(0, kStreams - 1);
    switch (in.ConsumeIntegralInRange(0, 8)) {
      case 0:
      case 1:
        add(w, in);
        break;
      case 2:
        __pavoSearchChunk(w.streams[i], chunk_id(in));
        break;
      case 3:
        __pavoDeleteChunksById(w.streams[i], chunk_id(in));
        break;
      case 4:
        __pavoDeleteChunks(w.streams[i]);
        break;
      case 5: {
        void* copy = nullptr;
        if (__pavoCopyStream(&copy, w.streams[j]) != 0) fail();
        __pavoDeleteStream(&w.streams[i]);
        w.streams[i] = copy;
        break;
      }
      case 6:
        // Streams of different generators are the caller's error, but stay safe.
        if (__pavoCopyStreamState(w.streams[i], w.streams[j]) != 0) fail();
        break;
      case 7:
        reload(w, i);
        break;
      default:
        table_reference(w, in);
        break;
    }
    check(w);
  }
  for (void*& s : w.streams) __pavoDeleteStream(&s);
  for (int k = 1; k < 4; ++k)
    for (; w.outside[k] != 0; --w.outside[k]) __pavoUnregisterGlobRODataReference(kKeys[k]);
  if (zorn::streams::ro_data_table_count() != 0) fail();
  return 0;
}
