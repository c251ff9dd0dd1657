// Identities of the inverse error function and the normal quantile that the accuracy
// harness cannot see: erfinv is odd to the bit, and the quantile undoes the
// distribution function across both tails, in both precisions.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <iterator>
#include <limits>
#include <vector>

#include "fp_environment.h"
#include "zorn/tess_functions.h"

namespace zorn_test {
namespace {

template <class T>
struct Kernels;
template <>
struct Kernels<float> {
  static constexpr auto erfinv = _tesssErfInv;
  static constexpr auto cdfnorm = _tesssCdfNorm;
  static constexpr auto quantile = _tesssCdfNormInv;
  static constexpr auto erfcinv = _tesssErfcInv;
  static constexpr auto erfinv_strided = _tesssErfInvI;
  static constexpr auto erfcinv_strided = _tesssErfcInvI;
  static constexpr auto quantile_strided = _tesssCdfNormInvI;
  static constexpr double kLowest = -13.5, kHighest = 5.0;  // where Phi stays in (0, 1)
};
template <>
struct Kernels<double> {
  static constexpr auto erfinv = _tessdErfInv;
  static constexpr auto cdfnorm = _tessdCdfNorm;
  static constexpr auto quantile = _tessdCdfNormInv;
  static constexpr auto erfcinv = _tessdErfcInv;
  static constexpr auto erfinv_strided = _tessdErfInvI;
  static constexpr auto erfcinv_strided = _tessdErfcInvI;
  static constexpr auto quantile_strided = _tessdCdfNormInvI;
  static constexpr double kLowest = -37.5, kHighest = 8.0;
};

template <class T>
class InverseErf : public ::testing::Test {
 protected:
  void SetUp() override { _tessSetMode(TESS_ERRMODE_NOERR); }
  TessStateGuard guard_;
};
using Types = ::testing::Types<float, double>;
TYPED_TEST_SUITE(InverseErf, Types);

template <class T>
T ulp(T x) {
  return std::nextafter(std::fabs(x), std::numeric_limits<T>::infinity()) - std::fabs(x);
}

// Central and tail pieces, their borders, tiny and subnormal magnitudes, the last
// values below 1; an odd count, so that groups of four are mixed with a partial one.
TYPED_TEST(InverseErf, ErfInvIsOddToTheBit) {
  using T = TypeParam;
  std::vector<T> x = {T(0.5),
                      T(0.25),
                      T(0.75),
                      T(0.999),
                      T(1e-3),
                      T(1e-30),
                      T(3e-39),
                      T(0.1),
                      T(0.49999),
                      T(0.9),
                      T(0.6),
                      std::nextafter(T(0.5), T(1)),
                      std::nextafter(T(1), T(0)),
                      std::numeric_limits<T>::denorm_min(),
                      T(0.3)};
  for (T u = T(0.0137); u < 1; u += T(0.0731)) x.push_back(u);
  std::vector<T> negated;
  for (T v : x) negated.push_back(-v);
  std::vector<T> r(x.size()), rn(x.size());
  Kernels<T>::erfinv(static_cast<int32_t>(x.size()), x.data(), r.data());
  Kernels<T>::erfinv(static_cast<int32_t>(x.size()), negated.data(), rn.data());
  for (size_t i = 0; i < x.size(); ++i) {
    const T minus = -rn[i];
    EXPECT_EQ(std::memcmp(&r[i], &minus, sizeof(T)), 0)
        << "erfinv(" << x[i] << ") = " << r[i] << ", erfinv(-x) = " << rn[i];
  }
}

// x -> p = Phi(x) -> quantile(p) comes back to x within what the rounding of p allows,
// ulp(p) / phi(x), and the quantile's own ulp.
TYPED_TEST(InverseErf, QuantileUndoesTheDistributionAcrossTheTails) {
  using T = TypeParam;
  std::vector<T> x;
  for (double v = Kernels<T>::kLowest; v <= Kernels<T>::kHighest; v += 0.173) x.push_back(T(v));
  std::vector<T> p(x.size()), back(x.size());
  Kernels<T>::cdfnorm(static_cast<int32_t>(x.size()), x.data(), p.data());
  Kernels<T>::quantile(static_cast<int32_t>(x.size()), p.data(), back.data());
  for (size_t i = 0; i < x.size(); ++i) {
    const double v = x[i];
    const double density = std::exp(-0.5 * v * v) / std::sqrt(2 * 3.14159265358979323846);
    const double allowed = 1.5 * ulp(p[i]) / density + 2 * ulp(back[i]);
    EXPECT_LE(std::fabs(double(back[i]) - v), allowed) << "x = " << v << ", p = " << p[i];
  }
}

// Contiguous calls find every lane's row in a first pass over the block and keep the
// values of the lanes below the rows for a last one; strided calls run every group
// whole. The two agree to the bit over blocks longer than one chunk, in place as well,
// with lanes below the central rows and far tails, and a special lane that ends the
// first run of blocks.
TYPED_TEST(InverseErf, ContiguousBlocksGiveTheStridedBits) {
  using T = TypeParam;
  using K = Kernels<T>;
  struct Case {
    const char* name;
    void (*contiguous)(int32_t, const T*, T*);
    void (*strided)(int32_t, const T*, int32_t, T*, int32_t);
    double lo, hi, special;
  };
  const Case cases[] = {{"ErfInv", K::erfinv, K::erfinv_strided, -1, 1, 1.0},
                        {"ErfcInv", K::erfcinv, K::erfcinv_strided, 0, 2, 0.0},
                        {"CdfNormInv", K::quantile, K::quantile_strided, 0, 1, 1.0}};
  for (const Case& c : cases) {
    constexpr int32_t n = 1299;
    std::vector<T> x(n), wide(2 * n), r(n), rs(2 * n);
    uint64_t state = 12345;
    for (int32_t i = 0; i < n; ++i) {
      state = state * 6364136223846793005u + 1442695040888963407u;
      x[i] = T(c.lo + (c.hi - c.lo) * double(state >> 11) * 0x1p-53);
    }
    const double mid = 0.5 * (c.lo + c.hi);
    // 2^-40 below the top in double, 2^-11 in single.
    const double top = c.hi - 4096 * double(std::numeric_limits<T>::epsilon());
    const double near[] = {mid + 0x1p-11, mid - 3e-5, mid, mid + 0x1p-10, c.lo + 1e-7, top};
    for (size_t k = 0; k < std::size(near); ++k) x[100 + 3 * k] = x[1000 + 5 * k] = T(near[k]);
    x[777] = T(c.special);
    for (int32_t i = 0; i < n; ++i) wide[2 * i] = x[i];
    c.contiguous(n, x.data(), r.data());
    c.strided(n, wide.data(), 2, rs.data(), 2);
    std::vector<T> in_place = x;
    c.contiguous(n, in_place.data(), in_place.data());
    for (int32_t i = 0; i < n; ++i) {
      ASSERT_EQ(std::memcmp(&r[i], &rs[2 * i], sizeof(T)), 0)
          << c.name << "(" << x[i] << ") = " << r[i] << " contiguous, " << rs[2 * i] << " strided";
      ASSERT_EQ(std::memcmp(&r[i], &in_place[i], sizeof(T)), 0)
          << c.name << "(" << x[i] << ") = " << r[i] << ", in place " << in_place[i];
    }
  }
}

}  // namespace
}  // namespace zorn_test
