#include "streams/cache_chunks.h"

#include <cstring>

#include "streams/stream_object.h"
#include "zorn/pavo.h"

namespace zorn::streams {
namespace {

template <class T>
bool pair_valid(const PavoChunk& c) {
  T u[2];
  if (c.chunk_data == nullptr || c.chunk_size != static_cast<int32_t>(sizeof u)) return false;
  std::memcpy(u, c.chunk_data, sizeof u);
  const auto unit = [](T x) { return x >= 0 && x <= 1; };
  return u[0] == T(-1) || (unit(u[0]) && unit(u[1]));
}

}  // namespace

bool cache_chunks_valid(const void* stream) {
  for (const PavoChunk* c = static_cast<const PavoStreamHeader*>(stream)->chunks; c; c = c->chunk_next) {
    switch (c->chunk_id) {
      case kChunkGaussianPairSingle:
      case kChunkGammaPairSingle:
        if (!pair_valid<float>(*c)) return false;
        break;
      case kChunkGaussianPairDouble:
      case kChunkGammaPairDouble:
        if (!pair_valid<double>(*c)) return false;
        break;
      default:
        break;
    }
  }
  return true;
}

}  // namespace zorn::streams
