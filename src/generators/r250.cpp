// R250, the shift-register generator of Kirkpatrick and Stoll (1981):
//   w(t) = w(t-250) XOR w(t-147)
// kept as a circular buffer of 250 words with two indices 103 apart.
#include <algorithm>
#include <cstring>

#include "generators/brng_exports.h"
#include "generators/builtin_rows.h"
#include "generators/init_dispatch.h"
#include "generators/real_output.h"

namespace zorn::generators {
namespace {

constexpr int32_t kLength = 250;
constexpr uint32_t kLag = 103;  // j runs this far ahead of i
constexpr uint32_t kSeedMultiplier = 69069;
constexpr double kReciprocal = 0x1p-32;

struct State {
  uint32_t buffer[kLength];
  uint32_t i;  // 0..249: the word replaced next
  uint32_t j;  // (i + 103) mod 250
};
constexpr int32_t kStateSize = 1024;
static_assert(sizeof(State) + streams::kStreamHeaderBytes <= kStateSize);

int32_t seed(State& s, const void*, int32_t n, const uint32_t* seeds) {
  if (n >= kLength) {
    std::memcpy(s.buffer, seeds, sizeof(s.buffer));
  } else {
    // Word k = s 69069^(k+1) mod 2^32 from one seed word.
    uint32_t w = seed_word(n, seeds, 0, 1);
    if (w == 0) w = 1;
    for (int32_t k = 0; k < kLength; ++k) s.buffer[k] = w *= kSeedMultiplier;
    // Words 3, 10, ..., 220 become a triangular set of 32 linearly independent words,
    // which guarantees the full period of the recurrence.
    for (int32_t k = 0; k < 32; ++k) {
      const uint32_t bit = 0x80000000u >> k;
      uint32_t& word = s.buffer[3 + 7 * k];
      word = (word & (bit - 1)) | bit;
    }
  }
  s.i = 0;
  s.j = kLag;
  return streams::kStatusOk;
}

constexpr InitMethods<State> kMethods{seed, nullptr, nullptr, nullptr};

// Runs of outputs within which neither index wraps. Within a run the word read at
// j + t was not yet replaced (j is ahead of i, or the ranges are disjoint), which is
// what the one-at-a-time rule reads.
// The indices are reduced first: a state loaded from a saved image is not trusted to
// hold them in range.
void raw(State& s, int32_t n, uint32_t* out) {
  uint32_t i = s.i % kLength, j = s.j % kLength;
  while (n > 0) {
    const int32_t run = std::min<int32_t>({n, kLength - static_cast<int32_t>(i), kLength - static_cast<int32_t>(j)});
    uint32_t* bi = s.buffer + i;
    const uint32_t* bj = s.buffer + j;
    for (int32_t t = 0; t < run; ++t) out[t] = bi[t] ^= bj[t];
    out += run;
    n -= run;
    i = (i + static_cast<uint32_t>(run)) % kLength;
    j = (j + static_cast<uint32_t>(run)) % kLength;
  }
  s.i = i;
  s.j = j;
}

}  // namespace

extern const BuiltinRow kRowR250 = {
    .properties = {.state_size = kStateSize, .state_words = 252, .may_yield_zero = 1, .word_size = 4, .bits = 32,
                   ZORN_BRNG_OPERATIONS(R250)}};

}  // namespace zorn::generators

using namespace zorn::generators;

ZORN_DEFINE_MAPPED_BRNG_EXPORTS(R250, dispatch_init(kMethods, method, stream, n, params), kReciprocal)
