// The single precision exponential, bit for bit against plain transcriptions of its
// published fast path and callout (its thresholds and statuses: exp_log_family_test.cpp).
#include <cmath>
#include <random>
#include <vector>

#include "kernel_test_support.h"
#include "tess_kernels/exp_log/exp_single.h"

namespace zorn_test {
namespace {

namespace tables {
#include "tess_kernels/exp_log/data/exp_tables.inc"
}

// The fast path, for |x| <= 87.33654, one step per line. The table entries are
// recomputed here from exp2l: hi = 2^(j/128) rounded to float, lo = the rounded remainder.
float exp_fast_path_reference(float x) {
  const float t = x * 184.66496f + 12582912.0f;
  const float n = t - 12582912.0f;
  const float r1 = x + n * -0.0054168701171875f;
  const float r = r1 + n * 1.6577690757912933e-06f;
  const float r2 = r * r;
  const float p = r + 0.5f * r2;
  const int j = static_cast<int>(bits(t) & 127);
  const long double exact = std::exp2(static_cast<long double>(j) / 128.0L);
  const float hi = static_cast<float>(exact);
  const float lo = static_cast<float>(exact - hi);
  const int k = static_cast<int>(std::lround(n)) >> 7;  // n div 128, rounding down
  const float scale = std::ldexp(1.0f, k);
  const float u = p * hi;
  const float v = u + lo;
  const float w = v + hi;
  return w * scale;
}

// The callout's double precision evaluation for finite x from 2^-53 to the overflow and
// underflow bounds. Scaling by 2^(k div 64) is exact in double over the whole float
// range, normal and subnormal, so the only rounding after y is the one to float.
float exp_callout_reference(float xf) {
  const double x = xf;
  const double t = x * 92.33248261689366 + 6755399441055744.0;
  const double k = t - 6755399441055744.0;
  const double r = x - k * 0.010830424696223417 - k * 2.572804622327669e-14;
  const int64_t kn = static_cast<int64_t>(k);
  const int64_t j = kn & 63;
  const double p =
      r + r * r *
              (0.5 + r * (0.1666666666665788 +
                          r * (0.04166666666677052 +
                               r * (0.008333341995140497 + r * 0.0013888870459233254))));
  const double hi = tables::kExp2Over64Relative[j][0];
  const double y = hi + (p + tables::kExp2Over64Relative[j][1]) * hi;
  return static_cast<float>(std::ldexp(y, static_cast<int>(kn >> 6)));
}

class SingleExp : public ReportingTest {};

TEST_F(SingleExp, RandomArgumentsMatchTheTranscriptionsBitForBit) {
  const std::vector<float> x = mixed_arguments(1000000, -103.9f, 88.7f, 0x42D00000u);  // |x| <= 104
  std::vector<float> r(x.size());
  _tesssExp(static_cast<int32_t>(x.size()), x.data(), r.data());
  int mismatches = 0;
  for (size_t i = 0; i < x.size(); ++i) {
    const float a = std::fabs(x[i]);
    float want;
    if (a <= 87.33654f) {
      want = exp_fast_path_reference(x[i]);
    } else if (x[i] > 88.72283f) {
      want = INFINITY;
    } else if (x[i] < -103.97208f) {
      want = 0.0f;
    } else {
      want = exp_callout_reference(x[i]);
    }
    if (bits(r[i]) != bits(want) && ++mismatches <= 5) {
      ADD_FAILURE() << "exp(" << x[i] << ") = " << r[i] << ", transcription " << want;
    }
  }
  EXPECT_EQ(mismatches, 0);
}

TEST_F(SingleExp, CalloutMatchesItsTranscriptionOnOrdinaryArguments) {
  // The callout is correct for every argument, also those the fast path takes.
  int mismatches = 0;
  for (uint32_t b = 0x25000001u; b <= 0x42D00000u; b += 997) {
    for (const float x : {from_bits(b), -from_bits(b)}) {
      if (x > 88.72283f || x < -103.97208f) continue;
      float got;
      zorn::tess::tess_callout_sExp(&x, &got);
      if (bits(got) != bits(exp_callout_reference(x))) ++mismatches;
    }
  }
  EXPECT_EQ(mismatches, 0);
}

}  // namespace
}  // namespace zorn_test
