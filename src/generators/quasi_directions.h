// Direction numbers of the base-2 low-discrepancy sequences, 32 per dimension, 32 bits
// each: V[k] is the direction number of bit k of the point index (k = 0 is the lowest).
// Shared by the generators (caller-supplied polynomials) and the tools that write the
// built-in tables, so both build them the same way.
#pragma once

#include <bit>
#include <cstdint>

namespace zorn::generators {

constexpr int kDirectionBits = 32;

// Degree of a polynomial over GF(2) given with bit i for x^i; 0 for the constants.
constexpr int polynomial_degree(uint64_t p) { return p == 0 ? 0 : 63 - std::countl_zero(p); }

// Sobol (Bratley and Fox, ACM TOMS 659): for the polynomial x^s + a_1 x^(s-1) + ... +
// a_(s-1) x + 1 and the initial values m_1..m_s (m_k odd, below 2^k),
// V_k = m_k 2^(32-k) for k <= s and beyond
// V_k = a_1 V_(k-1) ^ ... ^ a_(s-1) V_(k-s+1) ^ V_(k-s) ^ (V_(k-s) >> s),
// which is the published recurrence on the m_k shifted into place. Initial values
// beyond `count` are 1; bits of an m_k at or above 2^k fall off the word. A polynomial
// of degree 0 stands for the first dimension (m_k = 1 for every k).
constexpr void sobol_directions(uint32_t polynomial, const uint32_t* initial, uint32_t count,
                                uint32_t v[kDirectionBits]) {
  const int s = polynomial_degree(polynomial);
  for (int k = 1; k <= kDirectionBits; ++k) {
    uint32_t vk;
    if (s == 0 || k <= s) {
      const uint32_t m = s != 0 && static_cast<uint32_t>(k) <= count ? initial[k - 1] : 1u;
      vk = m << (kDirectionBits - k);
    } else {
      vk = v[k - s - 1] ^ (v[k - s - 1] >> s);
      for (int i = 1; i < s; ++i)
        if ((polynomial >> (s - i)) & 1u) vk ^= v[k - i - 1];
    }
    v[k - 1] = vk;
  }
}

// Carry-less product of two polynomials whose degrees add up to at most 63.
constexpr uint64_t gf2_multiply(uint64_t a, uint64_t b) {
  uint64_t r = 0;
  for (; b != 0; b &= b - 1) r ^= a << std::countr_zero(b);
  return r;
}

// Niederreiter in base 2 (Bratley, Fox and Niederreiter, ACM TOMS 738, its CALCC2 and
// CALCV2): output bit j (j = 0 the most significant) of direction number r is v[r + u],
// where u = j mod e, e the degree of the polynomial p, and v is the sequence built for
// B = p^(j div e + 1): with M the degree of p^(j div e), v_0..v_(M-1) = 0, v_M = 1, the
// free values v_(M+1)..v_(deg B - 1) = 1 (the published choice K_j = M), and beyond
// v_(i + deg B) = sum over k < deg B of b_k v_(i+k). Degrees stay below 64 for a 32-bit
// polynomial, so B and v are 64-bit words. A polynomial of degree 0 stands for x.
constexpr void niederreiter_directions(uint32_t polynomial, uint32_t v_out[kDirectionBits]) {
  uint64_t p = polynomial_degree(polynomial) == 0 ? 2u : polynomial;
  const int e = polynomial_degree(p);
  for (int r = 0; r < kDirectionBits; ++r) v_out[r] = 0;
  uint64_t b = 1, v = 0;
  for (int j = 0, u = 0; j < kDirectionBits; ++j) {
    if (u == 0) {
      const int bigm = polynomial_degree(b);
      b = gf2_multiply(b, p);
      const int m = polynomial_degree(b);
      v = ((uint64_t{1} << m) - 1) & ~((uint64_t{1} << bigm) - 1);  // v_M .. v_(m-1) = 1
      const uint64_t low = b & ((uint64_t{1} << m) - 1);
      for (int i = m; i < 64; ++i)
        if (std::popcount(low & (v >> (i - m))) & 1) v |= uint64_t{1} << i;
    }
    for (int r = 0; r < kDirectionBits; ++r)
      v_out[r] |= static_cast<uint32_t>((v >> (r + u)) & 1u) << (kDirectionBits - 1 - j);
    if (++u == e) u = 0;
  }
}

}  // namespace zorn::generators
