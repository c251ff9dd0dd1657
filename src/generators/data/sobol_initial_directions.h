// The built-in Sobol table, dimensions 1 to 40: primitive polynomial over GF(2) (bit i
// for x^i), its degree s and the initial values m_1..m_s (tools/sobol_directions).
// Dimension 1 is the polynomial 1 of degree 0: every m_k is 1.
#pragma once

#include <cstdint>

namespace zorn::generators {

struct SobolInitialDirections {
  uint32_t polynomial;
  uint32_t degree;
  uint32_t m[8];
};

constexpr int32_t kSobolMaxDimension = 40;
extern const SobolInitialDirections kSobolInitialDirections[kSobolMaxDimension];

}  // namespace zorn::generators
