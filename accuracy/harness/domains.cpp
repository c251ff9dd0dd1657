#include "harness/domains.h"

#include <algorithm>
#include <cfloat>
#include <iterator>

namespace zorn_accuracy {
namespace {

constexpr Range kAllS{-FLT_MAX, FLT_MAX}, kAllD{-DBL_MAX, DBL_MAX};
constexpr Range kPosS{0, FLT_MAX}, kPosD{0, DBL_MAX};
constexpr Range kUnit{-1, 1};
constexpr Range kTrigS{-1e5, 1e5}, kTrigD{-1e6, 1e6};
constexpr Range kWideS{-1e10, 1e10}, kWideD{-1e100, 1e100};
constexpr Range kIntS{-1e8, 1e8}, kIntD{-1e17, 1e17};  // reaches beyond 2^23 and 2^52

// Sorted by name.
constexpr Domain kDomains[] = {
    {.func = "Abs", .s = kAllS, .d = kAllD, .c = {-1e30, 1e30}, .z = {-1e300, 1e300}},
    {.func = "Acos", .s = kUnit, .d = kUnit},
    {.func = "Acosh", .s = {1, 1e10}, .d = {1, 1e100}},
    {.func = "Acospi", .s = kUnit, .d = kUnit},
    {.func = "Add", .s = kWideS, .d = kWideD, .c = {-1e30, 1e30}, .z = {-1e300, 1e300}},
    {.func = "Arg", .c = {-1e30, 1e30}, .z = {-1e300, 1e300}},
    {.func = "Asin", .s = kUnit, .d = kUnit},
    {.func = "Asinh", .s = kWideS, .d = kWideD},
    {.func = "Asinpi", .s = kUnit, .d = kUnit},
    {.func = "Atan", .s = kWideS, .d = kWideD},
    {.func = "Atan2", .s = kWideS, .d = kWideD},
    {.func = "Atan2pi", .s = kWideS, .d = kWideD},
    {.func = "Atanh", .s = kUnit, .d = kUnit, .c = {-2, 2}},
    {.func = "Atanpi", .s = kWideS, .d = kWideD},
    {.func = "CIS", .s = kTrigS, .d = kTrigD},
    {.func = "Cbrt", .s = kAllS, .d = kAllD},
    {.func = "CdfNorm", .s = {-15, 6}, .d = {-39, 9}},
    {.func = "CdfNormInv", .s = {0, 1}, .d = {0, 1}},
    {.func = "Ceil", .s = kIntS, .d = kIntD},
    {.func = "Conj", .c = {-1e30, 1e30}, .z = {-1e300, 1e300}},
    {.func = "CopySign", .s = kAllS, .d = kAllD},
    {.func = "Cos", .s = kTrigS, .d = kTrigD},
    {.func = "Cosd", .s = {-1e7, 1e7}, .d = {-1e8, 1e8}},
    {.func = "Cosh", .s = {-89.5, 89.5}, .d = {-710.5, 710.5}, .c = {-80, 80}, .z = {-700, 700}},
    {.func = "Cospi", .s = {-1e4, 1e4}, .d = {-1e5, 1e5}},
    {.func = "Div", .s = kWideS, .d = kWideD, .c = {-1e15, 1e15}, .z = {-1e150, 1e150}},
    {.func = "Erf", .s = {-6, 6}, .d = {-7, 7}},
    {.func = "ErfInv", .s = kUnit, .d = kUnit},
    {.func = "Erfc", .s = {-6, 11}, .d = {-7, 28}},
    {.func = "ErfcInv", .s = {0, 2}, .d = {0, 2}},
    {.func = "Erfcx", .s = {-9.5, 1e5}, .d = {-26.7, 1e10}},
    {.func = "Exp", .s = {-104, 89}, .d = {-745.2, 709.8}, .c = {-80, 80}, .z = {-700, 700}},
    {.func = "Exp10", .s = {-45.2, 38.6}, .d = {-323.7, 308.3}},
    {.func = "Exp2", .s = {-150, 128}, .d = {-1075, 1024}},
    {.func = "ExpInt1", .s = {0, 105}, .d = {0, 745}},
    {.func = "Expm1", .s = {-20, 89}, .d = {-40, 709.8}},
    {.func = "Fdim", .s = kWideS, .d = kWideD},
    {.func = "Floor", .s = kIntS, .d = kIntD},
    {.func = "Fmax", .s = kAllS, .d = kAllD},
    {.func = "Fmin", .s = kAllS, .d = kAllD},
    {.func = "Fmod", .s = kWideS, .d = kWideD},
    {.func = "Frac", .s = kIntS, .d = kIntD},
    {.func = "Hypot", .s = kAllS, .d = kAllD},
    {.func = "I0", .s = {-90, 90}, .d = {-715, 715}},
    {.func = "I1", .s = {-90, 90}, .d = {-715, 715}},
    {.func = "Inv", .s = kAllS, .d = kAllD},
    {.func = "InvCbrt", .s = kAllS, .d = kAllD},
    {.func = "InvSqrt", .s = kPosS, .d = kPosD},
    {.func = "J0", .s = {-100, 100}, .d = {-1000, 1000}},
    {.func = "J1", .s = {-100, 100}, .d = {-1000, 1000}},
    {.func = "Jn", .s = {-100, 100}, .d = {-1000, 1000}},
    {.func = "LGamma", .s = {-50, 1e4}, .d = {-200, 1e6}},
    {.func = "LinearFrac", .s = kWideS, .d = kWideD},
    {.func = "Ln", .s = kPosS, .d = kPosD, .c = {-1e30, 1e30}, .z = {-1e300, 1e300}},
    {.func = "Log10", .s = kPosS, .d = kPosD, .c = {-1e30, 1e30}, .z = {-1e300, 1e300}},
    {.func = "Log1p", .s = {-1, 1e10}, .d = {-1, 1e100}},
    {.func = "Log2", .s = kPosS, .d = kPosD},
    {.func = "Logb", .s = kAllS, .d = kAllD},
    {.func = "MaxMag", .s = kAllS, .d = kAllD},
    {.func = "MinMag", .s = kAllS, .d = kAllD},
    {.func = "Modf", .s = kIntS, .d = kIntD},
    {.func = "Mul", .s = kWideS, .d = kWideD, .c = {-1e15, 1e15}, .z = {-1e150, 1e150}},
    {.func = "MulByConj", .c = {-1e15, 1e15}, .z = {-1e150, 1e150}},
    {.func = "NearbyInt", .s = kIntS, .d = kIntD},
    {.func = "NextAfter", .s = kAllS, .d = kAllD},
    {.func = "Pow", .s = {0, 100}, .d = {0, 1000}, .bs = {-19, 19}, .bd = {-100, 100}},
    {.func = "Pow2o3", .s = kAllS, .d = kAllD},
    {.func = "Pow3o2", .s = kPosS, .d = kPosD},
    {.func = "Powr", .s = {0, 100}, .d = {0, 1000}, .bs = {-19, 19}, .bd = {-100, 100}},
    {.func = "Powx", .s = {0, 100}, .d = {0, 1000}, .c = {-3, 3}},
    {.func = "Remainder", .s = kWideS, .d = kWideD},
    {.func = "Rint", .s = kIntS, .d = kIntD},
    {.func = "Round", .s = kIntS, .d = kIntD},
    {.func = "Sin", .s = kTrigS, .d = kTrigD},
    {.func = "SinCos", .s = kTrigS, .d = kTrigD},
    {.func = "SinCospi", .s = {-1e4, 1e4}, .d = {-1e5, 1e5}},
    {.func = "Sind", .s = {-1e7, 1e7}, .d = {-1e8, 1e8}},
    {.func = "Sinh", .s = {-89.5, 89.5}, .d = {-710.5, 710.5}, .c = {-80, 80}, .z = {-700, 700}},
    {.func = "Sinpi", .s = {-1e4, 1e4}, .d = {-1e5, 1e5}},
    {.func = "Sqr", .s = kAllS, .d = kAllD},
    {.func = "Sqrt", .s = kPosS, .d = kPosD, .c = {-1e30, 1e30}, .z = {-1e300, 1e300}},
    {.func = "Sub", .s = kWideS, .d = kWideD, .c = {-1e30, 1e30}, .z = {-1e300, 1e300}},
    {.func = "TGamma", .s = {-45, 36}, .d = {-180, 172}},
    {.func = "Tan", .s = kTrigS, .d = kTrigD},
    {.func = "Tand", .s = {-1e7, 1e7}, .d = {-1e8, 1e8}},
    {.func = "Tanh", .s = {-10, 10}, .d = {-20, 20}},
    {.func = "Tanpi", .s = {-1e4, 1e4}, .d = {-1e5, 1e5}},
    {.func = "Trunc", .s = kIntS, .d = kIntD},
    {.func = "Y0", .s = {0, 100}, .d = {0, 1000}},
    {.func = "Y1", .s = {0, 100}, .d = {0, 1000}},
    {.func = "Yn", .s = {0, 100}, .d = {0, 1000}},
};

}  // namespace

std::optional<Domain> domain_of(std::string_view func) {
  const auto it = std::find_if(std::begin(kDomains), std::end(kDomains),
                               [&](const Domain& d) { return d.func == func; });
  if (it == std::end(kDomains)) return std::nullopt;
  return *it;
}

Range argument_range(const Domain& domain, char type, bool second) {
  switch (type) {
    case 's': return second && !domain.bs.empty() ? domain.bs : domain.s;
    case 'd': return second && !domain.bd.empty() ? domain.bd : domain.d;
    case 'c': return domain.c.empty() ? Range{-10, 10} : domain.c;
    default:
      if (!domain.z.empty()) return domain.z;
      return domain.c.empty() ? Range{-10, 10} : domain.c;
  }
}

}  // namespace zorn_accuracy
