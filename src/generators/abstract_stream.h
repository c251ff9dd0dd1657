// Abstract streams: the values come from the caller's circular buffer, which the
// caller's callback refills whenever the values available run out. The buffer and the
// callback belong to the caller; the stream keeps its cursor in the buffer.
#pragma once

#include <algorithm>
#include <cstdint>

#include "streams/status.h"

namespace zorn::generators {

struct AbstractCursor {
  int32_t n;         // buffer length in values
  int32_t position;  // next value to hand out, 0 .. n - 1
  int32_t used;      // values of the current filling handed out: n - used are available
};

// The creation operations pass the addresses of their arguments as a parameter block:
// n, the buffer, then (for the real kinds) a and b, then the callback. `count` is the
// block's length in 32-bit words, two per address.
template <typename State>
int32_t seed_abstract(State& s, int32_t count, const void* const* params, int32_t addresses) {
  if (count != 2 * addresses) return streams::kStatusBadArgument;
  s.cursor.n = *static_cast<const int32_t*>(params[0]);
  s.cursor.position = 0;
  s.cursor.used = s.cursor.n;  // used up: the first request refills
  s.buffer = static_cast<decltype(s.buffer)>(const_cast<void*>(params[1]));
  s.callback = reinterpret_cast<decltype(s.callback)>(const_cast<void*>(params[addresses - 1]));
  return streams::kStatusOk;
}

// Hands k values out through emit(i, value), in buffer order and circularly, calling
// the callback for new values whenever none is left. The cursor is kept in the state
// throughout, so after a failure it stands where the failing callback found it.
template <typename State, typename Emit>
int32_t hand_out(void* stream, State& s, int32_t k, Emit&& emit) {
  if (s.buffer == nullptr) return streams::kStatusAbstractNoBuffer;
  if (k <= 0) return streams::kStatusOk;
  AbstractCursor& c = s.cursor;
  for (int32_t done = 0;;) {
    const int32_t take = std::min(k - done, c.n - c.used);
    for (int32_t i = 0; i < take; ++i) {
      emit(done + i, s.buffer[c.position]);
      if (++c.position == c.n) c.position = 0;
    }
    c.used += take;
    done += take;
    if (done >= k) return streams::kStatusOk;
    // Nothing is available now (used = n), so the new values start at position.
    int32_t n = c.n, min_count = std::min(k - done, c.n), max_count = c.n;
    int32_t start = (c.position + c.n - c.used) % c.n;
    const int32_t delivered = s.callback(stream, &n, s.buffer, &min_count, &max_count, &start);
    if (delivered < 0 || delivered > c.n) return streams::kStatusAbstractBadRefill;
    if (delivered == 0) return streams::kStatusAbstractEmptyRefill;
    c.used -= delivered;
  }
}

// Real values v of the stream's interval [a_s, b_s) mapped onto [a, b):
// (v - a_s) x ((b - a) / (b_s - a_s)) + a, in the values' precision.
template <typename State, typename Real>
int32_t hand_out_mapped(void* stream, State& s, int32_t k, Real* r, Real a, Real b) {
  const Real from = s.a;
  const Real factor = (b - a) / (s.b - s.a);
  return hand_out(stream, s, k, [r, from, factor, a](int32_t i, Real v) { r[i] = (v - from) * factor + a; });
}

}  // namespace zorn::generators
