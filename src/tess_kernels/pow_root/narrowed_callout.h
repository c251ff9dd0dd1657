// Single precision callouts that evaluate the double precision callout on the widened
// arguments and round its result once. A result that is finite in double but overflows
// the float range takes `kOverflowStatus` (0 where the function does not report it).
#pragma once

#include <cmath>
#include <cstdint>

#include "zorn/tess.h"

namespace zorn::tess {

template <int32_t (*Double)(double, double*), int32_t kOverflowStatus>
int32_t narrowed_callout(const float* x, float* r) {
  double v;
  int32_t status = Double(*x, &v);
  *r = static_cast<float>(v);
  if (status == TESS_STATUS_OK && std::isinf(*r) && std::isfinite(v)) status = kOverflowStatus;
  return status;
}

template <int32_t (*Double)(double, double, double*), int32_t kOverflowStatus>
int32_t narrowed_callout(const float* x, const float* y, float* r) {
  double v;
  int32_t status = Double(*x, *y, &v);
  *r = static_cast<float>(v);
  if (status == TESS_STATUS_OK && std::isinf(*r) && std::isfinite(v)) status = kOverflowStatus;
  return status;
}

}  // namespace zorn::tess
