#include "vector_math/plain_loops.h"

#include <cmath>

namespace bench::vector_math {
namespace {

#define PLAIN_UNARY(name, expr)                                                   \
  template <class T>                                                              \
  void name(const T* a, const T*, T* r, int64_t n) {                              \
    for (int64_t i = 0; i < n; ++i) {                                             \
      const T x = a[i];                                                           \
      r[i] = expr;                                                                \
    }                                                                             \
  }
#define PLAIN_BINARY(name, expr)                                                  \
  template <class T>                                                              \
  void name(const T* a, const T* b, T* r, int64_t n) {                            \
    for (int64_t i = 0; i < n; ++i) {                                             \
      const T x = a[i], y = b[i];                                                 \
      r[i] = expr;                                                                \
    }                                                                             \
  }
PLAIN_UNARY(abs, std::fabs(x))
PLAIN_UNARY(sqr, x * x)
PLAIN_UNARY(inv, 1 / x)
PLAIN_UNARY(floor, std::floor(x))
PLAIN_UNARY(ceil, std::ceil(x))
PLAIN_UNARY(trunc, std::trunc(x))
PLAIN_UNARY(round, std::round(x))
PLAIN_UNARY(rint, std::rint(x))
PLAIN_UNARY(nearbyint, std::nearbyint(x))
PLAIN_UNARY(frac, x - std::trunc(x))
PLAIN_BINARY(add, x + y)
PLAIN_BINARY(sub, x - y)
PLAIN_BINARY(mul, x * y)
PLAIN_BINARY(div, x / y)
PLAIN_BINARY(fmax, std::fmax(x, y))
PLAIN_BINARY(fmin, std::fmin(x, y))
PLAIN_BINARY(maxmag, std::fabs(x) >= std::fabs(y) ? x : y)
PLAIN_BINARY(copysign, std::copysign(x, y))
PLAIN_BINARY(fdim, std::fdim(x, y))
PLAIN_BINARY(nextafter, std::nextafter(x, y))
PLAIN_BINARY(fmod, std::fmod(x, y))
PLAIN_BINARY(remainder, std::remainder(x, y))
#undef PLAIN_UNARY
#undef PLAIN_BINARY

#define LOOP(Name, fn) {Name, fn<float>, fn<double>}

}  // namespace

const PlainLoop kPlainLoops[] = {
    LOOP("Abs", abs),           LOOP("Sqr", sqr),       LOOP("Inv", inv),
    LOOP("Floor", floor),       LOOP("Ceil", ceil),     LOOP("Trunc", trunc),
    LOOP("Round", round),       LOOP("Rint", rint),     LOOP("NearbyInt", nearbyint),
    LOOP("Frac", frac),         LOOP("Add", add),       LOOP("Sub", sub),
    LOOP("Mul", mul),           LOOP("Div", div),       LOOP("Fmax", fmax),
    LOOP("Fmin", fmin),         LOOP("MaxMag", maxmag), LOOP("CopySign", copysign),
    LOOP("Fdim", fdim),         LOOP("NextAfter", nextafter),
    LOOP("Fmod", fmod),         LOOP("Remainder", remainder),
};
const int kPlainLoopCount = sizeof kPlainLoops / sizeof kPlainLoops[0];

}  // namespace bench::vector_math
