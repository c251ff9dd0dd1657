// Integers uniform on a <= x < b: double uniforms on [a, b) in blocks of 1024, each
// floored.
#include <algorithm>

#include "distributions/frame.h"
#include "distributions/integer_results.h"
#include "zorn/pavo.h"

using namespace zorn::distributions;

extern "C" int32_t _pavoiRngUniform(int32_t, void* stream, int32_t n, int32_t* r, int32_t a,
                                    int32_t b) {
  double u[kBlock];
  int32_t status = kStatusOk;
  for (int32_t done = 0; done < n; done += kBlock) {
    const int32_t m = std::min(n - done, kBlock);
    status = draw_uniform(stream, m, u, static_cast<double>(a), static_cast<double>(b));
    if (is_failure(status)) return status;
    for (int32_t i = 0; i < m; ++i) r[done + i] = floor_to_int32(u[i]);
  }
  return status;
}
