// Special values of the complex functions as C99's Annex G lists them for its
// functions cexp, clog, csqrt, csinh, ccosh, ctanh, casinh, cacosh, cacos, catanh: one
// table per family, rows for the upper right of the plane, widened by the symmetries
// the Annex states (conjugation, oddness, evenness). The circular functions (and asin,
// atan) take their rows from the hyperbolic ones through the Annex's own definitions
// sin z = -i sinh(iz), cos z = cosh(iz), tan z = -i tanh(iz), asin z = -i asinh(iz),
// atan z = -i atanh(iz). Every row runs on c and z and must not report.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "kernel_test_support.h"

namespace zorn_test {
namespace {

constexpr double kInf = INFINITY, kNaN = NAN, kPi = 3.141592653589793;

struct Part {
  double v;
  bool any_sign = false;  // the Annex leaves the sign free
};
const Part kAnyZero{0.0, true}, kAnyInf{kInf, true};

struct Row {
  double x, y;
  Part re, im;
};

enum Symmetry { kConj = 1, kOdd = 2, kEven = 4 };

struct Family {
  const char* name;
  void (*c)(int32_t, const TessComplex8*, TessComplex8*);
  void (*z)(int32_t, const TessComplex16*, TessComplex16*);
  int symmetry;
  std::vector<Row> rows;
};

Part neg(Part p) { return {-p.v, p.any_sign}; }
Row conj_row(const Row& r) { return {r.x, -r.y, r.re, neg(r.im)}; }
Row negated_argument(const Row& r, bool negate_result) {
  return {-r.x, -r.y, negate_result ? neg(r.re) : r.re, negate_result ? neg(r.im) : r.im};
}
// The row of f(z) = -i g(iz) (rotate_result) or f(z) = g(iz) from the row g(w) = r:
// z = -i w.
Row rotated(const Row& r, bool rotate_result) {
  if (!rotate_result) return {r.y, -r.x, r.re, r.im};
  return {r.y, -r.x, r.im, neg(r.re)};
}

bool matches(double got, Part want) {
  if (std::isnan(want.v)) return std::isnan(got);
  if (want.any_sign) return std::fabs(got) == std::fabs(want.v);
  return got == want.v && std::signbit(got) == std::signbit(want.v);
}

std::vector<Row> widened(const std::vector<Row>& rows, int symmetry) {
  std::vector<Row> all = rows;
  if (symmetry & (kOdd | kEven)) {
    for (const Row& r : rows) all.push_back(negated_argument(r, symmetry & kOdd));
  }
  if (symmetry & kConj) {
    const size_t n = all.size();
    for (size_t i = 0; i < n; ++i) all.push_back(conj_row(all[i]));
  }
  return all;
}

void check(const Family& f, const Row& r) {
  const std::string where = std::string(f.name) + "(" + std::to_string(r.x) + ", " +
                            std::to_string(r.y) + ")";
  _tessClearErrStatus();
  const TessComplex16 a{r.x, r.y};
  TessComplex16 got;
  f.z(1, &a, &got);
  EXPECT_TRUE(matches(got.re, r.re) && matches(got.im, r.im))
      << "z" << where << " gave (" << got.re << ", " << got.im << ")";
  const TessComplex8 as{static_cast<float>(r.x), static_cast<float>(r.y)};
  TessComplex8 gs;
  f.c(1, &as, &gs);
  const Part re{static_cast<float>(r.re.v), r.re.any_sign};
  const Part im{static_cast<float>(r.im.v), r.im.any_sign};
  EXPECT_TRUE(matches(gs.re, re) && matches(gs.im, im))
      << "c" << where << " gave (" << gs.re << ", " << gs.im << ")";
  EXPECT_EQ(_tessGetErrStatus(), 0) << where;
}

// Finite samples standing for "finite x", "positive finite y" and so on.
constexpr double kFinite[] = {0.0, 1.5, -2.0};

std::vector<Family> families() {
  std::vector<Family> f;
  std::vector<Row> exp = {{0, 0, {1}, {0}}, {-0.0, 0, {1}, {0}},
      {kInf, 0, {kInf}, {0}}, {-kInf, 1, {0}, {0}}, {-kInf, 2, {-0.0}, {0}},
      {-kInf, 4, {-0.0}, {-0.0}}, {kInf, 1, {kInf}, {kInf}}, {kInf, 2, {-kInf}, {kInf}},
      {kInf, 4, {-kInf}, {-kInf}}, {-kInf, kInf, kAnyZero, kAnyZero},
      {kInf, kInf, kAnyInf, {kNaN}}, {-kInf, kNaN, kAnyZero, kAnyZero},
      {kInf, kNaN, kAnyInf, {kNaN}}, {kNaN, 0, {kNaN}, {0}}, {kNaN, 1, {kNaN}, {kNaN}},
      {kNaN, kNaN, {kNaN}, {kNaN}}};
  std::vector<Row> log = {{-0.0, 0, {-kInf}, {kPi}}, {0, 0, {-kInf}, {0}},
      {-kInf, 1, {kInf}, {kPi}}, {kInf, 1, {kInf}, {0}}, {-kInf, kInf, {kInf}, {0.75 * kPi}},
      {kInf, kInf, {kInf}, {kPi / 4}}, {kInf, kNaN, {kInf}, {kNaN}},
      {-kInf, kNaN, {kInf}, {kNaN}}, {kNaN, 1, {kNaN}, {kNaN}}, {kNaN, kInf, {kInf}, {kNaN}},
      {kNaN, kNaN, {kNaN}, {kNaN}}};
  std::vector<Row> sqrt = {{0, 0, {0}, {0}}, {-0.0, 0, {0}, {0}}, {kNaN, kInf, {kInf}, {kInf}},
      {-kInf, 1, {0}, {kInf}}, {kInf, 1, {kInf}, {0}}, {-kInf, kNaN, {kNaN}, kAnyInf},
      {kInf, kNaN, {kInf}, {kNaN}}, {kNaN, 1, {kNaN}, {kNaN}}, {kNaN, kNaN, {kNaN}, {kNaN}}};
  std::vector<Row> sinh = {{0, 0, {0}, {0}}, {0, kInf, kAnyZero, {kNaN}},
      {0, kNaN, kAnyZero, {kNaN}}, {kInf, 0, {kInf}, {0}}, {kInf, 1, {kInf}, {kInf}},
      {kInf, 2, {-kInf}, {kInf}}, {kInf, kInf, kAnyInf, {kNaN}}, {kInf, kNaN, kAnyInf, {kNaN}},
      {kNaN, 0, {kNaN}, {0}}, {kNaN, 1, {kNaN}, {kNaN}}, {kNaN, kNaN, {kNaN}, {kNaN}}};
  std::vector<Row> cosh = {{0, 0, {1}, {0}}, {0, kInf, {kNaN}, kAnyZero},
      {0, kNaN, {kNaN}, kAnyZero}, {kInf, 0, {kInf}, {0}}, {kInf, 1, {kInf}, {kInf}},
      {kInf, 2, {-kInf}, {kInf}}, {kInf, kInf, kAnyInf, {kNaN}}, {kInf, kNaN, {kInf}, {kNaN}},
      {kNaN, 0, {kNaN}, kAnyZero}, {kNaN, 1, {kNaN}, {kNaN}}, {kNaN, kNaN, {kNaN}, {kNaN}}};
  std::vector<Row> tanh = {{0, 0, {0}, {0}}, {kInf, 1, {1}, {0}}, {kInf, 2, {1}, {-0.0}},
      {kInf, kInf, {1}, kAnyZero}, {kInf, kNaN, {1}, kAnyZero}, {kNaN, 0, {kNaN}, {0}},
      {kNaN, 1, {kNaN}, {kNaN}}, {kNaN, kNaN, {kNaN}, {kNaN}}};
  std::vector<Row> asinh = {{0, 0, {0}, {0}}, {kInf, 1, {kInf}, {0}},
      {kInf, kInf, {kInf}, {kPi / 4}}, {kInf, kNaN, {kInf}, {kNaN}}, {kNaN, 0, {kNaN}, {0}},
      {kNaN, 1, {kNaN}, {kNaN}}, {kNaN, kInf, kAnyInf, {kNaN}}, {kNaN, kNaN, {kNaN}, {kNaN}}};
  std::vector<Row> acosh = {{0, 0, {0}, {kPi / 2}}, {-0.0, 0, {0}, {kPi / 2}},
      {-kInf, 1, {kInf}, {kPi}}, {kInf, 1, {kInf}, {0}}, {-kInf, kInf, {kInf}, {0.75 * kPi}},
      {kInf, kInf, {kInf}, {kPi / 4}}, {kInf, kNaN, {kInf}, {kNaN}},
      {-kInf, kNaN, {kInf}, {kNaN}}, {kNaN, 1, {kNaN}, {kNaN}}, {kNaN, kInf, {kInf}, {kNaN}},
      {kNaN, kNaN, {kNaN}, {kNaN}}};
  std::vector<Row> acos = {{0, 0, {kPi / 2}, {-0.0}}, {-0.0, 0, {kPi / 2}, {-0.0}},
      {0, kNaN, {kPi / 2}, {kNaN}}, {-0.0, kNaN, {kPi / 2}, {kNaN}}, {-kInf, 1, {kPi}, {-kInf}},
      {kInf, 1, {0}, {-kInf}}, {-kInf, kInf, {0.75 * kPi}, {-kInf}},
      {kInf, kInf, {kPi / 4}, {-kInf}}, {kInf, kNaN, {kNaN}, kAnyInf},
      {-kInf, kNaN, {kNaN}, kAnyInf}, {kNaN, 1, {kNaN}, {kNaN}}, {kNaN, kInf, {kNaN}, {-kInf}},
      {kNaN, kNaN, {kNaN}, {kNaN}}};
  std::vector<Row> atanh = {{0, 0, {0}, {0}}, {0, kNaN, {0}, {kNaN}}, {1, 0, {kInf}, {0}},
      {kInf, 1, {0}, {kPi / 2}}, {kInf, kInf, {0}, {kPi / 2}}, {kInf, kNaN, {0}, {kNaN}},
      {kNaN, 1, {kNaN}, {kNaN}}, {kNaN, kInf, kAnyZero, {kPi / 2}},
      {kNaN, kNaN, {kNaN}, {kNaN}}};
  for (double x : kFinite) {
    exp.push_back({x, kInf, {kNaN}, {kNaN}});
    exp.push_back({x, kNaN, {kNaN}, {kNaN}});
    log.push_back({x, kInf, {kInf}, {kPi / 2}});
    log.push_back({x, kNaN, {kNaN}, {kNaN}});
    sqrt.push_back({x, kInf, {kInf}, {kInf}});
    sqrt.push_back({x, kNaN, {kNaN}, {kNaN}});
    tanh.push_back({x, kInf, {kNaN}, {kNaN}});
    tanh.push_back({x, kNaN, {kNaN}, {kNaN}});
    asinh.push_back({x, kNaN, {kNaN}, {kNaN}});
    acosh.push_back({x, kInf, {kInf}, {kPi / 2}});
    acos.push_back({x, kInf, {kPi / 2}, {-kInf}});
    if (x == 0) continue;  // rows for nonzero finite x only
    sinh.push_back({x, kInf, {kNaN}, {kNaN}});
    sinh.push_back({x, kNaN, {kNaN}, {kNaN}});
    cosh.push_back({x, kInf, {kNaN}, {kNaN}});
    cosh.push_back({x, kNaN, {kNaN}, {kNaN}});
    acosh.push_back({x, kNaN, {kNaN}, {kNaN}});
    acos.push_back({x, kNaN, {kNaN}, {kNaN}});
    atanh.push_back({x, kNaN, {kNaN}, {kNaN}});
    if (x < 0) continue;  // positive-signed finite x
    asinh.push_back({x, kInf, {kInf}, {kPi / 2}});
    atanh.push_back({x, kInf, {0}, {kPi / 2}});
  }
  atanh.push_back({0, kInf, {0}, {kPi / 2}});
  asinh.push_back({0, kInf, {kInf}, {kPi / 2}});
  f.push_back({"Exp", _tesscExp, _tesszExp, kConj, exp});
  f.push_back({"Ln", _tesscLn, _tesszLn, kConj, log});
  f.push_back({"Sqrt", _tesscSqrt, _tesszSqrt, kConj, sqrt});
  f.push_back({"Sinh", _tesscSinh, _tesszSinh, kConj | kOdd, sinh});
  f.push_back({"Cosh", _tesscCosh, _tesszCosh, kConj | kEven, cosh});
  f.push_back({"Tanh", _tesscTanh, _tesszTanh, kConj | kOdd, tanh});
  f.push_back({"Asinh", _tesscAsinh, _tesszAsinh, kConj | kOdd, asinh});
  f.push_back({"Acosh", _tesscAcosh, _tesszAcosh, kConj, acosh});
  f.push_back({"Acos", _tesscAcos, _tesszAcos, kConj, acos});
  f.push_back({"Atanh", _tesscAtanh, _tesszAtanh, kConj | kOdd, atanh});
  return f;
}

// The circular family and the function of the hyperbolic one it is defined by.
struct Rotation {
  const char* name;
  const char* from;
  void (*c)(int32_t, const TessComplex8*, TessComplex8*);
  void (*z)(int32_t, const TessComplex16*, TessComplex16*);
  bool rotate_result;
};
const Rotation kRotations[] = {{"Sin", "Sinh", _tesscSin, _tesszSin, true},
                               {"Cos", "Cosh", _tesscCos, _tesszCos, false},
                               {"Tan", "Tanh", _tesscTan, _tesszTan, true},
                               {"Asin", "Asinh", _tesscAsin, _tesszAsin, true},
                               {"Atan", "Atanh", _tesscAtan, _tesszAtan, true}};

class ComplexSpecialValues : public ::testing::Test {
 protected:
  void SetUp() override { _tessSetMode(TESS_ERRMODE_IGNORE | TESS_MODE_HA); }
  TessStateGuard guard_;
};

TEST_F(ComplexSpecialValues, AnnexTablesWithTheirSymmetries) {
  for (const Family& f : families()) {
    for (const Row& r : widened(f.rows, f.symmetry)) check(f, r);
  }
}

TEST_F(ComplexSpecialValues, CircularFunctionsByRotation) {
  const std::vector<Family> hyperbolic = families();
  for (const Rotation& rot : kRotations) {
    for (const Family& h : hyperbolic) {
      if (std::strcmp(h.name, rot.from) != 0) continue;
      const Family f{rot.name, rot.c, rot.z, 0, {}};
      for (const Row& r : widened(h.rows, h.symmetry)) check(f, rotated(r, rot.rotate_result));
    }
  }
}

}  // namespace
}  // namespace zorn_test
