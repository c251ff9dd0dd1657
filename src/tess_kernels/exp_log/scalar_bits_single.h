// Bit patterns and powers of two for the scalar callouts of the single precision family.
#pragma once

#include <cstdint>
#include <cstring>

namespace zorn::tess {

inline uint32_t bits_of(float x) {
  uint32_t b;
  std::memcpy(&b, &x, sizeof b);
  return b;
}
inline uint64_t bits_of(double x) {
  uint64_t b;
  std::memcpy(&b, &x, sizeof b);
  return b;
}
inline float float_from_bits(uint32_t b) {
  float x;
  std::memcpy(&x, &b, sizeof x);
  return x;
}
inline double double_from_bits(uint64_t b) {
  double x;
  std::memcpy(&x, &b, sizeof x);
  return x;
}
// 2^e for an exponent of a normal double.
inline double power_of_two(int64_t e) {
  return double_from_bits(static_cast<uint64_t>(e + 1023) << 52);
}

constexpr uint32_t kFloatQuietNaN = 0x7FC00000;

}  // namespace zorn::tess
