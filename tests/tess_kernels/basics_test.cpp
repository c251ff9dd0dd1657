// Element-wise basics: the rounding functions bit for bit against the C library in every
// rounding mode and without a stray inexact flag, the two-argument basics against their
// strided (element by element) form on every pair of awkward values, and the pack and
// unpack kernels under both integer widths.
#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "fp_environment.h"
#include "kernel_test_support.h"
#include "zorn/tess_functions.h"

namespace zorn_test {
namespace {

constexpr int kRoundingModes[] = {FE_TONEAREST, FE_DOWNWARD, FE_UPWARD, FE_TOWARDZERO};

// Values where rounding is easy to get wrong: signed zeros, halfway cases, the last
// non-integers below 2^(p-1) and the first integers above, subnormals, infinities and NaNs
// (quiet and signalling, with payloads and negative), each with both signs; the count
// leaves a remainder after the eight-float and four-double blocks.
template <class T>
std::vector<T> awkward_values() {
  using L = std::numeric_limits<T>;
  const T shifter = T(1) / L::epsilon();  // 2^52 or 2^23
  std::vector<T> v = {T(0), T(0.5), T(1.5), T(2.5), T(0.49999997), T(1) - L::epsilon() / 4,
                      T(3), T(7.75), shifter, shifter - T(0.5), shifter / 2 + T(0.5),
                      2 * shifter - 1, 2 * shifter, shifter + 1, L::denorm_min(), L::min(),
                      L::max(), L::infinity(), L::quiet_NaN(), L::signaling_NaN()};
  using U = std::conditional_t<sizeof(T) == 4, uint32_t, uint64_t>;
  v.push_back(std::bit_cast<T>(std::bit_cast<U>(L::quiet_NaN()) | 0x1234));
  const size_t half = v.size();
  for (size_t i = 0; i < half; ++i) v.push_back(-v[i]);
  v.push_back(T(0.75));
  return v;
}

template <class T>
bool same_bits(T a, T b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

// A NaN comes back quiet with its payload and sign.
template <class T>
T quieted(T x) {
  using U = std::conditional_t<sizeof(T) == 4, uint32_t, uint64_t>;
  return std::bit_cast<T>(std::bit_cast<U>(x) | std::bit_cast<U>(std::numeric_limits<T>::quiet_NaN()));
}

// The reference of a function whose result does not depend on the rounding mode is taken
// to nearest; Rint and NearbyInt round in the mode through the x87 unit's own rounding.
template <class T>
struct Unary {
  const char* name;
  void (*kernel)(int32_t, const T*, T*);
  T (*reference)(T);
  bool in_mode;
  bool raises_inexact;
};
template <class T>
T fractional(T x) {
  return std::isinf(x) ? std::copysign(T(0), x) : std::copysign(x - std::trunc(x), x);
}
template <class T>
T x87_nearbyint(T x) {
  return std::copysign(static_cast<T>(std::nearbyint(static_cast<long double>(x))), x);
}

// Half-way cases away from zero, exactly (x - trunc(x) is exact): the C library's own
// round is no oracle everywhere (MinGW-w64's roundf(0.49999997f) gives 1).
template <class T>
T round_half_away(T x) {
  T t = std::trunc(x);
  if (std::fabs(x - t) >= T(0.5)) t += std::copysign(T(1), x);
  return std::copysign(t, x);
}

#define ZORN_ROUNDING(t, T)                                                             \
  {{"Floor", _tess##t##Floor, std::floor, false, false},                                \
   {"Ceil", _tess##t##Ceil, std::ceil, false, false},                                   \
   {"Trunc", _tess##t##Trunc, std::trunc, false, false},                                \
   {"Round", _tess##t##Round, round_half_away<T>, false, false},                        \
   {"Rint", _tess##t##Rint, x87_nearbyint<T>, true, true},                              \
   {"NearbyInt", _tess##t##NearbyInt, x87_nearbyint<T>, true, false},                   \
   {"Frac", _tess##t##Frac, fractional<T>, false, false}}
template <class T>
std::vector<Unary<T>> rounding_functions() {
  if constexpr (sizeof(T) == 4) {
    return ZORN_ROUNDING(s, float);
  } else {
    return ZORN_ROUNDING(d, double);
  }
}
#undef ZORN_ROUNDING

template <class T>
class Basics : public ::testing::Test {
 protected:
  void SetUp() override { _tessSetMode(TESS_ERRMODE_IGNORE | TESS_MODE_HA | 0x140000); }
  TessStateGuard guard_;
};
using Precisions = ::testing::Types<float, double>;
TYPED_TEST_SUITE(Basics, Precisions);

// Under each rounding mode of the caller: the C library's result (Round: the exact rule) bit for bit (Frac is
// the exact difference), and inexact raised only by Rint on a non-integer.
TYPED_TEST(Basics, RoundingMatchesTheCLibraryInEveryMode) {
  using T = TypeParam;
  const std::vector<T> x = awkward_values<T>();
  std::vector<T> r(x.size());
  for (const Unary<T>& f : rounding_functions<T>()) {
    for (const int mode : kRoundingModes) {
      std::fesetround(mode);
      std::feclearexcept(FE_ALL_EXCEPT);
      f.kernel(static_cast<int32_t>(x.size()), x.data(), r.data());
      const bool inexact = std::fetestexcept(FE_INEXACT);
      EXPECT_EQ(inexact, f.raises_inexact) << f.name << " mode " << mode;
      if (!f.in_mode) std::fesetround(FE_TONEAREST);
      for (size_t i = 0; i < x.size(); ++i) {
        const T want = std::isnan(x[i]) ? quieted(x[i]) : f.reference(x[i]);
        EXPECT_TRUE(same_bits(r[i], want))
            << f.name << " mode " << mode << " of " << x[i] << ": " << std::hexfloat << r[i]
            << ", want " << want << std::defaultfloat << " bits " << std::hex << bits(r[i])
            << std::dec;
      }
    }
  }
  std::fesetround(FE_TONEAREST);
}

// Modf gives Trunc and Frac at once; Abs clears the sign bit alone (payloads and
// signalling NaNs pass unchanged).
TYPED_TEST(Basics, ModfAndAbsAgreeWithTheirParts) {
  using T = TypeParam;
  using U = std::conditional_t<sizeof(T) == 4, uint32_t, uint64_t>;
  const std::vector<T> x = awkward_values<T>();
  const int32_t n = static_cast<int32_t>(x.size());
  std::vector<T> whole(x.size()), part(x.size()), trunc(x.size()), frac(x.size()), abs(x.size());
  if constexpr (sizeof(T) == 4) {
    _tesssModf(n, x.data(), whole.data(), part.data());
    _tesssTrunc(n, x.data(), trunc.data());
    _tesssFrac(n, x.data(), frac.data());
    _tesssAbs(n, x.data(), abs.data());
  } else {
    _tessdModf(n, x.data(), whole.data(), part.data());
    _tessdTrunc(n, x.data(), trunc.data());
    _tessdFrac(n, x.data(), frac.data());
    _tessdAbs(n, x.data(), abs.data());
  }
  const U sign = U{1} << (8 * sizeof(T) - 1);
  for (size_t i = 0; i < x.size(); ++i) {
    EXPECT_TRUE(same_bits(whole[i], trunc[i]) && same_bits(part[i], frac[i])) << x[i];
    EXPECT_EQ(std::bit_cast<U>(abs[i]), std::bit_cast<U>(x[i]) & ~sign) << x[i];
  }
}

template <class T>
struct Binary {
  const char* name;
  void (*contiguous)(int32_t, const T*, const T*, T*);
  void (*strided)(int32_t, const T*, int32_t, const T*, int32_t, T*, int32_t);
};
#define ZORN_BINARY(t, F) {#F, _tess##t##F, _tess##t##F##I}
#define ZORN_BINARIES(t)                                                                \
  {ZORN_BINARY(t, Add),    ZORN_BINARY(t, Sub),    ZORN_BINARY(t, Mul),                 \
   ZORN_BINARY(t, Div),    ZORN_BINARY(t, Fmax),   ZORN_BINARY(t, Fmin),                \
   ZORN_BINARY(t, MaxMag), ZORN_BINARY(t, MinMag), ZORN_BINARY(t, CopySign),            \
   ZORN_BINARY(t, Fdim),   ZORN_BINARY(t, NextAfter), ZORN_BINARY(t, Fmod),               \
   ZORN_BINARY(t, Remainder)}
template <class T>
std::vector<Binary<T>> binary_functions() {
  if constexpr (sizeof(T) == 4) {
    return ZORN_BINARIES(s);
  } else {
    return ZORN_BINARIES(d);
  }
}
#undef ZORN_BINARIES
#undef ZORN_BINARY

// The vector path (contiguous) against the element-by-element path (strided) on every
// ordered pair of awkward values, results and reported statuses alike.
TYPED_TEST(Basics, TwoArgumentVectorPathMatchesTheElementPath) {
  using T = TypeParam;
  const std::vector<T> v = awkward_values<T>();
  std::vector<T> a, b;
  for (T x : v)
    for (T y : v) a.push_back(x), b.push_back(y);
  const int32_t n = static_cast<int32_t>(a.size());
  std::vector<T> whole(a.size()), spaced(2 * a.size());
  for (const Binary<T>& f : binary_functions<T>()) {
    _tessClearErrStatus();
    f.contiguous(n, a.data(), b.data(), whole.data());
    const int contiguous_status = _tessGetErrStatus();
    _tessClearErrStatus();
    f.strided(n, a.data(), 1, b.data(), 1, spaced.data(), 2);
    EXPECT_EQ(contiguous_status, _tessGetErrStatus()) << f.name;
    for (size_t i = 0; i < a.size(); ++i) {
      ASSERT_TRUE(same_bits(whole[i], spaced[2 * i]))
          << f.name << "(" << a[i] << ", " << b[i] << "): " << whole[i] << " against "
          << spaced[2 * i];
    }
  }
}

// The orderings the C library leaves open: -0 below +0, a NaN counts as missing, equal
// magnitudes go to the larger or smaller value.
TEST(BasicsOrder, SignedZerosNaNsAndTies) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Row {
    void (*f)(int32_t, const double*, const double*, double*);
    double x, y, want;
  };
  const Row rows[] = {{_tessdFmax, -0.0, 0.0, 0.0},  {_tessdFmax, 0.0, -0.0, 0.0},
                      {_tessdFmin, 0.0, -0.0, -0.0}, {_tessdFmin, -0.0, 0.0, -0.0},
                      {_tessdFmax, 1.0, nan, 1.0},   {_tessdFmin, nan, -1.0, -1.0},
                      {_tessdMaxMag, -3.0, 3.0, 3.0}, {_tessdMinMag, 3.0, -3.0, -3.0},
                      {_tessdMaxMag, -0.0, 0.0, 0.0}, {_tessdMinMag, nan, 2.0, 2.0}};
  for (const Row& row : rows) {
    // Eight copies: the vector path; one more: the element path.
    std::vector<double> x(9, row.x), y(9, row.y), r(9);
    row.f(9, x.data(), y.data(), r.data());
    for (double got : r) EXPECT_TRUE(same_bits(got, row.want)) << row.x << ", " << row.y;
  }
}

// Fmod and Remainder against the C library's exact long division on hard pairs:
// quotients up to and beyond 2^(p-1), exact ties of Remainder, divisors at the ends of the
// exponent range and subnormal operands, with both signs.
TYPED_TEST(Basics, RemaindersAreExactOnHardPairs) {
  using T = TypeParam;
  using L = std::numeric_limits<T>;
  std::mt19937_64 engine(17);
  std::uniform_real_distribution<double> unit(0.5, 1.0);
  std::uniform_int_distribution<int> exponent(L::min_exponent - L::digits, L::max_exponent - 1);
  std::vector<T> a, b;
  const auto pair = [&](T x, T y) {
    for (int s = 0; s < 4; ++s) a.push_back(s & 1 ? -x : x), b.push_back(s & 2 ? -y : y);
  };
  for (int i = 0; i < 4000; ++i) {
    const T y = static_cast<T>(std::ldexp(unit(engine), exponent(engine)));
    const int q_bits = i % (L::digits + 8);  // quotients of 0 to p + 7 bits
    const T x = static_cast<T>(std::ldexp(unit(engine), q_bits)) * y;
    pair(std::isfinite(x) ? x : L::max(), y);
    const T k = std::floor(static_cast<T>(std::ldexp(unit(engine), q_bits % 20)));
    pair((k + T(0.5)) * T(2) * y / T(2), y);  // a tie where the product is exact
  }
  pair(L::max(), L::denorm_min());
  pair(L::denorm_min() * 7, L::denorm_min() * 3);
  pair(L::min() * 3, L::denorm_min() * 5);
  const int32_t n = static_cast<int32_t>(a.size());
  std::vector<T> fmod(a.size()), remainder(a.size());
  if constexpr (sizeof(T) == 4) {
    _tesssFmod(n, a.data(), b.data(), fmod.data());
    _tesssRemainder(n, a.data(), b.data(), remainder.data());
  } else {
    _tessdFmod(n, a.data(), b.data(), fmod.data());
    _tessdRemainder(n, a.data(), b.data(), remainder.data());
  }
  for (size_t i = 0; i < a.size(); ++i) {
    ASSERT_TRUE(same_bits(fmod[i], std::fmod(a[i], b[i])))
        << std::hexfloat << "fmod(" << a[i] << ", " << b[i] << ") = " << fmod[i];
    ASSERT_TRUE(same_bits(remainder[i], std::remainder(a[i], b[i])))
        << std::hexfloat << "remainder(" << a[i] << ", " << b[i] << ") = " << remainder[i];
  }
}

// ---- pack and unpack under both widths of the integer arguments ----
using PackV = void (*)(int64_t, const double*, const void*, double*, int32_t);
using UnpackV = void (*)(int64_t, const double*, double*, const void*, int32_t);
using PackI = void (*)(int64_t, const double*, int64_t, double*, int32_t);
using UnpackI = void (*)(int64_t, const double*, double*, int64_t, int32_t);

template <class Int>
void check_pack_width(int32_t selector) {
  SCOPED_TRACE(selector);
  constexpr int kN = 19;  // two unrolled blocks of eight and a remainder
  std::vector<double> a(kN), y(kN + 2, -1.0);
  for (int i = 0; i < kN; ++i) a[i] = 100 + i;
  const TessKernel* slot = nullptr;

  // Masks: selected elements in order; no write beyond them, none for an all-zero mask.
  std::vector<Int> mask(kN, 0);
  for (int i : {0, 3, 4, 9, 17, 18}) mask[i] = (i % 2) ? Int(-1) : Int(5);
  slot = zorn_tess_kernel_dPackM_ttab.slot;
  reinterpret_cast<PackV>(slot[1])(kN, a.data(), mask.data(), y.data(), selector);
  const double packed[] = {100, 103, 104, 109, 117, 118};
  for (int k = 0; k < 6; ++k) EXPECT_EQ(y[k], packed[k]);
  EXPECT_EQ(y[6], -1.0);
  std::vector<Int> none(kN, 0);
  std::vector<double> untouched(kN, -2.0);
  reinterpret_cast<PackV>(slot[1])(kN, a.data(), none.data(), untouched.data(), selector);
  for (double u : untouched) EXPECT_EQ(u, -2.0);
  std::vector<double> spread(kN, -1.0);
  reinterpret_cast<UnpackV>(zorn_tess_kernel_dUnpackM_ttab.slot[1])(kN, a.data(), spread.data(),
                                                                     mask.data(), selector);
  for (int i = 0, k = 0; i < kN; ++i) EXPECT_EQ(spread[i], mask[i] ? a[k++] : -1.0) << i;

  // Indices, repeated: PackV copies again, UnpackV keeps the last.
  std::vector<Int> ix(kN);
  for (int i = 0; i < kN; ++i) ix[i] = (i * 7) % 5;
  reinterpret_cast<PackV>(zorn_tess_kernel_dPackV_ttab.slot[1])(kN, a.data(), ix.data(), y.data(),
                                                                selector);
  for (int i = 0; i < kN; ++i) EXPECT_EQ(y[i], a[ix[i]]) << i;
  std::vector<double> last(5, -1.0);
  reinterpret_cast<UnpackV>(zorn_tess_kernel_dUnpackV_ttab.slot[1])(kN, a.data(), last.data(),
                                                                     ix.data(), selector);
  std::vector<double> want(5, -1.0);
  for (int i = 0; i < kN; ++i) want[ix[i]] = a[i];
  EXPECT_EQ(last, want);

  // Increment -1 reads a[0], a[-1], ...; unpacking with -1 writes backwards.
  reinterpret_cast<PackI>(zorn_tess_kernel_dPackI_ttab.slot[1])(kN, a.data() + kN - 1, -1,
                                                                y.data(), selector);
  for (int i = 0; i < kN; ++i) EXPECT_EQ(y[i], a[kN - 1 - i]) << i;
  std::vector<double> back(kN, -1.0);
  reinterpret_cast<UnpackI>(zorn_tess_kernel_dUnpackI_ttab.slot[1])(kN, a.data(),
                                                                     back.data() + kN - 1, -1,
                                                                     selector);
  for (int i = 0; i < kN; ++i) EXPECT_EQ(back[kN - 1 - i], a[i]) << i;

  // A negative count does nothing, read at the selector's width.
  const std::vector<double> before = y;
  reinterpret_cast<PackI>(zorn_tess_kernel_dPackI_ttab.slot[1])(-3, a.data(), 1, y.data(),
                                                                selector);
  EXPECT_EQ(y, before);
}

TEST(BasicsPack, BothIntegerWidths) {
  check_pack_width<int32_t>(1);
  check_pack_width<int64_t>(0);
  check_pack_width<int64_t>(2);
}

}  // namespace
}  // namespace zorn_test
