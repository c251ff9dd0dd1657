// x^s mod p(x) over GF(2) for a dense p, with carry-less multiplication (PCLMULQDQ,
// used only after the processor reports it) and Barrett reduction: with
// mu = x^(2d) div p, the quotient of c (degree < 2d) by p is ((c div x^d) mu) div x^d,
// exactly. A squaring then costs about (d / 64)^2 carry-less products whatever the
// number of terms of p, where folding term by term costs d / 64 word operations per term.
#include "generators/gf2_jump_carryless.h"

#include <immintrin.h>

#include <algorithm>
#include <cstring>

#include "core_interface/sibling.h"
#include "streams/status.h"

namespace zorn::generators {
namespace {

constexpr int kWordBits = 64;

// Words first..last of the product a * b (all other words of out zero); out has na + nb
// words. Word k gathers the low halves of the partial products with i + j = k and the
// high halves of those with i + j = k - 1; without carries any range is exact alone.
__attribute__((target("pclmul"))) void multiply_range(const uint64_t* a, int64_t na, const uint64_t* b, int64_t nb,
                                                      uint64_t* out, int64_t first, int64_t last) {
  const int64_t total = na + nb;
  std::memset(out, 0, sizeof(uint64_t) * static_cast<size_t>(total));
  last = std::min(last, total - 1);
  for (int64_t k = std::max<int64_t>(first - 1, 0); k <= last && k + 1 < total; ++k) {
    __m128i sum = _mm_setzero_si128();
    const int64_t i_hi = std::min(k, na - 1);
    for (int64_t i = std::max<int64_t>(0, k - nb + 1); i <= i_hi; ++i)
      sum = _mm_xor_si128(sum, _mm_clmulepi64_si128(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(a + i)),
                                                    _mm_loadl_epi64(reinterpret_cast<const __m128i*>(b + k - i)), 0));
    if (k >= first) out[k] ^= static_cast<uint64_t>(_mm_cvtsi128_si64(sum));
    if (k + 1 <= last) out[k + 1] ^= static_cast<uint64_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(sum, sum)));
  }
}

// dst[0..n) = bits from..from + 64 n of src (src has src_words words).
void shift_down(const uint64_t* src, int64_t src_words, int64_t from, uint64_t* dst, int64_t n) {
  const int64_t w = from / kWordBits;
  const int b = static_cast<int>(from % kWordBits);
  for (int64_t i = 0; i < n; ++i) {
    const uint64_t lo = i + w < src_words ? src[i + w] : 0;
    const uint64_t hi = i + w + 1 < src_words ? src[i + w + 1] : 0;
    dst[i] = b == 0 ? lo : (lo >> b) | (hi << (kWordBits - b));
  }
}

struct Barrett {
  int64_t degree;
  int64_t words;     // of a reduced polynomial: degree / 64 + 1
  uint64_t* p;       // words
  uint64_t* mu;      // words + 1
  uint64_t* high;    // words
  uint64_t* q;       // words
  uint64_t* product; // 2 words + 2
};

// mu = x^(2d) div p by long division one quotient word at a time. The divisor is
// normalised to P = p x^sh with its top bit at bit 0 of word `words`, so that quotient
// word k removes numerator word k + words: its 64 bits follow from that word and the
// 64 bits of P below the top, and the numerator is then updated with one product.
void reciprocal(const Barrett& b, uint64_t* numerator, uint64_t* normalised) {
  const int64_t w = b.words;
  const int64_t sh = kWordBits * w - b.degree;  // 1..64
  std::memset(normalised, 0, sizeof(uint64_t) * static_cast<size_t>(w + 1));
  for (int64_t i = 0; i < w; ++i) {
    const int64_t at = i * kWordBits + sh;
    normalised[at / kWordBits] ^= b.p[i] << (at % kWordBits);
    if (at % kWordBits != 0 && at / kWordBits + 1 <= w) normalised[at / kWordBits + 1] ^= b.p[i] >> (kWordBits - at % kWordBits);
  }
  // x^(2d + sh): the quotient by P is x^(2d) div p, of degree d.
  const int64_t top = 2 * b.degree + sh;
  const int64_t n_words = top / kWordBits + 1;
  std::memset(numerator, 0, sizeof(uint64_t) * static_cast<size_t>(n_words + w + 2));
  numerator[top / kWordBits] = uint64_t{1} << (top % kWordBits);
  const uint64_t below_top = normalised[w - 1];
  std::memset(b.mu, 0, sizeof(uint64_t) * static_cast<size_t>(w + 1));
  for (int64_t k = n_words - 1 - w; k >= 0; --k) {
    uint64_t window = numerator[k + w], quotient = 0;
    for (int t = kWordBits - 1; t >= 0; --t) {
      if (((window >> t) & 1u) == 0) continue;
      quotient |= uint64_t{1} << t;
      window ^= (uint64_t{1} << t) ^ (t > 0 ? below_top >> (kWordBits - t) : 0);
    }
    if (quotient == 0) continue;
    b.mu[k] = quotient;
    // numerator ^= quotient * P * x^(64 k)
    for (int64_t i = 0; i <= w; ++i) {
      uint64_t lo, hi;
      carryless_product(quotient, normalised[i], lo, hi);
      numerator[k + i] ^= lo;
      numerator[k + i + 1] ^= hi;
    }
  }
}

// r = c mod p for c of 2 words words (degree < 2d); r has `words` words.
void reduce(const Barrett& b, const uint64_t* c, uint64_t* r) {
  const int64_t w = b.words;
  shift_down(c, 2 * w, b.degree, b.high, w);
  multiply_range(b.high, w, b.mu, w + 1, b.product, b.degree / kWordBits, 2 * w);
  shift_down(b.product, 2 * w + 1, b.degree, b.q, w);
  multiply_range(b.q, w, b.p, w, b.product, 0, w - 1);
  for (int64_t i = 0; i < w; ++i) r[i] = c[i] ^ b.product[i];
  const int64_t keep = b.degree % kWordBits;
  r[w - 1] &= keep == 0 ? 0 : (uint64_t{1} << keep) - 1;
}

__attribute__((target("pclmul"))) void square(const uint64_t* a, int64_t words, uint64_t* out) {
  for (int64_t i = 0; i < words; ++i) carryless_product(a[i], a[i], out[2 * i], out[2 * i + 1]);
}

}  // namespace

__attribute__((target("pclmul"))) void carryless_product(uint64_t a, uint64_t b, uint64_t& lo, uint64_t& hi) {
  const __m128i p = _mm_clmulepi64_si128(_mm_cvtsi64_si128(static_cast<long long>(a)),
                                         _mm_cvtsi64_si128(static_cast<long long>(b)), 0);
  lo = static_cast<uint64_t>(_mm_cvtsi128_si64(p));
  hi = static_cast<uint64_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(p, p)));
}

bool carryless_available() {
  static const bool available = [] {
    __builtin_cpu_init();  // may run before the library's constructors
    return __builtin_cpu_supports("pclmul") != 0;
  }();
  return available;
}

int32_t power_of_x_carryless(uint64_t s, int32_t degree, int32_t terms, const int32_t* exponents, uint64_t* out) {
  const int64_t w = degree / kWordBits + 1;
  // p, mu, high, q, product, square, and the numerator and normalised divisor of mu.
  const int64_t total = w + (w + 1) + w + w + (2 * w + 2) + (2 * w + 2) + (3 * w + 4) + (w + 1);
  auto* scratch = static_cast<uint64_t*>(zorn::sibling::allocate(sizeof(uint64_t) * static_cast<size_t>(total)));
  if (scratch == nullptr) return zorn::streams::kStatusNoMemory;
  std::memset(scratch, 0, sizeof(uint64_t) * static_cast<size_t>(total));
  uint64_t* cursor = scratch;
  auto take = [&cursor](int64_t n) { uint64_t* at = cursor; cursor += n; return at; };
  const Barrett b{degree, w, take(w), take(w + 1), take(w), take(w), take(2 * w + 2)};
  uint64_t* sq = take(2 * w + 2);
  uint64_t* numerator = take(3 * w + 4);
  uint64_t* normalised = take(w + 1);
  for (int32_t t = 0; t < terms; ++t) b.p[exponents[t] / kWordBits] ^= uint64_t{1} << (exponents[t] % kWordBits);
  reciprocal(b, numerator, normalised);

  // Left to right from x^(the leading bits of s), the largest such power below the degree.
  int shift = 64 - __builtin_clzll(s);
  while (shift > 0 && (s >> (shift - 1)) < static_cast<uint64_t>(degree)) --shift;
  const uint64_t head = s >> shift;
  std::memset(out, 0, sizeof(uint64_t) * static_cast<size_t>(w));
  out[head / kWordBits] = uint64_t{1} << (head % kWordBits);
  for (int bit = shift - 1; bit >= 0; --bit) {
    square(out, w, sq);
    if ((s >> bit) & 1u) {
      // times x: one more place, still below 2d
      uint64_t carry = 0;
      for (int64_t i = 0; i < 2 * w; ++i) {
        const uint64_t v = sq[i];
        sq[i] = (v << 1) | carry;
        carry = v >> 63;
      }
    }
    reduce(b, sq, out);
  }
  zorn::sibling::deallocate(scratch);
  return zorn::streams::kStatusOk;
}

}  // namespace zorn::generators
