// One conformance battery over every row of the registry: skip-ahead against drawing
// and discarding, leapfrog against every N-th output, block boundaries, copies, save and
// load, and the exact refusal of each method a generator does not offer. The rows come
// from the registry itself; a row whose generator is not in this build, or whose
// processor lacks an instruction it needs, is skipped with its reason.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <memory>
#include <set>
#include <string>

#include "generator_support.h"

namespace {

constexpr int32_t kNotBuilt = -1001;
constexpr int32_t kLeapfrogRefused = -1002;
constexpr int32_t kSkipRefused = -1003;
constexpr int32_t kSkipMultiRefused = -1004;
constexpr int32_t kBadMethod = -2;
constexpr int32_t kBadArgument = -3;
constexpr int32_t kBadLeapfrogCount = -1013;
constexpr int32_t kNoRdrand = -1130;
constexpr int32_t kNoAes = -1140;
constexpr int32_t kCoordinateCount = 0x7FFFFFFF;  // the quasi-random leapfrog's only N

// How a generator splits its sequence by leapfrog.
enum class Leapfrog {
  kNone,        // refused
  kInterleave,  // member k of N yields every N-th output
  kCoordinate,  // quasi-random: N must be kCoordinateCount, k selects one coordinate
};

// What a generator offers beyond its properties row, as its generator family defines it.
// `block` is the number of outputs the generator produces at once (a twister's buffer, a
// counter block, a quasi-random point of the battery's seed dimension), so the battery
// probes positions on both sides of a renewal. `steps_before_output`: the generator
// advances before it outputs (WH), so its interleaved member k of N starts at output
// k + N - 1 rather than k.
struct Traits {
  Leapfrog leapfrog;
  bool skip, skip_multi, reproducible;
  int32_t block;
  bool steps_before_output;
};
constexpr Traits kBuiltinTraits[PAVO_BUILTIN_ROWS] = {
    /* MCG31M1 */ {Leapfrog::kInterleave, true, false, true, 1, false},
    /* R250 */ {Leapfrog::kNone, false, false, true, 250, false},
    /* MRG32K3A */ {Leapfrog::kNone, true, true, true, 1, false},
    /* MCG59 */ {Leapfrog::kInterleave, true, false, true, 1, false},
    /* WH */ {Leapfrog::kInterleave, true, false, true, 1, true},
    /* Sobol */ {Leapfrog::kCoordinate, true, false, true, 4, false},
    /* Niederreiter */ {Leapfrog::kCoordinate, true, false, true, 4, false},
    /* MT19937 */ {Leapfrog::kNone, true, false, true, 624, false},
    /* MT2203 */ {Leapfrog::kNone, true, false, true, 69, false},
    /* integer abstract */ {Leapfrog::kNone, false, false, false, 1, false},
    /* double abstract */ {Leapfrog::kNone, false, false, false, 1, false},
    /* single abstract */ {Leapfrog::kNone, false, false, false, 1, false},
    /* SFMT19937 */ {Leapfrog::kNone, true, false, true, 624, false},
    /* nondeterministic */ {Leapfrog::kNone, false, false, false, 1, false},
    /* ARS5 */ {Leapfrog::kNone, true, true, true, 4, false},
    /* Philox4x32x10 */ {Leapfrog::kNone, true, true, true, 4, false},
};

// Seed words every generator accepts; the quasi-random ones read dimension 4 from them.
const std::vector<uint32_t> kSeed = {4, 5, 6, 7, 8, 9, 10, 11};
constexpr int32_t kQuasiDimension = 4;

struct Row {
  int32_t index;
  uint32_t id;  // of the sub-generator under test
};

void PrintTo(const Row& row, std::ostream* out) { *out << "identifier 0x" << std::hex << row.id; }

// The first and last sub-generator of every row of the current table.
std::vector<Row> registry_rows() {
  std::vector<Row> rows;
  for (int32_t r = 0; r < __pavoGetNumRegBrngs(); ++r) {
    const uint32_t id = static_cast<uint32_t>(r + 1) << 20;
    uint32_t last = 0;  // the largest valid sub-generator index, by bisection
    for (uint32_t step = 1u << 19; step > 0; step >>= 1)
      if (__pavoIsBrngValid(__RegBrngsNew, r, static_cast<int32_t>(last + step)) == 0) last += step;
    rows.push_back({r, id});
    if (last > 0) rows.push_back({r, id + last});
  }
  return rows;
}

std::string row_name(const testing::TestParamInfo<Row>& info) {
  char name[32];
  std::snprintf(name, sizeof name, "row%d_sub%u", info.param.index, info.param.id & 0xFFFFF);
  return name;
}

class Battery : public testing::TestWithParam<Row> {
 protected:
  void SetUp() override {
    const Row& row = GetParam();
    if (row.index >= PAVO_BUILTIN_ROWS) GTEST_SKIP() << "a registered row has no known traits";
    traits_ = kBuiltinTraits[row.index];
    void* probe = nullptr;
    const int32_t status = __pavoNewStreamEx(&probe, row.id, static_cast<int32_t>(kSeed.size()), kSeed.data());
    if (probe != nullptr && status == 0) {
      uint32_t word[4];
      const int32_t drawn = stream_row(probe).gen_int(probe, 1, word);
      __pavoDeleteStream(&probe);
      if (drawn == kNoAes || drawn == kNoRdrand) GTEST_SKIP() << "the processor lacks an instruction: " << drawn;
      ASSERT_EQ(drawn, 0);
    } else {
      // A refused seeding still hands the object back for the caller to delete.
      EXPECT_EQ(probe != nullptr, status == kNotBuilt);
      __pavoDeleteStream(&probe);
      if (status == kNotBuilt) GTEST_SKIP() << "generator not in this build";
      ASSERT_TRUE(caller_fed()) << "a generator row refused seeding: " << status;
      PavoBrngProperties row{};
      ASSERT_EQ(__pavoGetBrngProperties(GetParam().id, &row), 0);
      std::vector<unsigned char> object(static_cast<size_t>(row.state_size), 0);
      if (row.init_stream(PAVO_INIT_SKIP_AHEAD_MULTI + 1, object.data(), 0, nullptr) == kNotBuilt)
        GTEST_SKIP() << "generator not in this build";
    }
  }

  static const PavoBrngProperties& stream_row(void* p) {
    int32_t r = 0, sub = 0;
    return __pavoGetBrngBaseOffset(static_cast<PavoStreamHeader*>(p)->brng_id, &r, &sub)[r];
  }
  // Streams of the abstract rows are made only from a caller's buffer (no state words).
  bool caller_fed() const {
    PavoBrngProperties p{};
    return __pavoGetBrngProperties(GetParam().id, &p) == 0 && p.state_words == 0;
  }
  std::unique_ptr<Stream> fresh() const { return std::make_unique<Stream>(GetParam().id, kSeed); }
  // Output positions around the generator's block: 0, 1, block - 1, block, block + 1.
  std::set<uint64_t> positions() const {
    const uint64_t b = static_cast<uint64_t>(traits_.block);
    return {0, 1, b - 1, b, b + 1};
  }
  // Counts around the block and far beyond it (past every threshold where a
  // generator switches from stepping to jumping).
  std::set<uint64_t> counts() const {
    std::set<uint64_t> c = positions();
    c.insert({3 * static_cast<uint64_t>(traits_.block) + 7, (uint64_t{1} << 21) + 3});
    return c;
  }
  bool deterministic() const { return !caller_fed() && traits_.reproducible; }
  std::unique_ptr<Stream> advanced(uint64_t at) const {
    auto s = fresh();
    discard(*s, at);
    if (traits_.skip) {
      EXPECT_EQ(__pavoSkipAheadStream(s->p, 2 * static_cast<uint64_t>(traits_.block) + 3), 0);
    }
    return s;
  }
  // The output a leapfrog member k of n_streams starts from.
  int64_t leapfrog_start(uint32_t k, int32_t n_streams) const {
    return k + (traits_.steps_before_output ? n_streams - 1 : 0);
  }

  Traits traits_{};
};

TEST_P(Battery, SkipAheadEqualsDrawingAndDiscarding) {
  if (!traits_.skip || !deterministic()) GTEST_SKIP() << "no skip-ahead";
  for (uint64_t at : positions()) {
    for (uint64_t count : counts()) {
      auto skipped = fresh(), drawn = fresh();
      discard(*skipped, at);
      discard(*drawn, at);
      ASSERT_EQ(__pavoSkipAheadStream(skipped->p, count), 0);
      discard(*drawn, count);
      ASSERT_EQ(skipped->ints(2 * traits_.block + 3), drawn->ints(2 * traits_.block + 3))
          << "from " << at << " by " << count;
    }
  }
}

TEST_P(Battery, MultiWordSkipAheadEqualsItsSum) {
  if (!traits_.skip_multi || !deterministic()) GTEST_SKIP() << "no multi-word skip-ahead";
  for (uint64_t count : counts()) {
    auto multi = fresh(), drawn = fresh();
    const uint64_t words[3] = {count, 0, 0};
    ASSERT_EQ(__pavoSkipAheadStreamEx(multi->p, 3, words), 0);
    discard(*drawn, count);
    ASSERT_EQ(multi->ints(2 * traits_.block + 3), drawn->ints(2 * traits_.block + 3)) << count;
  }
  // A count of no words reads nothing and moves nothing.
  auto none = fresh(), twin = fresh();
  ASSERT_EQ(__pavoSkipAheadStreamEx(none->p, 0, nullptr), 0);
  EXPECT_EQ(none->ints(traits_.block + 1), twin->ints(traits_.block + 1));
  // 2^64 as one two-word count and as two skips of 2^63, from inside a block.
  auto multi = fresh(), twice = fresh();
  discard(*multi, 1);
  discard(*twice, 1);
  const uint64_t two_to_64[2] = {0, 1};
  ASSERT_EQ(__pavoSkipAheadStreamEx(multi->p, 2, two_to_64), 0);
  ASSERT_EQ(__pavoSkipAheadStream(twice->p, uint64_t{1} << 63), 0);
  ASSERT_EQ(__pavoSkipAheadStream(twice->p, uint64_t{1} << 63), 0);
  EXPECT_EQ(multi->ints(9), twice->ints(9));
}

TEST_P(Battery, LeapfrogYieldsEveryNthOutput) {
  if (traits_.leapfrog == Leapfrog::kNone || !deterministic()) GTEST_SKIP() << "no leapfrog";
  const int32_t members = 40;
  if (traits_.leapfrog == Leapfrog::kCoordinate) {
    const auto all = fresh()->ints(kQuasiDimension * members);
    for (uint32_t k = 0; k < kQuasiDimension; ++k) {
      auto member = fresh();
      ASSERT_EQ(__pavoLeapfrogStream(member->p, k, kCoordinateCount), 0);
      const auto got = member->ints(members);
      for (int t = 0; t < members; ++t)
        ASSERT_EQ(got[t], all[static_cast<size_t>(kQuasiDimension * t + k)]) << "coordinate " << k;
    }
    return;
  }
  const int32_t words = fresh()->row().word_size / 4;
  for (int32_t n_streams : {1, 2, 3, 5}) {
    const auto all = fresh()->ints(n_streams * (members + 2));
    for (uint32_t k = 0; k < static_cast<uint32_t>(n_streams); ++k) {
      // Member k of n, and member k of n skipped by 3 (skips move in leapfrog steps).
      for (uint64_t skip : {uint64_t{0}, uint64_t{3}}) {
        auto member = fresh();
        ASSERT_EQ(__pavoLeapfrogStream(member->p, k, n_streams), 0);
        ASSERT_EQ(__pavoSkipAheadStream(member->p, skip), 0);
        const auto got = member->ints(members - 3);
        for (int t = 0; t < members - 3; ++t) {
          const int64_t at = leapfrog_start(k, n_streams) + n_streams * (t + static_cast<int64_t>(skip));
          for (int w = 0; w < words; ++w)
            ASSERT_EQ(got[t * words + w], all[at * words + w]) << k << " of " << n_streams << " skip " << skip;
        }
      }
    }
  }
  // N = 0 reaches the generator: the multiplier becomes a^0 = 1 and the output repeats.
  auto frozen = fresh();
  ASSERT_EQ(__pavoLeapfrogStream(frozen->p, 0, 0), 0);
  const auto repeated = frozen->ints(3);
  for (int w = 0; w < words; ++w) EXPECT_EQ(repeated[w], repeated[2 * words + w]);
  // Copy-state takes the position, never the multiplier: a leapfrogged destination
  // stays leapfrogged.
  auto source = fresh(), destination = std::make_unique<Stream>(GetParam().id, std::vector<uint32_t>{77, 78, 79, 80});
  ASSERT_EQ(__pavoLeapfrogStream(destination->p, 0, 3), 0);
  discard(*source, 10);
  ASSERT_EQ(__pavoCopyStreamState(destination->p, source->p), 0);
  const auto all = fresh()->ints(12 + 3 * 20);
  const auto got = destination->ints(20);
  for (int t = 0; t < 20; ++t)
    for (int w = 0; w < words; ++w)
      ASSERT_EQ(got[t * words + w], all[(leapfrog_start(0, 3) + 10 + 3 * t) * words + w]) << t;
}

TEST_P(Battery, UnsupportedMethodsAreRefusedExactlyAndLeaveTheStream) {
  if (caller_fed()) GTEST_SKIP() << "made only by abstract creation";
  auto s = fresh(), twin = fresh();
  const PavoBrngProperties& row = s->row();
  const uint32_t k = 0;
  const uint64_t count[2] = {5, 0};
  EXPECT_EQ(__pavoLeapfrogStream(s->p, 0, -1), kBadLeapfrogCount);
  EXPECT_EQ(row.init_stream(PAVO_INIT_SKIP_AHEAD_MULTI + 1, s->p, 2, count), kBadMethod);
  EXPECT_EQ(row.init_stream(0xFFFFFFFFu, s->p, 2, count), kBadMethod);
  EXPECT_EQ(row.init_stream(PAVO_INIT_SEED, s->p, 3, nullptr), kBadArgument);
  if (traits_.leapfrog == Leapfrog::kNone) {
    EXPECT_EQ(row.init_stream(PAVO_INIT_LEAPFROG, s->p, 2, &k), kLeapfrogRefused);
  } else if (traits_.leapfrog == Leapfrog::kCoordinate) {
    EXPECT_EQ(__pavoLeapfrogStream(s->p, 0, 2), kLeapfrogRefused);
    EXPECT_EQ(__pavoLeapfrogStream(s->p, kQuasiDimension, kCoordinateCount), kLeapfrogRefused);
  }
  EXPECT_EQ(row.init_stream(PAVO_INIT_SKIP_AHEAD, s->p, 2, traits_.skip ? nullptr : count),
            traits_.skip ? kBadArgument : kSkipRefused);
  if (!traits_.skip_multi) {
    EXPECT_EQ(row.init_stream(PAVO_INIT_SKIP_AHEAD_MULTI, s->p, 2, count), kSkipMultiRefused);
  }
  if (deterministic()) {
    EXPECT_EQ(s->ints(2 * traits_.block + 3), twin->ints(2 * traits_.block + 3));
  }
}

TEST_P(Battery, CallerFedRowsRefuseEverySplit) {
  if (!caller_fed()) GTEST_SKIP() << "seeded rows are covered above";
  PavoBrngProperties row{};
  ASSERT_EQ(__pavoGetBrngProperties(GetParam().id, &row), 0);
  std::vector<unsigned char> object(static_cast<size_t>(row.state_size), 0);
  const uint32_t k = 0;
  const uint64_t count[1] = {1};
  EXPECT_EQ(row.init_stream(PAVO_INIT_LEAPFROG, object.data(), 2, &k), kLeapfrogRefused);
  EXPECT_EQ(row.init_stream(PAVO_INIT_SKIP_AHEAD, object.data(), 2, count), kSkipRefused);
  EXPECT_EQ(row.init_stream(PAVO_INIT_SKIP_AHEAD_MULTI, object.data(), 1, count), kSkipMultiRefused);
  EXPECT_EQ(row.init_stream(PAVO_INIT_SKIP_AHEAD_MULTI + 1, object.data(), 1, count), kBadMethod);
}

// One call of n outputs equals calls of sizes around the block that sum to n, for
// every output type.
TEST_P(Battery, SplitCallsEqualOneCall) {
  if (!deterministic()) GTEST_SKIP() << "not reproducible";
  const int32_t b = traits_.block;
  const std::vector<int32_t> pieces = {1, b - 1, b, b + 1, 0, 2 * b + 3, 3, b};
  int32_t total = 0;
  for (int32_t n : pieces) total += n;
  auto whole = fresh(), split = fresh();
  const auto join = [&](auto draw) {
    auto all = draw(*whole, total);
    decltype(all) parts;
    for (int32_t n : pieces) {
      const auto part = draw(*split, n);
      parts.insert(parts.end(), part.begin(), part.end());
    }
    EXPECT_EQ(parts, all);
  };
  join([](Stream& s, int32_t n) { return s.ints(n); });
  join([](Stream& s, int32_t n) { return s.doubles(n, -2.5, 7.0); });
  join([](Stream& s, int32_t n) { return s.floats(n, 1.0f, 1.5f); });
}

// Streams at a position around the block, reached by drawing and then (where offered) by
// skipping a count that is no multiple of the block.
TEST_P(Battery, CopiesContinueTheSequenceIndependently) {
  if (!deterministic()) GTEST_SKIP() << "not reproducible";
  const int32_t n = 2 * traits_.block + 3;
  for (uint64_t at : positions()) {
    auto source = advanced(at), origin = advanced(at);
    const auto next = advanced(at)->ints(n);
    Stream copy;
    ASSERT_EQ(__pavoCopyStream(&copy.p, source->p), 0);
    EXPECT_EQ(copy.ints(n), next) << at;
    EXPECT_EQ(source->ints(n), next) << "drawing from the copy moved the source, at " << at;
    // Copy-state onto a stream of the same generator seeded otherwise, and onto itself.
    Stream destination(GetParam().id, {3, 1, 4, 1, 5, 9});
    ASSERT_EQ(__pavoCopyStreamState(destination.p, origin->p), 0);
    ASSERT_EQ(__pavoCopyStreamState(origin->p, origin->p), 0);
    EXPECT_EQ(destination.ints(n), next) << at;
    EXPECT_EQ(origin->ints(n), next) << at;
  }
}

TEST_P(Battery, SaveAndLoadContinueTheSequence) {
  if (!deterministic()) GTEST_SKIP() << "not reproducible";
  const int32_t n = 2 * traits_.block + 3;
  const std::string path = testing::TempDir() + "battery_" + std::to_string(GetParam().id) + ".rng";
  for (uint64_t at : positions()) {
    auto original = advanced(at);
    const auto image = saved_image(original->p);
    ASSERT_EQ(__pavoSaveStreamF(original->p, path.c_str(), -1), 0);
    std::ifstream file(path, std::ios::binary);
    EXPECT_EQ(std::vector<char>(std::istreambuf_iterator<char>(file), {}), image) << "file and memory images differ";
    Stream from_memory, from_file;
    ASSERT_EQ(__pavoLoadStreamM(&from_memory.p, image.data()), 0);
    ASSERT_EQ(__pavoLoadStreamF(&from_file.p, path.c_str(), -1), 0);
    EXPECT_EQ(__pavoGetStreamStateBrng(from_file.p), GetParam().id);
    EXPECT_EQ(saved_image(from_memory.p), image) << "a loaded stream saves another image, at " << at;
    const auto next = original->ints(n);
    EXPECT_EQ(from_memory.ints(n), next) << at;
    EXPECT_EQ(from_file.ints(n), next) << at;
  }
  std::remove(path.c_str());
}

INSTANTIATE_TEST_SUITE_P(Registry, Battery, testing::ValuesIn(registry_rows()), row_name);

}  // namespace
