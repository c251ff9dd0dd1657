// Dense polynomials over GF(2) for the twister table tools: Berlekamp-Massey over a
// bit sequence, carry-less products, Barrett reduction, and the irreducibility test
// for polynomials of prime degree. Bit i of word i / 64 is the coefficient of x^i.
#ifndef ZORN_TOOLS_TWISTER_GF2_POLY_H
#define ZORN_TOOLS_TWISTER_GF2_POLY_H

#include <immintrin.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace gf2 {

using Poly = std::vector<uint64_t>;

inline int degree(const Poly& p) {
  for (size_t w = p.size(); w-- > 0;) {
    if (p[w] != 0) return static_cast<int>(w * 64 + 63 - __builtin_clzll(p[w]));
  }
  return -1;
}

inline bool bit(const Poly& p, int i) {
  size_t w = static_cast<size_t>(i) / 64;
  return w < p.size() && ((p[w] >> (i % 64)) & 1u) != 0;
}

inline void set_bit(Poly& p, int i) {
  size_t w = static_cast<size_t>(i) / 64;
  if (w >= p.size()) p.resize(w + 1, 0);
  p[w] ^= uint64_t{1} << (i % 64);
}

inline void trim(Poly& p) {
  while (!p.empty() && p.back() == 0) p.pop_back();
}

// p ^= q * x^shift
inline void add_shifted(Poly& p, const Poly& q, int shift) {
  if (q.empty()) return;
  size_t words = static_cast<size_t>(shift) / 64;
  int bits = shift % 64;
  if (p.size() < q.size() + words + 1) p.resize(q.size() + words + 1, 0);
  if (bits == 0) {
    for (size_t i = 0; i < q.size(); ++i) p[i + words] ^= q[i];
  } else {
    for (size_t i = 0; i < q.size(); ++i) {
      p[i + words] ^= q[i] << bits;
      p[i + words + 1] ^= q[i] >> (64 - bits);
    }
  }
}

// Coefficients of x^from and above, moved down to x^0.
inline Poly shift_down(const Poly& p, int from) {
  size_t words = static_cast<size_t>(from) / 64;
  int bits = from % 64;
  Poly r;
  for (size_t i = words; i < p.size(); ++i) {
    uint64_t v = p[i] >> bits;
    if (bits != 0 && i + 1 < p.size()) v |= p[i + 1] << (64 - bits);
    r.push_back(v);
  }
  trim(r);
  return r;
}

inline Poly low_part(const Poly& p, int bits) {
  Poly r(p.begin(), p.begin() + std::min(p.size(), static_cast<size_t>(bits + 63) / 64));
  if (bits % 64 != 0 && r.size() == static_cast<size_t>(bits + 63) / 64)
    r.back() &= (uint64_t{1} << (bits % 64)) - 1;
  trim(r);
  return r;
}

// The polynomial with the given exponents of its non-zero terms.
inline Poly from_exponents(const std::vector<int>& exponents) {
  Poly p;
  for (int e : exponents) set_bit(p, e);
  return p;
}

inline std::vector<int> exponents(const Poly& p) {
  std::vector<int> e;
  for (int i = 0; i <= degree(p); ++i)
    if (bit(p, i)) e.push_back(i);
  return e;
}

// Minimal polynomial of the sequence s[0..N) by Berlekamp-Massey, returned as the
// characteristic polynomial x^L + c1 x^(L-1) + ... + cL of the shortest recurrence
// s[k] = c1 s[k-1] + ... + cL s[k-L]. With N >= 2L the result is unique.
inline Poly berlekamp_massey(const std::vector<uint8_t>& s) {
  Poly c{1}, b{1};
  Poly window;  // bit i = s[n - i]
  int length = 0, gap = 1;
  for (size_t n = 0; n < s.size(); ++n) {
    // window <<= 1, then bring in s[n]
    size_t need = static_cast<size_t>(length) / 64 + 2;
    if (window.size() < need) window.resize(need, 0);
    for (size_t w = window.size(); w-- > 1;) window[w] = (window[w] << 1) | (window[w - 1] >> 63);
    window[0] = (window[0] << 1) | s[n];
    uint64_t acc = 0;
    for (size_t w = 0; w < c.size() && w < window.size(); ++w) acc ^= c[w] & window[w];
    if (__builtin_parityll(acc) == 0) {
      ++gap;
    } else if (2 * length <= static_cast<int>(n)) {
      Poly t = c;
      add_shifted(c, b, gap);
      trim(c);
      length = static_cast<int>(n) + 1 - length;
      b = t;
      gap = 1;
    } else {
      add_shifted(c, b, gap);
      trim(c);
      ++gap;
    }
  }
  Poly result;
  for (int i = 0; i <= length; ++i)
    if (bit(c, i)) set_bit(result, length - i);
  return result;
}

__attribute__((target("pclmul"))) inline void clmul_64(uint64_t a, uint64_t b, uint64_t& lo, uint64_t& hi) {
  __m128i p = _mm_clmulepi64_si128(_mm_cvtsi64_si128(static_cast<long long>(a)),
                                   _mm_cvtsi64_si128(static_cast<long long>(b)), 0);
  lo = static_cast<uint64_t>(_mm_cvtsi128_si64(p));
  hi = static_cast<uint64_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(p, p)));
}

// Words first..last (inclusive, clipped) of the product a * b, written into out, which has
// na + nb words; the other words of out are zero. Over GF(2) there are no carries, so
// any range of product words is exact on its own: word k gathers the low halves of the
// partial products with i + j = k and the high halves of those with i + j = k - 1.
__attribute__((target("pclmul"))) inline void multiply_words(const uint64_t* a, size_t na, const uint64_t* b,
                                                             size_t nb, uint64_t* out, size_t first, size_t last) {
  size_t total = na + nb;
  for (size_t k = 0; k < total; ++k) out[k] = 0;
  if (na == 0 || nb == 0) return;
  if (last > total - 1) last = total - 1;
  size_t start = first > 0 ? first - 1 : 0;
  for (size_t k = start; k <= last && k + 1 < total; ++k) {
    __m128i acc = _mm_setzero_si128();
    size_t i_lo = k + 1 > nb ? k + 1 - nb : 0;
    size_t i_hi = k < na - 1 ? k : na - 1;
    for (size_t i = i_lo; i <= i_hi; ++i)
      acc = _mm_xor_si128(acc, _mm_clmulepi64_si128(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(a + i)),
                                                    _mm_loadl_epi64(reinterpret_cast<const __m128i*>(b + k - i)), 0));
    if (k >= first) out[k] ^= static_cast<uint64_t>(_mm_cvtsi128_si64(acc));
    if (k + 1 <= last) out[k + 1] ^= static_cast<uint64_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(acc, acc)));
  }
}

inline Poly multiply(const Poly& a, const Poly& b) {
  if (a.empty() || b.empty()) return {};
  Poly r(a.size() + b.size(), 0);
  multiply_words(a.data(), a.size(), b.data(), b.size(), r.data(), 0, r.size() - 1);
  trim(r);
  return r;
}

inline Poly square(const Poly& a) {
  Poly r(2 * a.size(), 0);
  for (size_t i = 0; i < a.size(); ++i) clmul_64(a[i], a[i], r[2 * i], r[2 * i + 1]);
  trim(r);
  return r;
}

// Remainder and quotient by schoolbook long division (one step per quotient bit).
inline Poly divide(Poly num, const Poly& den, Poly* quotient) {
  int dd = degree(den);
  if (quotient) quotient->clear();
  for (int d = degree(num); d >= dd; d = degree(num)) {
    add_shifted(num, den, d - dd);
    if (quotient) set_bit(*quotient, d - dd);
  }
  trim(num);
  return num;
}

// Products by a fixed polynomial, four carry-less products per instruction where the
// processor has VPCLMULQDQ: four neighbouring product words (diagonals) are summed in
// the four 128-bit lanes, from a copy of the fixed factor with one word per lane.
class FixedFactor {
 public:
  FixedFactor() = default;
  FixedFactor(const uint64_t* b, size_t nb) : nb_(nb), lanes_(2 * (nb + 2 * kPad), 0) {
    for (size_t j = 0; j < nb; ++j) lanes_[2 * (j + kPad)] = b[j];
  }
  static bool available() {
    static const bool yes = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("vpclmulqdq");
    return yes;
  }
  // As multiply_words(a, na, b, nb, out, first, last).
  __attribute__((target("avx512f,vpclmulqdq"))) void multiply(const uint64_t* a, size_t na, uint64_t* out,
                                                              size_t first, size_t last) const {
    const size_t total = na + nb_;
    for (size_t k = 0; k < total; ++k) out[k] = 0;
    if (last > total - 1) last = total - 1;
    alignas(64) uint64_t sums[8];
    for (size_t k0 = first > 0 ? first - 1 : 0; k0 <= last && k0 + 1 < total; k0 += 4) {
      __m512i acc = _mm512_setzero_si512();
      const size_t i_lo = k0 + 1 > nb_ ? k0 + 1 - nb_ : 0;
      const size_t i_hi = std::min(na - 1, k0 + 3);
      for (size_t i = i_lo; i <= i_hi; ++i) {
        const __m512i b = _mm512_loadu_si512(lanes_.data() + 2 * (kPad + k0 - i));
        acc = _mm512_xor_si512(acc, _mm512_clmulepi64_epi128(_mm512_set1_epi64(static_cast<long long>(a[i])), b, 0));
      }
      _mm512_store_si512(sums, acc);
      for (size_t t = 0; t < 4; ++t) {
        const size_t k = k0 + t;
        if (k >= first && k <= last) out[k] ^= sums[2 * t];
        if (k + 1 >= first && k + 1 <= last) out[k + 1] ^= sums[2 * t + 1];
      }
    }
  }

 private:
  static constexpr size_t kPad = 4;
  size_t nb_ = 0;
  std::vector<uint64_t> lanes_;
};

// Reduction modulo a fixed f of degree n by Barrett's method with mu = x^(2n) div f:
// the quotient of c (degree < 2n) is ((c div x^n) * mu) div x^n, exactly, over GF(2).
// Only the product words that reach the kept bits are computed.
class BarrettModulus {
 public:
  explicit BarrettModulus(const Poly& f) : n_(degree(f)), words_(static_cast<size_t>(n_) / 64 + 1) {
    Poly top;
    set_bit(top, 2 * n_);
    divide(top, f, &mu_);
    f_ = f;
    f_.resize(words_ + 1, 0);
    mu_.resize(words_ + 1, 0);
    if (FixedFactor::available()) {
      mu_fast_ = FixedFactor(mu_.data(), mu_.size());
      f_fast_ = FixedFactor(f_.data(), f_.size());
    }
  }
  // r = c mod f, c given as 2 * words_ words, r as words_ words.
  void reduce(const uint64_t* c, uint64_t* r) const {
    uint64_t high[kMaxWords], product[3 * kMaxWords], q[kMaxWords];
    shift_words_down(c, 2 * words_, n_, high, words_);
    size_t np = words_ + mu_.size();
    const bool fast = FixedFactor::available();
    if (fast) mu_fast_.multiply(high, words_, product, static_cast<size_t>(n_) / 64, np - 1);
    else multiply_words(high, words_, mu_.data(), mu_.size(), product, static_cast<size_t>(n_) / 64, np - 1);
    shift_words_down(product, np, n_, q, words_);
    if (fast) f_fast_.multiply(q, words_, product, 0, words_ - 1);
    else multiply_words(q, words_, f_.data(), f_.size(), product, 0, words_ - 1);
    for (size_t i = 0; i < words_; ++i) r[i] = c[i] ^ product[i];
    if (n_ % 64 != 0) r[words_ - 1] &= (uint64_t{1} << (n_ % 64)) - 1;
    else r[words_ - 1] = 0;
  }
  Poly square_mod(const Poly& a) const {
    uint64_t sq[2 * kMaxWords] = {};
    for (size_t i = 0; i < a.size() && i < words_; ++i) clmul_64(a[i], a[i], sq[2 * i], sq[2 * i + 1]);
    Poly r(words_, 0);
    reduce(sq, r.data());
    trim(r);
    return r;
  }
  Poly multiply_mod(const Poly& a, const Poly& b) const {
    Poly p = multiply(a, b);
    p.resize(2 * words_, 0);
    Poly r(words_, 0);
    reduce(p.data(), r.data());
    trim(r);
    return r;
  }

 private:
  static constexpr size_t kMaxWords = 400;  // degree up to 25599
  static void shift_words_down(const uint64_t* src, size_t n_src, int from, uint64_t* dst, size_t n_dst) {
    size_t w = static_cast<size_t>(from) / 64;
    int b = from % 64;
    for (size_t i = 0; i < n_dst; ++i) {
      uint64_t lo = i + w < n_src ? src[i + w] : 0;
      uint64_t hi = i + w + 1 < n_src ? src[i + w + 1] : 0;
      dst[i] = b == 0 ? lo : (lo >> b) | (hi << (64 - b));
    }
  }
  int n_;
  size_t words_;
  Poly f_, mu_;
  FixedFactor mu_fast_, f_fast_;
};

// For f of prime degree p: f is irreducible exactly when x^(2^p) = x mod f and f has no
// factor of degree 1 (then every irreducible factor has degree p). When 2^p - 1 is prime
// as well, irreducible means primitive, and the recurrence has full period.
inline bool is_irreducible_prime_degree(const Poly& f) {
  int p = degree(f);
  if (!bit(f, 0)) return false;  // f(0) = 0
  int terms = 0;
  for (uint64_t w : f) terms += __builtin_popcountll(w);
  if (terms % 2 == 0) return false;  // f(1) = 0
  BarrettModulus mod(f);
  Poly x{2};
  Poly r = x;
  for (int i = 0; i < p; ++i) r = mod.square_mod(r);
  return r == x;
}

}  // namespace gf2

#endif
