// The error callbacks the distributions install for their kernel calls. Each puts a
// finite value in place of a kernel's special result and returns 0, so the reporter
// writes it back into the result array.
#pragma once

#include <cstdint>

#include "zorn/tess.h"

namespace zorn::distributions {

// ln of the smallest positive subnormal of the type: what ln(0) becomes.
template <class T>
constexpr double kLnSmallestSubnormal = 0;
template <>
inline constexpr double kLnSmallestSubnormal<double> = -744.4400719213812;
template <>
inline constexpr double kLnSmallestSubnormal<float> = -103.2789306640625;

// |ErfInv| at the ends of its domain: where a normal variate by inversion is cut.
template <class T>
constexpr double kNormalBound = 0;
template <>
inline constexpr double kNormalBound<double> = 5.8635847487551676;
template <>
inline constexpr double kNormalBound<float> = 3.8325068950653076;

// Every report becomes ln of the smallest subnormal (Exponential, Laplace, Gumbel).
template <class T>
int32_t replace_by_ln_subnormal(TessErrorContext* context) {
  context->res1 = context->res2 = kLnSmallestSubnormal<T>;
  return 0;
}

// A singularity (status 2, ln of zero) becomes ln of the smallest subnormal; every
// other report is left alone (Rayleigh, Weibull, the gamma family, ...).
template <class T>
int32_t replace_singular_by_ln_subnormal(TessErrorContext* context) {
  if (context->status == TESS_STATUS_SINGULARITY) {
    context->res1 = context->res2 = kLnSmallestSubnormal<T>;
  }
  return 0;
}

// The Gaussian generators: ErfInv outside or at the ends of (-1, 1) gives the signed
// bound, ln of zero gives ln of the smallest subnormal.
template <class T>
int32_t replace_normal_special(TessErrorContext* context) {
  const double bound = context->arg1 < 0 ? -kNormalBound<T> : kNormalBound<T>;
  if (context->status == TESS_STATUS_DOMAIN) {
    context->res1 = context->res2 = bound;
  } else if (context->status == TESS_STATUS_SINGULARITY) {
    context->res1 = context->res2 = context->arg1 == 0 ? kLnSmallestSubnormal<T> : bound;
  }
  return 0;
}

}  // namespace zorn::distributions
