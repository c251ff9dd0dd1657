// Abstract streams: values handed out in buffer order, each once, refilled through the
// caller's callback; the refill statuses and the cursor after a failing refill.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>

#include "zorn/pavo.h"

namespace {

// The callback numbers the values it delivers 0, 1, 2, ... and writes them from the
// start index on, circularly; it delivers the minimum or the maximum count asked for,
// or returns `forced` without writing.
struct Feeder {
  bool deliver_max = true;
  std::optional<int32_t> forced;
  uint32_t next = 0;
  std::vector<int32_t> mins;
} feeder;

int32_t feed(void*, int32_t* n, uint32_t* buffer, int32_t* min, int32_t* max, int32_t* start) {
  feeder.mins.push_back(*min);
  if (feeder.forced) return *feeder.forced;
  const int32_t count = feeder.deliver_max ? *max : *min;
  for (int32_t j = 0; j < count; ++j) buffer[(*start + j) % *n] = feeder.next++;
  return count;
}

struct IntStream {
  std::vector<uint32_t> buffer;
  void* p = nullptr;
  IntStream(int32_t n, bool deliver_max) : buffer(n, 99) {
    feeder = Feeder();
    feeder.deliver_max = deliver_max;
    EXPECT_EQ(__pavoiNewAbstractStream(&p, n, buffer.data(), feed), 0);
  }
  ~IntStream() { __pavoDeleteStream(&p); }
  int32_t draw(int32_t k, std::vector<uint32_t>& out) {
    out.assign(k, 77);
    return __pavoiBRngiAbstract(p, k, out.data());
  }
};

TEST(AbstractStream, HandsOutEveryValueOnceInOrderRefillingAsNeeded) {
  const struct {
    int32_t n;
    bool deliver_max;
    std::vector<int32_t> requests, mins;
  } cases[] = {
      {4, true, {1}, {1}},  // the buffer passed in counts as used up
      {4, true, {10}, {4, 4, 2}},
      {3, true, {2, 2, 2}, {2, 1}},
      {5, false, {3, 4, 6}, {3, 4, 5, 1}},
      {1, false, {3, 0, 1}, {1, 1, 1, 1}},
  };
  for (const auto& c : cases) {
    IntStream s(c.n, c.deliver_max);
    uint32_t expected = 0;
    for (int32_t k : c.requests) {
      std::vector<uint32_t> out;
      ASSERT_EQ(s.draw(k, out), 0);
      for (uint32_t v : out) EXPECT_EQ(v, expected++) << "n " << c.n;
    }
    EXPECT_EQ(feeder.mins, c.mins) << "n " << c.n;
  }
}

TEST(AbstractStream, FailedRefillKeepsValuesAndCursor) {
  const struct {
    int32_t forced, status;
  } cases[] = {{0, -1121}, {-1, -1120}, {5, -1120}};
  for (const auto& c : cases) {
    IntStream s(4, true);
    std::vector<uint32_t> out;
    ASSERT_EQ(s.draw(2, out), 0);
    feeder.forced = c.forced;
    EXPECT_EQ(s.draw(5, out), c.status);
    EXPECT_EQ(out, (std::vector<uint32_t>{2, 3, 77, 77, 77}));
    feeder.forced.reset();
    ASSERT_EQ(s.draw(3, out), 0);
    EXPECT_EQ(out, (std::vector<uint32_t>{4, 5, 6}));
  }
}

// Values 0.5, 0.25 of [0, 1), the callback delivering the buffer as it stands.
TEST(AbstractStream, RealsMapFromTheStreamIntervalOntoTheRequested) {
  double dbuf[2] = {0.5, 0.25}, dr[3];
  float sbuf[2] = {0.5f, 0.25f}, sr[3];
  auto as_is_d = [](void*, int32_t* n, double*, int32_t*, int32_t*, int32_t*) { return *n; };
  auto as_is_s = [](void*, int32_t* n, float*, int32_t*, int32_t*, int32_t*) { return *n; };
  void *d = nullptr, *s = nullptr;
  ASSERT_EQ(__pavodNewAbstractStream(&d, 2, dbuf, 0.0, 1.0, as_is_d), 0);
  ASSERT_EQ(__pavosNewAbstractStream(&s, 2, sbuf, 0.0f, 1.0f, as_is_s), 0);
  EXPECT_EQ(__pavodBRngdAbstract(d, 3, dr, 2.0, 4.0), 0);
  EXPECT_EQ(__pavosBRngsAbstract(s, 3, sr, -4.0f, 0.0f), 0);
  EXPECT_EQ(std::vector<double>(dr, dr + 3), (std::vector<double>{3.0, 2.5, 3.0}));
  EXPECT_EQ(std::vector<float>(sr, sr + 3), (std::vector<float>{-2.0f, -3.0f, -2.0f}));
  __pavoDeleteStream(&d);
  __pavoDeleteStream(&s);
}

TEST(AbstractStream, RefusesBadParameterBlocksAndAMissingBuffer) {
  IntStream s(4, true);
  const void* short_block[2] = {&s.buffer, s.buffer.data()};
  EXPECT_EQ(__pavoBRngiAbstractInitStream(PAVO_INIT_SEED, s.p, 4, short_block), -3);
  EXPECT_EQ(__pavoiNewAbstractStream(&s.p, -1, s.buffer.data(), feed), -3);
  std::memset(static_cast<char*>(s.p) + sizeof(PavoStreamHeader) + 16, 0, sizeof(void*));  // buffer address
  std::vector<uint32_t> out;
  EXPECT_EQ(s.draw(1, out), -5);
}

}  // namespace
