#include "vector_math/agreement_check.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <vector>

#include "vector_math/functions.h"
#include "vector_math/implementations.h"

namespace bench::vector_math {
namespace {

// Distance from the reference in units of the last place of T at the reference.
template <class T>
double ulps_from(T got, long double reference) {
  if (std::isnan(got)) return std::numeric_limits<double>::infinity();
  const T rounded = static_cast<T>(reference);
  if (rounded == 0) return got == 0 ? 0.0 : std::numeric_limits<double>::infinity();
  const long double ulp =
      std::ldexp(1.0L, std::ilogb(rounded) - std::numeric_limits<T>::digits + 1);
  return static_cast<double>(std::fabs(static_cast<long double>(got) - reference) / ulp);
}

template <class T>
bool agree(const FunctionInfo& info, const Implementation& impl, ArrayMap<T> map) {
  // 37 elements: whole vectors of every width here and a partial one.
  constexpr int64_t kCount = 37;
  std::vector<T> a(kCount), r(kCount, T(0));
  draw_arguments(info.id, a.data(), kCount);
  map(a.data(), r.data(), kCount);
  for (int64_t i = 0; i < kCount; ++i) {
    const long double reference = info.reference(static_cast<long double>(a[i]));
    if (ulps_from(r[i], reference) > kAgreementUlps) {
      std::fprintf(stderr,
                   "%s%s %s%s disagrees at element %lld: f(%.9g) = %.17g, expected %.17Lg\n",
                   impl.role == Role::kOurs ? "warning: " : "", impl.name,
                   sizeof(T) == 4 ? "s" : "d", info.name, static_cast<long long>(i),
                   static_cast<double>(a[i]), static_cast<double>(r[i]), reference);
      return false;
    }
  }
  return true;
}

}  // namespace

bool peers_agree() {
  bool peers = true;
  for (const FunctionInfo& info : kFunctions) {
    for (const Implementation& impl : implementations_of(info.id)) {
      const bool agrees = (impl.s == nullptr || agree(info, impl, impl.s)) &
                          (impl.d == nullptr || agree(info, impl, impl.d));
      if (impl.role != Role::kOurs) peers &= agrees;
    }
  }
  return peers;
}

}  // namespace bench::vector_math
