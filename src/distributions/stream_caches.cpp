#include "distributions/stream_caches.h"

#include "core_interface/sibling.h"
#include "distributions/status.h"
#include "streams/chunks.h"
#include "zorn/pavo.h"

namespace zorn::distributions {

template <class T>
PendingPair<T>* pending_pair_cache(void* stream, uint32_t id, int32_t* status) {
  *status = kStatusOk;
  if (void* found = __pavoSearchChunk(stream, id)) return static_cast<PendingPair<T>*>(found);
  auto* fresh = static_cast<PendingPair<T>*>(sibling::allocate(sizeof(PendingPair<T>)));
  if (fresh == nullptr) {
    *status = kStatusNoMemory;
    return nullptr;
  }
  fresh->clear();
  *status = streams::attach_fresh_chunk(stream, id, nullptr, fresh, sizeof(PendingPair<T>));
  return is_failure(*status) ? nullptr : static_cast<PendingPair<T>*>(__pavoSearchChunk(stream, id));
}

template PendingPair<float>* pending_pair_cache(void*, uint32_t, int32_t*);
template PendingPair<double>* pending_pair_cache(void*, uint32_t, int32_t*);

}  // namespace zorn::distributions
