// Leapfrog and skip-ahead on a stream: dispatched to its generator's init_stream.
#include "streams/registry.h"
#include "streams/status.h"

using namespace zorn::streams;

namespace {

int32_t dispatch(void* stream, uint32_t method, int32_t n, const void* params) {
  const PavoBrngProperties* row = row_of_stream(stream);
  if (row == nullptr) return kStatusInvalidBrng;
  return row->init_stream(method, stream, n, params);
}

}  // namespace

extern "C" {

int32_t __pavoLeapfrogStream(void* stream, uint32_t k, int32_t n_streams) {
  if (n_streams < 0) return kStatusBadLeapfrogCount;
  return dispatch(stream, PAVO_INIT_LEAPFROG, n_streams, &k);
}

int32_t __pavoSkipAheadStream(void* stream, uint64_t count) {
  return dispatch(stream, PAVO_INIT_SKIP_AHEAD, 2, &count);
}

int32_t __pavoSkipAheadStreamEx(void* stream, int32_t n, const uint64_t* count) {
  return dispatch(stream, PAVO_INIT_SKIP_AHEAD_MULTI, n, count);
}

}  // extern "C"
