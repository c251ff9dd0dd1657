// The parts of complex results one by one, where the accuracy harness's normwise measure
// cannot see them: a part far below the other (ln |z| near |z| = 1 beside arg z, arg z
// beside a large ln |z|, the smaller part of a square root, a subnormal part). Each row is
// an argument where the part once erred most, against MPFR.
#include <gtest/gtest.h>

#include "harness/mpfr_reference.h"
#include "zorn/tess_functions.h"

namespace zorn_accuracy {
namespace {

struct PartCase {
  const char* func;
  void (*kernel)(int32_t, const TessComplex16*, TessComplex16*);
  double x, y;  // the ulps the parts erred by before, in the comments
};

const PartCase kCases[] = {
    {"Ln", _tesszLn, -0x1.c4169f24ccad8p-1, 0x1.e0aaaa3832279p-2},        // real 8.0
    {"Log10", _tesszLog10, -0x1.3c3dcafc507afp-3, -0x1.f9dbf01b0dc19p-1},  // real 13.7
    {"Log10", _tesszLog10, 0x1.2c518e6a69937p+78, -0x1.3abd65385e276p-941},  // imaginary 1.64
    {"Log10", _tesszLog10, -0x1.13fda921006a4p+2, 0x1.fdce2a35bfeep+2},    // imaginary 1.37
    {"Sqrt", _tesszSqrt, 0x1.bd1999943b8p+13, 0x1.00009400b338dp+25},      // imaginary 1.11
    {"Sqrt", _tesszSqrt, -0x1.acdf9578dcp+15, -0x1.000255a1032adp+29},     // real 1.10
    {"Sqrt", _tesszSqrt, -0x1.143a4491183cap+398, 0x1.e14d2ff510f8bp-651},  // real 1.29
    // Subnormal parts, rounded twice or from products whose tails underflowed.
    {"Exp", _tesszExp, -623.88739802976875, -1.1328021694531765e-43},      // imaginary 5.6
    {"Exp", _tesszExp, -11.266978211442279, 9.3181524547379065e-314},      // imaginary 5.7
    {"Tan", _tesszTan, 4.6956433497067138, -9.6292659806549896e-313},      // imaginary 3566
    {"Tanh", _tesszTanh, -5.7546867239245784e-316, -4.7093501172351822},   // real 108288
};

TEST(ComplexParts, EachPartWithinAnUlpWhereTheOtherIsLarger) {
  for (const PartCase& c : kCases) {
    const TessComplex16 z{c.x, c.y};
    TessComplex16 r;
    c.kernel(1, &z, &r);
    Operands operands;
    operands.a = {c.x, c.y};
    const std::optional<Reference> exact = mpfr_reference(c.func, true, operands, 53, 0);
    ASSERT_TRUE(exact.has_value()) << c.func;
    EXPECT_LE(ulp_error(r.re, exact->r1.real(), 53), 1.0) << c.func << " " << c.x << " " << c.y;
    EXPECT_LE(ulp_error(r.im, exact->r1.imag(), 53), 1.0) << c.func << " " << c.x << " " << c.y;
  }
}

}  // namespace
}  // namespace zorn_accuracy
