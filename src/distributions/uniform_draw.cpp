#include "distributions/uniform_draw.h"

#include "distributions/status.h"
#include "streams/registry.h"

namespace zorn::distributions {

int32_t draw_uniform(void* stream, int32_t n, double* r, double a, double b) {
  const PavoBrngProperties* row = streams::row_of_stream(stream);
  if (row == nullptr) return kStatusInvalidBrng;
  return row->gen_double(stream, n, r, a, b);
}

int32_t draw_uniform(void* stream, int32_t n, float* r, float a, float b) {
  const PavoBrngProperties* row = streams::row_of_stream(stream);
  if (row == nullptr) return kStatusInvalidBrng;
  return row->gen_single(stream, n, r, a, b);
}

}  // namespace zorn::distributions
