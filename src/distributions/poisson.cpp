#include "distributions/poisson.h"

#include <algorithm>
#include <limits>

#include "distributions/exception_masks.h"
#include "distributions/integer_results.h"
#include "distributions/method_word.h"
#include "distributions/status.h"
#include "zorn/pavo.h"

namespace zorn::distributions {
namespace {

using PoissonMethod = int32_t (*)(void*, int32_t, int32_t*, double);
constexpr PoissonMethod kPoissonMethods[] = {poisson_exact, poisson_normal_approximation};
constexpr int32_t kPoissonMethodCount = 2;

int32_t poisson(int32_t method, void* stream, int32_t n, int32_t* r, double lambda) {
  const int32_t number = method_number(method);
  if (number < 0 || number >= kPoissonMethodCount) return kStatusBadMethod;
  ExceptionMasks masks;
  if (!(lambda <= kPoissonLargestMean)) {
    std::fill(r, r + std::max(n, 0), lambda > 0 ? INT32_MAX : 0);
    return kStatusOk;
  }
  return kPoissonMethods[number](stream, n, r, lambda);
}

}  // namespace
}  // namespace zorn::distributions

extern "C" int32_t _pavoiRngPoisson(int32_t method, void* stream, int32_t n, int32_t* r,
                                    double lambda) {
  return zorn::distributions::poisson(method, stream, n, r, lambda);
}
