// Where a two-lane double core reads its constants. GCC 12 loads a constant {c, c} as the
// scalar c and a broadcast (movsd, unpcklpd); in a loop that holds more values than the
// sixteen registers, it rebuilds them in every pass, two operations each. A core that takes
// a source `k` and reads each constant as `constant<c>(k)` serves both kinds of caller:
// SplatConstants (the default) leaves the compiler its broadcasts, RowConstants reads full
// rows of a SplatRows table through an opaque pointer, which become memory operands.
// The bits do not depend on the source.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <utility>

#include "tess_kernels/frame/polynomial_double.h"
#include "tess_kernels/frame/splat_rows.h"

namespace zorn::tess::simd {

struct SplatConstants {};

template <double V>
[[gnu::always_inline]] inline F64x2 constant(SplatConstants) {
  return F64x2::splat(V);
}

// Rows of the values listed in kValues; a constant missing from the list does not compile.
template <const auto& kValues>
class RowConstants {
 public:
  static constexpr size_t kCount = std::size(kValues);
  RowConstants() : reader_(kRows) {}

  // The first row holding V bit for bit (so that -0.0 and 0.0 stay apart).
  template <double V>
  static consteval size_t index() {
    for (size_t i = 0; i < kCount; ++i) {
      if (std::bit_cast<uint64_t>(kValues[i]) == std::bit_cast<uint64_t>(V)) return i;
    }
    throw "constant missing from the row list";
  }
  template <double V>
  F64x2 get() const {
    return reader_[index<V>()];
  }

 private:
  static constexpr SplatRows<double, kCount> kRows{kValues};
  SplatReader<double, kCount> reader_;
};

template <double V, const auto& kValues>
[[gnu::always_inline]] inline F64x2 constant(const RowConstants<kValues>& k) {
  return k.template get<V>();
}

// estrin(z, kCoefficients) with the coefficients from the source k.
template <const auto& kCoefficients, class K>
[[gnu::always_inline]] inline F64x2 estrin(F64x2 z, const K& k) {
  return [&]<size_t... I>(std::index_sequence<I...>) {
    const F64x2 c[] = {constant<kCoefficients[I]>(k)...};
    return estrin_of<sizeof...(I)>(z, [&](size_t i) { return c[i]; });
  }(std::make_index_sequence<std::size(kCoefficients)>());
}

}  // namespace zorn::tess::simd
