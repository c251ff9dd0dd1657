// The per-value steps of Poisson method 1, one class per range of the mean; each is set
// up once per call and turns a single-precision uniform or normal value into a count.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>

#include "distributions/data/poisson_normal_table.h"
#include "distributions/integer_results.h"
#include "distributions/poisson_large_mean.h"

namespace zorn::distributions {

// lambda < 1: u uniform on [0, top), top ~ e^lambda by a polynomial fit; the count is
// the smallest k <= 10 with u <= S_k, S_k = sum of lambda^j / j! for j <= k (each sum in
// double, compared in single), and 11 above S_10.
struct PoissonSmallMeanSums {
  static constexpr int kTerms = 11;
  float top;
  float sums[kTerms];

  explicit PoissonSmallMeanSums(double lambda) {
    top = static_cast<float>(
        (((((((0.0003351641595394528 * lambda + 0.0011369805324212754) * lambda +
              0.008565930750590653) * lambda + 0.0415487961378904) * lambda +
            0.16669916415448055) * lambda + 0.49999555884885266) * lambda +
          1.000000235204182) * lambda + 0.9999999978976929));
    double term = 1, sum = 1;
    sums[0] = 1.0f;
    for (int k = 1; k < kTerms; ++k) {
      term = term * lambda / k;
      sum += term;
      sums[k] = static_cast<float>(sum);
    }
  }
  int32_t count(float u) const {
    int32_t k = 0;
    while (k < kTerms && !(u <= sums[k])) ++k;
    return k;
  }
};

// 1 <= lambda < 100: y = ((((A z + B) z + C) z + D) E z + K in single precision, the six
// coefficients from row e = floor(log2 lambda) of the table as polynomials in the
// single-precision mantissa fraction f of lambda (evaluated in double, then rounded).
struct PoissonQuarticTransform {
  float k, e, d, c, b, a;

  explicit PoissonQuarticTransform(double lambda) {
    const float single = static_cast<float>(lambda);
    uint32_t bits;
    std::memcpy(&bits, &single, sizeof bits);
    const int row = static_cast<int>(bits >> 23) - 127;
    const double f = static_cast<double>(bits & 0x7FFFFF) * 0x1p-23;
    const double* t = kPoissonNormalTable[row];
    auto cubic = [f](const double* p) { return p[0] + (p[1] + (p[2] + p[3] * f) * f) * f; };
    k = static_cast<float>(1 + t[0] + (t[1] + t[2] * f) * f);
    e = static_cast<float>(cubic(t + 3));
    d = static_cast<float>(cubic(t + 7));
    c = static_cast<float>(cubic(t + 11));
    b = static_cast<float>(cubic(t + 15));
    a = static_cast<float>(cubic(t + 19));
  }
  int32_t count(float z) const { return count_from((((a * z + b) * z + c) * z + d) * e * z + k); }
};

// lambda >= 100: g normal with the shifted mean and deviation (rounded to single), and
// y = g + 1 + P1 x + P2 x^2 + P3 x^3 in single precision with x = g - mean.
struct PoissonShiftedTransform {
  float mean, deviation, p1, p2, p3;

  explicit PoissonShiftedTransform(double lambda) {
    namespace large = poisson_large_mean;
    const double v = 1 / lambda;
    mean = static_cast<float>(large::mean(lambda, v));
    deviation = static_cast<float>(std::sqrt(large::variance(lambda, v)));
    const large::Correction p = large::correction(v);
    p1 = static_cast<float>(p.p1);
    p2 = static_cast<float>(p.p2);
    p3 = static_cast<float>(p.p3);
  }
  int32_t count(float g) const {
    const float x = g - mean, x2 = x * x;
    return count_from(g + 1.0f + p1 * x + p2 * x2 + p3 * (x2 * x));
  }
};

}  // namespace zorn::distributions
