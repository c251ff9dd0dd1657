// Plain one-word-at-a-time transcriptions of the MT19937 and SFMT19937 reference
// algorithms (Matsumoto and Nishimura 1998; Saito and Matsumoto 2008), written for
// clarity rather than speed. The table tools derive the characteristic polynomials
// from them, and the tests use them as an independent model of the generators.
#ifndef ZORN_TOOLS_PLAIN_TWISTERS_H
#define ZORN_TOOLS_PLAIN_TWISTERS_H

#include <cstdint>
#include <cstring>
#include <vector>

namespace plain {

// The reference init_by_array of the Mersenne twisters, on a state of n words.
inline void init_by_array(uint32_t* mt, int n, const std::vector<uint32_t>& key) {
  mt[0] = 19650218u;
  for (int i = 1; i < n; ++i) mt[i] = 1812433253u * (mt[i - 1] ^ (mt[i - 1] >> 30)) + i;
  int i = 1, j = 0;
  const int len = static_cast<int>(key.size());
  for (int k = n > len ? n : len; k; --k) {
    mt[i] = (mt[i] ^ ((mt[i - 1] ^ (mt[i - 1] >> 30)) * 1664525u)) + key[j] + j;
    if (++i >= n) { mt[0] = mt[n - 1]; i = 1; }
    if (++j >= len) j = 0;
  }
  for (int k = n - 1; k; --k) {
    mt[i] = (mt[i] ^ ((mt[i - 1] ^ (mt[i - 1] >> 30)) * 1566083941u)) - i;
    if (++i >= n) { mt[0] = mt[n - 1]; i = 1; }
  }
  mt[0] = 0x80000000u;
}

// The reference MT19937 with init_by_array and genrand_int32.
class Mt19937 {
 public:
  static constexpr int N = 624, M = 397;
  explicit Mt19937(const std::vector<uint32_t>& key) { init_by_array(mt_, N, key); }
  uint32_t next() {
    static const uint32_t mag01[2] = {0u, 0x9908B0DFu};
    if (mti_ >= N) {
      int kk = 0;
      uint32_t y;
      for (; kk < N - M; ++kk) {
        y = (mt_[kk] & 0x80000000u) | (mt_[kk + 1] & 0x7FFFFFFFu);
        mt_[kk] = mt_[kk + M] ^ (y >> 1) ^ mag01[y & 1u];
      }
      for (; kk < N - 1; ++kk) {
        y = (mt_[kk] & 0x80000000u) | (mt_[kk + 1] & 0x7FFFFFFFu);
        mt_[kk] = mt_[kk + (M - N)] ^ (y >> 1) ^ mag01[y & 1u];
      }
      y = (mt_[N - 1] & 0x80000000u) | (mt_[0] & 0x7FFFFFFFu);
      mt_[N - 1] = mt_[M - 1] ^ (y >> 1) ^ mag01[y & 1u];
      mti_ = 0;
    }
    uint32_t y = mt_[mti_++];
    y ^= (y >> 11);
    y ^= (y << 7) & 0x9D2C5680u;
    y ^= (y << 15) & 0xEFC60000u;
    y ^= (y >> 18);
    return y;
  }

 private:
  uint32_t mt_[N];
  int mti_ = N;
};

// The reference SFMT19937: 156 words of 128 bits, init_by_array, period certification
// and gen_rand32, with the 128-bit shifts written on two 64-bit halves.
class Sfmt19937 {
 public:
  static constexpr int N = 156, N32 = 624, POS1 = 122, SL1 = 18, SL2 = 1, SR1 = 11, SR2 = 1;
  explicit Sfmt19937(const std::vector<uint32_t>& key) {
    const int lag = 11, mid = (N32 - lag) / 2;
    const int key_length = static_cast<int>(key.size());
    std::memset(s_, 0x8B, sizeof(s_));
    int count = key_length + 1 > N32 ? key_length + 1 : N32;
    uint32_t r = func1(s_[0] ^ s_[mid] ^ s_[N32 - 1]);
    s_[mid] += r;
    r += key_length;
    s_[mid + lag] += r;
    s_[0] = r;
    --count;
    int i = 1, j = 0;
    for (; j < count && j < key_length; ++j) {
      r = func1(s_[i] ^ s_[(i + mid) % N32] ^ s_[(i + N32 - 1) % N32]);
      s_[(i + mid) % N32] += r;
      r += key[j] + i;
      s_[(i + mid + lag) % N32] += r;
      s_[i] = r;
      i = (i + 1) % N32;
    }
    for (; j < count; ++j) {
      r = func1(s_[i] ^ s_[(i + mid) % N32] ^ s_[(i + N32 - 1) % N32]);
      s_[(i + mid) % N32] += r;
      r += i;
      s_[(i + mid + lag) % N32] += r;
      s_[i] = r;
      i = (i + 1) % N32;
    }
    for (j = 0; j < N32; ++j) {
      r = func2(s_[i] + s_[(i + mid) % N32] + s_[(i + N32 - 1) % N32]);
      s_[(i + mid) % N32] ^= r;
      r -= i;
      s_[(i + mid + lag) % N32] ^= r;
      s_[i] = r;
      i = (i + 1) % N32;
    }
    certify_period();
  }
  uint32_t next() {
    if (idx_ >= N32) {
      generate_all();
      idx_ = 0;
    }
    return s_[idx_++];
  }
  const uint32_t* words() const { return s_; }

 private:
  static uint32_t func1(uint32_t x) { return (x ^ (x >> 27)) * 1664525u; }
  static uint32_t func2(uint32_t x) { return (x ^ (x >> 27)) * 1566083941u; }
  void certify_period() {
    static const uint32_t parity[4] = {0x00000001u, 0x00000000u, 0x00000000u, 0x13C9E684u};
    uint32_t inner = 0;
    for (int i = 0; i < 4; ++i) inner ^= s_[i] & parity[i];
    for (int i = 16; i > 0; i >>= 1) inner ^= inner >> i;
    if (inner & 1u) return;
    for (int i = 0; i < 4; ++i) {
      uint32_t work = 1;
      for (int j = 0; j < 32; ++j) {
        if (work & parity[i]) { s_[i] ^= work; return; }
        work <<= 1;
      }
    }
  }
  static void rshift128(uint32_t* out, const uint32_t* in, int shift) {
    uint64_t th = (uint64_t(in[3]) << 32) | in[2], tl = (uint64_t(in[1]) << 32) | in[0];
    uint64_t oh = th >> (shift * 8), ol = (tl >> (shift * 8)) | (th << (64 - shift * 8));
    out[1] = uint32_t(ol >> 32); out[0] = uint32_t(ol); out[3] = uint32_t(oh >> 32); out[2] = uint32_t(oh);
  }
  static void lshift128(uint32_t* out, const uint32_t* in, int shift) {
    uint64_t th = (uint64_t(in[3]) << 32) | in[2], tl = (uint64_t(in[1]) << 32) | in[0];
    uint64_t oh = (th << (shift * 8)) | (tl >> (64 - shift * 8)), ol = tl << (shift * 8);
    out[1] = uint32_t(ol >> 32); out[0] = uint32_t(ol); out[3] = uint32_t(oh >> 32); out[2] = uint32_t(oh);
  }
  static void recursion(uint32_t* r, const uint32_t* a, const uint32_t* b, const uint32_t* c, const uint32_t* d) {
    static const uint32_t msk[4] = {0xDFFFFFEFu, 0xDDFECB7Fu, 0xBFFAFFFFu, 0xBFFFFFF6u};
    uint32_t x[4], y[4];
    lshift128(x, a, SL2);
    rshift128(y, c, SR2);
    for (int k = 0; k < 4; ++k) r[k] = a[k] ^ x[k] ^ ((b[k] >> SR1) & msk[k]) ^ y[k] ^ (d[k] << SL1);
  }
  void generate_all() {
    uint32_t* w = s_;
    const uint32_t* r1 = &w[4 * (N - 2)];
    const uint32_t* r2 = &w[4 * (N - 1)];
    int i = 0;
    for (; i < N - POS1; ++i) {
      recursion(&w[4 * i], &w[4 * i], &w[4 * (i + POS1)], r1, r2);
      r1 = r2;
      r2 = &w[4 * i];
    }
    for (; i < N; ++i) {
      recursion(&w[4 * i], &w[4 * i], &w[4 * (i + POS1 - N)], r1, r2);
      r1 = r2;
      r2 = &w[4 * i];
    }
  }
  uint32_t s_[N32];
  int idx_ = N32;
};

}  // namespace plain

#endif
