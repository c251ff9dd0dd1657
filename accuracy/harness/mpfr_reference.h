// Reference values of the vector-math functions computed with MPFR (256 bits unless the
// calling thread chooses otherwise) and rounded to long double, for measuring errors in
// ulps. Used by the accuracy harness and the entry-point tests, which name functions as
// the function list does ("Exp", "Atan2pi", ...).
#pragma once

#include <complex>
#include <optional>
#include <string_view>

namespace zorn_accuracy {

using LongComplex = std::complex<long double>;

struct Operands {
  std::complex<double> a;      // first argument (real functions use the real part)
  std::complex<double> b;      // second argument, Powx exponent, or Bessel order
  double params[4] = {0, 0, 0, 0};  // LinearFrac: scalea, shifta, scaleb, shiftb
};

struct Reference {
  LongComplex r1;
  LongComplex r2;  // second result of SinCos, SinCospi, Modf
};

// `complex_type` selects the complex form of a function; `precision` (24 or 53) is the
// target precision, which only functions defined on the target's grid (NextAfter) use.
// The inverse functions without an MPFR counterpart (ErfInv, ErfcInv, CdfNormInv) are
// found by Newton steps from `hint`, which only chooses where the iteration starts.
// No value when the function is unknown.
std::optional<Reference> mpfr_reference(std::string_view func, bool complex_type,
                                        const Operands& x, int precision, double hint);

// Working precision in bits of the calling thread's reference computations (default
// 256). Most functions are one correctly rounded MPFR call, for which 128 bits leave
// 75 bits beyond double precision; the composite ones (complex functions, Newton
// inversions) keep that margin unless they cancel catastrophically.
void set_reference_bits(int bits);

// Frees MPFR's caches of the calling thread (constants such as pi); a thread that
// computed references calls it before it ends.
void release_reference_caches();

// |computed - reference| in units in the last place of the reference in a type of
// `precision` bits (subnormal spacing below the normal range). NaN matches NaN and an
// infinity matches itself with error 0; any other mismatch of non-finite values is
// infinite error. Complex values are measured normwise, against the larger part;
// where a part is not finite on either side, part by part.
double ulp_error(long double computed, long double reference, int precision);
double ulp_error(LongComplex computed, LongComplex reference, int precision);

}  // namespace zorn_accuracy
