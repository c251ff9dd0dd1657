// Poisson method 0: exact sampling from double uniforms, by tabulated inversion (one
// uniform per count) below a mean of 10 and by PTRS (two uniforms per trial, in blocks
// of 512) from 10 on. Counts above INT32_MAX saturate.
#include "distributions/frame.h"
#include "distributions/integer_results.h"
#include "distributions/poisson.h"
#include "distributions/poisson_exact.h"
#include "distributions/rejection_blocks.h"
#include "distributions/uniform_blocks.h"

namespace zorn::distributions {

int32_t poisson_exact(void* stream, int32_t n, int32_t* r, double lambda) {
  if (lambda < kPoissonInversionLimit) {
    const PoissonInversion inversion(lambda);
    double u[kBlock];
    return in_uniform_blocks(stream, n, kBlock, 1, 0.0, 1.0, u, [&](int32_t done, int32_t m) {
      for (int32_t i = 0; i < m; ++i) r[done + i] = inversion.sample(u[i]);
    });
  }
  const Ptrs ptrs(lambda);
  double u[2 * kRejectionBlock];
  return fill_by_rejection(n, r, INT32_MAX, [&](int32_t want, int32_t* out, int32_t* accepted) {
    const int32_t s = draw_uniform(stream, 2 * want, u, 0.0, 1.0);
    if (is_failure(s)) return s;
    for (int32_t i = 0; i < want; ++i) {
      const double k = ptrs.trial(u[2 * i], u[2 * i + 1]);
      if (k >= 0) out[(*accepted)++] = count_from(k);
    }
    return s;
  });
}

}  // namespace zorn::distributions
