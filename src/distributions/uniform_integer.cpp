// Integers uniform on a <= x < b: double uniforms on [a, b) in blocks of 1024, each
// floored.
#include "distributions/frame.h"
#include "distributions/integer_results.h"
#include "distributions/uniform_blocks.h"
#include "zorn/pavo.h"

using namespace zorn::distributions;

extern "C" int32_t _pavoiRngUniform(int32_t, void* stream, int32_t n, int32_t* r, int32_t a,
                                    int32_t b) {
  double u[kBlock];
  return in_uniform_blocks(stream, n, kBlock, 1, static_cast<double>(a), static_cast<double>(b), u,
                           [&](int32_t done, int32_t m) {
                             for (int32_t i = 0; i < m; ++i) r[done + i] = floor_to_int32(u[i]);
                           });
}
