// Creation of the three abstract streams, whose numbers come from the caller's buffer
// and refill callback. Arguments are checked here; the row's init_stream stores them.
#include "streams/status.h"
#include "streams/stream_object.h"

namespace zorn::streams {
namespace {

// Allocates the row's object under `brng_id` and hands it the parameter block.
int32_t create_abstract(void** stream, uint32_t brng_id, int32_t param_count, const void* params) {
  int32_t row = 0, sub = 0;
  PavoBrngProperties* table = __pavoGetBrngBaseOffset(brng_id, &row, &sub);
  const int32_t status = __pavoAllocateStream(stream, table, brng_id, row, sub);
  if (status != kStatusOk) return status;
  return table[row].init_stream(PAVO_INIT_SEED, *stream, param_count, params);
}

// A buffer holds at least one value (a negative length is refused with 0).
bool empty_buffer(int32_t n) { return n <= 0; }

// a >= b is an empty interval; a NaN bound makes no comparison true and passes.
template <typename Real>
bool empty_interval(Real a, Real b) {
  return a >= b;
}

}  // namespace
}  // namespace zorn::streams

using namespace zorn::streams;

extern "C" {

int32_t __pavoiNewAbstractStream(void** stream, int32_t n, uint32_t* buffer,
                                 PavoiAbstractCallback callback) {
  if (empty_buffer(n) || buffer == nullptr || callback == nullptr) return kStatusBadArgument;
  const void* params[3] = {&n, buffer, reinterpret_cast<const void*>(callback)};
  return create_abstract(stream, PAVO_BRNG_IABSTRACT, 6, params);
}

int32_t __pavodNewAbstractStream(void** stream, int32_t n, double* buffer, double a, double b,
                                 PavodAbstractCallback callback) {
  if (empty_buffer(n) || buffer == nullptr || callback == nullptr || empty_interval(a, b))
    return kStatusBadArgument;
  const void* params[5] = {&n, buffer, &a, &b, reinterpret_cast<const void*>(callback)};
  return create_abstract(stream, PAVO_BRNG_DABSTRACT, 10, params);
}

int32_t __pavosNewAbstractStream(void** stream, int32_t n, float* buffer, float a, float b,
                                 PavosAbstractCallback callback) {
  if (empty_buffer(n) || buffer == nullptr || callback == nullptr || empty_interval(a, b))
    return kStatusBadArgument;
  const void* params[5] = {&n, buffer, &a, &b, reinterpret_cast<const void*>(callback)};
  return create_abstract(stream, PAVO_BRNG_SABSTRACT, 10, params);
}

}  // extern "C"
