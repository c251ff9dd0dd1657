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

// Elements at even (first = true) or odd positions.
template <class T>
std::vector<T> every_other(const std::vector<T>& v, bool first) {
  std::vector<T> out;
  for (size_t i = first ? 0 : 1; i < v.size(); i += 2) out.push_back(v[i]);
  return out;
}
// sqrt(-2 ln u), through the kernels.
template <class T>
std::vector<T> radius(std::vector<T> u) {
  Ln(u);
  for (T& x : u) x = T(-2) * x;
  Sqrt(u);
  return u;
}
template <class T>
std::vector<T> angles(std::vector<T> u) {
  for (T& x : u) x = x * T(6.283185307179586);
  return u;
}

// Normals of each method as one long call gives them, N(a, sigma).
template <class T>
std::vector<T> normals(void* s, int32_t method, int32_t n, T a, T sigma) {
  if (method == 2) {
    auto v = uniforms<T>(s, n, -1, 1);
    ErfInv(v);
    for (T& x : v) x = a + sigma * T(1.4142135623730951) * x;
    return v;
  }
  const auto u = uniforms<T>(s, method == 0 ? 2 * n : (n + 1) / 2 * 2);
  const auto rho = radius(every_other(u, true));
  std::vector<T> out, sine, cosine;
  if (method == 0) {
    auto theta = angles(every_other(u, false));
    Sin(theta);
    for (int32_t k = 0; k < n; ++k) out.push_back(rho[k] * sigma * theta[k] + a);
    return out;
  }
  SinCos(angles(every_other(u, false)), sine, cosine);
  for (size_t k = 0; k < rho.size(); ++k) {
    out.push_back(rho[k] * sine[k]);
    out.push_back(rho[k] * cosine[k]);
  }
  out.resize(n);
  for (T& x : out) x = x * sigma + a;
  return out;
}

TEST(Exactness, LaplaceInBlocksOfPairs) {
  expect_exact_both(
      1500, [](void* s, int32_t n, auto* r) { return Laplace(0, s, n, r, -1, 3); },
      [](void* s, int32_t n, auto t) {
        using T = decltype(t);
        const auto u = uniforms<T>(s, 2 * n);
        auto r = every_other(u, true);
        Ln(r);
        for (int32_t k = 0; k < n; ++k) r[k] = T(-1) + (u[2 * k + 1] > T(0.5) ? T(3) : T(-3)) * r[k];
        return r;
      });
}

TEST(Exactness, WeibullWithAndWithoutThePower) {
  for (const double alpha : {1.0, 2.5, 0.1}) {
    SCOPED_TRACE(alpha);
    expect_exact_both(
        777,
        [alpha](void* s, int32_t n, auto* r) {
          return Weibull(PAVO_METHOD_ACCURATE, s, n, r, alpha, 0.5, 2);
        },
        [alpha](void* s, int32_t n, auto t) {
          using T = decltype(t);
          auto r = uniforms<T>(s, n);
          Ln(r);
          if (alpha == 1.0) {  // the exponential variate
            for (T& x : r) x = T(0.5) - T(2) * x;
            return r;
          }
          for (T& x : r) x = -x;
          Powx(r, T(1) / T(alpha));
          for (T& x : r) x = std::max(T(0.5), T(0.5) + T(2) * x);
          return r;
        });
  }
}

TEST(Exactness, CauchyRayleighGumbel) {
  expect_exact_both(
      999, [](void* s, int32_t n, auto* r) { return Cauchy(0, s, n, r, 1, 0.5); },
      [](void* s, int32_t n, auto t) {
        using T = decltype(t);
        const T bound = sizeof(T) == 8 ? T(1.5707963267948966) : T(1.57079625f);
        auto r = uniforms<T>(s, n, -bound, bound);
        Tan(r);
        for (T& x : r) x = T(1) + T(0.5) * x;
        return r;
      });
  expect_exact_both(
      999, [](void* s, int32_t n, auto* r) { return Rayleigh(PAVO_METHOD_ACCURATE, s, n, r, 2, 3); },
      [](void* s, int32_t n, auto t) {
        using T = decltype(t);
        auto r = uniforms<T>(s, n);
        Ln(r);
        for (T& x : r) x = -x;
        Sqrt(r);
        for (T& x : r) x = std::max(T(2), T(2) + T(3) * x);
        return r;
      });
  expect_exact_both(
      999, [](void* s, int32_t n, auto* r) { return Gumbel(0, s, n, r, -2, 0.75); },
      [](void* s, int32_t n, auto t) {
        using T = decltype(t);
        auto r = uniforms<T>(s, n);
        Ln(r);
        for (T& x : r) x = T(0) - T(1) * x;
        Ln(r);
        for (T& x : r) x = T(-2) + T(0.75) * x;
        return r;
      });
}

TEST(Exactness, GaussianMethods) {
  for (const int32_t method : {0, 1, 2}) {
    SCOPED_TRACE(method);
    expect_exact_both(
        2051, [method](void* s, int32_t n, auto* r) { return Gaussian(method, s, n, r, 1, 2); },
        [method](void* s, int32_t n, auto t) { return normals<decltype(t)>(s, method, n, 1, 2); });
  }
}

// Method word 0 takes the normals of method 1, any other word those of method 2; the
// accurate flag also clamps at the displacement.
TEST(Exactness, LognormalMethods) {
  for (const int32_t method : {0, PAVO_METHOD_ACCURATE}) {
    SCOPED_TRACE(method);
    expect_exact_both(
        1025, [method](void* s, int32_t n, auto* r) { return Lognormal(method, s, n, r, 0.5, 3, -1, 2); },
        [method](void* s, int32_t n, auto t) {
          using T = decltype(t);
          auto r = normals<T>(s, method == 0 ? 1 : 2, n, T(0.5), T(3));
          Exp(r);
          for (T& x : r) x = T(-1) + T(2) * x;
          if (method != 0) {
            for (T& x : r) x = std::max(T(-1), x);
          }
          return r;
        });
  }
}

TEST(Exactness, GaussianMVDiagonal) {
  expect_exact_both(
      333,
      [](void* s, int32_t n, auto* r) {
        using T = std::remove_pointer_t<decltype(r)>;
        const T a[3] = {1, -2, 3}, t[3] = {0.5, 2, 4};
        return GaussianMV(1, s, n / 3, r, 3, PAVO_MATRIX_DIAGONAL, a, t);
      },
      [](void* s, int32_t n, auto t) {
        using T = decltype(t);
        const T a[3] = {1, -2, 3}, f[3] = {0.5, 2, 4};
        auto z = normals<T>(s, 1, n, 0, 1);
        for (int32_t i = 0; i < n; ++i) z[i] = a[i % 3] + f[i % 3] * z[i];
        return z;
      });
}

}  // namespace
