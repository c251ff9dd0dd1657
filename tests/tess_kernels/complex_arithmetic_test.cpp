// The complex products and quotients: the contiguous vector loop against the element
// path (a strided result), on arguments that mix ordinary elements with ones the
// vector form hands to the scalar form (overflow, cancellation, parts beyond 2^450,
// zero divisors) in both places of a pair and in the odd last element. Reports must
// name the same elements; results agree within the kernels' bound (1.5 ulp of the
// larger part), exactly where both take the scalar form, and bit for bit with the
// results written over the first argument.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <complex>
#include <cstring>
#include <limits>
#include <utility>
#include <vector>

#include "kernel_test_support.h"

namespace zorn_test {
namespace {

template <class R>
struct ComplexBinary {
  const char* name;
  void (*contiguous)(int32_t, const std::complex<R>*, const std::complex<R>*, std::complex<R>*);
  void (*strided)(int32_t, const std::complex<R>*, int32_t, const std::complex<R>*, int32_t,
                  std::complex<R>*, int32_t);
};

#define ZORN_CX(t, E, R, Func)                                                          \
  ComplexBinary<R> {                                                                   \
    #t #Func, reinterpret_cast<decltype(ComplexBinary<R>::contiguous)>(_tess##t##Func), \
        reinterpret_cast<decltype(ComplexBinary<R>::strided)>(_tess##t##Func##I)       \
  }

template <class R>
void check_against_element_path(const std::vector<ComplexBinary<R>>& functions, R big) {
  using C = std::complex<R>;
  // Pairs (0,1) (2,3) (4,5) (6,7) and the last element alone: overflow beside an
  // ordinary element, cancellation with a small other part, a zero divisor, parts beyond
  // 2^450 (double) and an overflow in the tail.
  const std::vector<C> listed_a = {{1.5, -2}, {big, big}, {R(1) + R(0x1p-20), 1e-30f}, {3, 4},
                                   {0.25, 7}, {1, 1},     {big / 4, 1},                 {-2, 0.5},
                                   {big, -big}};
  const std::vector<C> listed_b = {{0.5, 3}, {big, big}, {R(1) - R(0x1p-20), -1e-30f}, {0, 0},
                                   {-5, 0.125}, {2, -3}, {R(0x1p-140), R(0x1p-140)}, {1, 1},
                                   {big, big}};
  // Sixteen ordinary elements, the first eight above, eight ordinary ones and the last
  // above: whole blocks of pairs the vector form trusts, and one it declines.
  std::vector<C> a, b;
  for (int k = 0; k < 33; ++k) {
    const bool listed = (k >= 16 && k < 24) || k == 32;
    const size_t j = k == 32 ? 8 : static_cast<size_t>(k - 16);
    a.push_back(listed ? listed_a[j] : C{R(k % 7) - R(2.5), R(1.25) + R(k % 5)});
    b.push_back(listed ? listed_b[j] : C{R(0.75) + R(k % 3), R(k % 4) - R(1.5)});
  }
  const int32_t n = static_cast<int32_t>(a.size());
  for (const ComplexBinary<R>& f : functions) {
    std::vector<C> whole(n), spaced(2 * n), in_place = a;
    f.contiguous(n, in_place.data(), b.data(), in_place.data());
    g_reported.clear();
    f.contiguous(n, a.data(), b.data(), whole.data());
    EXPECT_EQ(0, std::memcmp(whole.data(), in_place.data(), n * sizeof(C))) << f.name;
    const std::vector<Reported> vector_reports = g_reported;
    g_reported.clear();
    f.strided(n, a.data(), 1, b.data(), 1, spaced.data(), 2);
    ASSERT_EQ(vector_reports.size(), g_reported.size()) << f.name;
    for (size_t k = 0; k < g_reported.size(); ++k) {
      EXPECT_EQ(vector_reports[k].index, g_reported[k].index) << f.name;
      EXPECT_EQ(vector_reports[k].status, g_reported[k].status) << f.name;
    }
    for (int32_t i = 0; i < n; ++i) {
      const C got = whole[i], want = spaced[2 * i];
      if (!std::isfinite(want.real()) || !std::isfinite(want.imag())) {
        for (const auto& [g, w] : {std::pair{got.real(), want.real()}, {got.imag(), want.imag()}})
          EXPECT_TRUE(std::isnan(g) ? std::isnan(w) : g == w) << f.name << " at " << i;
        continue;
      }
      const R scale = std::max(std::fabs(want.real()), std::fabs(want.imag()));
      const R ulp = std::ldexp(std::numeric_limits<R>::epsilon(), std::ilogb(scale));
      EXPECT_LE(std::fabs(got.real() - want.real()), 1.5 * ulp) << f.name << " at " << i;
      EXPECT_LE(std::fabs(got.imag() - want.imag()), 1.5 * ulp) << f.name << " at " << i;
    }
  }
}

class ComplexArithmetic : public ReportingTest {};

TEST_F(ComplexArithmetic, VectorLoopMatchesTheElementPath) {
  check_against_element_path<float>({ZORN_CX(c, TessComplex8, float, Mul),
                                     ZORN_CX(c, TessComplex8, float, MulByConj),
                                     ZORN_CX(c, TessComplex8, float, Div)},
                                    FLT_MAX / 2);
  check_against_element_path<double>({ZORN_CX(z, TessComplex16, double, Mul),
                                      ZORN_CX(z, TessComplex16, double, MulByConj),
                                      ZORN_CX(z, TessComplex16, double, Div)},
                                     DBL_MAX / 2);
}

// x = y (s + i e) with e far below s, and the same with the parts' roles swapped: each
// part of x / y within an ulp of the quotient in binary128 (the cancelled part too).
TEST_F(ComplexArithmetic, DoubleQuotientKeepsACancelledPart) {
  using C = std::complex<double>;
  const C y{0x1.3c0ca428c59fbp+3, -0x1.b7e151628aed2p+1};
  std::vector<C> x, q(8), ys(8, y);
  for (double e : {0x1p-12, 0x1p-20, 0x1.9p-31, -0x1.5p-45})
    for (C s : {C{0x1.921fb54442d18p-1, e}, C{e, -0x1.5bf0a8b145769p+0}}) x.push_back(y * s);
  ZORN_CX(z, TessComplex16, double, Div).contiguous(8, x.data(), ys.data(), q.data());
  for (size_t i = 0; i < 8; ++i) {
    const __float128 a = x[i].real(), b = x[i].imag(), c = y.real(), d = y.imag();
    const __float128 den = c * c + d * d;
    const double re = double((a * c + b * d) / den), im = double((b * c - a * d) / den);
    for (auto [got, want] : {std::pair{q[i].real(), re}, {q[i].imag(), im}})
      EXPECT_LE(std::fabs(got - want), std::ldexp(DBL_EPSILON, std::ilogb(want))) << i;
  }
}

}  // namespace
}  // namespace zorn_test
