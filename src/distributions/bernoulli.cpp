// Bernoulli variates: single uniforms drawn straight into the result array, each
// replaced by 1 when u < p. The comparison is made on the bit patterns, which order
// non-negative singles as their values, so the loop is integer compares in place.
// p >= 1 gives 1 whatever the uniform: a generator's single uniform can round up to
// exactly 1.0f, which "u < p" would turn into a 0.
#include <cstring>

#include "distributions/frame.h"
#include "zorn/pavo.h"

using namespace zorn::distributions;

extern "C" int32_t _pavoiRngBernoulli(int32_t, void* stream, int32_t n, int32_t* r, double p) {
  ExceptionMasks masks;  // the conversion of p may be inexact
  const int32_t status = draw_uniform(stream, n, reinterpret_cast<float*>(r), 0.0f, 1.0f);
  if (is_failure(status)) return status;
  if (p >= 1) {
    std::fill(r, r + n, 1);
    return status;
  }
  const float p_single = static_cast<float>(p);
  int32_t p_bits;
  std::memcpy(&p_bits, &p_single, sizeof p_bits);
  for (int32_t i = 0; i < n; ++i) r[i] = r[i] < p_bits ? 1 : 0;
  return status;
}
