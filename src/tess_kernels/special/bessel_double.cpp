#include "tess_kernels/special/bessel_double.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <iterator>

namespace zorn::tess {
namespace {
#include "tess_kernels/special/data/bessel_zeros.inc"

using Zero = double[5];  // z_hi, z_mid, z_lo, slope_hi, slope_lo

// f(z + h) for the Bessel function of order nu with a zero at z: f = sum a_k h^k, with
// a_0 = 0, a_1 the slope at z, and the recurrence that Bessel's equation
// x^2 f'' + x f' + (x^2 - nu^2) f = 0 gives at x = z + h:
//   z^2 (k+1)(k+2) a_{k+2} = -[(k+1)(2k+1) z a_{k+1} + (k^2 + z^2 - nu^2) a_k
//                              + 2z a_{k-1} + a_{k-2}].
// The series is summed in extended precision until two terms in a row fall below 2^-66
// of the sum; within a quarter of the distance to the singularity at 0 it converges at
// least as fast as 4^-k.
long double series_about_zero(const Zero& zero, int nu, double x) {
  using W = long double;
  const W z = static_cast<W>(zero[0]) + zero[1];
  const W h = (static_cast<W>(x - zero[0]) - zero[1]) - zero[2];  // x - z_hi is exact
  const W z2 = z * z;
  W a_prev2 = 0, a_prev = 0, a = 0, a_next = static_cast<W>(zero[3]) + zero[4];
  W power = h, sum = a_next * h;
  int small_terms = 0;
  for (int k = 0; k < 80 && small_terms < 2; ++k) {
    // Here a = a_k, a_next = a_{k+1}, a_prev = a_{k-1}, a_prev2 = a_{k-2}.
    const W a_k2 = -((k + 1) * (2 * k + 1) * z * a_next + (W(k) * k + z2 - nu * nu) * a +
                     2 * z * a_prev + a_prev2) /
                   (z2 * ((k + 1) * (k + 2)));
    a_prev2 = a_prev;
    a_prev = a;
    a = a_next;
    a_next = a_k2;
    power *= h;
    const W term = a_k2 * power;
    sum += term;
    small_terms = std::fabs(term) < 0x1p-66L * std::fabs(sum) ? small_terms + 1 : 0;
  }
  return sum;
}

// The series about the zero nearest to x >= 0, when x lies within min(1/4, z/4) of it;
// the library's extended function elsewhere.
template <size_t N>
double near_zeros(const Zero (&zeros)[N], int nu, double x, long double (*extended)(long double)) {
  const Zero* next = std::lower_bound(std::begin(zeros), std::end(zeros), x,
                                      [](const Zero& z, double v) { return z[0] < v; });
  const Zero* nearest =
      (next == std::end(zeros) || (next != std::begin(zeros) && x - next[-1][0] < (*next)[0] - x))
          ? next - 1
          : next;
  const double z = (*nearest)[0];
  if (std::fabs(x - z) <= std::min(0.25, z / 4)) {
    return static_cast<double>(series_about_zero(*nearest, nu, x));
  }
  return static_cast<double>(extended(x));
}

long double j0_extended(long double x) { return ::j0l(x); }
long double j1_extended(long double x) { return ::j1l(x); }
long double y0_extended(long double x) { return ::y0l(x); }
long double y1_extended(long double x) { return ::y1l(x); }

}  // namespace

double bessel_j0(double x) {
  if (!std::isfinite(x)) return std::isnan(x) ? x : 0.0;
  return near_zeros(kJ0Zeros, 0, std::fabs(x), j0_extended);
}
double bessel_j1(double x) {
  if (!std::isfinite(x)) return std::isnan(x) ? x : 0.0;
  const double v = near_zeros(kJ1Zeros, 1, std::fabs(x), j1_extended);
  return std::signbit(x) ? -v : v;  // odd
}
double bessel_y0(double x) {
  if (!(x > 0) || std::isinf(x)) return static_cast<double>(::y0l(x));
  return near_zeros(kY0Zeros, 0, x, y0_extended);
}
double bessel_y1(double x) {
  if (!(x > 0) || std::isinf(x)) return static_cast<double>(::y1l(x));
  return near_zeros(kY1Zeros, 1, x, y1_extended);
}

}  // namespace zorn::tess
