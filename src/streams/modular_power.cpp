// Powers modulo m by right-to-left square-and-multiply: the multipliers of leapfrog
// and skip-ahead for the congruential generators.
#include "streams/modular_arithmetic.h"
#include "zorn/pavo.h"

using namespace zorn::streams;

namespace {

template <typename Word, typename MulMod>
Word power(Word a, uint64_t e, Word one, MulMod mul) {
  Word result = one;
  while (e != 0) {
    if (e & 1) result = mul(result, a);
    a = mul(a, a);
    e >>= 1;
  }
  return result;
}

}  // namespace

extern "C" {

uint32_t __pavoiPowMod(uint32_t a, uint64_t e, uint32_t m) {
  if (m == 0) return 0;  // no residues; never a divisor
  return power<uint32_t>(a % m, e, 1 % m, [m](uint32_t x, uint32_t y) { return mul_mod(x, y, m); });
}

uint32_t __pavoiPowMod2P31M1(uint32_t a, uint64_t e) {
  a = static_cast<uint32_t>(a % kMersenne31);
  return power<uint32_t>(a, e, 1, mul_mod_2p31m1);
}

uint64_t __pavoiPowMod2P59(uint64_t a, uint64_t e) { return power<uint64_t>(a & kMask59, e, 1, mul_mod_2p59); }

}  // extern "C"
