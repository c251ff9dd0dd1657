// The built-in Niederreiter table (tools/niederreiter_directions): dimension d + 1 uses
// the irreducible polynomial kNiederrPolynomials[d] (bit i for x^i) and the direction
// numbers kNiederrDirections[d], V_1..V_32.
#pragma once

#include <cstdint>

#include "generators/quasi_directions.h"

namespace zorn::generators {

constexpr int32_t kNiederrMaxDimension = 318;
extern const uint32_t kNiederrPolynomials[kNiederrMaxDimension];
extern const uint32_t kNiederrDirections[kNiederrMaxDimension][kDirectionBits];

}  // namespace zorn::generators
