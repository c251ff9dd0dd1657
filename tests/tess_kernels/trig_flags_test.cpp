// The sine, cosine and tangent take finite arguments beyond their fast path off the
// vector code, which also runs on such a lane (conversions, products, roundings to float
// that overflow): it must leave no invalid, overflow or divide-by-zero flag behind,
// contiguous or strided, while a tangent's pole in the same call raises divide-by-zero
// alone and the exact zeros and ones of sin pi x and cos pi x raise none.
#include <cfloat>
#include <type_traits>
#include <vector>

#include "kernel_test_support.h"

namespace zorn_test {
namespace {
constexpr uint32_t kRaised = _MM_EXCEPT_INVALID | _MM_EXCEPT_OVERFLOW | _MM_EXCEPT_DIV_ZERO;

// The flags of kRaised a call raises on 100 ordinary arguments holding `arg` at `at` and
// a huge one half the vector away.
template <class T, auto kContiguous, auto kStrided>
uint32_t raised(bool strided, double arg, int at) {
  T x[100], y[200], y2[200];
  for (int i = 0; i < 100; ++i) x[i] = static_cast<T>(0.25 + 0.5 * i);
  x[(at + 50) % 100] = sizeof(T) == 4 ? T(1e30f) : T(1e300);
  x[at] = static_cast<T>(arg);
  _mm_setcsr(_mm_getcsr() & ~kMxcsrFlagBits);
  if constexpr (std::is_invocable_v<decltype(kContiguous), int32_t, const T*, T*, T*>) {
    strided ? kStrided(100, x, 1, y, 2, y2, 2) : kContiguous(100, x, y, y2);
  } else {
    strided ? kStrided(100, x, 1, y, 2) : kContiguous(100, x, y);
  }
  return _mm_getcsr() & kRaised;
}
}  // namespace

TEST(TrigFlags, FiniteArgumentsBeyondTheFastPathRaiseOnlyInexact) {
  TessStateGuard guard;
  const std::vector<double> kDouble = {102400.0, -3.0e9, 1.0e15, 1.0e300, -DBL_MAX};
  const std::vector<double> kSingle = {2.0e4, -3.0e9, 1.0e30, -3.0e38, FLT_MAX};
  const std::vector<double> kDegPoles = {270.0, -90.0}, kPiPoles = {1.5, -0.5};
  const std::vector<double> kPiZerosAndOnes = {-1.0, 0.5, 2.0, -2.5, 1e9 + 0.5};
  constexpr uint32_t kPole = _MM_EXCEPT_DIV_ZERO;
  const struct {
    const char* name;
    uint32_t (*run)(bool, double, int);
    std::vector<double> args;
    uint32_t expected;
  } cases[] = {{"dSin", raised<double, _tessdSin, _tessdSinI>, kDouble, 0},
               {"dCos", raised<double, _tessdCos, _tessdCosI>, kDouble, 0},
               {"dTan", raised<double, _tessdTan, _tessdTanI>, kDouble, 0},
               {"sSin", raised<float, _tesssSin, _tesssSinI>, kSingle, 0},
               {"sCos", raised<float, _tesssCos, _tesssCosI>, kSingle, 0},
               {"sTan", raised<float, _tesssTan, _tesssTanI>, kSingle, 0},
               {"sSinCos", raised<float, _tesssSinCos, _tesssSinCosI>, kSingle, 0},
               {"sSind", raised<float, _tesssSind, _tesssSindI>, kSingle, 0},
               {"sCosd", raised<float, _tesssCosd, _tesssCosdI>, kSingle, 0},
               {"sTand EP", raised<float, _tesssTand_11, _tesssTandI_11>, kSingle, 0},
               {"sTand EP pole", raised<float, _tesssTand_11, _tesssTandI_11>, kDegPoles, kPole},
               {"sTanpi pole", raised<float, _tesssTanpi, _tesssTanpiI>, {1.5}, kPole},
               {"dTand HA", raised<double, _tessdTand_HA, _tessdTandI_HA>, kDegPoles, kPole},
               {"dTand LA", raised<double, _tessdTand_50, _tessdTandI_50>, kDegPoles, kPole},
               {"dTand EP", raised<double, _tessdTand_26, _tessdTandI_26>, kDegPoles, kPole},
               {"dTanpi HA", raised<double, _tessdTanpi_HA, _tessdTanpiI_HA>, kPiPoles, kPole},
               {"dTanpi LA", raised<double, _tessdTanpi_50, _tessdTanpiI_50>, kPiPoles, kPole},
               {"dTanpi EP", raised<double, _tessdTanpi_26, _tessdTanpiI_26>, kPiPoles, kPole},
               {"dSinpi", raised<double, _tessdSinpi, _tessdSinpiI>, kPiZerosAndOnes, 0},
               {"dCospi", raised<double, _tessdCospi, _tessdCospiI>, kPiZerosAndOnes, 0}};
  for (const auto& c : cases) {
    for (const double arg : c.args) {
      for (const int at : {0, 37, 70, 99}) {
        for (const bool strided : {false, true}) {
          EXPECT_EQ(c.run(strided, arg, at), c.expected)
              << c.name << (strided ? " strided " : " ") << arg << " at " << at;
        }
      }
    }
  }
}
}  // namespace zorn_test
