#include "harness/function_rows.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <string_view>

#include "harness/hard_cases.h"

namespace zorn_accuracy {
namespace {

constexpr double kInf = INFINITY;
constexpr double kExact = 0.0;      // no rounding at all
constexpr double kRounded = 0.501;  // correctly rounded (the reference is a long double)
constexpr unsigned kLaEp = kLA | kEP;

constexpr Range kAllS{-FLT_MAX, FLT_MAX}, kAllD{-DBL_MAX, DBL_MAX};
constexpr Range kPosS{0, FLT_MAX}, kPosD{0, DBL_MAX};
constexpr Range kUnit{-1, 1};
constexpr Range kTrigS{-1e5, 1e5}, kTrigD{-1e6, 1e6};
constexpr Range kWideS{-1e10, 1e10}, kWideD{-1e100, 1e100};
constexpr Range kIntS{-1e8, 1e8}, kIntD{-1e17, 1e17};  // reaches beyond 2^23 and 2^52

#define DOMAIN(...) Domain{__VA_ARGS__}
#define HARD(...) std::vector<double>{__VA_ARGS__}
#define HARD_SET(...) __VA_ARGS__
#define PAIRS(...) std::vector<std::pair<double, double>>{__VA_ARGS__}
#define LINE(...) BoundLine{__VA_ARGS__}
#define BOUNDS(...) std::vector<BoundLine>{__VA_ARGS__}

FunctionRow row(std::string_view func, Domain domain, std::vector<double> hard_values,
                std::vector<std::pair<double, double>> hard_pairs, std::vector<BoundLine> bounds) {
  domain.func = func;
  return {domain, std::move(hard_values), std::move(hard_pairs), std::move(bounds)};
}

const std::vector<FunctionRow>& rows() {
  static const std::vector<FunctionRow> all = {
#define ACCURACY_FUNCTION(Func, real_reference, complex_reference, domain, hard, pairs, bounds) \
  row(#Func, domain, hard, pairs, bounds),
#include "harness/functions.def"
#undef ACCURACY_FUNCTION
  };
  return all;
}

// The harness rows are the library's functions with values, in the library's order.
constexpr std::string_view kLibraryFunctions[] = {
#define TESS_FUNCTION(Func, family, shape, ...) #Func,
#include "tess_frame/functions.def"
#undef TESS_FUNCTION
};
constexpr bool kLibraryHasValues[] = {
#define TESS_FUNCTION(Func, family, shape, ...) \
  std::string_view(#shape).find("PACK") == std::string_view::npos,
#include "tess_frame/functions.def"
#undef TESS_FUNCTION
};
constexpr std::string_view kHarnessFunctions[] = {
#define ACCURACY_FUNCTION(Func, ...) #Func,
#include "harness/functions.def"
#undef ACCURACY_FUNCTION
};
constexpr bool same_functions() {
  size_t h = 0;
  for (size_t l = 0; l < std::size(kLibraryFunctions); ++l) {
    if (!kLibraryHasValues[l]) continue;
    if (h == std::size(kHarnessFunctions) || kHarnessFunctions[h] != kLibraryFunctions[l]) {
      return false;
    }
    ++h;
  }
  return h == std::size(kHarnessFunctions);
}
static_assert(same_functions(),
              "harness/functions.def must list the functions with values of "
              "tess_frame/functions.def, in its order");

}  // namespace

const FunctionRow* row_of(std::string_view func) {
  const auto& all = rows();
  const auto it = std::find_if(all.begin(), all.end(),
                               [&](const FunctionRow& r) { return r.domain.func == func; });
  return it == all.end() ? nullptr : &*it;
}

std::optional<Domain> domain_of(std::string_view func) {
  if (const FunctionRow* r = row_of(func)) return r->domain;
  return std::nullopt;
}

namespace {
// The first bound line of `func` that matches the type and the slot.
const BoundLine* line_for(std::string_view func, char type, int slot) {
  if (const FunctionRow* r = row_of(func)) {
    for (const BoundLine& b : r->bounds) {
      if (b.types.find(type) != std::string_view::npos && (b.slots & (1u << slot)) != 0) {
        return &b;
      }
    }
  }
  return nullptr;
}
}  // namespace

std::optional<double> bound_for(std::string_view func, char type, int slot) {
  if (const BoundLine* b = line_for(func, type, slot)) return b->ulp;
  return std::nullopt;
}

std::optional<double> part_bound_for(std::string_view func, char type, int slot) {
  const BoundLine* b = line_for(func, type, slot);
  if (!b || std::isnan(b->part_ulp)) return std::nullopt;
  return b->part_ulp;
}

std::vector<double> hard_values(std::string_view func) {
  const FunctionRow* r = row_of(func);
  return r ? r->hard_values : std::vector<double>{};
}

std::vector<std::pair<double, double>> hard_pairs(std::string_view func) {
  const FunctionRow* r = row_of(func);
  return r ? r->hard_pairs : std::vector<std::pair<double, double>>{};
}

}  // namespace zorn_accuracy
