// Single precision Sin and Cos bit for bit against a plain transcription of their fast
// path; the large-argument path of s Sin, Cos and Tan against the exactly reduced double
// kernels; the statuses of non-finite arguments; the double kernels of every slot against
// the runtime library, which also runs where the MPFR harness does not (Windows).
#include <cmath>
#include <random>
#include <vector>

#include "kernel_test_support.h"

namespace zorn_test {
namespace {

// The fast path for |x| <= 10000, one step per line; `cosine` shifts the angle by pi/2.
float sin_cos_reference(float x, bool cosine) {
  const float a = std::fabs(x);
  const float scaled = (cosine ? a + 1.5707964f : a) * 0.31830987f;
  const float t = scaled + 12582912.0f;
  const float n = t - 12582912.0f;
  const bool odd = (bits(t) & 1) != 0;
  const double m = cosine ? static_cast<double>(n) - 0.5 : static_cast<double>(n);
  const double r1 = static_cast<double>(a) - m * 3.1415926535846666;
  const double r = r1 - m * 5.126688303189038e-12;
  const double r2 = r * r;
  const double p = -0.1666665955042783 +
                   r2 * (0.00833306624608569 +
                         r2 * (-0.00019809602902257352 + r2 * 2.605780638722852e-06));
  const double r3 = r * r2;
  const float s = static_cast<float>(r + r3 * p);
  const bool negative = cosine ? odd : (std::signbit(x) != odd);
  return negative ? -s : s;
}

using Kernel = void (*)(int32_t, const float*, float*);
using DoubleKernel = void (*)(int32_t, const double*, double*);

class SingleTrig : public ReportingTest {};

TEST_F(SingleTrig, FastPathMatchesTheTranscriptionBitForBit) {
  std::vector<float> x = mixed_arguments(400000, -10000.0f, 10000.0f, 0x461C4000u);  // |x| <= 10000
  x[0] = -0.0f, x[1] = 0x1.921fb6p+0f, x[2] = 10000.0f, x[3] = -10000.0f;
  for (const bool cosine : {false, true}) {
    std::vector<float> r(x.size());
    (cosine ? _tesssCos : _tesssSin)(static_cast<int32_t>(x.size()), x.data(), r.data());
    int mismatches = 0;
    for (size_t i = 0; i < x.size(); ++i) {
      if (bits(r[i]) != bits(sin_cos_reference(x[i], cosine)) && ++mismatches <= 5) {
        ADD_FAILURE() << (cosine ? "cos " : "sin ") << x[i] << ": " << r[i];
      }
    }
    EXPECT_EQ(mismatches, 0);
  }
  EXPECT_TRUE(g_reported.empty());
}

// Two independent reductions, the 96-bit window of single precision and the exact one of
// double precision, must agree to within an ulp of the float result.
TEST_F(SingleTrig, LargeArgumentsAgreeWithTheDoubleKernels) {
  std::mt19937 gen(7);
  std::uniform_int_distribution<uint32_t> pattern(0x461C4001u, 0x7F7FFFFFu);  // above 10000
  std::vector<float> x(100000);
  for (size_t i = 0; i < x.size(); ++i) x[i] = (i % 2 ? -1.0f : 1.0f) * from_bits(pattern(gen));
  x[0] = 0x1.388002p+13f, x[1] = 1e30f, x[2] = 0x1.f37c8ap+95f, x[3] = 0x1.47d0fep+34f;
  const std::vector<double> xd(x.begin(), x.end());
  const struct {
    Kernel single;
    DoubleKernel dbl;
  } cases[] = {{_tesssSin, _tessdSin}, {_tesssCos, _tessdCos}, {_tesssTan, _tessdTan}};
  for (const auto& c : cases) {
    std::vector<float> r(x.size());
    std::vector<double> want(x.size());
    c.single(static_cast<int32_t>(x.size()), x.data(), r.data());
    c.dbl(static_cast<int32_t>(x.size()), xd.data(), want.data());
    double worst = 0;
    for (size_t i = 0; i < x.size(); ++i) worst = std::max(worst, ulp_error(r[i], want[i]));
    EXPECT_LE(worst, 1.0);
  }
  EXPECT_TRUE(g_reported.empty());
}

TEST_F(SingleTrig, InfinitiesAreDomainErrorsAndNaNsPassSilently) {
  const float x[] = {1.0f, INFINITY, NAN, -INFINITY, 0.5f};
  const Kernel kernels[] = {_tesssSin, _tesssCos, _tesssTan};
  for (const Kernel k : kernels) {
    g_reported.clear();
    float r[5];
    k(5, x, r);
    for (int i = 1; i < 4; ++i) EXPECT_TRUE(std::isnan(r[i])) << i;
    ASSERT_EQ(g_reported.size(), 2u);
    EXPECT_EQ(g_reported[0].index, 1);
    EXPECT_EQ(g_reported[1].index, 3);
    EXPECT_EQ(g_reported[0].status, TESS_STATUS_DOMAIN);
    EXPECT_EQ(g_reported[1].status, TESS_STATUS_DOMAIN);
  }
}

// One infinity at each position of a few steps of the contiguous loop (which takes two
// groups at a time): it alone is reported, at its own index, and every other lane keeps
// its fast-path value.
TEST_F(SingleTrig, ASpecialLaneAnywhereLeavesTheOtherLanesAlone) {
  constexpr int kCount = 19;
  for (const bool cosine : {false, true}) {
    for (int position = 0; position < kCount; ++position) {
      g_reported.clear();
      float x[kCount], r[kCount];
      for (int i = 0; i < kCount; ++i) x[i] = 0.37f * static_cast<float>(i) - 3.0f;
      x[position] = INFINITY;
      (cosine ? _tesssCos : _tesssSin)(kCount, x, r);
      for (int i = 0; i < kCount; ++i) {
        if (i == position) continue;
        EXPECT_EQ(bits(r[i]), bits(sin_cos_reference(x[i], cosine))) << position << ' ' << i;
      }
      ASSERT_EQ(g_reported.size(), 1u);
      EXPECT_EQ(g_reported[0].index, position);
    }
  }
}

// Every slot of d Sin, Cos and Tan within 1e-6 relative of the runtime library, whole
// groups and partial ones: catches a lost sign or a wrong lane on any build.
TEST_F(SingleTrig, DoubleKernelsOfEverySlotAgreeWithTheRuntimeLibrary) {
  std::mt19937 gen(11);
  std::uniform_real_distribution<double> angle(-1.5707963267948966, 1.5707963267948966);
  std::vector<double> x(1001);
  for (size_t i = 0; i < x.size(); ++i) x[i] = (i % 3 ? 1.0 : 60.0) * angle(gen);
  const struct {
    DoubleKernel slots[3];
    double (*runtime)(double);
  } cases[] = {{{_tessdSin, _tessdSin_50, _tessdSin_26}, [](double v) { return std::sin(v); }},
               {{_tessdCos, _tessdCos_50, _tessdCos_26}, [](double v) { return std::cos(v); }},
               {{_tessdTan, _tessdTan_50, _tessdTan_26}, [](double v) { return std::tan(v); }}};
  for (const auto& c : cases) {
    for (DoubleKernel kernel : c.slots) {
      std::vector<double> r(x.size());
      kernel(static_cast<int32_t>(x.size()), x.data(), r.data());
      size_t bad = 0;
      for (size_t i = 0; i < x.size(); ++i) {
        const double want = c.runtime(x[i]);
        bad += !(std::fabs(r[i] - want) <= 1e-6 * std::fabs(want) + 1e-300);
      }
      EXPECT_EQ(bad, 0u);
    }
  }
  EXPECT_TRUE(g_reported.empty());
}

}  // namespace
}  // namespace zorn_test
