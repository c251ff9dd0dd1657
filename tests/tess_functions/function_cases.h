// Arguments on which every entry point of a function is checked: ordinary values inside
// the domain and special values, each with the status its element must report.
#pragma once

#include <complex>
#include <cstdint>
#include <string_view>
#include <vector>

namespace zorn_test {

struct Case {
  std::complex<double> a;
  std::complex<double> b;  // second argument of two-argument functions
  int32_t status = 0;
  const char* types = "sdcz";  // the type letters the case applies to
};

// The cases of `func` for type letter `type`; empty when there are none.
std::vector<Case> cases_for(std::string_view func, char type);

// Fixed scalars: the Powx exponent, the Bessel order and the LinearFrac coefficients.
constexpr double kPowxExponent = 2.5;
constexpr std::complex<double> kPowxComplexExponent{2.5, 0.5};
constexpr double kBesselOrder = 3.0;
constexpr double kLinearFracParams[4] = {2.0, -1.0, 0.5, 3.0};  // (2a - 1) / (b/2 + 3)

}  // namespace zorn_test
