// The nondeterministic generator's rules checked on scripted draws (the hardware's
// values cannot be predicted), and its stream through the library where RDRAND exists.
#include <gtest/gtest.h>

#include <deque>

#include "common/stream_handle.h"
#include "generators/nondeterministic_output.h"

namespace {

using zorn::generators::RetryingSource;

// Each draw takes the next scripted value; 0 stands for a failed attempt.
struct Script {
  std::deque<uint64_t> values;
  int attempts = 0;
  template <typename T>
  bool draw(T* v) {
    ++attempts;
    const uint64_t x = values.empty() ? 0 : values.front();
    if (!values.empty()) values.pop_front();
    *v = static_cast<T>(x);
    return x != 0;
  }
};

auto source(Script& s, uint32_t limit) {
  auto d64 = [&s](uint64_t* v) { return s.draw(v); };
  auto d32 = [&s](uint32_t* v) { return s.draw(v); };
  return RetryingSource<decltype(d64), decltype(d32)>{limit, d64, d32};
}

constexpr uint32_t kUntouched = 0xDEADBEEF;

TEST(Nondeterministic, WordsRetriesAndFailures) {
  const uint64_t v1 = 0x2222222211111111ull, v2 = 0x4444444433333333ull, w = 0x55555555;
  const struct {
    uint32_t limit;
    std::deque<uint64_t> script;
    int32_t n, status, attempts;
    std::vector<uint32_t> out;
  } cases[] = {
      // a 64-bit draw per two words, low half first; a 32-bit draw for an odd last one
      {10, {v1, v2, w}, 5, 0, 3, {0x11111111, 0x22222222, 0x33333333, 0x44444444, 0x55555555}},
      {10, {v1}, 2, 0, 1, {0x11111111, 0x22222222}},
      {10, {w}, 1, 0, 1, {0x55555555}},
      // failed attempts count against the limit of each value
      {3, {0, 0, v1, 0, 0, w}, 3, 0, 6, {0x11111111, 0x22222222, 0x55555555}},
      {3, {v1, 0, 0, 0, v2}, 4, -1131, 4, {0x11111111, 0x22222222, kUntouched, kUntouched}},
      {1, {0, w}, 1, -1131, 1, {kUntouched}},
  };
  for (const auto& c : cases) {
    Script s{c.script};
    std::vector<uint32_t> out(c.n, kUntouched);
    EXPECT_EQ(zorn::generators::nondeterministic_ints(source(s, c.limit), c.n, out.data()), c.status);
    EXPECT_EQ(out, c.out);
    EXPECT_EQ(s.attempts, c.attempts);
  }
}

TEST(Nondeterministic, RealsFromWholeDrawsAndHalves) {
  Script s{{uint64_t{1} << 63, ~uint64_t{0}}};
  double d[2];
  ASSERT_EQ(zorn::generators::nondeterministic_doubles(source(s, 10), 2, d, 2.0, 6.0), 0);
  EXPECT_EQ(d[0], 4.0);  // 2^63 of 2^64 is the midpoint
  EXPECT_EQ(d[1], 6.0);  // 2^64 - 1 rounds to 2^64 in double
  Script h{{0x8000000040000000ull, 0xC0000000u}};
  float f[3];
  ASSERT_EQ(zorn::generators::nondeterministic_singles(source(h, 10), 3, f, -1.0f, 1.0f), 0);
  EXPECT_EQ(std::vector<float>(f, f + 3), (std::vector<float>{-0.5f, 0.0f, 0.5f}));
}

TEST(Nondeterministic, StreamKeepsItsRetryLimitAndDraws) {
  if (__pavoCPUisRDRAND() != 1) GTEST_SKIP() << "no RDRAND on this processor";
  const struct {
    std::vector<uint32_t> seeds;
    uint32_t limit;
  } cases[] = {{{}, 10}, {{7}, 10}, {{0, 0}, 10}, {{0, 3}, 3}};
  for (const auto& c : cases) {
    Stream s(PAVO_BRNG_NONDETERM, c.seeds);
    uint32_t state[2];  // a zero word, then the retry limit
    std::memcpy(state, static_cast<char*>(s.p) + sizeof(PavoStreamHeader), sizeof state);
    EXPECT_EQ(state[0], 0u);
    EXPECT_EQ(state[1], c.limit);
    s.ints(7), s.doubles(9), s.floats(9);  // Stream checks the status of every draw
  }
}

}  // namespace
