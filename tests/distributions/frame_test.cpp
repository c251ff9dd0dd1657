// The frame shared by the generators: the environment seen by the draw and restored on
// every exit, and what single scripted uniforms at the edges become.
#include <cmath>
#include <functional>

#include "distributions/distribution_support.h"
#include "zorn/tess.h"

namespace {

uint16_t x87_control() {
  uint16_t cw;
  asm volatile("fnstcw %0" : "=m"(cw));
  return cw;
}
void set_fp_control(uint16_t x87, uint32_t mxcsr) {
  asm volatile("fldcw %0" : : "m"(x87));
  _mm_setcsr(mxcsr);
}
int32_t caller_callback(TessErrorContext*) { return 0; }

// The thread starts with mode 0x1A02, whose denormal field is 0: a word that SetMode
// cannot produce from one with the field set, so only restoring the saved word itself
// gives it back. Each test runs in a process of its own.
TEST(Frame, EnvironmentRestoredAfterSuccessAndAfterFailure) {
  constexpr uint16_t kX87 = 0x037F & ~0x4;     // division by zero unmasked
  constexpr uint32_t kMxcsr = 0x1F80 & ~0x400;  // overflow unmasked
  ASSERT_EQ(_tessGetMode(), TESS_MODE_INITIAL);
  _tessSetErrorCallBack(caller_callback);
  for (const bool fail : {false, true}) {
    SCOPED_TRACE(fail ? "failing draw" : "successful draw");
    Stream s;
    scripted_stream(s, fail ? std::vector<double>{0.5} : std::vector<double>{0.5, 0.0, 0.25});
    std::vector<float> r(3);
    set_fp_control(kX87, kMxcsr);
    const int32_t status = Exponential(0, s.p, 3, r.data(), 0, 1);
    const bool restored = x87_control() == kX87 && _mm_getcsr() == kMxcsr;
    set_fp_control(0x037F, 0x1F80);
    EXPECT_EQ(status, fail ? kScriptEmpty : 0);
    EXPECT_TRUE(restored);
    EXPECT_EQ(_tessGetMode(), TESS_MODE_INITIAL);
    EXPECT_EQ(_tessGetErrorCallBack(), caller_callback);
    EXPECT_EQ(seen_at_draw().mode & TESS_MODE_ERRMODE_MASK, TESS_ERRMODE_CALLBACK);
    EXPECT_EQ(seen_at_draw().x87 & 0x3F, 0x3F);
    EXPECT_EQ(seen_at_draw().mxcsr & 0x1F80, 0x1F80u);
  }
}

// One scripted uniform u in [0, 1) (the generator maps it onto its own interval) and
// the double and single result it must give.
struct EdgeCase {
  const char* what;
  double u;
  std::function<int32_t(void*, double*)> d;
  std::function<int32_t(void*, float*)> s;
  double expected_d, expected_s;
};

// The double and the single call of one generator, for the two members of an EdgeCase.
#define BOTH(call) [](void* s, double* r) { return call; }, [](void* s, float* r) { return call; }

TEST(Frame, EdgeUniformsGiveFiniteBoundedResults) {
  const double kHuge = -HUGE_VAL;  // stands for "a huge negative value"
  const std::vector<EdgeCase> cases = {
      {"ln 0 in Exponential becomes ln of the smallest subnormal", 0.0, BOTH(Exponential(0, s, 1, r, 1, 2)),
       1.0 + 2.0 * 744.4400719213812, 1.0f + 2.0f * 103.2789306640625f},
      {"erfinv(-1) in inversion becomes the bound", 0.0, BOTH(Gaussian(PAVO_GAUSSIAN_ICDF, s, 1, r, 1, 2)),
       1.0 + 2.0 * 1.4142135623730951 * -5.8635847487551676,
       1.0f + 2.0f * 1.4142135f * -3.8325068950653076f},
      {"Cauchy's lowest uniform lies above -pi/2", 0.0, BOTH(Cauchy(0, s, 1, r, 0, 1)), kHuge, kHuge},
      {"accurate uniforms above b become b", 1.5, BOTH(Uniform(PAVO_METHOD_ACCURATE, s, 1, r, 2, 4)), 4, 4},
      {"accurate uniforms below a become a", -0.5, BOTH(Uniform(PAVO_METHOD_ACCURATE, s, 1, r, 2, 4)), 2, 2},
      {"without the flag the generator's value stands", 1.5, BOTH(Uniform(0, s, 1, r, 2, 4)), 5, 5},
  };
  for (const EdgeCase& c : cases) {
    SCOPED_TRACE(c.what);
    Stream s;
    scripted_stream(s, {c.u, c.u});
    double d;
    float f;
    ASSERT_EQ(c.d(s.p, &d), 0);
    ASSERT_EQ(c.s(s.p, &f), 0);
    if (c.expected_d == kHuge) {
      EXPECT_LT(d, -1e15);
      EXPECT_LT(f, -1e6f);
    } else {
      EXPECT_EQ(d, c.expected_d);
      EXPECT_EQ(f, static_cast<float>(c.expected_s));
    }
  }
}
#undef BOTH

// n = 0 still makes the (empty) draw and returns its status; nothing is written.
TEST(Frame, EmptyCallWritesNothingAndPassesTheDrawStatus) {
  Stream s;
  scripted_stream(s, {});
  double r = 7.0;
  EXPECT_EQ(Laplace(0, s.p, 0, &r, 0, 1), 0);
  EXPECT_EQ(Uniform(PAVO_METHOD_ACCURATE, s.p, 0, &r, 0, 1), 0);
  EXPECT_EQ(r, 7.0);
}

}  // namespace
