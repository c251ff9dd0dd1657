// Pow of complex arguments: x^y = e^w, w = y ln x. An error d in w is an error of d
// relative in the result, and |w| reaches 745 before the result vanishes, so w is
// formed in extended precision (64 bits) and carried into e^w as head + tail:
// e^(a + a') cis(b + b') = e^a (1 + a') (cos b - b' sin b, sin b + b' cos b).
#include <cmath>

#include "tess_kernels/complex/elementary.h"

namespace zorn::tess::cx {

Z pow(Z x, Z y) {
  if (y == Z(0.0)) return 1.0;
  if (x == Z(0.0)) return 0.0;
  using W = long double;
  const std::complex<W> w = std::complex<W>(y) * std::log(std::complex<W>(x));
  const double a = static_cast<double>(w.real()), b = static_cast<double>(w.imag());
  if (!std::isfinite(a) || !std::isfinite(b)) return exp(Z(a, b));
  const double a_tail = static_cast<double>(w.real() - a);
  const double b_tail = static_cast<double>(w.imag() - b);
  const SinCos t = sin_cos(b);
  const double c = (t.c - b_tail * t.s) * (1 + a_tail);
  const double s = (t.s + b_tail * t.c) * (1 + a_tail);
  return {exp_times(a, c), exp_times(a, s)};
}

}  // namespace zorn::tess::cx
