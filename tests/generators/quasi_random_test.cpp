// Sobol and Niederreiter: how the seed words choose the dimension and the direction
// data, the position inside a point, leapfrog and skip-ahead, the end of the sequence,
// and streams with caller data that are copied, saved and loaded, or forged.
#include <gtest/gtest.h>

#include <cstring>

#include "common/stream_handle.h"
#include "generators/data/niederreiter_directions.h"
#include "generators/data/sobol_initial_directions.h"

namespace {

using zorn::generators::kNiederrDirections;
using zorn::generators::kNiederrPolynomials;
using zorn::generators::kSobolInitialDirections;

std::vector<uint32_t> ints(uint32_t id, const std::vector<uint32_t>& seeds, int32_t n) {
  Stream s(id, seeds);
  return s.ints(n);
}

// Caller data that restates the built-in table of dimension d in format f.
std::vector<uint32_t> sobol_words(uint32_t f, uint32_t d) {
  std::vector<uint32_t> w = {d, 1, f};
  const uint32_t first = f == 11 ? 0 : 1;
  if (f == 2) w.push_back(8);
  for (uint32_t j = first; f != 2 && j < d; ++j) w.push_back(kSobolInitialDirections[j].polynomial);
  if (f == 3 || f == 11) w.push_back(8);
  for (uint32_t j = first; f != 1 && j < d; ++j)
    w.insert(w.end(), kSobolInitialDirections[j].m, kSobolInitialDirections[j].m + 8);
  return w;
}
std::vector<uint32_t> niederr_words(uint32_t f, uint32_t d) {
  std::vector<uint32_t> w = {d, 1, f};
  for (uint32_t j = 0; j < d; ++j) {
    if (f == 1) w.push_back(kNiederrPolynomials[j]);
    if (f == 4) w.insert(w.end(), kNiederrDirections[j], kNiederrDirections[j] + 32);
  }
  return w;
}
std::vector<uint32_t> without_last(std::vector<uint32_t> w) {
  w.pop_back();
  return w;
}

// The published rows of the built-in tables, as the generators' definitions list them.
TEST(QuasiRandom, BuiltinTablesHoldThePublishedRows) {
  const struct {
    int dimension;
    uint32_t polynomial, degree;
    std::vector<uint32_t> m;
  } sobol[] = {{2, 3, 1, {1}},        {3, 7, 2, {1, 1}},       {4, 11, 3, {1, 3, 7}}, {5, 13, 3, {1, 1, 5}},
               {6, 19, 4, {1, 3, 1, 1}}, {7, 25, 4, {1, 1, 3, 7}}, {8, 37, 5, {}},     {40, 299, 8, {}}};
  for (const auto& row : sobol) {
    const auto& got = kSobolInitialDirections[row.dimension - 1];
    EXPECT_EQ(got.polynomial, row.polynomial) << row.dimension;
    EXPECT_EQ(got.degree, row.degree) << row.dimension;
    EXPECT_TRUE(std::equal(row.m.begin(), row.m.end(), got.m)) << row.dimension;
  }
  const uint32_t first[] = {2, 3, 7, 11, 13, 19, 25, 31, 37, 41, 47, 55}, last[] = {3017, 3035, 3037, 3047};
  EXPECT_TRUE(std::equal(std::begin(first), std::end(first), kNiederrPolynomials));
  EXPECT_TRUE(std::equal(std::begin(last), std::end(last), kNiederrPolynomials + 314));
}

// Seed arrays are exactly their size: under the address sanitizer a read past one fails.
TEST(QuasiRandom, SeedWordsChooseDimensionAndData) {
  const struct {
    uint32_t id;
    std::vector<uint32_t> seeds, same_as;
  } cases[] = {
      {PAVO_BRNG_SOBOL, {41}, {1}},
      {PAVO_BRNG_NIEDERR, {319}, {1}},
      {PAVO_BRNG_SOBOL, {}, {1}},
      {PAVO_BRNG_SOBOL, {0, 1, 4}, {1}},
      {PAVO_BRNG_SOBOL, {7, 1, 9, 0, 0}, {7}},             // no such format
      {PAVO_BRNG_SOBOL, {41, 1, 1, 0, 0, 0}, {1}},         // format 1 beyond the table
      {PAVO_BRNG_NIEDERR, {319, 2}, {1}},
      {PAVO_BRNG_SOBOL, sobol_words(1, 30), {30}},
      {PAVO_BRNG_SOBOL, sobol_words(2, 40), {40}},
      {PAVO_BRNG_SOBOL, sobol_words(3, 9), {9}},
      {PAVO_BRNG_SOBOL, sobol_words(11, 9), {9}},
      {PAVO_BRNG_NIEDERR, niederr_words(1, 318), {318}},
      {PAVO_BRNG_NIEDERR, niederr_words(4, 20), {20}},
      // One word short of the format: the stated dimension, built in.
      {PAVO_BRNG_SOBOL, without_last(sobol_words(1, 30)), {30}},
      {PAVO_BRNG_SOBOL, without_last(sobol_words(2, 6)), {6}},
      {PAVO_BRNG_SOBOL, std::vector<uint32_t>{9, 1, 3, 3, 7, 11, 13, 19, 25, 37, 59}, {9}},  // no L
      {PAVO_BRNG_SOBOL, without_last(sobol_words(3, 9)), {9}},
      {PAVO_BRNG_SOBOL, without_last(sobol_words(11, 9)), {9}},
      {PAVO_BRNG_NIEDERR, without_last(niederr_words(1, 8)), {8}},
      {PAVO_BRNG_NIEDERR, without_last(niederr_words(4, 8)), {8}},
  };
  for (const auto& c : cases) {
    const int32_t n = 3 * 318 + 5;
    EXPECT_EQ(ints(c.id, c.seeds, n), ints(c.id, c.same_as, n)) << c.id << " " << c.seeds.size() << " words";
  }
}

// Van der Corput: point i is the bit reversal of its Gray code.
uint32_t van_der_corput(uint32_t i) {
  uint32_t g = i ^ (i >> 1), r = 0;
  for (int b = 0; b < 32; ++b) r |= ((g >> b) & 1u) << (31 - b);
  return r;
}

TEST(QuasiRandom, CallerDataBeyondTheTable) {
  // Format 4: every one of 3 dimensions is van der Corput.
  std::vector<uint32_t> vdc = {3, 1, 4};
  for (int j = 0; j < 3; ++j)
    for (int k = 0; k < 32; ++k) vdc.push_back(0x80000000u >> k);
  const auto same = ints(PAVO_BRNG_SOBOL, vdc, 300);
  for (uint32_t i = 0; i < 300; ++i) ASSERT_EQ(same[i], van_der_corput(i / 3 + 1)) << i;
  // Format 3 with 42 dimensions: dimensions 41 and 42 repeat dimensions 2 and 3.
  std::vector<uint32_t> wide = sobol_words(3, 40);
  wide[0] = 42;
  wide.insert(wide.begin() + 42, {kSobolInitialDirections[1].polynomial, kSobolInitialDirections[2].polynomial});
  for (int j = 1; j <= 2; ++j) wide.insert(wide.end(), kSobolInitialDirections[j].m, kSobolInitialDirections[j].m + 8);
  const auto w = ints(PAVO_BRNG_SOBOL, wide, 42 * 200);
  const auto builtin = ints(PAVO_BRNG_SOBOL, {40}, 40 * 200);
  for (int i = 0; i < 200; ++i) {
    ASSERT_TRUE(std::equal(&w[42 * i], &w[42 * i + 40], &builtin[40 * i])) << i;
    ASSERT_EQ(w[42 * i + 40], w[42 * i + 1]);
    ASSERT_EQ(w[42 * i + 41], w[42 * i + 2]);
  }
}

TEST(QuasiRandom, PointsCoordinatesAndSplitting) {
  EXPECT_EQ(ints(PAVO_BRNG_SOBOL, {3}, 3), (std::vector<uint32_t>{0x80000000u, 0x80000000u, 0x80000000u}));
  for (uint32_t id : {PAVO_BRNG_SOBOL, PAVO_BRNG_NIEDERR}) {
    const auto all = ints(id, {5}, 100);
    Stream split(id, {2});  // 3 + 3: the second call starts inside point 2
    const auto pair = ints(id, {2}, 6);
    auto got = split.ints(3), more = split.ints(3);
    got.insert(got.end(), more.begin(), more.end());
    EXPECT_EQ(got, pair) << id;
    // 2d then one point; from inside a point, to inside or past its end
    for (const auto& [drawn, skip] : {std::pair{0, 10}, {0, 7}, {0, 0}, {3, 1}, {3, 4}, {3, 9}}) {
      Stream s(id, {5});
      s.ints(drawn);
      ASSERT_EQ(__pavoSkipAheadStream(s.p, skip), 0);
      const int from = drawn + skip;
      EXPECT_EQ(s.ints(20), std::vector<uint32_t>(all.begin() + from, all.begin() + from + 20)) << id << " " << from;
    }
    Stream member(id, {5});  // one coordinate of successive points, from the current one
    member.ints(7);
    ASSERT_EQ(__pavoLeapfrogStream(member.p, 3, 0x7FFFFFFF), 0);
    const auto third = member.ints(10);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(third[i], all[5 * (i + 1) + 3]) << id;
    ASSERT_EQ(__pavoSkipAheadStream(member.p, 2), 0);  // in points of that coordinate
    EXPECT_EQ(member.ints(1)[0], all[5 * 13 + 3]);
  }
}

// Reals are the coordinates mapped to [a, b), however the request is cut: from inside a
// point, from unaligned points, across the whole-point fast path and its edges.
TEST(QuasiRandom, RealsAreTheCoordinatesMapped) {
  const std::pair<uint32_t, uint32_t> cases[] = {{PAVO_BRNG_SOBOL, 1},   {PAVO_BRNG_SOBOL, 3},
                                                 {PAVO_BRNG_SOBOL, 40},  {PAVO_BRNG_NIEDERR, 7},
                                                 {PAVO_BRNG_NIEDERR, 318}, {PAVO_BRNG_NIEDERR, 2}};
  const int32_t cuts[] = {1, 5, 70, 1000, 3, 4099, 64, 2, 6000};
  for (const auto& [id, d] : cases) {
    const int32_t total = 17101;
    const auto x = ints(id, {d}, total);
    Stream doubles(id, {d}), floats(id, {d});
    for (int32_t at = 0, i = 0; at < total; at += cuts[i++ % 9]) {
      const int32_t n = std::min(cuts[i % 9], total - at);
      const auto got = doubles.doubles(n, -1, 3);
      const auto got_f = floats.floats(n, -1, 3);
      for (int32_t k = 0; k < n; ++k) {
        ASSERT_EQ(got[k], x[at + k] * (4 * 0x1p-32) - 1) << id << " d=" << d << " output " << at + k;
        ASSERT_EQ(got_f[k], static_cast<float>(x[at + k]) * (4 * 0x1p-32f) - 1.0f) << id << " " << at + k;
      }
    }
  }
}

TEST(QuasiRandom, RefusedRequests) {
  Stream s(PAVO_BRNG_SOBOL, {4}), one(PAVO_BRNG_NIEDERR, {1});
  const uint64_t words[2] = {1, 0};
  const struct {
    int32_t got, want;
  } cases[] = {
      {__pavoLeapfrogStream(s.p, 0, 2), -1002},
      {__pavoLeapfrogStream(s.p, 4, 0x7FFFFFFF), -1002},
      {__pavoSkipAheadStreamEx(s.p, 2, words), -1004},
      {__pavoSkipAheadStream(one.p, 0xFFFFFFFEu), -1003},  // would reach point 2^32 - 1
      {__pavoSkipAheadStream(s.p, ~uint64_t{0}), -1003},
      {__pavoSkipAheadStream(one.p, 0xFFFFFFFDu), 0},      // to point 2^32 - 2
  };
  for (const auto& c : cases) EXPECT_EQ(c.got, c.want);
  uint32_t r[2];
  EXPECT_EQ(one.row().gen_int(one.p, 2, r), -1012);  // nothing past point 2^32 - 1
  EXPECT_EQ(one.row().gen_int(one.p, 1, r), 0);
  EXPECT_EQ(r[0], van_der_corput(0xFFFFFFFEu));
  double x;
  EXPECT_EQ(one.row().gen_double(one.p, 1, &x, 0, 1), -1012);
}

// Sobol format 11 with 45 dimensions (two chunks), Niederreiter format 1 (one).
struct CallerStream {
  uint32_t id;
  std::vector<uint32_t> seeds;
  int32_t chunks;
};
std::vector<CallerStream> caller_streams() {
  std::vector<uint32_t> sobol = {45, 1, 11};
  for (uint32_t j = 0; j < 45; ++j) sobol.push_back(kSobolInitialDirections[j % 40].polynomial);
  sobol.push_back(3);
  for (uint32_t j = 0; j < 45; ++j) sobol.insert(sobol.end(), {1, 3, 5});
  return {{PAVO_BRNG_SOBOL, sobol, 2}, {PAVO_BRNG_NIEDERR, {3, 1, 1, 37, 37, 41}, 1}};
}

TEST(QuasiRandom, CallerDataTravelsWithTheStream) {
  for (const CallerStream& c : caller_streams()) {
    Stream source(c.id, c.seeds), reference(c.id, c.seeds), copy, loaded, target(c.id, {2});
    ASSERT_EQ(__pavoGetNumChunks(source.p), c.chunks);
    source.ints(7);
    reference.ints(7);
    ASSERT_EQ(__pavoCopyStream(&copy.p, source.p), 0);
    const std::vector<char> image = saved_image(source.p);
    ASSERT_EQ(__pavoCopyStreamState(target.p, source.p), 0);
    __pavoDeleteStream(&source.p);  // the others hold their own chunks
    ASSERT_EQ(__pavoLoadStreamM(&loaded.p, image.data()), 0);
    const auto want = reference.ints(500);
    EXPECT_EQ(copy.ints(500), want) << c.id;
    EXPECT_EQ(loaded.ints(500), want) << c.id;
    EXPECT_EQ(target.ints(500), want) << c.id;
  }
}

// Images whose quasi-random state no seeding makes are not loaded. State word w lies at byte 24 + 4w of the image; "word" kKey is the first
// chunk's key, which would make the stream write into shared data.
TEST(QuasiRandom, ForgedStateIsRefused) {
  struct Forgery {
    int word;
    uint32_t value;
  };
  const std::vector<Forgery> any = {{0, 0}, {1, 0}, {1, 319}, {2, 45}, {3, 45}, {4, 2}};
  constexpr int kKey = -1;
  const std::vector<Forgery> of_builtin = {{4, 1}}, of_caller[] = {{{1, 46}, {4, 0}, {kKey, 7}}, {{1, 4}, {kKey, 7}}};
  const auto streams = caller_streams();
  for (size_t g = 0; g < streams.size(); ++g)
    for (const bool caller : {false, true}) {
      std::vector<Forgery> forgeries = caller ? of_caller[g] : of_builtin;
      forgeries.insert(forgeries.end(), any.begin(), any.end());
      for (const Forgery& f : forgeries) {
        const uint32_t id = streams[g].id;
        Stream s(id, caller ? streams[g].seeds : std::vector<uint32_t>{5});
        std::vector<char> image = saved_image(s.p);
        const size_t at = f.word == kKey ? 24 + s.row().state_size - 16 + 4 : 24 + 4 * f.word;
        std::memcpy(&image[at], &f.value, 4);
        Stream loaded;
        EXPECT_LT(__pavoLoadStreamM(&loaded.p, image.data()), 0) << id << " word " << f.word << " = " << f.value;
        EXPECT_EQ(loaded.p, nullptr);
      }
    }
}

}  // namespace
