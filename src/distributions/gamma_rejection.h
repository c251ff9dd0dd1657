// The rejection steps of the gamma samplers, one trial at a time, in the precision of
// the results. Each trial returns the standard gamma variate it accepts, or kRejected.
// Every comparison is written so that a NaN (from a NaN or infinite shape) rejects, and
// the callers bound their trial rounds, so no input loops for ever.
#pragma once

#include <cmath>

namespace zorn::distributions {

template <typename T>
constexpr T kRejected = T(-1);

// Marsaglia and Tsang, "A simple method for generating gamma variables", ACM TOMS 26
// (2000): shape alpha > 1, a normal x and a uniform u per trial.
template <typename T>
struct MarsagliaTsang {
  T d, c;
  explicit MarsagliaTsang(T alpha)
      : d(alpha - T(0.3333333333333333)), c(T(1) / std::sqrt(T(9) * alpha - T(3))) {}

  T trial(T x, T u) const {
    T v = T(1) + c * x;
    if (!(v > T(0))) return kRejected<T>;
    v = v * v * v;
    const T x2 = x * x;
    if (u < T(1) - T(0.0331) * x2 * x2) return d * v;  // the squeeze
    if (std::log(u) < T(0.5) * x2 + d * (T(1) - v + std::log(v))) return d * v;
    return kRejected<T>;
  }
};

// Shape 0 < alpha < 1 by the envelope x^(alpha-1) on [0, t] and t^(alpha-1) e^-x above
// t, two uniforms per trial: Best's RGS (D. J. Best, "A note on gamma variate generators
// with shape parameter less than unity", Computing 30, 1983) with his breakpoint
// t = 0.07 + 0.75 sqrt(1 - alpha), and with t = 1 Ahrens and Dieter's GS (Computing 12,
// 1974). Both squeezes are lower bounds: e^-x >= (2 - x) / (2 + x) for x >= 0, and
// y^(alpha-1) >= 1 / (alpha + (1 - alpha) y) for y >= 1 by the weighted AM-GM inequality.
template <typename T>
struct SmallShapeGamma {
  T alpha, inv_alpha, one_minus_alpha, t, b;

  SmallShapeGamma(T shape, T breakpoint)
      : alpha(shape),
        inv_alpha(T(1) / shape),
        one_minus_alpha(T(1) - shape),
        t(breakpoint),
        b(T(1) + shape * std::exp(-breakpoint) / breakpoint) {}

  static SmallShapeGamma best(T shape) {
    return SmallShapeGamma(shape, T(0.07) + T(0.75) * std::sqrt(T(1) - shape));
  }
  static SmallShapeGamma ahrens_dieter(T shape) { return SmallShapeGamma(shape, T(1)); }

  T trial(T u1, T u2) const {
    const T v = b * u1;
    if (v <= T(1)) {  // the power piece below t
      const T x = t * std::exp(std::log(v) * inv_alpha);
      if (u2 < (T(2) - x) / (T(2) + x) || u2 < std::exp(-x)) return x;
      return kRejected<T>;
    }
    const T x = -std::log(t * (b - v) / alpha);  // the exponential tail above t
    const T y = x / t;
    if (u2 * (alpha + one_minus_alpha * y) < T(1) || u2 < std::exp(-one_minus_alpha * std::log(y)))
      return x;
    return kRejected<T>;
  }
};

}  // namespace zorn::distributions
