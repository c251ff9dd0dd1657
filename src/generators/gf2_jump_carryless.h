// x^s mod p by carry-less products, for polynomials with many terms.
#pragma once

#include <cstdint>

namespace zorn::generators {

// Whether the processor has the carry-less multiplication instruction.
bool carryless_available();

void carryless_product(uint64_t a, uint64_t b, uint64_t& lo, uint64_t& hi);

// out (degree / 64 + 1 words) = x^s mod p, p given by its increasing exponents, for
// s >= degree; 0, or -4 when scratch memory is refused. Needs carryless_available().
int32_t power_of_x_carryless(uint64_t s, int32_t degree, int32_t terms, const int32_t* exponents, uint64_t* out);

}  // namespace zorn::generators
