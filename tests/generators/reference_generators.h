// Plain transcriptions of the published recurrences, written for clarity rather than
// speed, against which the library's block generators are checked.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

namespace reference {

// Lehmer generator x <- a x mod m, with the output before the step.
inline std::vector<uint64_t> lehmer(uint64_t x, uint64_t a, unsigned __int128 m, int n) {
  std::vector<uint64_t> out;
  for (int i = 0; i < n; ++i) {
    out.push_back(x);
    x = static_cast<uint64_t>(static_cast<unsigned __int128>(a) * x % m);
  }
  return out;
}

// MRG32k3a as in L'Ecuyer (1999), in the double arithmetic of the paper's listing;
// s1 and s2 are the two components, oldest first. Returns z = (p1 - p2) mod m1.
inline std::vector<uint32_t> mrg32k3a(double s1[3], double s2[3], int n) {
  const double m1 = 4294967087.0, m2 = 4294944443.0;
  std::vector<uint32_t> out;
  for (int i = 0; i < n; ++i) {
    double p1 = 1403580.0 * s1[1] - 810728.0 * s1[0];
    long k = static_cast<long>(p1 / m1);
    p1 -= k * m1;
    if (p1 < 0.0) p1 += m1;
    s1[0] = s1[1], s1[1] = s1[2], s1[2] = p1;
    double p2 = 527612.0 * s2[2] - 1370589.0 * s2[0];
    k = static_cast<long>(p2 / m2);
    p2 -= k * m2;
    if (p2 < 0.0) p2 += m2;
    s2[0] = s2[1], s2[1] = s2[2], s2[2] = p2;
    out.push_back(static_cast<uint32_t>(p1 > p2 ? p1 - p2 : p1 < p2 ? p1 - p2 + m1 : 0.0));
  }
  return out;
}

// R250 from its initial 250 words: w(t) = w(t-250) xor w(t-147).
inline std::vector<uint32_t> r250(std::vector<uint32_t> w, int n) {
  for (int t = 0; t < n; ++t) w.push_back(w[t] ^ w[t + 103]);
  return std::vector<uint32_t>(w.begin() + 250, w.end());
}

// The R250 initial words from one seed: s 69069^(k+1) mod 2^32, then word 3 + 7k
// with bit 31 - k set and the bits above it cleared.
inline std::vector<uint32_t> r250_seed_words(uint32_t s) {
  std::vector<uint32_t> w(250);
  uint64_t v = s;
  for (int k = 0; k < 250; ++k) w[k] = static_cast<uint32_t>(v = v * 69069 % (uint64_t{1} << 32));
  for (int k = 0; k < 32; ++k) {
    uint32_t& word = w[3 + 7 * k];
    for (int bit = 31; bit > 31 - k; --bit) word &= ~(uint32_t{1} << bit);
    word |= uint32_t{1} << (31 - k);
  }
  return w;
}

struct WhStep {
  uint32_t x[4];
  double u;
};
// WH: advance the four components, then frac(sum x_i / m_i) in the order 1..4.
inline std::vector<WhStep> wh(uint64_t x[4], const uint32_t m[4], const uint32_t a[4], int n) {
  std::vector<WhStep> out;
  for (int t = 0; t < n; ++t) {
    WhStep s;
    double u = 0;
    for (int i = 0; i < 4; ++i) {
      x[i] = a[i] * x[i] % m[i];
      s.x[i] = static_cast<uint32_t>(x[i]);
      u += x[i] * (1.0 / m[i]);
    }
    s.u = u - std::trunc(u);
    out.push_back(s);
  }
  return out;
}

}  // namespace reference
