#include "function_cases.h"

#include <cmath>
#include <cstring>
#include <map>
#include <string>

namespace zorn_test {
namespace {

using C = std::complex<double>;
constexpr double kInf = INFINITY;
constexpr double kNaN = NAN;

std::vector<Case> real(std::initializer_list<double> xs) {
  std::vector<Case> v;
  for (double x : xs) v.push_back({x, 0.0});
  return v;
}
std::vector<Case> pairs(std::initializer_list<std::pair<double, double>> xs) {
  std::vector<Case> v;
  for (auto [x, y] : xs) v.push_back({x, y});
  return v;
}
std::vector<Case> operator+(std::vector<Case> v, const Case& more) {
  v.push_back(more);
  return v;
}

const std::vector<Case> kWide = real({0.3, -1.7, 2.5, 10.25, -0.001});
const std::vector<Case> kPositive = real({0.3, 1.7, 2.5, 10.25, 0.001});
const std::vector<Case> kUnit = real({0.3, -0.7, 0.9, -0.05, 0.5});
const std::vector<Case> kHalfTurns = real({0.3, -1.7, 2.5, 10.25, -0.001});
const std::vector<Case> kDegrees = real({30.0, 45.0, -60.0, 100.5, 720.25});
const std::vector<Case> kRounding = real({1.5, -2.5, 2.4999, -0.3, 1000000.5, 3.0});
const std::vector<Case> kPairs =
    pairs({{1.5, 2.25}, {-3.0, 0.5}, {7.0, -11.0}, {0.001, 7.0}, {-5.0, -0.25}});
const std::vector<Case> kComplex = {{C(0.3, 0.4), 0.0}, {C(-0.7, 1.2), 0.0},
                                    {C(2.0, -1.0), 0.0}, {C(-1.5, -0.5), 0.0},
                                    {C(0.1, -0.9), 0.0}};
const std::vector<Case> kComplexPairs = {
    {C(0.3, 0.4), C(1.1, -0.3)},   {C(-0.7, 1.2), C(0.5, 0.5)}, {C(2.0, -1.0), C(-2.0, 1.0)},
    {C(-1.5, -0.5), C(0.25, -1.5)}, {C(0.1, -0.9), C(3.0, 0.2)}};

// Cases whose status depends on the range of the type.
Case overflow_s(C a, C b = 0.0) { return {a, b, 3, "s"}; }
Case overflow_d(C a, C b = 0.0) { return {a, b, 3, "d"}; }
Case overflow_c(C a, C b = 0.0) { return {a, b, 3, "c"}; }
Case overflow_z(C a, C b = 0.0) { return {a, b, 3, "z"}; }

struct FunctionCases {
  std::vector<Case> real_cases;
  std::vector<Case> complex_cases;
};

const std::map<std::string, FunctionCases, std::less<>>& all_cases() {
  static const std::map<std::string, FunctionCases, std::less<>> m = {
      {"Abs", {real({-2.5, 0.0, -0.0, 3.25, 1e-30}) + Case{-kInf, 0.0, 0},
               {{C(3, 4), 0.0}, {C(-1e-3, 2), 0.0}, {C(-5, -12), 0.0}, {C(0, -0.0), 0.0}}}},
      {"Acos", {kUnit + Case{2.0, 0.0, 1}, kComplex}},
      {"Acosh", {real({1.5, 2.0, 10.0, 1.0001, 3.0}) + Case{0.5, 0.0, 1}, kComplex}},
      {"Acospi", {kUnit + Case{-1.5, 0.0, 1}, {}}},
      {"Add", {kPairs + overflow_s(3e38, 3e38) + overflow_d(1.7e308, 1.7e308),
               kComplexPairs + overflow_c(3e38, 3e38) + overflow_z(1.7e308, 1.7e308)}},
      {"Arg", {{}, kComplex + Case{C(-2.0, 0.0), 0.0}}},
      {"Asin", {kUnit + Case{1.5, 0.0, 1}, kComplex}},
      {"Asinh", {kWide, kComplex}},
      {"Asinpi", {kUnit + Case{1.5, 0.0, 1}, {}}},
      {"Atan", {kWide + Case{kInf, 0.0, 0}, kComplex}},
      {"Atan2", {kPairs + Case{0.0, 0.0, 0}, {}}},
      {"Atan2pi", {kPairs + Case{-1.0, -0.0, 0}, {}}},
      {"Atanh", {kUnit + Case{1.0, 0.0, 2} + Case{-2.0, 0.0, 1} + Case{-kInf, 0.0, 1}, kComplex}},
      {"Atanpi", {kWide, {}}},
      {"CIS", {{}, kWide}},
      {"Cbrt", {kWide + Case{-8.0, 0.0, 0}, {}}},
      {"CdfNorm", {kWide + Case{-40.0, 0.0, 4} + Case{6.0, 0.0, 0}, {}}},
      {"CdfNormInv",
       {real({0.3, 0.01, 0.99, 0.5, 1e-5}) + Case{0.0, 0.0, 2} + Case{1.0, 0.0, 2}, {}}},
      {"Ceil", {kRounding, {}}},
      {"Conj", {{}, kComplex}},
      {"CopySign", {pairs({{1.5, -2.0}, {-3.0, 4.0}, {0.0, -1.0}, {2.0, 0.0}, {-1.0, -0.0}}), {}}},
      {"Cos", {kWide + Case{kInf, 0.0, 1},
               kComplex + overflow_c(C(1, 100)) + overflow_z(C(1, 800))}},
      {"Cosd", {kDegrees + Case{kInf, 0.0, 1}, {}}},
      {"Cosh", {kWide + overflow_s(100.0) + overflow_d(1000.0),
                kComplex + overflow_c(C(100, 1)) + overflow_z(C(800, 1))}},
      {"Cospi", {kHalfTurns + Case{kInf, 0.0, 1}, {}}},
      {"Div", {kPairs + Case{1.0, 0.0, 2} + Case{0.0, 0.0, 1},
               kComplexPairs + overflow_c(1e30, 1e-30) + overflow_z(1e300, 1e-300)}},
      {"Erf", {kWide, {}}},
      {"ErfInv", {kUnit + Case{1.0, 0.0, 2} + Case{1.5, 0.0, 1} + Case{1e-30, 0.0, 0}, {}}},
      {"Erfc", {real({0.3, -1.7, 2.5, 5.25, -0.001}) + Case{30.0, 0.0, 4} + Case{-4.0, 0.0, 0}, {}}},
      {"ErfcInv",
       {real({0.3, 1.7, 1.0, 0.01, 1.99}) + Case{0.0, 0.0, 2} + Case{2.0, 0.0, 2}, {}}},
      {"Erfcx", {real({0.3, -1.7, 2.5, 10.25, 30.0}) + overflow_s(-10.0) + overflow_d(-30.0), {}}},
      {"Exp", {kWide + Case{1000.0, 0.0, 3} + Case{-1000.0, 0.0, 4} + Case{-kInf, 0.0, 0},
               kComplex + overflow_c(C(100, 0.5)) + overflow_z(C(800, 0.5))}},
      {"Exp10", {kWide + Case{1000.0, 0.0, 3} + Case{-1000.0, 0.0, 4}, {}}},
      {"Exp2", {kWide + Case{2000.0, 0.0, 3} + Case{-2000.0, 0.0, 4}, {}}},
      {"ExpInt1", {kPositive + Case{0.0, 0.0, 2} + Case{-1.0, 0.0, 1}, {}}},
      {"Expm1", {kWide + overflow_s(100.0) + overflow_d(1000.0), {}}},
      {"Fdim", {kPairs + overflow_s(3e38, -3e38) + overflow_d(1.7e308, -1.7e308), {}}},
      {"Floor", {kRounding, {}}},
      {"Fmax", {kPairs + Case{kNaN, 2.0, 0}, {}}},
      {"Fmin", {kPairs + Case{2.0, kNaN, 0}, {}}},
      {"Fmod", {pairs({{5.5, 2.0}, {-7.25, 3.0}, {1.0, 0.3}, {100.0, -7.0}, {0.5, 2.0}}) +
                    Case{1.0, 0.0, 1},
                {}}},
      {"Frac", {real({1.5, -2.75, 3.0, 0.001, -12345.5}), {}}},
      {"Hypot", {kPairs + overflow_s(3e38, 3e38) + overflow_d(1.7e308, 1.7e308), {}}},
      {"I0", {real({0.3, -1.7, 2.5, 10.25, 40.0}) + overflow_s(100.0) + overflow_d(800.0), {}}},
      {"I1", {real({0.3, -1.7, 2.5, 10.25, 40.0}) + overflow_s(100.0) + overflow_d(800.0), {}}},
      {"Inv", {real({3.0, -0.7, 2.5, 0.001, -7.0}) + Case{0.0, 0.0, 2}, {}}},
      {"InvCbrt", {real({3.0, -8.0, 2.5, 0.001, 27.0}) + Case{0.0, 0.0, 2}, {}}},
      {"InvSqrt", {kPositive + Case{0.0, 0.0, 2} + Case{-1.0, 0.0, 1}, {}}},
      {"J0", {real({0.3, -1.7, 4.5, 10.0, 0.01}), {}}},
      {"J1", {real({0.3, -1.7, 4.5, 9.0, 0.01}), {}}},
      {"Jn", {real({0.3, -1.7, 2.5, 8.0, 0.9}), {}}},
      {"LGamma", {real({0.3, 1.7, 2.5, 10.25, -0.5}) + Case{0.0, 0.0, 2} + Case{-2.0, 0.0, 2}, {}}},
      {"LinearFrac", {kPairs + Case{1.0, -6.0, 2}, {}}},
      {"Ln", {kPositive + Case{0.0, 0.0, 2} + Case{-1.0, 0.0, 1} + Case{-kInf, 0.0, 1},
              kComplex + Case{C(0, 0), 0.0, 0}}},
      {"Log10", {kPositive + Case{0.0, 0.0, 2} + Case{-1.0, 0.0, 1}, kComplex}},
      {"Log1p", {real({0.3, -0.7, 2.5, 10.25, 0.001}) + Case{-1.0, 0.0, 2, "d"} +
                     Case{-1.0, 0.0, 0, "s"},
                 {}}},
      {"Log2", {kPositive + Case{0.0, 0.0, 2} + Case{-1.0, 0.0, 1}, {}}},
      {"Logb", {real({0.3, -1.7, 2.5, 1025.0, 0.001}) + Case{0.0, 0.0, 1}, {}}},
      {"MaxMag", {pairs({{1.0, -2.0}, {-3.0, 3.0}, {0.5, 0.25}, {-7.0, 2.0}, {kNaN, 1.0}}), {}}},
      {"MinMag", {pairs({{1.0, -2.0}, {-3.0, 3.0}, {0.5, 0.25}, {-7.0, 2.0}, {1.0, kNaN}}), {}}},
      {"Modf", {real({1.5, -2.75, 3.0, 0.001, -12345.5}), {}}},
      {"Mul", {kPairs + overflow_s(3e38, 10.0) + overflow_d(1e308, 10.0),
               kComplexPairs + overflow_c(C(1e30, 1e30), C(1e30, 1e30)) +
                   overflow_z(C(1e200, 1e200), C(1e200, 1e200))}},
      {"MulByConj", {{}, kComplexPairs + overflow_c(C(1e30, 1e30), C(1e30, -1e30)) +
                             overflow_z(C(1e200, 1e200), C(1e200, -1e200))}},
      {"NearbyInt", {kRounding, {}}},
      {"NextAfter", {pairs({{1.0, 2.0}, {1.0, 0.0}, {-1.5, -3.0}, {0.0, 1.0}, {3.0, 3.0}}), {}}},
      {"Pow", {pairs({{2.0, 0.5}, {1.7, -2.5}, {0.3, 3.0}, {10.0, 1.25}, {-2.0, 3.0}}) +
                   Case{-8.0, 1.0 / 3.0, 1} + Case{0.0, -2.0, 1} + overflow_s(10.0, 50.0) +
                   overflow_d(10.0, 400.0),
               kComplexPairs + overflow_c(10.0, 50.0) + overflow_z(10.0, 400.0)}},
      {"Pow2o3", {kWide, {}}},
      {"Pow3o2", {kPositive + Case{-1.0, 0.0, 1}, {}}},
      {"Powr", {pairs({{2.0, 0.5}, {1.7, -2.5}, {0.3, 3.0}, {10.0, 1.25}, {4.0, 0.0}}) +
                    Case{-2.0, 3.0, 1},
                {}}},
      {"Powx", {kPositive + Case{-2.0, 0.0, 1}, kComplex}},
      {"Remainder", {pairs({{5.5, 2.0}, {-7.25, 3.0}, {1.0, 0.3}, {100.0, -7.0}, {0.5, 2.0}}) +
                         Case{1.0, 0.0, 1},
                     {}}},
      {"Rint", {kRounding, {}}},
      {"Round", {kRounding, {}}},
      {"Sin", {kWide + Case{kInf, 0.0, 1},
               kComplex + overflow_c(C(1, 100)) + overflow_z(C(1, 800))}},
      {"SinCos", {kWide + Case{-kInf, 0.0, 1}, {}}},
      {"SinCospi", {kHalfTurns, {}}},
      {"Sind", {kDegrees + Case{kInf, 0.0, 1}, {}}},
      {"Sinh", {kWide + overflow_s(100.0) + overflow_d(1000.0),
                kComplex + overflow_c(C(100, 1)) + overflow_z(C(800, 1))}},
      {"Sinpi", {kHalfTurns + Case{-kInf, 0.0, 1}, {}}},
      {"Sqr", {kWide + overflow_s(1e20) + overflow_d(1e200), {}}},
      {"Sqrt", {kPositive + Case{-1.0, 0.0, 1} + Case{-0.0, 0.0, 0}, kComplex}},
      {"Sub", {kPairs + overflow_s(3e38, -3e38) + overflow_d(1.7e308, -1.7e308),
               kComplexPairs + overflow_c(3e38, -3e38) + overflow_z(1.7e308, -1.7e308)}},
      {"TGamma", {real({0.3, 1.7, 2.5, 10.25, -0.5}) + Case{-2.0, 0.0, 1} +
                      overflow_s(36.0) + overflow_d(200.0),
                  {}}},
      {"Tan", {kWide + Case{kInf, 0.0, 1}, kComplex}},
      {"Tand", {kDegrees + Case{90.0, 0.0, 2}, {}}},
      {"Tanh", {kWide, kComplex}},
      {"Tanpi", {real({0.3, -1.7, 0.25, 10.125, -0.001}) + Case{0.5, 0.0, 2}, {}}},
      {"Trunc", {kRounding, {}}},
      {"Y0", {real({0.3, 1.7, 2.5, 12.0, 0.01}) + Case{0.0, 0.0, 2} + Case{-1.0, 0.0, 1}, {}}},
      {"Y1", {real({0.3, 1.7, 3.5, 10.0, 0.01}) + Case{0.0, 0.0, 2} + Case{-1.0, 0.0, 1}, {}}},
      {"Yn", {real({0.3, 1.7, 2.5, 8.0, 0.9}) + Case{0.0, 0.0, 2}, {}}},
  };
  return m;
}

}  // namespace

std::vector<Case> cases_for(std::string_view func, char type) {
  const auto& m = all_cases();
  const auto it = m.find(func);
  if (it == m.end()) return {};
  const bool complex_type = type == 'c' || type == 'z';
  std::vector<Case> out;
  for (const Case& c : complex_type ? it->second.complex_cases : it->second.real_cases) {
    if (std::strchr(c.types, type) != nullptr) out.push_back(c);
  }
  return out;
}

}  // namespace zorn_test
