// Poisson method 1: a fast approximation. Below a mean of 1, inversion of single
// uniforms against partial sums of e^lambda's series; from 1 to 100, a quartic
// transform of a standard normal with coefficients tabulated per binary exponent of
// lambda; from 100 on, a cubic correction of a normal variate of shifted mean. Normal
// or uniform values are written into r and converted in place.
#include <cmath>
#include <cstring>

#include "distributions/data/poisson_normal_table.h"
#include "distributions/frame.h"
#include "distributions/integer_results.h"
#include "distributions/poisson.h"
#include "distributions/poisson_large_mean.h"
#include "distributions/poisson_method1_steps.h"
#include "zorn/pavo.h"

namespace zorn::distributions {
namespace {

constexpr int32_t kGaussianInversion = 2;

// The values the draw wrote into r as singles.
float single_at(const int32_t* r, int32_t i) {
  float x;
  std::memcpy(&x, r + i, sizeof x);
  return x;
}

template <class Convert>
void convert_in_place(int32_t n, int32_t* r, Convert&& convert) {
  for (int32_t i = 0; i < n; ++i) r[i] = convert(single_at(r, i));
}

int32_t inversion_below_one(void* stream, int32_t n, int32_t* r, double lambda) {
  const PoissonSmallMeanSums sums(lambda);
  const int32_t status = _pavosRngUniform(0, stream, n, reinterpret_cast<float*>(r), 0.0f, sums.top);
  if (is_failure(status)) return status;
  convert_in_place(n, r, [&](float u) { return sums.count(u); });
  return status;
}

int32_t tabulated(void* stream, int32_t n, int32_t* r, double lambda) {
  const PoissonQuarticTransform transform(lambda);
  const int32_t status = _pavosRngGaussian(kGaussianInversion, stream, n, reinterpret_cast<float*>(r), 0.0f, 1.0f);
  if (is_failure(status)) return status;
  convert_in_place(n, r, [&](float z) { return transform.count(z); });
  return status;
}

int32_t shifted(void* stream, int32_t n, int32_t* r, double lambda) {
  const PoissonShiftedTransform transform(lambda);
  const int32_t status = _pavosRngGaussian(kGaussianInversion, stream, n, reinterpret_cast<float*>(r),
                                           transform.mean, transform.deviation);
  if (is_failure(status)) return status;
  convert_in_place(n, r, [&](float g) { return transform.count(g); });
  return status;
}

}  // namespace

int32_t poisson_normal_approximation(void* stream, int32_t n, int32_t* r, double lambda) {
  if (lambda < 1) return inversion_below_one(stream, n, r, lambda);
  if (lambda < 100) return tabulated(stream, n, r, lambda);
  return shifted(stream, n, r, lambda);
}

}  // namespace zorn::distributions
