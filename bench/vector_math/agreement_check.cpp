#include "vector_math/agreement_check.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <vector>

#include "vector_math/functions.h"
#include "vector_math/implementations.h"

namespace bench::vector_math {
namespace {

// Distance from the reference in units of the last place of T in the reference's
// binade (subnormal results never occur on these arguments).
template <class T>
double ulps_from(T got, long double reference) {
  if (std::isnan(got)) return std::numeric_limits<double>::infinity();
  if (reference == 0) return got == 0 ? 0.0 : std::numeric_limits<double>::infinity();
  const long double ulp =
      std::ldexp(1.0L, std::ilogb(reference) - std::numeric_limits<T>::digits + 1);
  return static_cast<double>(std::fabs(static_cast<long double>(got) - reference) / ulp);
}

template <class T>
struct WorstError {
  double ulps = 0;
  int64_t index = 0;
  T argument{}, result{};
  long double reference = 0;
};

template <class T>
WorstError<T> worst_error(const FunctionInfo& info, ArrayMap<T> map, int64_t count) {
  std::vector<T> a(count), r(count, T(0));
  draw_arguments(info.id, a.data(), count);
  map(a.data(), r.data(), count);
  const T* b = info.reference2 != nullptr ? second_arguments<T>(info.id, count) : nullptr;
  WorstError<T> worst;
  for (int64_t i = 0; i < count; ++i) {
    const long double reference =
        b != nullptr ? info.reference2(static_cast<long double>(a[i]), static_cast<long double>(b[i]))
                     : info.reference(static_cast<long double>(a[i]));
    const double ulps = ulps_from(r[i], reference);
    if (ulps > worst.ulps || i == 0) worst = {ulps, i, a[i], r[i], reference};
  }
  return worst;
}

const char* precision(size_t bytes) { return bytes == 4 ? "s" : "d"; }

template <class T>
bool agrees(const FunctionInfo& info, const Implementation& impl, ArrayMap<T> map) {
  // 37 elements: whole vectors of every width here and a partial one.
  const WorstError<T> worst = worst_error(info, map, 37);
  if (worst.ulps <= kAgreementUlps) return true;
  std::fprintf(stderr, "%s%s %s%s disagrees at element %lld: f(%.9g) = %.17g, expected %.17Lg\n",
               impl.role == Role::kOurs ? "warning: " : "", impl.name, precision(sizeof(T)),
               info.name, static_cast<long long>(worst.index),
               static_cast<double>(worst.argument), static_cast<double>(worst.result),
               worst.reference);
  return false;
}

template <class T>
void print_worst(const FunctionInfo& info, const Implementation& impl, ArrayMap<T> map,
                 int64_t count) {
  const WorstError<T> worst = worst_error(info, map, count);
  std::printf("%s%-6s %-26s %10.3f  %.9g\n", precision(sizeof(T)), info.name, impl.name,
              worst.ulps, static_cast<double>(worst.argument));
}

}  // namespace

bool peers_agree() {
  bool peers = true;
  for (const FunctionInfo& info : kFunctions) {
    for (const Implementation& impl : implementations_of(info.id)) {
      if (impl.role == Role::kSlot) continue;  // EP is far by design; the harness judges slots
      const bool agree = (impl.s == nullptr || agrees(info, impl, impl.s)) &
                         (impl.d == nullptr || agrees(info, impl, impl.d));
      if (impl.role != Role::kOurs) peers &= agree;
    }
  }
  return peers;
}

void print_worst_errors(int64_t count) {
  std::printf("Worst error on the first %lld benchmark arguments (ulp, extended precision "
              "reference)\n%-7s %-26s %10s  %s\n",
              static_cast<long long>(count), "case", "implementation", "max ulp", "at");
  for (const FunctionInfo& info : kFunctions) {
    const std::vector<Implementation> impls = implementations_of(info.id);
    for (const Implementation& impl : impls)
      if (impl.s != nullptr) print_worst(info, impl, impl.s, count);
    for (const Implementation& impl : impls)
      if (impl.d != nullptr) print_worst(info, impl, impl.d, count);
  }
}

}  // namespace bench::vector_math
