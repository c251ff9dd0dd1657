// Atan2 and Atan2pi on the special cases of C99 F.9.1.4 (signed zeros and infinities) in
// both precisions: each case, with its first argument of either sign, in a lane of its
// own among ordinary lanes, must give the signed fraction of a half turn the list names,
// bit for bit, and report nothing. NaN in either argument gives NaN.
#include <cmath>
#include <limits>
#include <vector>

#include "kernel_test_support.h"

namespace zorn_test {
namespace {

template <class T>
using BinaryKernel = void (*)(int32_t, const T*, const T*, T*);

constexpr long double kHalfTurn = 3.141592653589793238462643383279502884L;

// Argument kinds, made concrete per type.
enum Kind { kZero, kNegZero, kPositive, kNegative, kInf, kNegInf, kNaN };

template <class T>
std::vector<T> values(Kind k) {
  const T big = std::numeric_limits<T>::max(), small = std::numeric_limits<T>::min();
  const T inf = std::numeric_limits<T>::infinity();
  switch (k) {
    case kZero: return {T(0)};
    case kNegZero: return {-T(0)};
    case kPositive: return {T(1.5), big, small};
    case kNegative: return {T(-1.5), -big, -small};
    case kInf: return {inf};
    case kNegInf: return {-inf};
    case kNaN: return {std::numeric_limits<T>::quiet_NaN()};
  }
  return {};
}

// atan2(a, b) for a of each kind in `a` and b of each kind in `b` is `quarters` quarter
// turns with the sign of a (a of either sign); quarters < 0 stands for NaN.
struct Case {
  std::vector<Kind> a, b;
  int quarters;
};
const Case kCases[] = {
    {{kZero}, {kNegZero}, 4},                  // atan2(±0, −0) = ±π
    {{kZero}, {kZero}, 0},                     // atan2(±0, +0) = ±0
    {{kZero}, {kNegative, kNegInf}, 4},        // atan2(±0, x) = ±π for x < 0
    {{kZero}, {kPositive, kInf}, 0},           // atan2(±0, x) = ±0 for x > 0
    {{kPositive}, {kZero, kNegZero}, 2},       // atan2(±y, ±0) = ±π/2 for y > 0
    {{kPositive}, {kNegInf}, 4},               // atan2(±y, −∞) = ±π for finite y > 0
    {{kPositive}, {kInf}, 0},                  // atan2(±y, +∞) = ±0 for finite y > 0
    {{kInf}, {kZero, kNegZero, kPositive, kNegative}, 2},  // atan2(±∞, x) = ±π/2, finite x
    {{kInf}, {kNegInf}, 3},                    // atan2(±∞, −∞) = ±3π/4
    {{kInf}, {kInf}, 1},                       // atan2(±∞, +∞) = ±π/4
    {{kNaN}, {kZero, kPositive, kNegInf, kNaN}, -1},
    {{kZero, kPositive, kInf}, {kNaN}, -1},
};

struct Function {
  const char* name;
  BinaryKernel<float> s;
  BinaryKernel<double> d;
  long double half_turn;  // pi, or 1 for the pi-scaled form
};
const Function kFunctions[] = {
    {"Atan2", _tesssAtan2, _tessdAtan2, kHalfTurn},
    {"Atan2pi", _tesssAtan2pi, _tessdAtan2pi, 1.0L},
};

template <class T>
class Atan2SpecialCases : public ReportingTest {};
using Types = ::testing::Types<float, double>;
TYPED_TEST_SUITE(Atan2SpecialCases, Types);

TYPED_TEST(Atan2SpecialCases, FollowTheC99List) {
  using T = TypeParam;
  for (const Function& f : kFunctions) {
    const BinaryKernel<T> kernel = [&] {
      if constexpr (sizeof(T) == 4) return f.s; else return f.d;
    }();
    for (const Case& c : kCases) {
      for (Kind ka : c.a) {
        for (Kind kb : c.b) {
          for (T magnitude : values<T>(ka)) {
            for (T a : {magnitude, -magnitude}) {
              for (T b : values<T>(kb)) {
                // The case in lane 1 of a full group, ordinary lanes around it.
                const T xs[5] = {T(1), a, T(2), T(-3), T(0.5)};
                const T ys[5] = {T(1), b, T(-1), T(4), T(0.25)};
                T r[5];
                g_reported.clear();
                kernel(5, xs, ys, r);
                SCOPED_TRACE(::testing::Message() << f.name << "(" << a << ", " << b << ")");
                EXPECT_TRUE(g_reported.empty());
                if (c.quarters < 0) {
                  EXPECT_TRUE(std::isnan(r[1]));
                  continue;
                }
                const T want = static_cast<T>(std::copysign(c.quarters * f.half_turn / 4, a));
                EXPECT_EQ(bits(r[1]), bits(want)) << r[1] << " instead of " << want;
              }
            }
          }
        }
      }
    }
  }
}

}  // namespace
}  // namespace zorn_test
