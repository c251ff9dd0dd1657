// Argument generation for one kernel: first a hard-case list, then random samples,
// half uniform over the function's interval and half log-uniform in magnitude (both
// signs where the interval has them). Sample i depends only on the seed and i, so the
// arguments do not depend on how the work is split between threads.
#pragma once

#include <complex>
#include <cstdint>
#include <string_view>
#include <vector>

#include "harness/domains.h"
#include "harness/kernel_catalogue.h"

namespace zorn_accuracy {

struct Argument {
  std::complex<double> a;  // real functions use the real part
  std::complex<double> b;  // second argument; for the scalar shapes, the chunk's scalar
};

// Argument values are representable in the target type (rounded to float for s, c).
class ArgumentPlan {
 public:
  ArgumentPlan(const Domain& domain, char type, Shape shape, int64_t random_samples);

  int64_t size() const { return static_cast<int64_t>(hard_.size()) + random_samples_; }
  int64_t hard_count() const { return static_cast<int64_t>(hard_.size()); }
  // Arguments [begin, begin + count); for the scalar shapes every one carries `scalar`.
  void fill(int64_t begin, int64_t count, std::complex<double> scalar,
            std::vector<Argument>& out) const;

 private:
  Argument random_argument(int64_t index) const;

  Domain domain_;
  char type_;
  Shape shape_;
  int64_t random_samples_;
  uint64_t seed_;
  std::vector<Argument> hard_;
};

// The scalar (Powx exponent, Bessel order) of chunk `chunk`; cycles through a list
// that includes the exponents a kernel may treat specially (0, 1, 2, +-0.5, -1, 1.5).
std::complex<double> chunk_scalar(Shape shape, bool complex_type, int64_t chunk);

// Fixed LinearFrac coefficients: (2a - 1) / (b/2 + 3).
constexpr double kLinearFracParams[4] = {2.0, -1.0, 0.5, 3.0};

// Rounds to the target type of type letter `type` (float for s and c).
double to_type(double x, char type);

// One random value of `range` in the target type: uniform when `log_uniform` is false,
// else log-uniform in magnitude. u and v are independent uniforms in [0, 1).
double sample_range(const Range& range, char type, bool log_uniform, double u, double v);

// The hard values of a real argument for `func` in the target type: a generic list
// (signed zeros, subnormal extremes, smallest normal, 0.5, 1, 2, the largest finite,
// infinities, NaN), the interval ends, and the function's own values with their
// neighbours up to two ulps away.
std::vector<double> hard_reals(std::string_view func, const Range& range, char type);

}  // namespace zorn_accuracy
