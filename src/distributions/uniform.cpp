// Uniform variates on [a, b): the basic generator's own mapping, and with the accurate
// flag every result clamped into [a, b].
#include "distributions/frame.h"
#include "zorn/pavo.h"

namespace zorn::distributions {
namespace {

template <class T>
int32_t uniform(int32_t method, void* stream, int32_t n, T* r, T a, T b) {
  const int32_t status = draw_uniform(stream, n, r, a, b);
  if (is_failure(status) || !is_accurate(method) || n < 1) return status;
  for (int32_t i = 0; i < n; ++i) {
    if (r[i] < a) r[i] = a;
    if (r[i] > b) r[i] = b;
  }
  return status;
}

}  // namespace
}  // namespace zorn::distributions

extern "C" {
int32_t _pavodRngUniform(int32_t method, void* stream, int32_t n, double* r, double a, double b) {
  return zorn::distributions::uniform(method, stream, n, r, a, b);
}
int32_t _pavosRngUniform(int32_t method, void* stream, int32_t n, float* r, float a, float b) {
  return zorn::distributions::uniform(method, stream, n, r, a, b);
}
}
