// The MT2203 parameter table: matrix word A and tempering masks B, C of each of the
// 6024 sub-generators (tools/mt2203_parameters).
#pragma once

#include <cstdint>

namespace zorn::generators {

struct Mt2203Parameters {
  uint32_t a;
  uint32_t b;
  uint32_t c;
};
static_assert(sizeof(Mt2203Parameters) == 12);

constexpr int32_t kMt2203SubGenerators = 6024;
extern const Mt2203Parameters kMt2203Parameters[kMt2203SubGenerators];

}  // namespace zorn::generators
