// Choice of the tempering masks B and C of one MT2203 sub-generator by equidistribution.
//
// The output of a twister is v-bit equidistributed in k dimensions when the map from the
// 2203 state bits to the top v bits of k consecutive outputs has full rank k * v; k(v) is
// the largest such k and cannot exceed floor(2203 / v). The untempered recurrence falls
// far short of that bound for the leading bits; tempering (a bijection on each output
// word) repairs it. Each candidate (B, C) is scored by its total defect
// sum over v of (floor(2203 / v) - k(v)), computed exactly by Gaussian elimination over
// the output bits written as linear forms in the initial state bits.
#ifndef ZORN_TOOLS_TEMPERING_SEARCH_H
#define ZORN_TOOLS_TEMPERING_SEARCH_H

#include <array>
#include <cstdint>
#include <vector>

#include "mt2203_parameters/mt2203_shape.h"

namespace mt2203 {

constexpr int kFormWords = (kWords * kWordBits + 63) / 64;
using Form = std::array<uint64_t, kFormWords>;
using WordForms = std::array<Form, kWordBits>;  // bit b of an output word

inline void add_form(Form& a, const Form& b) {
  for (int i = 0; i < kFormWords; ++i) a[i] ^= b[i];
}

// Untempered output words as linear forms in the state bits (bit b of mt[i] is
// variable 32 i + b; the unused low bits of mt[0] never reach an output).
inline std::vector<WordForms> untempered_output_forms(uint32_t matrix, int count) {
  std::vector<WordForms> mt(kWords);
  for (int i = 0; i < kWords; ++i)
    for (int b = 0; b < kWordBits; ++b) {
      mt[i][b].fill(0);
      int v = i * kWordBits + b;
      mt[i][b][v / 64] = uint64_t{1} << (v % 64);
    }
  std::vector<WordForms> out;
  while (static_cast<int>(out.size()) < count) {
    for (int i = 0; i < kWords; ++i) {
      WordForms y;
      for (int b = 0; b < kWordBits; ++b) y[b] = b >= kLowerBits ? mt[i][b] : mt[(i + 1) % kWords][b];
      WordForms next = mt[(i + kMiddle) % kWords];
      for (int b = 0; b < kWordBits; ++b) {
        if (b + 1 < kWordBits) add_form(next[b], y[b + 1]);
        if ((matrix >> b) & 1u) add_form(next[b], y[0]);
      }
      mt[i] = next;
      out.push_back(next);
      if (static_cast<int>(out.size()) == count) break;
    }
  }
  return out;
}

// The tempering of MT2203 applied to the forms of one word, in place.
inline void temper_forms(WordForms& y, uint32_t b_mask, uint32_t c_mask) {
  for (int b = 0; b + 12 < kWordBits; ++b) add_form(y[b], y[b + 12]);
  for (int b = kWordBits - 1; b >= 7; --b)
    if ((b_mask >> b) & 1u) add_form(y[b], y[b - 7]);
  for (int b = kWordBits - 1; b >= 15; --b)
    if ((c_mask >> b) & 1u) add_form(y[b], y[b - 15]);
  for (int b = 0; b + 18 < kWordBits; ++b) add_form(y[b], y[b + 18]);
}

// Incremental row echelon basis over GF(2).
class EchelonBasis {
 public:
  EchelonBasis() : pivot_(kFormWords * 64, -1) { rows_.reserve(kDegree); }
  // Adds f; false when f depends on the forms already added.
  bool add(Form f) {
    for (;;) {
      int top = -1;
      for (int w = kFormWords; w-- > 0;)
        if (f[w] != 0) { top = w * 64 + 63 - __builtin_clzll(f[w]); break; }
      if (top < 0) return false;
      if (pivot_[top] < 0) {
        pivot_[top] = static_cast<int>(rows_.size());
        rows_.push_back(f);
        return true;
      }
      const Form& p = rows_[pivot_[top]];
      for (int w = 0; w <= top / 64; ++w) f[w] ^= p[w];
    }
  }

 private:
  std::vector<int> pivot_;
  std::vector<Form> rows_;
};

// k(v) of the tempered output, given the untempered forms of enough output words.
inline int equidistribution_dimension(const std::vector<WordForms>& untempered, uint32_t b_mask,
                                      uint32_t c_mask, int v) {
  int bound = kDegree / v;
  EchelonBasis basis;
  WordForms t;
  for (int k = 0; k < bound; ++k) {
    t = untempered[k];
    temper_forms(t, b_mask, c_mask);
    for (int b = kWordBits - 1; b >= kWordBits - v; --b)
      if (!basis.add(t[b])) return k;
  }
  return bound;
}

// The resolutions v at which candidates are compared: the leading bits, where the
// untempered recurrence is weakest, and the whole word; those where tempering tends to
// fall shortest come first, so that a hopeless candidate is given up early.
constexpr std::array<int, 5> kScoredResolutions = {20, 12, 3, 6, 32};

// The total defect, or some value >= limit as soon as the partial sum reaches limit.
inline int total_defect(const std::vector<WordForms>& untempered, uint32_t b_mask, uint32_t c_mask,
                        int limit = 1 << 30) {
  int defect = 0;
  for (int v : kScoredResolutions) {
    defect += kDegree / v - equidistribution_dimension(untempered, b_mask, c_mask, v);
    if (defect >= limit) break;
  }
  return defect;
}

}  // namespace mt2203

#endif
