// Integer-valued generators and the gamma family where their arithmetic is fixed: the
// floor of uniform integers, Bernoulli's bounds, the words of the bit generators and
// their order, geometric's zero uniform, the groups of ChiSquare, the pending normal of
// Gamma; and a defined result for every edge parameter.
#include <cmath>
#include <limits>

#include "distributions/distribution_support.h"

namespace {

constexpr uint32_t kSeed = 7771;

TEST(UniformIntegers, FloorNotTruncationAndNoDrawForNoResults) {
  struct Case {
    double v;  // the scripted uniform on [0, 1), mapped onto [-3, 3)
    int32_t expected;
  };
  const Case cases[] = {{0.0, -3}, {0.0625, -3}, {0.49, -1}, {0.5, 0}, {0.99, 2}};
  for (const Case& c : cases) {
    Stream s;
    scripted_stream(s, {c.v});
    int32_t r = 99;
    EXPECT_EQ(_pavoiRngUniform(0, s.p, 1, &r, -3, 3), 0);
    EXPECT_EQ(r, c.expected) << c.v;
  }
  Stream s;
  scripted_stream(s, {0.5});
  EXPECT_EQ(_pavoiRngUniform(0, s.p, 0, nullptr, -3, 3), 0);
  EXPECT_EQ(script().size(), 1u);
}

TEST(Bernoulli, BoundsAndStrictComparison) {
  struct Case {
    double p;
    std::vector<int32_t> expected;  // for the uniforms 0, 0.25, 0.5, 1.0 (rounded up)
  };
  const Case cases[] = {{0.0, {0, 0, 0, 0}}, {0.5, {1, 1, 0, 0}}, {1.0, {1, 1, 1, 1}}, {2.0, {1, 1, 1, 1}}};
  for (const Case& c : cases) {
    Stream s;
    scripted_stream(s, {0.0, 0.25, 0.5, 1.0});
    std::vector<int32_t> r(4, 7);
    EXPECT_EQ(_pavoiRngBernoulli(0, s.p, 4, r.data(), c.p), 0);
    EXPECT_EQ(r, c.expected) << c.p;
  }
}

TEST(UniformBits, FixedWordsPerRowAndTheirOrder) {
  for (const uint32_t brng : {PAVO_BRNG_MT19937, PAVO_BRNG_MCG59}) {
    SCOPED_TRACE(brng);
    const bool mcg59 = brng == PAVO_BRNG_MCG59;
    Stream ours(brng, {kSeed}), raw(brng, {kSeed});
    std::vector<uint32_t> w32(5);
    std::vector<uint64_t> w64(3);
    ASSERT_EQ(_pavoiRngUniformBits32(0, ours.p, 5, w32.data()), 0);
    ASSERT_EQ(_pavoiRngUniformBits64(0, ours.p, 3, w64.data()), 0);
    // Raw outputs as 64-bit values: MCG59 writes 64-bit words, MT19937 32-bit ones.
    const std::vector<uint32_t> words = raw.ints(11);
    auto output = [&](int k) -> uint64_t {
      return mcg59 ? (uint64_t{words[2 * k + 1]} << 32 | words[2 * k]) >> 27 : words[k];
    };
    for (int k = 0; k < 5; ++k) EXPECT_EQ(w32[k], output(k)) << k;
    for (int k = 0; k < 3; ++k) EXPECT_EQ(w64[k], output(5 + 2 * k) | output(6 + 2 * k) << 32) << k;
  }
  Stream mcg31(PAVO_BRNG_MCG31M1, {kSeed}), scripted;
  scripted_stream(scripted, {});
  for (void* s : {mcg31.p, scripted.p}) {
    uint32_t w32 = 0;
    uint64_t w64 = 0;
    EXPECT_EQ(_pavoiRngUniformBits32(0, s, 1, &w32), -1014);
    EXPECT_EQ(_pavoiRngUniformBits64(0, s, 1, &w64), -1014);
  }
}

TEST(Geometric, ZeroUniformAndEdgeProbabilities) {
  const float zero_log = -103.2789306640625f;
  struct Case {
    double p;
    int32_t expected;  // for a zero uniform
  };
  const Case cases[] = {
      {0.5, static_cast<int32_t>(std::floor(zero_log * static_cast<float>(1 / std::log(0.5))))},
      {1.0, 0},
      {std::nextafter(1.0, 0.0), static_cast<int32_t>(std::floor(zero_log * static_cast<float>(1 / std::log(0x1p-53))))},
      {0.0, INT32_MAX},
      {1e-300, INT32_MAX},
      {1e-12, INT32_MAX}};
  for (const Case& c : cases) {
    Stream s;
    scripted_stream(s, {0.0, 0.5});
    int32_t r[2] = {-7, -7};
    EXPECT_EQ(_pavoiRngGeometric(0, s.p, 2, r, c.p), 0);
    EXPECT_EQ(r[0], c.expected) << c.p;
    EXPECT_GE(r[1], 0) << c.p;
  }
}

// Successive calls deliver what one long call delivers: the cosine half of the last
// Box-Muller pair waits in the stream for the next call.
TEST(Gamma, PendingNormalCarriesOverCalls) {
  for (const int32_t first : {1, 3, 511, 513}) {
    Stream split(PAVO_BRNG_MT19937, {kSeed}), whole(PAVO_BRNG_MT19937, {kSeed});
    std::vector<double> a(first + 5), b(first + 5);
    ASSERT_EQ(_pavodRngGamma(0, split.p, first, a.data(), 2.5, 0, 1), 0);
    ASSERT_EQ(_pavodRngGamma(0, split.p, 5, a.data() + first, 2.5, 0, 1), 0);
    ASSERT_EQ(_pavodRngGamma(0, whole.p, first + 5, b.data(), 2.5, 0, 1), 0);
    EXPECT_TRUE(same_bits(a, b)) << first;
  }
}

TEST(ChiSquare, EvenDegreesUseConsecutiveGroupsOfUniforms) {
  for (const int32_t v : {2, 4, 16}) {
    const int32_t n = 2 * 1024 / v + 3;  // more than one block
    Stream ours(PAVO_BRNG_MT19937, {kSeed}), theirs(PAVO_BRNG_MT19937, {kSeed});
    std::vector<double> r(n);
    ASSERT_EQ(_pavodRngChiSquare(0, ours.p, n, r.data(), v), 0);
    const std::vector<double> u = uniforms<double>(theirs.p, n * v / 2);
    std::vector<double> expected(n, 1.0);
    for (int32_t i = 0; i < n; ++i)
      for (int32_t j = 0; j < v / 2; ++j) expected[i] *= u[i * v / 2 + j];
    Ln(expected);
    for (double& x : expected) x *= -2;
    EXPECT_TRUE(same_bits(r, expected)) << v;
  }
}

// Shapes and means a sampler cannot serve still end, with a defined value.
TEST(BadInput, EveryParameterEndsWithADefinedResult) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (const double alpha : {1e-3, 1e-300, 0.0, -1.0, nan, 1e300}) {
    Stream s(PAVO_BRNG_MT19937, {kSeed});
    std::vector<double> r(600, -7);
    EXPECT_EQ(_pavodRngGamma(0, s.p, 600, r.data(), alpha, 0, 1), 0) << alpha;
    for (const double x : r) ASSERT_TRUE(std::isnan(x) || x >= 0) << alpha;
  }
  for (const int32_t method : {0, 1})
    for (const double lambda : {0.0, 1e-300, 2147483647.0, 1e300, nan}) {
      Stream s(PAVO_BRNG_MT19937, {kSeed});
      std::vector<int32_t> r(600, -7);
      EXPECT_EQ(_pavoiRngPoisson(method, s.p, 600, r.data(), lambda), 0) << lambda;
      for (const int32_t k : r) ASSERT_GE(k, 0) << lambda;
      if (lambda == 0 || std::isnan(lambda)) EXPECT_EQ(r, std::vector<int32_t>(600, 0));
      if (lambda == 1e300) EXPECT_EQ(r, std::vector<int32_t>(600, INT32_MAX));
    }
}

}  // namespace
