// The identifiers of abstract streams, whose state holds a caller's buffer and
// callback addresses: such a stream is made only by its own creation call, never by
// the generic one nor from a saved image (a forged image would choose the callback).
#pragma once

#include <cstdint>

#include "zorn/pavo.h"

namespace zorn::streams {

inline bool is_abstract_id(uint32_t brng_id) {
  return brng_id == PAVO_BRNG_IABSTRACT || brng_id == PAVO_BRNG_DABSTRACT ||
         brng_id == PAVO_BRNG_SABSTRACT;
}

}  // namespace zorn::streams
