#include "distributions/stream_caches.h"

#include "core_interface/sibling.h"
#include "distributions/status.h"
#include "zorn/pavo.h"

namespace zorn::distributions {

template <class T>
PendingPair<T>* pending_pair_cache(void* stream, uint32_t id, int32_t* status) {
  *status = kStatusOk;
  for (const PavoChunk* c = static_cast<PavoStreamHeader*>(stream)->chunks; c; c = c->chunk_next) {
    if (c->chunk_id != id) continue;
    // A chunk too small for the pair (a damaged saved image) is refused, never read.
    if (c->chunk_data == nullptr || c->chunk_size < static_cast<int32_t>(sizeof(PendingPair<T>))) {
      *status = kStatusBadArgument;
      return nullptr;
    }
    return static_cast<PendingPair<T>*>(c->chunk_data);
  }
  auto* fresh = static_cast<PendingPair<T>*>(sibling::allocate(sizeof(PendingPair<T>)));
  if (fresh == nullptr) {
    *status = kStatusNoMemory;
    return nullptr;
  }
  fresh->clear();
  *status = __pavoAddChunk(stream, id, nullptr, fresh, sizeof(PendingPair<T>));
  if (!is_failure(*status)) return fresh;
  sibling::deallocate(fresh);
  return nullptr;
}

template PendingPair<float>* pending_pair_cache(void*, uint32_t, int32_t*);
template PendingPair<double>* pending_pair_cache(void*, uint32_t, int32_t*);

}  // namespace zorn::distributions
