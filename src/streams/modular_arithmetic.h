// Modular products used by the congruential generators and their powers.
#pragma once

#include <cstdint>

namespace zorn::streams {

constexpr uint32_t kMersenne31 = 0x7FFFFFFFu;  // 2^31 - 1, prime
constexpr uint64_t kMask59 = (uint64_t{1} << 59) - 1;

// a x b mod (2^31 - 1) for a, b < 2^31: since 2^31 = 1 (mod m), the 62-bit product
// folds into its low 31 bits plus its high part; one conditional subtraction of m
// finishes (the sum is below 2m).
inline uint32_t mul_mod_2p31m1(uint32_t a, uint32_t b) {
  const uint64_t p = uint64_t{a} * b;
  uint32_t r = static_cast<uint32_t>((p & kMersenne31) + (p >> 31));
  if (r >= kMersenne31) r -= kMersenne31;
  return r;
}

inline uint64_t mul_mod_2p59(uint64_t a, uint64_t b) { return (a * b) & kMask59; }

// a x b mod m for any m < 2^32, by 64-bit division.
inline uint32_t mul_mod(uint32_t a, uint32_t b, uint32_t m) {
  return static_cast<uint32_t>(uint64_t{a} * b % m);
}

}  // namespace zorn::streams
