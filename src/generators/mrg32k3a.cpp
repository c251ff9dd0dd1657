// MRG32K3A, the combined multiple recursive generator of L'Ecuyer (1999):
//   x1(t) = (1403580 x1(t-2) - 810728 x1(t-3)) mod m1
//   x2(t) = (527612 x2(t-1) - 1370589 x2(t-3)) mod m2
//   z(t)  = (x1(t) - x2(t)) mod m1
// Each output first advances both components.
#include "generators/brng_exports.h"
#include "generators/builtin_rows.h"
#include "generators/data/mrg32k3a_skip_tables.h"
#include "generators/init_dispatch.h"
#include "generators/real_output.h"

namespace zorn::generators {
namespace {

constexpr int64_t kM1 = kMrg32k3aM1;
constexpr int64_t kM2 = kMrg32k3aM2;
constexpr double kReciprocal = 1.0 / 4294967087.0;
// Counts of up to this many words fit the skip tables (bits 0..191).
constexpr int32_t kTableWords = 3;

struct State {
  uint32_t x1[3];  // oldest first
  uint32_t x2[3];
};
constexpr int32_t kStateSize = 40;
static_assert(sizeof(State) + streams::kStreamHeaderBytes <= kStateSize);

// v mod m for |v| < 2^63, in [0, m).
inline int64_t reduce(int64_t v, int64_t m) {
  v %= m;
  return v < 0 ? v + m : v;
}

int32_t seed(State& s, const void*, int32_t n, const uint32_t* seeds) {
  for (int k = 0; k < 3; ++k) {
    s.x1[k] = seed_word(n, seeds, k, 1);
    s.x2[k] = seed_word(n, seeds, k + 3, 1);
    if (s.x1[k] >= kM1) s.x1[k] -= kM1;
    if (s.x2[k] >= kM2) s.x2[k] -= kM2;
  }
  if (s.x1[0] == 0 && s.x1[1] == 0 && s.x1[2] == 0) s.x1[0] = 1;
  if (s.x2[0] == 0 && s.x2[1] == 0 && s.x2[2] == 0) s.x2[0] = 1;
  return streams::kStatusOk;
}

int32_t skip_ahead(State& s, const void*, uint64_t count) {
  __pavoiVect3PowMod(s.x1, kMrg32k3aRow1, kMrg32k3aM1, count);
  __pavoiVect3PowMod(s.x2, kMrg32k3aRow2, kMrg32k3aM2, count);
  return streams::kStatusOk;
}

int32_t skip_ahead_multi(State& s, const void*, int32_t n, const uint64_t* count) {
  bool fits_tables = true;
  for (int32_t w = kTableWords; w < n; ++w) fits_tables = fits_tables && count[w] == 0;
  if (fits_tables) {
    const int32_t words = std::min(n, kTableWords);
    __pavoiVect3PowArrayMod_M1(s.x1, words, count, kMrg32k3aSkipTable1);
    __pavoiVect3PowArrayMod_M2(s.x2, words, count, kMrg32k3aSkipTable2);
  } else {
    __pavoiVect3PowArrayMod(s.x1, kMrg32k3aRow1, kMrg32k3aM1, n, count);
    __pavoiVect3PowArrayMod(s.x2, kMrg32k3aRow2, kMrg32k3aM2, n, count);
  }
  return streams::kStatusOk;
}

constexpr InitMethods<State> kMethods{seed, nullptr, skip_ahead, skip_ahead_multi};

// The state lives in locals for the loop; products stay below 2^53.
void raw(State& s, int32_t n, uint32_t* out) {
  int64_t a0 = s.x1[0], a1 = s.x1[1], a2 = s.x1[2];
  int64_t b0 = s.x2[0], b1 = s.x2[1], b2 = s.x2[2];
  for (int32_t i = 0; i < n; ++i) {
    const int64_t p1 = reduce(1403580 * a1 - 810728 * a0, kM1);
    const int64_t p2 = reduce(527612 * b2 - 1370589 * b0, kM2);
    a0 = a1, a1 = a2, a2 = p1;
    b0 = b1, b1 = b2, b2 = p2;
    const int64_t z = p1 - p2;
    out[i] = static_cast<uint32_t>(z < 0 ? z + kM1 : z);
  }
  s.x1[0] = static_cast<uint32_t>(a0), s.x1[1] = static_cast<uint32_t>(a1), s.x1[2] = static_cast<uint32_t>(a2);
  s.x2[0] = static_cast<uint32_t>(b0), s.x2[1] = static_cast<uint32_t>(b1), s.x2[2] = static_cast<uint32_t>(b2);
}

}  // namespace

extern const BuiltinRow kRowMRG32K3A = {
    .properties = {.state_size = kStateSize, .state_words = 6, .may_yield_zero = 1, .word_size = 4, .bits = 32,
                   ZORN_BRNG_OPERATIONS(MRG32K3A)}};

}  // namespace zorn::generators

using namespace zorn::generators;

ZORN_DEFINE_MAPPED_BRNG_EXPORTS(MRG32K3A, dispatch_init(kMethods, method, stream, n, params), kReciprocal)
