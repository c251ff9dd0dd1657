// Each generator against its formula: the same seed twice, one stream through the
// generator, the other through the uniform generator and the kernels at the same slot;
// the results agree bit for bit and both streams end at the same position.
#include <algorithm>
#include <cmath>

#include "distributions/distribution_support.h"

namespace {

// `generate(stream, n, r)` against `reference(stream, n, T())`, in both precisions.
template <class G, class R>
void expect_exact(int32_t n, G generate, R reference) {
  auto one = [&](auto t) {
    using T = decltype(t);
    SCOPED_TRACE(sizeof(T) == 8 ? "double" : "single");
    Stream ours(PAVO_BRNG_MT19937, {20261207}), theirs(PAVO_BRNG_MT19937, {20261207});
    std::vector<T> r(n);
    ASSERT_EQ(generate(ours.p, n, r.data()), 0);
    EXPECT_TRUE(same_bits(r, reference(theirs.p, n, T())));
    EXPECT_TRUE(same_bits(uniforms<T>(ours.p, 5), uniforms<T>(theirs.p, 5)));
  };
  one(double());
  one(float());
}

template <class T>
std::vector<T> every_other(const std::vector<T>& v, size_t first) {
  std::vector<T> out;
  for (size_t i = first; i < v.size(); i += 2) out.push_back(v[i]);
  return out;
}
template <class T>
std::vector<T> log_uniforms(void* s, int32_t n) {
  auto u = uniforms<T>(s, n);
  Ln(u);
  return u;
}

// Normals as one long call of each method gives them, N(a, sigma).
template <class T>
std::vector<T> normals(void* s, int32_t method, int32_t n, T a, T sigma) {
  if (method == 2) {
    auto v = uniforms<T>(s, n, -1, 1);
    ErfInv(v);
    return map(v, [&](T x) { return a + sigma * T(1.4142135623730951) * x; });
  }
  const auto u = uniforms<T>(s, method == 0 ? 2 * n : (n + 1) / 2 * 2);
  auto rho = every_other(u, 0);
  Ln(rho);
  rho = map(rho, [](T x) { return T(-2) * x; });
  Sqrt(rho);
  auto theta = map(every_other(u, 1), [](T x) { return x * T(6.283185307179586); });
  std::vector<T> out, sine, cosine;
  if (method == 0) {
    Sin(theta);
    for (int32_t k = 0; k < n; ++k) out.push_back(rho[k] * sigma * theta[k] + a);
    return out;
  }
  SinCos(theta, sine, cosine);
  for (size_t k = 0; k < rho.size(); ++k) {
    out.push_back(rho[k] * sine[k]);
    out.push_back(rho[k] * cosine[k]);
  }
  out.resize(n);
  return map(out, [&](T x) { return x * sigma + a; });
}

TEST(Exactness, TransformsOfOneUniform) {
  expect_exact(1001, [](void* s, int32_t n, auto* r) { return Uniform(PAVO_METHOD_ACCURATE, s, n, r, -2, 3); },
               [](void* s, int32_t n, auto t) { return uniforms<decltype(t)>(s, n, -2, 3); });
  expect_exact(1001, [](void* s, int32_t n, auto* r) { return Exponential(PAVO_METHOD_ACCURATE, s, n, r, 1.5, 0.25); },
               [](void* s, int32_t n, auto t) {
                 using T = decltype(t);
                 return map(log_uniforms<T>(s, n), [](T x) { return std::max(T(1.5), T(1.5) - T(0.25) * x); });
               });
  expect_exact(999, [](void* s, int32_t n, auto* r) { return Cauchy(0, s, n, r, 1, 0.5); },
               [](void* s, int32_t n, auto t) {
                 using T = decltype(t);
                 const T bound = sizeof(T) == 8 ? T(1.5707963267948966) : T(1.57079625f);
                 auto r = uniforms<T>(s, n, -bound, bound);
                 Tan(r);
                 return map(r, [](T x) { return T(1) + T(0.5) * x; });
               });
  expect_exact(999, [](void* s, int32_t n, auto* r) { return Rayleigh(PAVO_METHOD_ACCURATE, s, n, r, 2, 3); },
               [](void* s, int32_t n, auto t) {
                 using T = decltype(t);
                 auto r = map(log_uniforms<T>(s, n), [](T x) { return -x; });
                 Sqrt(r);
                 return map(r, [](T x) { return std::max(T(2), T(2) + T(3) * x); });
               });
  expect_exact(999, [](void* s, int32_t n, auto* r) { return Gumbel(0, s, n, r, -2, 0.75); },
               [](void* s, int32_t n, auto t) {
                 using T = decltype(t);
                 auto r = map(log_uniforms<T>(s, n), [](T x) { return T(0) - T(1) * x; });
                 Ln(r);
                 return map(r, [](T x) { return T(-2) + T(0.75) * x; });
               });
}

// Shape 1 is the exponential variate a - beta ln(u); other shapes take the power.
TEST(Exactness, WeibullWithAndWithoutThePower) {
  for (const double alpha : {1.0, 2.5, 0.1}) {
    SCOPED_TRACE(alpha);
    expect_exact(777, [alpha](void* s, int32_t n, auto* r) { return Weibull(PAVO_METHOD_ACCURATE, s, n, r, alpha, 0.5, 2); },
                 [alpha](void* s, int32_t n, auto t) {
                   using T = decltype(t);
                   auto r = log_uniforms<T>(s, n);
                   if (alpha == 1.0) return map(r, [](T x) { return T(0.5) - T(2) * x; });
                   r = map(r, [](T x) { return -x; });
                   Powx(r, T(1) / T(alpha));
                   return map(r, [](T x) { return std::max(T(0.5), T(0.5) + T(2) * x); });
                 });
  }
}

TEST(Exactness, LaplaceInBlocksOfPairs) {
  expect_exact(1500, [](void* s, int32_t n, auto* r) { return Laplace(0, s, n, r, -1, 3); },
               [](void* s, int32_t n, auto t) {
                 using T = decltype(t);
                 const auto u = uniforms<T>(s, 2 * n);
                 auto r = every_other(u, 0);
                 Ln(r);
                 for (int32_t k = 0; k < n; ++k) r[k] = T(-1) + (u[2 * k + 1] > T(0.5) ? T(3) : T(-3)) * r[k];
                 return r;
               });
}

// Lognormal with method word 0 takes the normals of method 1, with any other word those
// of method 2 (and the accurate flag clamps at the displacement).
TEST(Exactness, GaussianMethodsAndLognormal) {
  for (const int32_t method : {0, 1, 2}) {
    SCOPED_TRACE(method);
    expect_exact(2051, [method](void* s, int32_t n, auto* r) { return Gaussian(method, s, n, r, 1, 2); },
                 [method](void* s, int32_t n, auto t) { return normals<decltype(t)>(s, method, n, 1, 2); });
  }
  for (const int32_t method : {0, PAVO_METHOD_ACCURATE}) {
    SCOPED_TRACE(method);
    expect_exact(1025, [method](void* s, int32_t n, auto* r) { return Lognormal(method, s, n, r, 0.5, 3, -1, 2); },
                 [method](void* s, int32_t n, auto t) {
                   using T = decltype(t);
                   auto r = normals<T>(s, method == 0 ? 1 : 2, n, T(0.5), T(3));
                   Exp(r);
                   return map(r, [method](T x) { return method == 0 ? T(-1) + T(2) * x : std::max(T(-1), T(-1) + T(2) * x); });
                 });
  }
}

}  // namespace
