// The complex functions that run on lanes of four elements: the contiguous loop (whole
// groups through vector loads and stores) against the strided one (elements gathered one
// by one), on groups that mix ordinary elements with ones the lanes hand to the scalar
// form (overflow, NaN, zeros, parts beyond the fast ranges) in every lane and in the
// tail. Results must agree bit for bit and both must report exactly the overflowing
// elements, in order.
#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <complex>
#include <vector>

#include "kernel_test_support.h"

namespace zorn_test {
namespace {

template <class R>
struct ComplexUnary {
  const char* name;
  void (*contiguous)(int32_t, const std::complex<R>*, std::complex<R>*);
  void (*strided)(int32_t, const std::complex<R>*, int32_t, std::complex<R>*, int32_t);
  bool circular;                    // sin, cos: overflow comes from the imaginary part
  std::vector<int32_t> overflows;   // elements whose result overflows
};

#define ZORN_CX(t, R, Func, circular, ...)                                                \
  ComplexUnary<R> {                                                                      \
    #t #Func, reinterpret_cast<decltype(ComplexUnary<R>::contiguous)>(_tess##t##Func),   \
        reinterpret_cast<decltype(ComplexUnary<R>::strided)>(_tess##t##Func##I), circular, \
        __VA_ARGS__                                                                      \
  }

template <class R>
std::vector<int32_t> indices(const std::vector<Reported>& reports) {
  std::vector<int32_t> r;
  for (const Reported& x : reports) {
    EXPECT_EQ(x.status, TESS_STATUS_OVERFLOW);
    r.push_back(x.index);
  }
  return r;
}

template <class R>
void check_lanes(const std::vector<ComplexUnary<R>>& functions, R big) {
  using C = std::complex<R>;
  // (hyperbolic part, circular part): four whole groups and one element in the tail; the
  // last two groups are ordinary throughout (the contiguous loop's blocks resume there).
  const std::vector<C> parts = {{0.5, -1.25}, {big, 1},      {-0.0, 0.0},    {3, -2},
                                {NAN, 1},     {1, 1e6},      {-2, 0.75},     {-big, -3},
                                {0.75, -1.5}, {-1.25, 2.5},  {2.25, 0.375},  {-0.625, -3.5},
                                {1.5, 0.625}, {-0.875, -2.25}, {3.5, -0.5},  {-2.75, 1.75},
                                {big, 0.5}};
  const int32_t n = static_cast<int32_t>(parts.size());
  for (const ComplexUnary<R>& f : functions) {
    std::vector<C> a = parts, whole(n), spaced(2 * n);
    if (f.circular)
      for (C& z : a) z = {z.imag(), z.real()};
    g_reported.clear();
    f.contiguous(n, a.data(), whole.data());
    EXPECT_EQ(indices<R>(g_reported), f.overflows) << f.name;
    g_reported.clear();
    f.strided(n, a.data(), 1, spaced.data(), 2);
    EXPECT_EQ(indices<R>(g_reported), f.overflows) << f.name;
    for (int32_t i = 0; i < n; ++i) {
      const C got = whole[i], want = spaced[2 * i];
      for (const auto& [g, w] : {std::pair{got.real(), want.real()}, {got.imag(), want.imag()}})
        EXPECT_TRUE(std::isnan(w) ? std::isnan(g) : g == w && std::signbit(g) == std::signbit(w))
            << f.name << " at " << i << ": " << g << " against " << w;
    }
  }
}

class ComplexLanes : public ReportingTest {};

TEST_F(ComplexLanes, ContiguousGroupsMatchTheStridedPath) {
  check_lanes<float>({ZORN_CX(c, float, Exp, false, {1, 16}),
                      ZORN_CX(c, float, Sinh, false, {1, 7, 16}),
                      ZORN_CX(c, float, Cosh, false, {1, 7, 16}),
                      ZORN_CX(c, float, Sin, true, {1, 7, 16}),
                      ZORN_CX(c, float, Cos, true, {1, 7, 16}),
                      ZORN_CX(c, float, Tanh, false, {}),
                      ZORN_CX(c, float, Tan, true, {}),
                      ZORN_CX(c, float, Ln, false, {}),
                      ZORN_CX(c, float, Log10, false, {}),
                      ZORN_CX(c, float, Sqrt, false, {}),
                      ZORN_CX(c, float, Asin, false, {}),
                      ZORN_CX(c, float, Acos, false, {}),
                      ZORN_CX(c, float, Asinh, false, {}),
                      ZORN_CX(c, float, Acosh, false, {}),
                      ZORN_CX(c, float, Atan, false, {}),
                      ZORN_CX(c, float, Atanh, false, {})},
                     100.0f);
  check_lanes<double>({ZORN_CX(z, double, Exp, false, {1, 16}),
                       ZORN_CX(z, double, Sinh, false, {1, 7, 16}),
                       ZORN_CX(z, double, Cosh, false, {1, 7, 16}),
                       ZORN_CX(z, double, Sin, true, {1, 7, 16}),
                       ZORN_CX(z, double, Cos, true, {1, 7, 16}),
                       ZORN_CX(z, double, Tanh, false, {}),
                       ZORN_CX(z, double, Tan, true, {}),
                       ZORN_CX(z, double, Ln, false, {}),
                       ZORN_CX(z, double, Log10, false, {}),
                       ZORN_CX(z, double, Sqrt, false, {}),
                       ZORN_CX(z, double, Asin, false, {}),
                       ZORN_CX(z, double, Acos, false, {}),
                       ZORN_CX(z, double, Asinh, false, {}),
                       ZORN_CX(z, double, Acosh, false, {}),
                       ZORN_CX(z, double, Atan, false, {}),
                       ZORN_CX(z, double, Atanh, false, {})},
                      800.0);
}

// Pow on its two-argument lanes: contiguous against strided, and Powx (its exponent
// read through a zero increment) against Pow with that exponent repeated; special
// elements (0^w, z^0, NaN, results that overflow) in the lanes and the tail, and an
// ordinary group after them (where the blocks resume).
TEST_F(ComplexLanes, PowGroupsMatchTheStridedPathAndPowx) {
  using C = std::complex<double>;
  const C w(3.5, -0.25);
  const std::vector<C> x = {{0.5, -1.25}, {0.0, 0.0},  {1e200, 1},   {3, -2},     {NAN, 1},
                            {-2, 0.75},   {1, 0},      {-0.0, 4},    {0.75, 0.5}, {-1.5, 2},
                            {2.5, -0.125}, {1.25, 1.75}, {1e-300, 2}};
  const std::vector<C> y = {w, w, w, C(0, 0), w, w, C(1e10, 0), w, w, w, w, w, w};
  const int32_t n = static_cast<int32_t>(x.size());
  std::vector<C> whole(n), spaced(2 * n), fixed(n);
  _tesszPow(n, reinterpret_cast<const TessComplex16*>(x.data()),
            reinterpret_cast<const TessComplex16*>(y.data()), reinterpret_cast<TessComplex16*>(whole.data()));
  const std::vector<Reported> contiguous_reports = g_reported;
  g_reported.clear();
  _tesszPowI(n, reinterpret_cast<const TessComplex16*>(x.data()), 1,
             reinterpret_cast<const TessComplex16*>(y.data()), 1,
             reinterpret_cast<TessComplex16*>(spaced.data()), 2);
  EXPECT_EQ(indices<double>(contiguous_reports), std::vector<int32_t>{2});
  EXPECT_EQ(indices<double>(g_reported), std::vector<int32_t>{2});
  _tesszPowx(n, reinterpret_cast<const TessComplex16*>(x.data()), TessComplex16{w.real(), w.imag()},
             reinterpret_cast<TessComplex16*>(fixed.data()));
  const auto same = [](C g, C want) { return std::isnan(want.real()) ? std::isnan(g.real()) : g == want; };
  for (int32_t i = 0; i < n; ++i) {
    EXPECT_TRUE(same(whole[i], spaced[2 * i])) << i << ": " << whole[i] << " against " << spaced[2 * i];
    if (y[i] == w) {
      EXPECT_TRUE(same(fixed[i], whole[i])) << i << ": " << fixed[i] << " against " << whole[i];
    }
  }
  EXPECT_EQ(whole[3], C(1, 0));
}


TEST_F(ComplexLanes, KernelsUnderEveryRounding) {
  // Faults of a directed rounding: the lanes' two-sum of 1 + t (z Atanh at 2^-120 + 3i gave
  // -2^-108), |z|^2 summed about 1 (z Ln: NaN), the callouts' sine (sin 2^-870 = -2^-57),
  // tails of 2^-1074 (z Tanh), z Pow's quarter turn of a tiny angle; and in every rounding,
  // acos at 1 + subnormal i (up to 2^24 ulp).
  using C = std::complex<long double>;
  const struct {
    void (*f)(int32_t, const TessComplex16*, TessComplex16*);
    C (*exact)(const C&);
    TessComplex16 z;
  } cases[] = {
      {_tesszAtanh, std::atanh, {0x1p-120, 3}},    {_tesszAtanh, std::atanh, {0x1p-67, 0.5}},
      {_tesszAtanh, std::atanh, {0x1p-1000, 0.75}}, {_tesszAtanh, std::atanh, {0x1.8p-600, 0.75}},
      {_tesszAtanh, std::atanh, {0x1p-300, 2}},    {_tesszAtanh, std::atanh, {1, 0x1p-1073}},
      {_tesszAtanh, std::atanh, {1, 0}},  // rounding down, 1 - 1 = -0 gave the angle pi/2
      {_tesszAtan, std::atan, {3, 0x1p-120}},      {_tesszAcos, std::acos, {1, 0x1p-1073}},
      {_tesszAcos, std::acos, {0x1.51f7e64eafdc2p-55, 0x1.0e72d934345c6p-250}},
      {_tesszAcosh, std::acosh, {0x1.51f7e64eafdc2p-55, 0x1.0e72d934345c6p-250}},
      {_tesszAsin, std::asin, {-0x1.bcd001b191552p-20, 0x1.f362c0ceaaf66p-147}},
      {_tesszAsinh, std::asinh, {0x1.8a4778a3b9846p-215, 0x1.3571d9ba3497p-3}},
      {_tesszLn, std::log, {0x1p-370, 0x1p-1060}}, {_tesszLn, std::log, {1, 0x1p-1000}},
      {_tesszExp, std::exp, {1, 0x1.26ca6788f0992p-870}},
      {_tesszTanh, std::tanh, {0x1.cp-1072, -0x1.6be813bbb8d8fp+254}},
      {[](int32_t n, const TessComplex16* a, TessComplex16* r) {
         _tesszPowx(n, a, {24.000838660767755, -6.958540386104991e-18}, r);
       },
       [](const C& z) { return std::pow(z, C(24.000838660767755, -6.958540386104991e-18)); },
       {1, 1.701750351331629e-52}},
      {[](int32_t n, const TessComplex16* t, TessComplex16* r) { _tesszCIS(n, &t->re, r); },
       [](const C& t) { return std::polar(1.0L, t.real()); }, {0x1.26ca6788f0992p-870, 0}},
  };
  for (const auto& c : cases) {
#ifdef _WIN32
    // MinGW's long double complex functions lose tiny parts (atanh(2^-120 + 3i) came out
    // with real part 0): there every rounding is held to the result rounding to nearest,
    // whose zero parts stand as half the least subnormal (a directed rounding may give
    // 2^-1074 there, as ln(1 + 2^-1000 i) rounding upward).
    TessComplex16 nearest;
    c.f(1, &c.z, &nearest);
    const auto part = [](double v) { return v == 0 ? 0x1p-1075L : static_cast<long double>(v); };
    const C want(part(nearest.re), part(nearest.im));
#else
    const C want = c.exact(C(c.z.re, c.z.im));
#endif
    for (const int rounding : {FE_TONEAREST, FE_DOWNWARD, FE_UPWARD, FE_TOWARDZERO}) {
      TessComplex16 r;
      std::fesetround(rounding);
      c.f(1, &c.z, &r);
      std::fesetround(FE_TONEAREST);
      EXPECT_LE(std::max(ulp_error(r.re, want.real()), ulp_error(r.im, want.imag())), 4.0)
          << c.z.re << " + " << c.z.im << "i, rounding " << rounding << ": " << r.re << " + "
          << r.im << "i";
    }
  }
}

}  // namespace
}  // namespace zorn_test
