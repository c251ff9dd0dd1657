// Each generator against its formula: the same seed twice, one stream through the
// generator, the other through the uniform generator and the kernels at the same slot;
// the results agree bit for bit and both streams end at the same position.
#include <cmath>
#include <algorithm>

#include "distributions/distribution_support.h"

namespace {

constexpr uint32_t kSeed = 20261207;

// `generate(stream, n, r)` against `reference(stream, n, T())`, in both precisions.
template <class T, class G, class R>
void expect_exact(int32_t n, G generate, R reference) {
  SCOPED_TRACE(sizeof(T) == 8 ? "double" : "single");
  Stream ours(PAVO_BRNG_MT19937, {kSeed}), theirs(PAVO_BRNG_MT19937, {kSeed});
  std::vector<T> r(n);
  ASSERT_EQ(generate(ours.p, n, r.data()), 0);
  EXPECT_TRUE(same_bits(r, reference(theirs.p, n, T())));
  EXPECT_TRUE(same_bits(uniforms<T>(ours.p, 5), uniforms<T>(theirs.p, 5)));
}
template <class G, class R>
void expect_exact_both(int32_t n, G generate, R reference) {
  expect_exact<double>(n, generate, reference);
  expect_exact<float>(n, generate, reference);
}

TEST(Exactness, Uniform) {
  expect_exact_both(
      1001, [](void* s, int32_t n, auto* r) { return Uniform(PAVO_METHOD_ACCURATE, s, n, r, -2, 3); },
      [](void* s, int32_t n, auto t) { return uniforms<decltype(t)>(s, n, -2, 3); });
}

TEST(Exactness, Exponential) {
  expect_exact_both(
      1001,
      [](void* s, int32_t n, auto* r) { return Exponential(PAVO_METHOD_ACCURATE, s, n, r, 1.5, 0.25); },
      [](void* s, int32_t n, auto t) {
        using T = decltype(t);
        auto u = uniforms<T>(s, n);
        Ln(u);
        for (T& x : u) x = std::max(T(1.5), T(1.5) - T(0.25) * x);
        return u;
      });
}

}  // namespace
