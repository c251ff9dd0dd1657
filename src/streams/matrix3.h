// 3 x 3 matrices modulo m < 2^32: the transition matrices of the MRG32K3A components
// and their powers.
#pragma once

#include <cstdint>

namespace zorn::streams {

struct Matrix3 {
  uint32_t e[3][3];  // row-major, entries in [0, m)
};

inline uint32_t add_mod(uint32_t a, uint32_t b, uint32_t m) {
  const uint64_t s = uint64_t{a} + b;
  return static_cast<uint32_t>(s >= m ? s - m : s);
}

inline Matrix3 multiply(const Matrix3& p, const Matrix3& q, uint32_t m) {
  Matrix3 r{};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) {
      uint32_t sum = 0;
      for (int k = 0; k < 3; ++k) sum = add_mod(sum, static_cast<uint32_t>(uint64_t{p.e[i][k]} * q.e[k][j] % m), m);
      r.e[i][j] = sum;
    }
  return r;
}

// v = p v (mod m); v holds residues.
inline void apply(const Matrix3& p, uint32_t* v, uint32_t m) {
  uint32_t r[3];
  for (int i = 0; i < 3; ++i) {
    uint32_t sum = 0;
    for (int k = 0; k < 3; ++k) sum = add_mod(sum, static_cast<uint32_t>(uint64_t{p.e[i][k]} * v[k] % m), m);
    r[i] = sum;
  }
  for (int i = 0; i < 3; ++i) v[i] = r[i];
}

// The matrix that shifts (v0, v1, v2) to (v1, v2, row . v).
inline Matrix3 companion(const uint32_t* row) {
  return Matrix3{{{0, 1, 0}, {0, 0, 1}, {row[0], row[1], row[2]}}};
}

}  // namespace zorn::streams
