// The MT2203 recurrence and its characteristic polynomial in closed form.
#ifndef ZORN_TOOLS_MT2203_SHAPE_H
#define ZORN_TOOLS_MT2203_SHAPE_H

#include <array>
#include <cstdint>
#include <vector>

#include "twister_gf2/gf2_poly.h"

namespace mt2203 {

constexpr int kWords = 69;       // n
constexpr int kMiddle = 34;      // m
constexpr int kLowerBits = 5;    // r
constexpr int kWordBits = 32;    // w
constexpr int kDegree = kWords * kWordBits - kLowerBits;  // 2203, a Mersenne exponent
constexpr uint32_t kUpperMask = 0xFFFFFFE0u;
constexpr uint32_t kLowerMask = 0x0000001Fu;

// The plain recurrence of one untempered word sequence, for Berlekamp-Massey checks.
class PlainRecurrence {
 public:
  PlainRecurrence(uint32_t matrix, uint32_t seed) : a_(matrix) {
    mt_[0] = seed;
    for (int i = 1; i < kWords; ++i) mt_[i] = 1812433253u * (mt_[i - 1] ^ (mt_[i - 1] >> 30)) + i;
  }
  uint32_t next() {
    if (index_ == kWords) {
      for (int i = 0; i < kWords; ++i) {
        uint32_t y = (mt_[i] & kUpperMask) | (mt_[(i + 1) % kWords] & kLowerMask);
        mt_[i] = mt_[(i + kMiddle) % kWords] ^ (y >> 1) ^ ((y & 1u) ? a_ : 0u);
      }
      index_ = 0;
    }
    return mt_[index_++];
  }

 private:
  uint32_t a_;
  std::array<uint32_t, kWords> mt_{};
  int index_ = kWords;
};

// Characteristic polynomial of the word recurrence x[k+n] = x[k+m] + (x[k]^u | x[k+1]^l) A,
// after Matsumoto and Nishimura (1998): with s = t^n + t^m and u = t^(n-1) + t^(m-1),
//   phi(t) = s^(w-r) u^r + sum_{j<r} a_j s^(w-r) u^(r-1-j) + sum_{j>=r} a_j s^(w-1-j),
// where a_j is bit j of the matrix word. phi is affine in the bits of A, so the 33
// terms are computed once and each candidate costs 32 conditional additions.
class CharacteristicPolynomial {
 public:
  CharacteristicPolynomial() {
    gf2::Poly s, u;
    gf2::set_bit(s, kWords);
    gf2::set_bit(s, kMiddle);
    gf2::set_bit(u, kWords - 1);
    gf2::set_bit(u, kMiddle - 1);
    std::vector<gf2::Poly> s_pow{{1}}, u_pow{{1}};
    for (int i = 0; i < kWordBits; ++i) s_pow.push_back(gf2::multiply(s_pow.back(), s));
    for (int i = 0; i < kLowerBits; ++i) u_pow.push_back(gf2::multiply(u_pow.back(), u));
    const gf2::Poly& s_top = s_pow[kWordBits - kLowerBits];
    base_ = gf2::multiply(s_top, u_pow[kLowerBits]);
    base_.resize(kPolyWords, 0);
    for (int j = 0; j < kWordBits; ++j) {
      term_[j] = j < kLowerBits ? gf2::multiply(s_top, u_pow[kLowerBits - 1 - j])
                                : s_pow[kWordBits - 1 - j];
      term_[j].resize(kPolyWords, 0);
    }
  }
  gf2::Poly of(uint32_t matrix) const {
    gf2::Poly p = base_;
    for (int j = 0; j < kWordBits; ++j) {
      if (((matrix >> j) & 1u) == 0) continue;
      for (int w = 0; w < kPolyWords; ++w) p[w] ^= term_[j][w];
    }
    return p;
  }

 private:
  static constexpr int kPolyWords = kDegree / 64 + 1;
  gf2::Poly base_;
  std::array<gf2::Poly, kWordBits> term_;
};

// Minimal polynomial of bit `bit_index` of the untempered output, by Berlekamp-Massey.
inline gf2::Poly minimal_polynomial_of_output(uint32_t matrix, int bit_index) {
  PlainRecurrence gen(matrix, 4357u);
  std::vector<uint8_t> bits(2 * kDegree + 64);
  for (auto& b : bits) b = static_cast<uint8_t>((gen.next() >> bit_index) & 1u);
  return gf2::berlekamp_massey(bits);
}

}  // namespace mt2203

#endif
