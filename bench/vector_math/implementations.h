// The implementations this benchmark compares, each as an array map
// (arguments, results, count) per precision (SinCos: the sine into the results, the cosine
// into a scratch array), for the exponential and logarithm family,
// the trigonometric functions, the hyperbolic functions, the inverse functions, the
// powers and roots, the gamma functions, the Bessel functions and the error functions. A two-argument function
// reads its second arguments from `second_arguments` (functions.h).
#pragma once

#include <cstdint>
#include <vector>

namespace bench::vector_math {

enum class Function {
  kExp, kExp2, kExp10, kExpm1, kLn, kLog2, kLog10, kLog1p, kLogb, kSin, kCos, kTan, kSinCos,
  kSinh, kCosh, kTanh, kAsinh, kAcosh, kAtanh, kAsin, kAcos, kAtan,
  kErfInv, kErfcInv, kCdfNormInv,
  kSqrt, kInvSqrt, kCbrt, kInvCbrt, kPow2o3, kPow3o2, kPow, kHypot,
  kLGamma, kTGamma, kJ0, kJ1, kY0,
  kErf, kErfc, kAtan2, kI0, kI1, kExpInt1,
  kSinpi, kCospi, kTanpi, kSind, kCosd, kTand,
  kAsinpi, kAcospi, kAtanpi, kAtan2pi,
  kLGammaNeg, kTGammaNeg,  // LGamma and TGamma on negative arguments
  kCount  // the number of functions above, not a function
};
inline constexpr int kFunctionCount = static_cast<int>(Function::kCount);

// Sinpi to Tand, whose SLEEF peers are its 0.5-ulp functions.
constexpr bool is_scaled_trig(Function f) {
  return f >= Function::kSinpi && f <= Function::kTand;
}

template <class T>
using ArrayMap = void (*)(const T* a, T* r, int64_t n);

// kReference is the 1-ulp SSE2 peer the report compares against by name; kCeiling
// lines use instructions beyond the 128-bit baseline and are shown for orientation only.
// kSlot lines are ours in the other accuracy slots (LA, EP), shown beside the HA line
// and never counted as a peer.
enum class Role { kOurs, kPeer, kReference, kCeiling, kSlot };

struct Implementation {
  const char* name;
  Role role;
  ArrayMap<float> s;  // null where the implementation lacks the function in that precision
  ArrayMap<double> d;
};

// Ours, glibc's scalar functions in a loop, libmvec's 128-bit variants, SLEEF's SSE2
// variants and GSL's scalar normal quantile in a loop, in that order.
std::vector<Implementation> baseline_implementations(Function f);

// libmvec's and SLEEF's AVX2 variants; writes at most kMaxCeilings entries and returns
// their number. Call only on a processor with AVX2 and FMA. A plain array instead of a
// std::vector: the AVX2 unit must not instantiate any inline library code that the
// baseline units share.
constexpr int kMaxCeilings = 2;
int ceiling_implementations(Function f, Implementation* out);

// Everything that runs here: the baseline set, then the ceilings when the processor has them.
std::vector<Implementation> implementations_of(Function f);

}  // namespace bench::vector_math
