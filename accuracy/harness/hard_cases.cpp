#include "harness/hard_cases.h"

#include <cmath>
#include <complex>

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
// Where the parts of complex results are smallest or most delicate, for every complex
// function: near the unit circle (ln |z| beside arg z), near the axes with the other part
// at zeros of the circular functions (Re cos z at x = pi/2, Im sinh z at y = 0, Im tan z
// beside a large real part), parts far apart and both huge or both tiny. With the
// conjugate, the negation and the swap of each, so every quadrant and both roles.
std::vector<std::complex<double>> complex_cases() {
  std::vector<std::complex<double>> base;
  for (int k = 1; k < 8; ++k) {  // the unit circle, off the axes, each side of it
    const double t = k * kHalfPi / 8;
    base.push_back({std::cos(t), std::sin(t)});
    base.push_back({std::nextafter(std::cos(t), 2.0), std::sin(t)});
    base.push_back({std::nextafter(std::cos(t), 0.0), std::sin(t)});
  }
  const double smalls[] = {0x1p-30, 0x1p-600, 1e-310};
  for (int k = 1; k <= 4; ++k) {  // zeros of cos and sin, with their neighbours
    const double z = k * kHalfPi;
    for (double x : {std::nextafter(z, 0.0), z, std::nextafter(z, 8.0)}) {
      for (double y : smalls) base.push_back({x, y});
      base.push_back({x, 1.0});
      base.push_back({x, 20.0});
    }
  }
  // ... and the double closest to a multiple of pi/2 beyond 2^16 (exact reduction)
  for (double x : {0.5, 1 - 0x1p-53, 1.0, 1 + 0x1p-52, 3.0, 20.0, 700.0, 1e10,
                   0x1.69eab0985179bp+246}) {
    for (double y : smalls) base.push_back({x, y});
  }
  for (int e : {1000, 600, 511}) {
    base.push_back({std::ldexp(1.0, e), std::ldexp(1.0, -e)});
    base.push_back({std::ldexp(1.0, e), std::ldexp(1.0, e)});
    base.push_back({std::ldexp(1.0, -e), std::ldexp(1.0, -e)});
    base.push_back({std::ldexp(1.0, e), 1.0});
  }
  std::vector<std::complex<double>> v;
  for (std::complex<double> z : base) {
    for (std::complex<double> w : {z, std::conj(z), -z, -std::conj(z)}) {
      v.push_back(w);
      v.push_back({w.imag(), w.real()});
    }
  }
  return v;
}

// Arguments where sweeps of each part against MPFR found a kernel's largest errors.
// Ln and Log10: the real part near |z| = 1 (8.0 and 13.7 ulp before the mend); Log10
// and Sqrt: a part far below the other (Log10's argument rounded before the quotient by
// ln 10, 1.37 and 1.64 ulp; its real part rounded as ln |z| first, 2.13 near |z| = 1;
// Sqrt's smaller part over the rounded root, 1.1-1.3); Exp, Tan and Tanh: subnormal parts
// rounded twice or from products whose tails underflowed (5.6, 5.7, 3566, 108288).
std::vector<std::complex<double>> complex_hard_values(std::string_view func) {
  if (func == "Exp") {
    return {{-623.88739802976875, -1.1328021694531765e-43},
            {-11.266978211442279, 9.3181524547379065e-314}};
  }
  if (func == "Tan") return {{4.6956433497067138, -9.6292659806549896e-313}};
  if (func == "Tanh") return {{-5.7546867239245784e-316, -4.7093501172351822}};
  if (func == "Ln") return {{-0x1.c4169f24ccad8p-1, 0x1.e0aaaa3832279p-2}};
  if (func == "Log10") {
    return {{-0x1.13fda921006a4p+2, 0x1.fdce2a35bfeep+2},
            {0x1.5160aece78e29p-726, -0x1.ff1bceaa7703dp+825},
            {0x1.fffde3cb18b4ap-1, -0x1.7658f1e3b39bp-580},
            {-0x1.3c3dcafc507afp-3, -0x1.f9dbf01b0dc19p-1},
            {0x1.2c518e6a69937p+78, -0x1.3abd65385e276p-941}};
  }
  // Paired with 1.5 + 0.5i: v = Im(w ln z) = pi/2 + 1.3e-13, so that Re z^w is 2^-43 of
  // |z^w| (the common angle is good to about 2^-57 of v's terms); and arg z = 0.078, where
  // the arctangent core's series is weakest, with cos v at 2^-11 of v's terms and
  // |Im w|/2, just above the precise angle's 2^-12.
  if (func == "Pow" || func == "Powx") {
    return {{0.5, 0x1.bb67ae85850aap-1}, {0x1.24a1d32d4969ap+4, 0x1.6df284cc18bf7p+0}};
  }
  if (func == "Sqrt") {
    return {{0x1.bd1999943b8p+13, 0x1.00009400b338dp+25},
            {-0x1.acdf9578dcp+15, -0x1.000255a1032adp+29},
            {-0x1.143a4491183cap+398, 0x1.e14d2ff510f8bp-651}};
  }
  return {};
}
std::vector<double> join(std::vector<double> a, const std::vector<double>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

}  // namespace zorn_accuracy
