// Integer-valued generators and the gamma family where their arithmetic is fixed: the
// floor of uniform integers, Bernoulli's bounds, the words of the bit generators and
// their order, geometric's zero uniform, the groups of ChiSquare, Poisson method 1
// against a plain transcription of its formulas; and a defined result for every edge
// parameter.
#include <cmath>
#include <limits>

#include "distributions/data/poisson_normal_table.h"
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

// Poisson method 1 written out from its formulas, over the values the same stream gives.
std::vector<int32_t> poisson_method1_transcribed(void* s, int32_t n, double lambda) {
  std::vector<float> x(n);
  std::vector<int32_t> k(n);
  auto count = [](float y) { return y < 0 ? 0 : static_cast<int32_t>(y); };
  if (lambda < 1) {
    const double l = lambda;
    const float e = static_cast<float>((((((((0.0003351641595394528 * l + 0.0011369805324212754) * l +
        0.008565930750590653) * l + 0.0415487961378904) * l + 0.16669916415448055) * l +
        0.49999555884885266) * l + 1.000000235204182) * l + 0.9999999978976929));
    x = uniforms<float>(s, n, 0.0f, e);
    for (int32_t i = 0; i < n; ++i) {
      double t = 1, sum = 1;
      k[i] = 11;
      for (int j = 0; j <= 10; ++j) {
        if (j > 0) sum += t = t * l / j;
        if (x[i] <= static_cast<float>(sum)) {
          k[i] = j;
          break;
        }
      }
    }
  } else if (lambda < 100) {
    EXPECT_EQ(_pavosRngGaussian(2, s, n, x.data(), 0.0f, 1.0f), 0);
    int e;
    const double f = 2 * std::frexp(static_cast<float>(lambda), &e) - 1;
    const double* c = zorn::distributions::kPoissonNormalTable[e - 1];
    auto poly = [&](int at, int terms) {
      double v = 0;
      for (int j = terms - 1; j >= 0; --j) v = v * f + c[at + j];
      return static_cast<float>(v);
    };
    const float K = static_cast<float>(1 + c[0] + c[1] * f + c[2] * f * f), E = poly(3, 4),
                D = poly(7, 4), C = poly(11, 4), B = poly(15, 4), A = poly(19, 4);
    for (int32_t i = 0; i < n; ++i) {
      const float z = x[i];
      k[i] = count((((A * z + B) * z + C) * z + D) * E * z + K);
    }
  } else {
    const double v = 1 / lambda;
    const float mu = static_cast<float>(lambda - 0.6666957198 + ((0.001645153709 * v - 0.001288719308) * v - 0.01941020862) * v);
    const float sigma = static_cast<float>(std::sqrt(lambda - 0.05580667628 + ((0.00519830812 * v - 0.005534854444) * v - 0.000975814817) * v));
    const float p1 = static_cast<float>(((((2.02847035732762 * v - 3.85841212878712) * v + 2.29098262740971) * v - 0.443911391797447) * v + 0.00774710541609) * v);
    const float p2 = static_cast<float>(((((-0.185436433294704 * v + 0.358642226989579) * v - 0.228162379800275) * v + 0.0472242348292688) * v + 0.168577008904505) * v);
    const float p3 = static_cast<float>(((((0.014389264627966 * v - 0.0291113093667918) * v + 0.0232257954288354) * v - 0.0126559989233446) * v - 0.0001145865551857) * v);
    EXPECT_EQ(_pavosRngGaussian(2, s, n, x.data(), mu, sigma), 0);
    for (int32_t i = 0; i < n; ++i) {
      const float g = x[i], d = g - mu;
      k[i] = count(g + 1.0f + p1 * d + p2 * (d * d) + p3 * (d * d * d));
    }
  }
  return k;
}

TEST(Poisson, Method1FollowsItsFormulas) {
  for (const double lambda : {0.0, 0.5, 0.999, 1.0, 5.0, 30.0, 63.9, 99.9, 100.0, 1e4, 1e6}) {
    Stream ours(PAVO_BRNG_MT19937, {kSeed}), theirs(PAVO_BRNG_MT19937, {kSeed});
    std::vector<int32_t> r(2001);
    ASSERT_EQ(_pavoiRngPoisson(1, ours.p, 2001, r.data(), lambda), 0);
    EXPECT_EQ(r, poisson_method1_transcribed(theirs.p, 2001, lambda)) << lambda;
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
  for (const int32_t method : {0, 1}) {
    for (const double lambda : {0.0, 1e-300, 2147483647.0, 1e300, nan}) {
      Stream s(PAVO_BRNG_MT19937, {kSeed});
      std::vector<int32_t> r(600, -7);
      EXPECT_EQ(_pavoiRngPoisson(method, s.p, 600, r.data(), lambda), 0) << lambda;
      for (const int32_t k : r) ASSERT_GE(k, 0) << lambda;
      if (lambda == 0 || std::isnan(lambda)) {
        EXPECT_EQ(r, std::vector<int32_t>(600, 0));
      }
      if (lambda == 1e300) {
        EXPECT_EQ(r, std::vector<int32_t>(600, INT32_MAX));
      }
    }
  }
}

}  // namespace
