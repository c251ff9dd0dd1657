// Skip-ahead for generators whose state is a vector of three residues advanced by a
// companion matrix: v = M^e v, by square-and-multiply or from tables of M^(2^i).
#include "streams/matrix3.h"
#include "generators/data/mrg32k3a_skip_tables.h"
#include "zorn/pavo.h"

using namespace zorn::streams;

namespace {

// Words above the highest non-zero one add nothing to the exponent.
int32_t significant_words(int32_t n, const uint64_t* e) {
  while (n > 0 && e[n - 1] == 0) --n;
  return n;
}

// v = M^e v for the multi-word exponent e (n words, least significant first),
// squaring M once per bit.
void power_apply(uint32_t* v, Matrix3 power, uint32_t m, int32_t n, const uint64_t* e) {
  n = significant_words(n, e);
  for (int32_t w = 0; w < n; ++w)
    for (int bit = 0; bit < 64; ++bit) {
      if ((e[w] >> bit) & 1) apply(power, v, m);
      power = multiply(power, power, m);
    }
}

Matrix3 table_entry(const uint32_t* table, int32_t i) {
  Matrix3 p;
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) p.e[r][c] = table[9 * i + 3 * r + c];
  return p;
}

// v = A^e v with table[i] = A^(2^i): one product per set bit of e. Bits beyond the
// table continue by squaring its last entry.
void table_apply(uint32_t* v, int32_t n, const uint64_t* e, const uint32_t* table, uint32_t m) {
  constexpr int32_t kSize = zorn::generators::kMrg32k3aSkipTableSize;
  n = significant_words(n, e);
  Matrix3 beyond = table_entry(table, kSize - 1);
  // Bit i of the exponent is bit `bit` of word w; i counts in 64 bits, so no word
  // count makes it overflow.
  for (int32_t w = 0; w < n; ++w)
    for (int32_t bit = 0; bit < 64; ++bit) {
      const int64_t i = int64_t{64} * w + bit;
      if (i >= kSize) beyond = multiply(beyond, beyond, m);
      if (((e[w] >> bit) & 1) == 0) continue;
      apply(i < kSize ? table_entry(table, static_cast<int32_t>(i)) : beyond, v, m);
    }
}

}  // namespace

extern "C" {

void __pavoiVect3PowMod(uint32_t* v, const uint32_t* row, uint32_t m, uint64_t e) {
  power_apply(v, companion(row), m, 1, &e);
}

void __pavoiVect3PowArrayMod(uint32_t* v, const uint32_t* row, uint32_t m, int32_t n, const uint64_t* e) {
  power_apply(v, companion(row), m, n, e);
}

void __pavoiVect3PowArrayMod_M1(uint32_t* v, int32_t n, const uint64_t* e, const uint32_t* table) {
  table_apply(v, n, e, table, zorn::generators::kMrg32k3aM1);
}

void __pavoiVect3PowArrayMod_M2(uint32_t* v, int32_t n, const uint64_t* e, const uint32_t* table) {
  table_apply(v, n, e, table, zorn::generators::kMrg32k3aM2);
}

}  // extern "C"
