// The method word every generator takes first: the low bits pick the method, bit 30
// asks for results forced into the support of the distribution.
#pragma once

#include <cstdint>

namespace zorn::distributions {

constexpr int32_t kAccurateFlag = 0x40000000;

inline bool is_accurate(int32_t method) { return (method & kAccurateFlag) != 0; }
// The method number with the accurate flag removed.
inline int32_t method_number(int32_t method) { return method & ~kAccurateFlag; }

}  // namespace zorn::distributions
