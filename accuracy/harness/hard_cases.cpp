#include "harness/hard_cases.h"

#include <cmath>

namespace zorn_accuracy {
namespace {

constexpr double kHalfPi = 1.5707963267948966;

}  // namespace

// k pi/2 for small k, for k just below the powers of two where a reduction switches
// method, the double closest to a multiple of pi/2 relative to its size
// (6381956970095103 * 2^797) with large values used in reduction tests, the doubles
// closest to a multiple of pi/2 near 2^246, 2^578 and 2^1023 (continued fractions of
// 2^e 2/pi), the floats closest to one, and the ends of the fast paths.
std::vector<double> trig_cases() {
  std::vector<double> v = {std::ldexp(6381956970095103.0, 797), 1e22, 1e300, 2.0e7,
                           105414350.0, 0x1.921fb6p+0, 0x1.921fb6p+1,
                           0x1.69eab0985179bp+246, 0x1.311682dbdddb1p+246,
                           0x1.4c96c11134d36p+577, 0x1.14c9bbd8bb8c0p+574,
                           0x1.61a3db8c8d129p+1023, 0x1.ce1432eac7048p+1021,
                           0x1.f37c8ap+95, 0x1.47d0fep+34, 0x1.32ede2p+85, 0x1.628d4cp+40,
                           10000.0, 0x1.388002p+13, 1e30, 65536.00349206588,
                           0x1.000000e4db24dp+16};
  for (int k = 1; k <= 64; ++k) v.push_back(k * kHalfPi);
  for (int e = 10; e <= 60; e += 5) v.push_back(std::ldexp(1.0, e) * kHalfPi);
  return v;
}
// Multiples of a quarter turn in degrees and in half turns, and values where the
// integer part of a reduction leaves the exact range.
std::vector<double> degree_cases() {
  std::vector<double> v = {1e10, 1e20, 1e300, 0x1p24, 0x1p53};
  for (int k = -8; k <= 8; ++k) v.push_back(45.0 * k);
  return v;
}
std::vector<double> half_turn_cases() {
  std::vector<double> v = {0x1p22, 0x1p23, 0x1p24, 0x1p52, 0x1p53, 1e300, 0.25, 0.75};
  for (int k = -8; k <= 8; ++k) v.push_back(0.5 * k);
  return v;
}
// 1 + 2^-k and 1 - 2^-k, with the boundaries of the direct polynomials near 1.
std::vector<double> near_one() {
  std::vector<double> v = {1.009765625, 0.990234375, 1.005859375, 0.994140625,
                           2.0 / 3.0,   4.0 / 3.0,   0.75,        1.5};
  for (int k = 1; k <= 60; k += 3) {
    v.push_back(1 + std::ldexp(1.0, -k));
    v.push_back(1 - std::ldexp(1.0, -k));
  }
  return v;
}
// Log10: its argument rounded before the quotient by ln 10 (1.37 ulp, the larger part) and
// its real part in the scalar form, rounded as ln |z| first (1.35 ulp; 2.13 near |z| = 1).
std::vector<std::complex<double>> complex_hard_values(std::string_view func) {
  if (func == "Log10") {
    return {{-0x1.13fda921006a4p+2, 0x1.fdce2a35bfeep+2},
            {0x1.5160aece78e29p-726, -0x1.ff1bceaa7703dp+825},
            {0x1.fffde3cb18b4ap-1, -0x1.7658f1e3b39bp-580}};
  }
  return {};
}
std::vector<double> join(std::vector<double> a, const std::vector<double>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

}  // namespace zorn_accuracy
