// The frame shared by the generators: the environment seen by the draw, its restoration
// on every exit, zero uniforms, empty calls and the accurate clamp of the uniforms.
#include <cmath>

#include "distributions/distribution_support.h"
#include "zorn/tess.h"

namespace {

uint16_t x87_control() {
  uint16_t cw;
  asm volatile("fnstcw %0" : "=m"(cw));
  return cw;
}
void set_x87_control(uint16_t cw) { asm volatile("fldcw %0" : : "m"(cw)); }
int32_t caller_callback(TessErrorContext*) { return 0; }

constexpr uint16_t kX87DivideByZeroUnmasked = 0x037F & ~0x4;
constexpr uint32_t kMxcsrOverflowUnmasked = 0x1F80 & ~0x400;

// The thread starts with mode 0x1A02, whose denormal field is 0: a word that SetMode
// cannot produce from one with the field set, so only restoring the saved word itself
// gives it back. Each test runs in a process of its own.
TEST(Frame, EnvironmentRestoredAfterSuccessAndAfterFailure) {
  ASSERT_EQ(_tessGetMode(), TESS_MODE_INITIAL);
  _tessSetErrorCallBack(caller_callback);
  set_x87_control(kX87DivideByZeroUnmasked);
  _mm_setcsr(kMxcsrOverflowUnmasked);
  for (const bool fail : {false, true}) {
    SCOPED_TRACE(fail ? "failing draw" : "successful draw");
    Stream s;
    scripted_stream(s, fail ? std::vector<double>{0.5} : std::vector<double>{0.5, 0.0, 0.25});
    std::vector<float> r(3, 7.0f);
    EXPECT_EQ(Exponential(0, s.p, 3, r.data(), 0, 1), fail ? kScriptEmpty : 0);
    const bool restored = _tessGetMode() == TESS_MODE_INITIAL &&
                          _tessGetErrorCallBack() == caller_callback &&
                          x87_control() == kX87DivideByZeroUnmasked &&
                          _mm_getcsr() == kMxcsrOverflowUnmasked;
    set_x87_control(0x037F);
    _mm_setcsr(0x1F80);
    EXPECT_TRUE(restored);
    EXPECT_EQ(seen_at_draw().mode & TESS_MODE_ERRMODE_MASK, TESS_ERRMODE_CALLBACK);
    EXPECT_EQ(seen_at_draw().x87 & 0x3F, 0x3F);
    EXPECT_EQ(seen_at_draw().mxcsr & 0x1F80, 0x1F80u);
    set_x87_control(kX87DivideByZeroUnmasked);
    _mm_setcsr(kMxcsrOverflowUnmasked);
  }
  set_x87_control(0x037F);
  _mm_setcsr(0x1F80);
}

// A zero uniform gives ln of the smallest subnormal instead of an infinity.
TEST(Frame, ZeroUniformGivesLnOfTheSmallestSubnormal) {
  Stream s;
  scripted_stream(s, {0.0, 0.0});
  double d;
  float f;
  ASSERT_EQ(Exponential(0, s.p, 1, &d, 1.0, 2.0), 0);
  ASSERT_EQ(Exponential(0, s.p, 1, &f, 1.0, 2.0), 0);
  EXPECT_EQ(d, 1.0 + 2.0 * 744.4400719213812);
  EXPECT_EQ(f, 1.0f + 2.0f * 103.2789306640625f);
}

// n = 0 still makes the (empty) draw and returns its status; nothing is written.
TEST(Frame, EmptyCallWritesNothingAndPassesTheDrawStatus) {
  Stream s;
  scripted_stream(s, {});
  double r = 7.0;
  EXPECT_EQ(Exponential(0, s.p, 0, &r, 0, 1), 0);
  EXPECT_EQ(Uniform(PAVO_METHOD_ACCURATE, s.p, 0, &r, 0, 1), 0);
  EXPECT_EQ(r, 7.0);
}

// The accurate flag moves values outside [a, b] to the nearer bound and leaves the
// others; without it the generator's values stand.
TEST(Frame, AccurateUniformClampsIntoTheInterval) {
  const std::vector<double> values = {-0.5, 0.0, 0.5, 1.0, 1.5};
  for (const int32_t method : {0, PAVO_METHOD_ACCURATE}) {
    Stream s;
    scripted_stream(s, values);
    std::vector<double> r(values.size());
    ASSERT_EQ(Uniform(method, s.p, 5, r.data(), 2.0, 4.0), 0);
    const std::vector<double> expected =
        method == 0 ? std::vector<double>{1.0, 2.0, 3.0, 4.0, 5.0}
                    : std::vector<double>{2.0, 2.0, 3.0, 4.0, 4.0};
    EXPECT_EQ(r, expected);
  }
}

// The lowest uniform lies inside (-pi/2, pi/2) in both precisions: its tangent is a
// huge negative number, not one of the wrong sign.
TEST(Frame, CauchyLowestUniformGivesAHugeNegativeValue) {
  Stream s;
  scripted_stream(s, {0.0, 0.0});
  double d;
  float f;
  ASSERT_EQ(Cauchy(0, s.p, 1, &d, 0, 1), 0);
  ASSERT_EQ(Cauchy(0, s.p, 1, &f, 0, 1), 0);
  EXPECT_LT(d, -1e15);
  EXPECT_LT(f, -1e6f);
}

}  // namespace
