// The single precision natural logarithm, bit for bit against plain transcriptions of its
// published table-free fast path and of its callout, the callout's table against the rule
// that defines it, and the special arguments with and without denormals-are-zero.
#include <cmath>
#include <random>
#include <vector>

#include "exp_log_single_test_support.h"
#include "tess_kernels/exp_log/ln_single.h"

namespace zorn_test {
namespace {

namespace tables {
#include "tess_kernels/exp_log/data/log_tables_single.inc"
}

// The fast path for positive normal x, one step per line, in single precision.
float ln_fast_path_reference(float x) {
  const uint32_t u = bits(x) + 0xC0D55555u;
  const int32_t e = static_cast<int32_t>(u) >> 23;
  const float m = from_bits((u & 0x007FFFFFu) + 0x3F2AAAABu);
  const float r = m - 1.0f;
  float p = -0.12891685962677002f;
  for (const float c : {0.1398443728685379f, -0.12184260785579681f, 0.140058696269989f,
                        -0.16680487990379333f, 0.20010405778884888f, -0.24999797344207764f,
                        0.3333321511745453f, -0.5f}) {
    p = c + r * p;
  }
  const float ef = static_cast<float>(e);
  const float r2 = r * r;
  const float tail = r + r2 * p;
  const float low = ef * 1.428606765330187e-06f + tail;
  return ef * 0.693145751953125f + low;
}

double q_reference(double r) {
  double q = -0.1250214602960357;
  for (const double c : {0.1428756883852146, -0.1666666651884978, 0.19999999911565072,
                         -0.25000000000003386, 0.33333333333334386, -0.5}) {
    q = c + r * q;
  }
  return q;
}

// The callout's double precision evaluation for positive finite x.
float ln_callout_reference(float xf) {
  const double x = xf;
  if (std::fabs(x - 1.0) <= 0.009765625) {
    const double r = x - 1.0;
    return static_cast<float>(r + r * r * q_reference(r));
  }
  int e;
  const double m = 2.0 * std::frexp(x, &e);  // x = 2^(e-1) m, m in [1, 2)
  const double k = e - 1;
  const int j = static_cast<int>(std::lround(64.0 * (m - 1.0)));
  const double* row = tables::kLnSingleCallout[j];
  const double m_hi = std::ldexp(std::floor(std::ldexp(m, 31) + 0.5), -31);
  const double r_hi = m_hi * row[0] - 1.0;
  const double r_lo = (m - m_hi) * row[0];
  const double r = r_hi + r_lo;
  const double small = r_lo + (k * 5.497923018708371e-14 + row[2]);
  const double poly = r * r * q_reference(r);
  const double large = r_hi + (k * 0.6931471805598903 + row[1]);
  return static_cast<float>(small + poly + large);
}

class SingleLn : public ReportingTest {};

TEST_F(SingleLn, CalloutTableFollowsItsRule) {
  for (int j = 0; j <= 64; ++j) {
    const double cinv = std::round(1024.0 / (1.0 + j / 64.0)) / 1024.0;
    ASSERT_EQ(tables::kLnSingleCallout[j][0], cinv) << j;
    const long double ln_c = -std::log(static_cast<long double>(cinv));
    EXPECT_EQ(tables::kLnSingleCallout[j][1], static_cast<double>(ln_c)) << j;
    // lo carries the remainder to well beyond double precision.
    EXPECT_NEAR(static_cast<double>(ln_c - tables::kLnSingleCallout[j][1]),
                tables::kLnSingleCallout[j][2], 1e-19)
        << j;
  }
  EXPECT_EQ(tables::kLnSingleCallout[1][0], 0.984375);
  EXPECT_EQ(tables::kLnSingleCallout[64][0], 0.5);
}

TEST_F(SingleLn, FastPathPointTableFollowsItsRule) {
  // {c^-1, ln c, log2 c, log10 c}: the callout's points, each logarithm rounded once.
  for (int j = 0; j <= 64; ++j) {
    const double* row = tables::kLogPointsSingle[j];
    ASSERT_EQ(row[0], tables::kLnSingleCallout[j][0]) << j;
    EXPECT_EQ(row[1], tables::kLnSingleCallout[j][1]) << j;
    const long double ln_c = -std::log(static_cast<long double>(row[0]));
    EXPECT_EQ(row[2], static_cast<double>(ln_c / std::log(2.0L))) << j;
    EXPECT_NEAR(row[3], static_cast<double>(ln_c / std::log(10.0L)), 1e-16 * row[3]) << j;
  }
  // Row 64 (c = 2) holds the same log 2 as the kernels' constants, so that x just below 1
  // cancels exactly.
  EXPECT_EQ(tables::kLogPointsSingle[64][1], 0.6931471805599453);
  EXPECT_EQ(tables::kLogPointsSingle[64][2], 1.0);
  EXPECT_EQ(tables::kLogPointsSingle[64][3], 0.3010299956639812);
}

TEST_F(SingleLn, RandomArgumentsMatchTheTranscriptionsBitForBit) {
  std::mt19937 gen(7122026);
  std::uniform_int_distribution<uint32_t> pattern(0x00000001u, 0x7F7FFFFFu);
  std::uniform_real_distribution<float> near_one(0.5f, 2.0f);
  std::vector<float> x(1000000);
  for (size_t i = 0; i < x.size(); ++i) {
    x[i] = (i % 3 == 0) ? near_one(gen) : from_bits(pattern(gen));
  }
  std::vector<float> r(x.size());
  _tesssLn(static_cast<int32_t>(x.size()), x.data(), r.data());
  int mismatches = 0, subnormals = 0;
  for (size_t i = 0; i < x.size(); ++i) {
    const bool normal = x[i] >= 0x1p-126f;
    subnormals += normal ? 0 : 1;
    const float want = normal ? ln_fast_path_reference(x[i]) : ln_callout_reference(x[i]);
    if (bits(r[i]) != bits(want) && ++mismatches <= 5) {
      ADD_FAILURE() << "ln(" << x[i] << ") = " << r[i] << ", transcription " << want;
    }
  }
  EXPECT_EQ(mismatches, 0);
  EXPECT_GT(subnormals, 1000);  // the callout's reduction of subnormals took part
  EXPECT_TRUE(g_reported.empty());
}

TEST_F(SingleLn, CalloutIsCorrectlyRoundedAlmostEverywhere) {
  // The callout reaches about 2^-60 relative: over a dense sweep its result is the
  // correctly rounded one but where the exact value lies next to a halfway point.
  int mismatches = 0, not_rounded = 0;
  for (uint32_t b = 1; b <= 0x7F7FFFFFu; b += 9973) {
    const float x = from_bits(b);
    float got;
    ASSERT_EQ(zorn::tess::tess_callout_sLn(&x, &got), TESS_STATUS_OK);
    if (bits(got) != bits(ln_callout_reference(x))) ++mismatches;
    if (ulp_error(got, std::log(static_cast<long double>(x))) > 0.5) ++not_rounded;
  }
  EXPECT_EQ(mismatches, 0);
  EXPECT_EQ(not_rounded, 0);
}

TEST_F(SingleLn, SpecialArgumentsAndStatuses) {
  const float tiny = std::numeric_limits<float>::denorm_min();
  const float x[] = {1.0f, 0.0f, -0.0f, -1.0f, -INFINITY, INFINITY, NAN, tiny, 0.75f};
  constexpr int kCount = sizeof x / sizeof x[0];
  float r[kCount];
  _tesssLn(kCount, x, r);
  EXPECT_EQ(bits(r[0]), 0u);  // exactly +0
  EXPECT_EQ(r[1], -INFINITY);
  EXPECT_EQ(r[2], -INFINITY);
  EXPECT_EQ(bits(r[3]), 0x7FC00000u);
  EXPECT_EQ(bits(r[4]), 0x7FC00000u);
  EXPECT_EQ(r[5], INFINITY);
  EXPECT_TRUE(std::isnan(r[6]));
  EXPECT_EQ(r[7], static_cast<float>(-149.0L * std::log(2.0L)));
  EXPECT_LE(ulp_error(r[8], std::log(0.75L)), 1.0);
  const std::vector<std::pair<int32_t, int32_t>> want = {{1, TESS_STATUS_SINGULARITY},
                                                         {2, TESS_STATUS_SINGULARITY},
                                                         {3, TESS_STATUS_DOMAIN},
                                                         {4, TESS_STATUS_DOMAIN}};
  ASSERT_EQ(g_reported.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) {
    EXPECT_EQ(g_reported[i].index, want[i].first);
    EXPECT_EQ(g_reported[i].status, want[i].second);
  }
}

TEST_F(SingleLn, SubnormalCountsAsZeroWithDenormalsAreZero) {
  _tessSetMode(TESS_MODE_FLUSH_DENORMALS);
  const float x[] = {2.0f, std::numeric_limits<float>::denorm_min(), -1e-40f, 1e-39f};
  float r[4];
  _tesssLn(4, x, r);
  EXPECT_EQ(r[1], -INFINITY);
  EXPECT_EQ(r[2], -INFINITY);  // -0 under denormals-are-zero: a pole, not a domain error
  EXPECT_EQ(r[3], -INFINITY);
  ASSERT_EQ(g_reported.size(), 3u);
  for (const Reported& rep : g_reported) EXPECT_EQ(rep.status, TESS_STATUS_SINGULARITY);
}

}  // namespace
}  // namespace zorn_test
