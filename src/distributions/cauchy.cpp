// Cauchy variates a + beta tan(v), v uniform on (-pi/2, pi/2). No environment of its
// own: the Tan kernel runs in the caller's.
#include "distributions/frame.h"
#include "zorn/pavo.h"

namespace zorn::distributions {
namespace {

// The bound of v: the largest value of the type below pi/2. (The single value nearest
// pi/2, 1.5707964f, lies above it, and tan of its negative is a huge positive number.)
template <class T>
constexpr T kHalfPiBelow = T(0);
template <>
inline constexpr double kHalfPiBelow<double> = 1.5707963267948966;
template <>
inline constexpr float kHalfPiBelow<float> = 1.57079625f;  // 0x3FC90FDA

template <class T>
int32_t cauchy(int32_t, void* stream, int32_t n, T* r, T a, T beta) {
  const int32_t status = draw_uniform(stream, n, r, -kHalfPiBelow<T>, kHalfPiBelow<T>);
  if (is_failure(status)) return status;
  Kernels<T>::tan(n, r);
  scale_and_shift(n, r, a, beta);
  return status;
}

}  // namespace
}  // namespace zorn::distributions

extern "C" {
int32_t _pavodRngCauchy(int32_t method, void* stream, int32_t n, double* r, double a, double beta) {
  return zorn::distributions::cauchy(method, stream, n, r, a, beta);
}
int32_t _pavosRngCauchy(int32_t method, void* stream, int32_t n, float* r, float a, float beta) {
  return zorn::distributions::cauchy(method, stream, n, r, a, beta);
}
}
