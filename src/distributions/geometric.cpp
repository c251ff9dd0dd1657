// Geometric variates (failures before the first success): floor(ln(u) / ln(1 - p)) with
// f = 1 / ln(1 - p) rounded to single and the single-precision Ln kernel over blocks of
// 1024 uniforms. Everything, f included, is computed inside the environment. Edges
// that 1 / ln(1 - p) cannot serve get the limit they tend to: p >= 1 gives 0 (every
// trial succeeds), a p so small that 1 - p rounds to 1 gives INT32_MAX, and every count
// saturates at INT32_MAX.
#include <limits>

#include "distributions/frame.h"
#include "distributions/integer_results.h"
#include "distributions/uniform_blocks.h"
#include "zorn/pavo.h"

using namespace zorn::distributions;

namespace {

// ln(1 - p) with the double-precision Ln kernel, as the library's scalar logarithm.
double log_complement(KernelEnvironment<float>& env, double p) {
  double x = 1 - p;
  env.around_kernel([&] { Kernels<double>::ln(1, &x); });
  return x;
}

float reciprocal_log_complement(KernelEnvironment<float>& env, double p) {
  if (p >= 1) return 0.0f;
  const double l = log_complement(env, p);
  if (l == 0) return -std::numeric_limits<float>::infinity();
  return static_cast<float>(1 / l);
}

}  // namespace

extern "C" int32_t _pavoiRngGeometric(int32_t, void* stream, int32_t n, int32_t* r, double p) {
  KernelEnvironment<float> env(replace_singular_by_ln_subnormal<float>);
  const float f = reciprocal_log_complement(env, p);
  float v[kBlock];
  return in_uniform_blocks(stream, n, kBlock, 1, 0.0f, 1.0f, v, [&](int32_t done, int32_t m) {
    env.ln(m, v);
    for (int32_t i = 0; i < m; ++i) r[done + i] = count_from(v[i] * f);
  });
}
