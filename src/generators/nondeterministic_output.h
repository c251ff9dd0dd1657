// How the nondeterministic generator turns hardware random values into output, written
// over a source of draws so that the rules hold, and can be checked, whatever delivers
// the values. A source has next64(uint64_t&) and next32(uint32_t&), each false when no
// value could be had.
#pragma once

#include <cstdint>

#include "streams/status.h"

namespace zorn::generators {

// Draws through draw(&value), which reports whether the hardware delivered, trying at
// most `limit` times in all.
template <typename Draw64, typename Draw32>
struct RetryingSource {
  uint32_t limit;
  Draw64 draw64;
  Draw32 draw32;
  template <typename Value, typename Draw>
  bool retry(Value& v, Draw& draw) const {
    for (uint32_t attempt = 0; attempt < limit; ++attempt)
      if (draw(&v)) return true;
    return false;
  }
  bool next64(uint64_t& v) const { return retry(v, draw64); }
  bool next32(uint32_t& v) const { return retry(v, draw32); }
};

// n 32-bit values through emit(i, v): two from each 64-bit draw (low half first) and
// one 32-bit draw for an odd last value. Values emitted before a failure stay.
template <typename Source, typename Emit>
int32_t emit_halves(const Source& source, int32_t n, Emit&& emit) {
  int32_t i = 0;
  for (uint64_t v = 0; i + 1 < n; i += 2) {
    if (!source.next64(v)) return streams::kStatusRdrandFailed;
    emit(i, static_cast<uint32_t>(v));
    emit(i + 1, static_cast<uint32_t>(v >> 32));
  }
  if (i < n) {
    uint32_t v = 0;
    if (!source.next32(v)) return streams::kStatusRdrandFailed;
    emit(i, v);
  }
  return streams::kStatusOk;
}

template <typename Source>
int32_t nondeterministic_ints(const Source& source, int32_t n, uint32_t* r) {
  return emit_halves(source, n, [r](int32_t i, uint32_t v) { r[i] = v; });
}

// u x ((b - a) x 2^-64) + a, u one whole 64-bit draw per result.
template <typename Source>
int32_t nondeterministic_doubles(const Source& source, int32_t n, double* r, double a, double b) {
  const double scale = (b - a) * 0x1p-64;
  for (int32_t i = 0; i < n; ++i) {
    uint64_t u = 0;
    if (!source.next64(u)) return streams::kStatusRdrandFailed;
    r[i] = static_cast<double>(u) * scale + a;
  }
  return streams::kStatusOk;
}

// v x s + a in single precision, s = (b - a) x 2^-32, v a 32-bit half.
template <typename Source>
int32_t nondeterministic_singles(const Source& source, int32_t n, float* r, float a, float b) {
  const float scale = (b - a) * 0x1p-32f;
  return emit_halves(source, n, [r, scale, a](int32_t i, uint32_t v) { r[i] = static_cast<float>(v) * scale + a; });
}

}  // namespace zorn::generators
