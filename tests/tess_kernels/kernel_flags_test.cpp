// The flags a kernel leaves on one argument among ordinary ones, contiguous or strided:
// the vector code also runs on the lanes it hands on (a huge argument's conversions and
// products in the sine, cosine and tangent; compares on NaN and inf - inf in the
// exponentials and logarithms), and must leave none of invalid, overflow, divide-by-zero
// or underflow behind but those of the result (a pole, a domain error, an overflow); the
// exact zeros and ones of sin pi x and cos pi x raise none.
#include <cfloat>
#include <type_traits>
#include <vector>

#include "kernel_test_support.h"

namespace zorn_test {
namespace {
constexpr uint32_t kRaised =
    _MM_EXCEPT_INVALID | _MM_EXCEPT_OVERFLOW | _MM_EXCEPT_DIV_ZERO | _MM_EXCEPT_UNDERFLOW;
constexpr uint32_t kI = _MM_EXCEPT_INVALID, kZ = _MM_EXCEPT_DIV_ZERO;
constexpr uint32_t kO = _MM_EXCEPT_OVERFLOW, kU = _MM_EXCEPT_UNDERFLOW;

// The flags of kRaised a call raises on 100 ordinary arguments holding `arg` at `at` and,
// for the trigonometric kernels, a huge one half the vector away.
template <class T, auto kContiguous, auto kStrided, bool kHugeToo = true>
uint32_t raised(bool strided, double arg, int at) {
  T x[100], y[200], y2[200];
  for (int i = 0; i < 100; ++i) x[i] = static_cast<T>(kHugeToo ? 0.25 + 0.5 * i : 0.5 + i / 64.0);
  if (kHugeToo) x[(at + 50) % 100] = sizeof(T) == 4 ? T(1e30f) : T(1e300);
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

// A kernel of the exponential and logarithm family, double and single, without the huge
// argument.
#define FAMILY_ROWS(F, args)                                     \
  {"d" #F, raised<double, _tessd##F, _tessd##F##I, false>, args}, \
      {"s" #F, raised<float, _tesss##F, _tesss##F##I, false>, args}

TEST(KernelFlags, OnlyTheResultsFlags) {
  TessStateGuard guard;
  struct Arg {
    double x;
    uint32_t flags;
  };
  const std::vector<Arg> kDouble = {
      {102400.0, 0}, {-3.0e9, 0}, {1.0e15, 0}, {1.0e300, 0}, {-DBL_MAX, 0}};
  const std::vector<Arg> kSingle = {
      {2.0e4, 0}, {-3.0e9, 0}, {1.0e30, 0}, {-3.0e38, 0}, {FLT_MAX, 0}};
  const std::vector<Arg> kDegPoles = {{270.0, kZ}, {-90.0, kZ}};
  const std::vector<Arg> kPiPoles = {{1.5, kZ}, {-0.5, kZ}};
  const std::vector<Arg> kPiZerosAndOnes = {
      {-1.0, 0}, {0.5, 0}, {2.0, 0}, {-2.5, 0}, {1e9 + 0.5, 0}};
  // Beyond every exponential's range: +-2000.
  const std::vector<Arg> kExp = {{NAN, 0},  {INFINITY, 0}, {-INFINITY, 0},
                                 {-0.0, 0}, {2000.0, kO},  {-2000.0, kU}};
  const std::vector<Arg> kExpm1 = {
      {NAN, 0}, {INFINITY, 0}, {-INFINITY, 0}, {-0.0, 0}, {2000.0, kO}};
  const std::vector<Arg> kLog = {{NAN, 0},   {INFINITY, 0}, {0.0, kZ},
                                 {-0.0, kZ}, {-2.0, kI},    {-INFINITY, kI}};
  const std::vector<Arg> kLog1p = {{NAN, 0},   {INFINITY, 0}, {-0.0, 0},
                                   {-1.0, kZ}, {-2.0, kI},    {-INFINITY, kI}};
  const struct {
    const char* name;
    uint32_t (*run)(bool, double, int);
    std::vector<Arg> args;
  } cases[] = {
      {"dSin", raised<double, _tessdSin, _tessdSinI>, kDouble},
      {"dCos", raised<double, _tessdCos, _tessdCosI>, kDouble},
      {"dTan", raised<double, _tessdTan, _tessdTanI>, kDouble},
      {"sSin", raised<float, _tesssSin, _tesssSinI>, kSingle},
      {"sCos", raised<float, _tesssCos, _tesssCosI>, kSingle},
      {"sTan", raised<float, _tesssTan, _tesssTanI>, kSingle},
      {"sSinCos", raised<float, _tesssSinCos, _tesssSinCosI>, kSingle},
      {"sSind", raised<float, _tesssSind, _tesssSindI>, kSingle},
      {"sCosd", raised<float, _tesssCosd, _tesssCosdI>, kSingle},
      {"sTand EP", raised<float, _tesssTand_11, _tesssTandI_11>, kSingle},
      {"sTand EP pole", raised<float, _tesssTand_11, _tesssTandI_11>, kDegPoles},
      {"sTanpi pole", raised<float, _tesssTanpi, _tesssTanpiI>, {{1.5, kZ}}},
      {"dTand HA", raised<double, _tessdTand_HA, _tessdTandI_HA>, kDegPoles},
      {"dTand LA", raised<double, _tessdTand_50, _tessdTandI_50>, kDegPoles},
      {"dTand EP", raised<double, _tessdTand_26, _tessdTandI_26>, kDegPoles},
      {"dTanpi HA", raised<double, _tessdTanpi_HA, _tessdTanpiI_HA>, kPiPoles},
      {"dTanpi LA", raised<double, _tessdTanpi_50, _tessdTanpiI_50>, kPiPoles},
      {"dTanpi EP", raised<double, _tessdTanpi_26, _tessdTanpiI_26>, kPiPoles},
      {"dSinpi", raised<double, _tessdSinpi, _tessdSinpiI>, kPiZerosAndOnes},
      {"dCospi", raised<double, _tessdCospi, _tessdCospiI>, kPiZerosAndOnes},
      FAMILY_ROWS(Exp, kExp), FAMILY_ROWS(Exp2, kExp), FAMILY_ROWS(Exp10, kExp),
      FAMILY_ROWS(Expm1, kExpm1), FAMILY_ROWS(Ln, kLog), FAMILY_ROWS(Log2, kLog),
      FAMILY_ROWS(Log10, kLog), FAMILY_ROWS(Log1p, kLog1p)};
  // Error handling off resolves the exponentials' overflow and underflow inline.
  for (const uint32_t error_mode : {TESS_ERRMODE_DEFAULT, TESS_ERRMODE_NOERR}) {
    _tessSetMode(error_mode | TESS_MODE_HA | 0x140000);  // denormals kept
    for (const auto& c : cases) {
      for (const Arg& arg : c.args) {
        for (const int at : {0, 37, 70, 99}) {
          for (const bool strided : {false, true}) {
            EXPECT_EQ(c.run(strided, arg.x, at), arg.flags)
                << c.name << (strided ? " strided " : " ") << arg.x << " at " << at << " mode "
                << error_mode;
          }
        }
      }
    }
  }
}
}  // namespace zorn_test
