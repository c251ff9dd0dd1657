#include "harness/complex_parts.h"

#include <cmath>

namespace zorn_accuracy {
namespace {

// The two products whose sum is each part of the result, with the signs they enter
// the sum with; false where the function's parts are not such sums.
struct PartTerms {
  long double re[2], im[2];
};
bool product_terms(std::string_view func, const Operands& x, PartTerms& t) {
  const long double x1 = x.a.real(), x2 = x.a.imag(), y1 = x.b.real(), y2 = x.b.imag();
  if (func == "Mul") {
    t = {{x1 * y1, -(x2 * y2)}, {x1 * y2, x2 * y1}};
    return true;
  }
  if (func == "MulByConj" || func == "Div") {  // Div: the same numerators over |y|^2 > 0
    t = {{x1 * y1, x2 * y2}, {x2 * y1, -(x1 * y2)}};
    return true;
  }
  return false;
}

// Opposite signs (both nonzero): the sum is below its larger term.
bool cancels(const long double (&terms)[2]) {
  return terms[0] != 0 && terms[1] != 0 && std::signbit(terms[0]) != std::signbit(terms[1]);
}

// Pow and Powx: e^u (cos v + i sin v) with v = Im(w ln z) = Im w ln |z| + Re w arg z.
// The real (imaginary) part is excluded where cos v (sin v) is below 2^-p of the
// magnitude of v's terms: v then lies within the rounding error of those transcendental
// terms of a multiple of pi/2, and the part is what is left of that reduction. Long
// double arithmetic places v to 2^-64 of its terms, enough to decide against 2^-53.
void exclude_reduced_angles(const Operands& x, int precision, PartErrors& e) {
  const long double a = x.b.real(), b = x.b.imag();
  const long double ln_modulus = std::log(std::hypot(static_cast<long double>(x.a.real()),
                                                     static_cast<long double>(x.a.imag())));
  const long double arg = std::atan2(static_cast<long double>(x.a.imag()),
                                     static_cast<long double>(x.a.real()));
  const long double terms = std::fabs(b * ln_modulus) + std::fabs(a * arg);
  const long double v = b * ln_modulus + a * arg;
  const long double floor = std::ldexp(terms, -precision);
  if (!(std::fabs(std::cos(v)) >= floor)) e.re.reset();
  if (!(std::fabs(std::sin(v)) >= floor)) e.im.reset();
}

std::optional<double> part_error(long double computed, long double reference, int precision) {
  if (!std::isfinite(computed) || !std::isfinite(reference)) return std::nullopt;
  return ulp_error(computed, reference, precision);
}

}  // namespace

PartErrors part_errors(std::string_view func, const Operands& x, const LongComplex& computed,
                       const LongComplex& reference, int precision) {
  PartErrors e{part_error(computed.real(), reference.real(), precision),
               part_error(computed.imag(), reference.imag(), precision)};
  if (func == "Pow" || func == "Powx") exclude_reduced_angles(x, precision, e);
  PartTerms t;
  if (product_terms(func, x, t)) {
    if (cancels(t.re)) e.re.reset();
    if (cancels(t.im)) e.im.reset();
  }
  return e;
}

}  // namespace zorn_accuracy
