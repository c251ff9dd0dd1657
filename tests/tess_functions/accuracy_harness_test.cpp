// The instruments of the accuracy harness: the ulp measure on values whose distance is
// known by construction, the argument generators, the measurement of deliberately
// wrong kernels, and the completeness of the domain and bounds tables.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <set>

#include "harness/arguments.h"
#include "harness/bounds.h"
#include "harness/complex_parts.h"
#include "harness/domains.h"
#include "harness/kernel_catalogue.h"
#include "harness/measurement.h"
#include "harness/mpfr_reference.h"

namespace zorn_accuracy {
namespace {

TEST(UlpMeasure, CountsUlpsOfTheExactValueInTheTargetType) {
  // One float step above 1 is 2^-23, below 1 it is 2^-24: half an ulp of 1.0.
  EXPECT_EQ(ulp_error(std::nextafter(1.0f, 2.0f), 1.0L, 24), 1.0);
  EXPECT_EQ(ulp_error(std::nextafter(1.0f, 0.0f), 1.0L, 24), 0.5);
  EXPECT_EQ(ulp_error(std::nextafter(1.0, 2.0), 1.0L, 53), 1.0);
  EXPECT_EQ(ulp_error(-3.0L, -3.0L - 0x1p-51L, 53), 1.0);  // ulp of 3 is 2^-51
  EXPECT_EQ(ulp_error(1.0L, 1.0L + 0x1p-25L, 24), 0.25);
}

TEST(UlpMeasure, UsesSubnormalSpacingBelowTheNormalRange) {
  EXPECT_EQ(ulp_error(4 * 0x1p-149L, 3 * 0x1p-149L, 24), 1.0);
  EXPECT_EQ(ulp_error(0.0L, 0x1p-160L, 24), 0x1p-11);
  EXPECT_EQ(ulp_error(0x1p-1073L, 0x1p-1074L, 53), 1.0);
  EXPECT_EQ(ulp_error(0.0L, 0x1p-1075L, 53), 0.5);
}

TEST(UlpMeasure, NonFiniteValuesMatchExactlyOrFailInfinitely) {
  EXPECT_EQ(ulp_error(NAN, NAN, 53), 0.0);
  EXPECT_TRUE(std::isinf(ulp_error(NAN, 1.0L, 53)));       // a NaN where a number is due
  EXPECT_TRUE(std::isinf(ulp_error(1.0L, NAN, 24)));       // a number where NaN is due
  EXPECT_EQ(ulp_error(-INFINITY, -INFINITY, 24), 0.0);
  EXPECT_TRUE(std::isinf(ulp_error(INFINITY, -INFINITY, 24)));
  EXPECT_TRUE(std::isinf(ulp_error(FLT_MAX, INFINITY, 24)));
  // 3.5e38 rounds to +inf in float, FLT_MAX does not; 2^1024 rounds to inf in double.
  EXPECT_EQ(ulp_error(INFINITY, 3.5e38L, 24), 0.0);
  EXPECT_TRUE(std::isinf(ulp_error(INFINITY, FLT_MAX, 24)));
  EXPECT_TRUE(std::isinf(ulp_error(-INFINITY, 3.5e38L, 24)));
  EXPECT_EQ(ulp_error(INFINITY, 0x1p1024L, 53), 0.0);
  // Beyond the range a finite result is measured with the spacing of the top binade.
  EXPECT_EQ(ulp_error(static_cast<long double>(FLT_MAX), FLT_MAX + 0x1p104L, 24), 1.0);
}

TEST(UlpMeasure, ComplexErrorsAreNormwise) {
  const LongComplex exact(1.0L, 1e-10L);
  // An error of 2^-24 in the small part counts against the larger part's ulp 2^-23.
  EXPECT_EQ(ulp_error(LongComplex(1.0L, 1e-10L + 0x1p-24L), exact, 24), 0.5);
  EXPECT_EQ(ulp_error(LongComplex(1.0L + 0x1p-52L, 1e-10L), exact, 53), 1.0);
  EXPECT_TRUE(std::isinf(ulp_error(LongComplex(NAN, 0), exact, 53)));
}

TEST(UlpMeasure, EachPartAgainstItsOwnUlpExceptWhereTheFunctionCancels) {
  const LongComplex exact(1.0L, 1e-10L);
  const LongComplex small_part_off(1.0L, 1e-10L + 0x1p-24L);
  struct Case {
    const char* func;
    std::complex<double> a, b;
    bool re_covered, im_covered;
  } cases[] = {
      {"Exp", {0.5, 1e-10}, {}, true, true},  // however small the imaginary part
      // (1 + 2i)(3 + 1.5i) = 0 + 7.5i: the real part's products cancel.
      {"Mul", {1, 2}, {3, 1.5}, false, true},
      {"Div", {1, 2}, {3, -1.5}, false, true},  // the same numerators
      // (-1)^(1.5 + 0.5i) = e^(-pi/2) (cos 1.5 pi + i sin 1.5 pi): Re is a reduced angle.
      {"Pow", {-1, 0}, {1.5, 0.5}, false, true},
      {"Pow", {2, 1}, {1.5, 0.5}, true, true},
  };
  for (const Case& c : cases) {
    Operands x;
    x.a = c.a;
    x.b = c.b;
    const PartErrors e = part_errors(c.func, x, small_part_off, exact, 24);
    EXPECT_EQ(e.re.has_value(), c.re_covered) << c.func;
    EXPECT_EQ(e.im.has_value(), c.im_covered) << c.func;
    EXPECT_EQ(e.re.value_or(0), 0.0) << c.func;
    // 2^-24 against the ulp of 1e-10 (2^-57 in float): 2^33 ulps, not the normwise 0.5.
    if (e.im) {
      EXPECT_NEAR(*e.im, 0x1p33, 1.0) << c.func;
    }
  }
}

TEST(ArgumentGenerators, UniformSamplesStayInTheirIntervalAndTypeAndSpreadOverIt) {
  const Range r{-104, 89};
  double lo = INFINITY, hi = -INFINITY;
  for (int k = 0; k < 1000; ++k) {
    const double x = sample_range(r, 's', false, k / 1000.0, 0.0);
    EXPECT_EQ(x, static_cast<double>(static_cast<float>(x)));
    EXPECT_GE(x, r.lo);
    EXPECT_LE(x, r.hi);
    lo = std::min(lo, x);
    hi = std::max(hi, x);
  }
  EXPECT_EQ(lo, -104.0);
  EXPECT_GT(hi, 88.0);
  // The whole double range does not overflow.
  EXPECT_EQ(sample_range({-DBL_MAX, DBL_MAX}, 'd', false, 0.5, 0.0), 0.0);
  EXPECT_TRUE(std::isfinite(sample_range({-DBL_MAX, DBL_MAX}, 'd', false, 0.999999, 0.0)));
}

TEST(ArgumentGenerators, LogUniformSamplesReachSubnormalsAndBothSigns) {
  const Range r{-2, 1000};
  // u = 0 is the smallest subnormal, u close to 1 the interval end on that side.
  EXPECT_EQ(sample_range(r, 'd', true, 0.0, 0.9), 0x1p-1074);
  EXPECT_EQ(sample_range(r, 's', true, 0.0, 0.1), -0x1p-149);
  EXPECT_NEAR(sample_range(r, 'd', true, 1.0 - 1e-12, 0.1), -2.0, 2e-8);
  EXPECT_NEAR(sample_range(r, 'd', true, 1.0 - 1e-12, 0.9), 1000.0, 1e-5);
  // Equal steps in u are equal factors in magnitude.
  const Range positive{1, 1024};
  EXPECT_DOUBLE_EQ(sample_range(positive, 'd', true, 0.5, 0.0), 32.0);
  EXPECT_DOUBLE_EQ(sample_range(positive, 'd', true, 0.1, 0.0), 2.0);
}

TEST(ArgumentGenerators, HardCasesHoldThresholdsWithTheirNeighboursAndTheGenericValues) {
  const auto domain = domain_of("Exp");
  ASSERT_TRUE(domain.has_value());
  const std::vector<double> h = hard_reals("Exp", domain->s, 's');
  const std::set<double> set(h.begin(), h.end());
  const float t = 88.72283f;
  for (float x : {t, std::nextafter(t, 100.0f), std::nextafter(std::nextafter(t, 100.0f), 100.0f),
                  std::nextafter(t, 0.0f), -87.33654f, -103.97208f, 0x1p-149f, -0x1p-149f,
                  FLT_MIN, FLT_MAX, -FLT_MAX, 0.0f}) {
    EXPECT_EQ(set.count(x), 1u) << x;
  }
  EXPECT_TRUE(std::any_of(h.begin(), h.end(), [](double x) { return std::isnan(x); }));
  for (double x : h) {
    if (!std::isnan(x)) {
      EXPECT_EQ(x, static_cast<double>(static_cast<float>(x)));
    }
  }
  // Double thresholds keep their double neighbours.
  const std::vector<double> hd = hard_reals("Exp", domain->d, 'd');
  EXPECT_EQ(std::count(hd.begin(), hd.end(), std::nextafter(709.782712893384, 800.0)), 1);
}

TEST(ArgumentGenerators, PlanPutsHardCasesFirstAndDoesNotDependOnTheSplit) {
  const auto domain = domain_of("Pow");
  ASSERT_TRUE(domain.has_value());
  const ArgumentPlan plan(*domain, 'd', Shape::kTwo, 5000);
  EXPECT_EQ(plan.size(), plan.hard_count() + 5000);
  std::vector<Argument> whole, first, second;
  plan.fill(0, plan.size(), 0.0, whole);
  plan.fill(0, 1234, 0.0, first);
  plan.fill(1234, plan.size() - 1234, 0.0, second);
  first.insert(first.end(), second.begin(), second.end());
  ASSERT_EQ(first.size(), whole.size());
  int random_in_range = 0;
  for (size_t i = 0; i < whole.size(); ++i) {
    const bool same_a = whole[i].a == first[i].a || (std::isnan(whole[i].a.real()) &&
                                                     std::isnan(first[i].a.real()));
    const bool same_b = whole[i].b == first[i].b || (std::isnan(whole[i].b.real()) &&
                                                     std::isnan(first[i].b.real()));
    ASSERT_TRUE(same_a && same_b) << i;
    if (static_cast<int64_t>(i) >= plan.hard_count()) {
      random_in_range += whole[i].a.real() >= 0 && whole[i].a.real() <= 1000 &&
                         whole[i].b.real() >= -100 && whole[i].b.real() <= 100;
    }
  }
  EXPECT_EQ(random_in_range, 5000);
  EXPECT_EQ(whole[0].a.real(), 0.0);  // the generic list opens the plan
  // The scalar shapes carry the block's scalar in every argument.
  const ArgumentPlan powx(*domain_of("Powx"), 's', Shape::kPowx, 10);
  std::vector<Argument> args;
  powx.fill(0, powx.size(), 2.5, args);
  for (const Argument& a : args) EXPECT_EQ(a.b, std::complex<double>(2.5));
}

// Kernels of the s Exp shape with a known fault.
void exp_rounded(int32_t n, const float* a, float* r) {
  for (int32_t i = 0; i < n; ++i) r[i] = static_cast<float>(std::exp(static_cast<double>(a[i])));
}
void exp_one_step_up(int32_t n, const float* a, float* r) {
  exp_rounded(n, a, r);
  for (int32_t i = 0; i < n; ++i) {
    if (std::isfinite(r[i]) && r[i] != 0) r[i] = std::nextafter(r[i], INFINITY);
  }
}
void exp_nan_at_two(int32_t n, const float* a, float* r) {
  exp_rounded(n, a, r);
  for (int32_t i = 0; i < n; ++i) {
    if (a[i] == 2.0f) r[i] = NAN;
  }
}

Measurement measure_fake(void (*kernel)(int32_t, const float*, float*)) {
  const KernelTable table{'s', "Exp", Shape::kOne, nullptr};
  MeasureOptions options;
  options.random_samples = 20000;
  options.block = 1000;
  return measure_kernel(table, reinterpret_cast<TessKernel>(kernel), 1, *domain_of("Exp"),
                        options);
}

TEST(Measurement, FindsTheErrorOfDeliberatelyWrongKernels) {
  const Measurement exact = measure_fake(exp_rounded);
  EXPECT_GT(exact.count, 20000);
  EXPECT_LE(exact.worst.ulp, 0.5 + 1e-6);  // double exp, rounded once more to float
  EXPECT_GT(exact.worst.ulp, 0.45);

  // A correctly rounded value plus one step: up to 1.5 ulps, and up to 2.5 ulps of the
  // exact value when rounding carried it up into the next binade.
  const Measurement up = measure_fake(exp_one_step_up);
  EXPECT_GT(up.worst.ulp, 1.4);
  EXPECT_LE(up.worst.ulp, 2.5 + 1e-6);

  const Measurement nan = measure_fake(exp_nan_at_two);
  EXPECT_TRUE(std::isinf(nan.worst.ulp));
  EXPECT_EQ(nan.worst.arg.a.real(), 2.0);
  EXPECT_TRUE(std::isnan(nan.worst.computed.real()));
  EXPECT_NEAR(static_cast<double>(nan.worst.reference.real()), std::exp(2.0), 1e-12);
}

TEST(Measurement, TheWorstArgumentDoesNotDependOnTheThreadCount) {
  const KernelTable table{'s', "Exp", Shape::kOne, nullptr};
  MeasureOptions options;
  options.random_samples = 8000;
  options.block = 500;
  const Domain domain = *domain_of("Exp");
  const auto kernel = reinterpret_cast<TessKernel>(exp_one_step_up);
  options.threads = 1;
  const Measurement one = measure_kernel(table, kernel, 1, domain, options);
  options.threads = 3;
  const Measurement three = measure_kernel(table, kernel, 1, domain, options);
  EXPECT_EQ(one.worst.index, three.worst.index);
  EXPECT_EQ(one.worst.ulp, three.worst.ulp);
}

TEST(Tables, EveryMeasuredKernelHasADomainAndBoundsInEachSlot) {
  for (const KernelTable& t : kernel_catalogue()) {
    EXPECT_TRUE(domain_of(t.func).has_value()) << t.func;
    for (int slot = 0; slot < kSlotCount; ++slot) {
      const auto b = bound_for(t.func, t.type, slot);
      EXPECT_TRUE(b.has_value()) << t.type << t.func << " " << kSlotNames[slot];
      if (b) {
        // Exact, or no better than correct rounding.
        EXPECT_TRUE(*b == 0 || *b >= 0.5) << t.type << t.func;
      }
      if (is_complex_type(t.type) && t.shape != Shape::kToReal) {
        EXPECT_TRUE(part_bound_for(t.func, t.type, slot).has_value()) << t.type << t.func;
      }
    }
  }
}

}  // namespace
}  // namespace zorn_accuracy
