#include "harness/hard_cases.h"

#include <cmath>
#include <map>
#include <string>

namespace zorn_accuracy {
namespace {

constexpr double kInf = INFINITY;
constexpr double kHalfPi = 1.5707963267948966;

// k pi/2 for small k, for k just below the powers of two where a reduction switches
// method, and the double closest to a multiple of pi/2 relative to its size
// (6381956970095103 * 2^797) with large values used in reduction tests.
std::vector<double> trig_cases() {
  std::vector<double> v = {std::ldexp(6381956970095103.0, 797), 1e22, 1e300, 2.0e7,
                           105414350.0, 0x1.921fb6p+0, 0x1.921fb6p+1};
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
std::vector<double> join(std::vector<double> a, const std::vector<double>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

const std::map<std::string, std::vector<double>, std::less<>>& table() {
  static const std::map<std::string, std::vector<double>, std::less<>> m = {
      {"Exp", {88.72283, -87.33654, -103.97208, -100.0, 709.782712893384, -708.3964185322641,
               -745.1332191019411, 0x1p-53, -0x1p-53, 0x1p-52, 1e-300, 0.5 * M_LN2}},
      {"Exp2", {128, -126, -150, 1024, -1022, -1075, 127.99999, -149.5, -1074.5, 0.5}},
      {"Exp10", {38.53184, -45.1545, -37.929783, 308.2547155599167, -323.60724533877976,
                 -307.6526555685887, 1, 2, 22, -22}},
      {"Expm1", {88.72283, 709.782712893384, -17.32868, -37.42994775023705, 1e-8, -1e-8,
                 M_LN2 / 2, -M_LN2 / 2, 0x1p-25, 0x1p-54}},
      {"Ln", near_one()},
      {"Log2", near_one()},
      {"Log10", join(near_one(), {10, 100, 1e10, 1e22, 0.1})},
      {"Log1p", {-1, -0.5, 1e-8, -1e-8, 0x1p-25, 0x1p-54, 0.4142135623730950, -0.29289321881345}},
      {"Logb", {0.75, 1e-40, 1e-310, 3, 1023.9}},
      {"Sin", trig_cases()},
      {"Cos", trig_cases()},
      {"Tan", trig_cases()},
      {"SinCos", trig_cases()},
      {"CIS", trig_cases()},
      {"Sind", degree_cases()},
      {"Cosd", degree_cases()},
      {"Tand", degree_cases()},
      {"Sinpi", half_turn_cases()},
      {"Cospi", half_turn_cases()},
      {"Tanpi", half_turn_cases()},
      {"SinCospi", half_turn_cases()},
      {"Sinh", {89.41598629223294, 710.4758600739439, 0x1p-12, 0.5, 1, 22}},
      {"Cosh", {89.41598629223294, 710.4758600739439, 0x1p-12, 0.5, 1, 22}},
      {"Tanh", {0.5493061443340549, 0x1p-12, 9.01, 19.06, 22}},
      {"Asinh", {0x1p-12, 0.5, 0x1p28, 0x1p60}},
      {"Acosh", {1, 1 + 0x1p-23, 1 + 0x1p-52, 2, 0x1p28, 0x1p60}},
      {"Atanh", {1, -1, 0.5, 1 - 0x1p-24, 1 - 0x1p-53, 0x1p-12}},
      {"Asin", {1, -1, 0.5, 0x1p-12, 0.9999}},
      {"Acos", {1, -1, 0.5, 0x1p-12, -0.9999}},
      {"Atan", {1, 0x1p-12, 0x1p24, 0x1p54}},
      {"Erf", {0.84375, 1.25, 2.857142857, 3.9, 5.9, 0x1p-28}},
      {"Erfc", {10.054194928818097, 26.543258430632299, 27.226, 0.84375, 1.25, 2.857142857}},
      {"Erfcx", {-9.19, -9.4, -26.6, 26.6, 1e6, 1e10, 0.5}},
      {"ErfInv", {1, -1, 1 - 0x1p-24, 1 - 0x1p-53, 0.5, 0x1p-28, 0.9999}},
      {"ErfcInv", {0, 2, 1, 0x1p-100, 1e-300, 1e-310, 2 - 0x1p-52, 0.0001}},
      {"CdfNorm", {-14.170185, -37.5193, -38.5, 8.3, 0.0}},
      {"CdfNormInv", {0, 1, 0.5, 1e-40, 1e-300, 1e-320, 1 - 0x1p-24, 1 - 0x1p-53}},
      {"TGamma", {35.0401, 171.6243769563027, -43, -43.5, -0.5, 0.5, 1, 2, -1, -2,
                  -170.5, -184.5, 1e-40, 1e-310}},
      {"LGamma", {1, 2, -1, -2, -2.457024738220800, -2.747682646727412, 0x1p-30, 1e10,
                  2.55e305, 4e36, -0.5}},
      {"ExpInt1", {0, 88.0, 103.0, 700, 744.44, 0.3725074107813666, 1e-40}},
      {"I0", {88.0, 89.4, 713.0, 714.0, 0x1p-12}},
      {"I1", {88.0, 89.4, 713.0, 714.0, 0x1p-12}},
      {"J0", {2.404825557695773, 5.520078110286311, 8.653727912911013, 1e8, 0x1p-12}},
      {"J1", {3.831705970207512, 7.015586669815619, 1e8, 0x1p-12}},
      {"Jn", {6.380161895923984, 9.761023129981670, 1e8, 0x1p-12}},
      {"Y0", {0.8935769662791675, 3.957678419314858, 7.086051060301773, 1e8, 0x1p-12}},
      {"Y1", {2.197141326031017, 5.429681040794135, 1e8, 0x1p-12}},
      {"Yn", {5.008912197665707, 8.635368659745734, 1e8, 0x1p-12}},
      {"Cbrt", {-8, 27, 1e-40, 1e-310}},
      {"InvCbrt", {-8, 27, 1e-40, 1e-310}},
      {"Pow2o3", {-8, 27, 1e-40, 1e-310}},
      {"Pow3o2", {4, 9, 2.0e25, 1e-40, 3.0e205}},
      {"Sqrt", {4, 2, 1e-40, 1e-310}},
      {"InvSqrt", {4, 2, 1e-40, 1e-310}},
      {"Inv", {1e-40, 1e-310, 3, 0x1p-127, 0x1p-1023}},
      {"Sqr", {0x1p64, 1.8446743e19, 1.34078079e154}},
      {"Ceil", {0.5, 1.5, 2.5, 0x1p23 - 0.5, 0x1p52 - 0.5, 0x1p23, 0x1p52}},
      {"Floor", {0.5, 1.5, 2.5, 0x1p23 - 0.5, 0x1p52 - 0.5, 0x1p23, 0x1p52}},
      {"Round", {0.5, 1.5, 2.5, 0x1p23 - 0.5, 0x1p52 - 0.5, 0x1p23, 0x1p52}},
      {"Trunc", {0.5, 1.5, 2.5, 0x1p23 - 0.5, 0x1p52 - 0.5, 0x1p23, 0x1p52}},
      {"Rint", {0.5, 1.5, 2.5, 0x1p23 - 0.5, 0x1p52 - 0.5, 0x1p23, 0x1p52}},
      {"NearbyInt", {0.5, 1.5, 2.5, 0x1p23 - 0.5, 0x1p52 - 0.5, 0x1p23, 0x1p52}},
      {"Frac", {0.5, 1.5, 2.5, 0x1p23 - 0.5, 0x1p52 - 0.5, 0x1p23, 0x1p52}},
      {"Modf", {0.5, 1.5, 2.5, 0x1p23 - 0.5, 0x1p52 - 0.5, 0x1p23, 0x1p52}},
      {"Powx", {1, 4, 0.5, 1e-40, 1e30}},
  };
  return m;
}

}  // namespace

std::vector<double> hard_values(std::string_view func) {
  const auto it = table().find(func);
  return it == table().end() ? std::vector<double>{} : it->second;
}

std::vector<std::pair<double, double>> hard_pairs(std::string_view func) {
  static const std::map<std::string, std::vector<std::pair<double, double>>, std::less<>> m = {
      {"Pow", {{1, kInf}, {-1, kInf}, {-1, -kInf}, {0, -1}, {-0.0, -3}, {-8, 1.0 / 3},
               {2, 0.5}, {10, 38.5}, {10, 308.5}, {1 + 0x1p-23, 0x1p30}, {1 - 0x1p-53, 0x1p60},
               {-2, 3}, {-2, 0.5}, {0.5, 1075}, {2, -1074.5}, {2, -149.5}}},
      {"Powr", {{1, kInf}, {0, 0}, {kInf, 0}, {2, 0.5}, {10, 38.5}, {1 + 0x1p-23, 0x1p30}}},
      {"Atan2", {{1, 1}, {-1, -1}, {0, -1}, {-0.0, -1}, {1e-300, 1e300}, {1e30, 1e-30}}},
      {"Atan2pi", {{1, 1}, {-1, -1}, {0, -1}, {-0.0, -1}, {1e-300, 1e300}, {1e30, 1e-30}}},
      {"Hypot", {{3, 4}, {1e300, 1e300}, {3e38, 3e38}, {1e-310, 1e-310}, {1, 0x1p-30}}},
      {"Fmod", {{1e300, 3}, {3e38, 7}, {5.5, 2}, {-7.25, 3}, {1, 0x1p-1000}}},
      {"Remainder", {{1e300, 3}, {3e38, 7}, {5.5, 2}, {2.5, 1}, {3.5, 1}, {1, 0x1p-1000}}},
      {"Div", {{1, 3}, {1e-310, 1e300}, {1e300, 1e-10}, {1, 0}}},
      {"LinearFrac", {{1, -6}, {0.5, -6}, {1e20, 1e20}}},
  };
  const auto it = m.find(func);
  return it == m.end() ? std::vector<std::pair<double, double>>{} : it->second;
}

}  // namespace zorn_accuracy
