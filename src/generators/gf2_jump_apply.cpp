// Evaluation of g(T) on a generator state, g = x^s mod p, in the Horner form and in
// the sliding-window form of Haramoto et al. (2008). Both first let the generator
// spend the part of s inside its current block, then compute g, then write back.
#include <cstring>

#include "core_interface/sibling.h"
#include "generators/gf2_jump.h"
#include "streams/status.h"

namespace zorn::generators {
namespace {

namespace st = zorn::streams;

constexpr int kWindowBits = 7;
constexpr int kWindowStates = 1 << kWindowBits;

struct JumpOps {
  PavoJumpClear clear;
  PavoJumpAdd add;
  PavoJumpCopy copy;
  PavoJumpAdvance advance;
  PavoJumpStore store;
  PavoJumpConsume consume;
  bool complete() const { return clear && add && copy && advance && store && consume; }
};

struct Polynomial {
  int32_t degree;
  int32_t terms;
  const int32_t* exponents;
};

bool coefficient(const uint64_t* g, int64_t i) { return ((g[i / 64] >> (i % 64)) & 1u) != 0; }

int64_t degree_of(const uint64_t* g, int64_t words) {
  for (int64_t w = words - 1; w >= 0; --w)
    if (g[w] != 0) return w * 64 + 63 - __builtin_clzll(g[w]);
  return -1;
}

size_t rounded(int32_t bytes) { return (static_cast<size_t>(bytes) + 127) / 128 * 128; }

// Runs the common frame: consume, allocate g and `temporaries` states, compute g,
// evaluate, store, release. `evaluate(g, degree of g, temporaries)` leaves the result
// in the first temporary.
template <typename Evaluate>
int32_t jump(void* state, const JumpOps& ops, uint64_t s, int32_t state_words, int32_t state_size,
             const Polynomial& p, int temporaries, Evaluate&& evaluate) {
  if (state == nullptr || !ops.complete() || state_words < 1 || state_size < 1 || p.degree < 1 ||
      p.terms < 2 || p.exponents == nullptr)
    return st::kStatusBadArgument;
  const uint64_t steps = ops.consume(state, s);
  if (steps == 0) return st::kStatusOk;
  const int32_t g_words = p.degree / 64 + 1;
  const size_t g_bytes = rounded(static_cast<int32_t>(sizeof(uint64_t)) * g_words);
  const size_t stride = rounded(state_size);
  auto* block = static_cast<unsigned char*>(zorn::sibling::allocate(g_bytes + stride * temporaries));
  if (block == nullptr) return st::kStatusNoMemory;
  auto* g = reinterpret_cast<uint64_t*>(block);
  int32_t status = __pavoPolyRem(steps, p.degree, p.terms, p.exponents, g_words, g);
  if (status == st::kStatusOk) {
    unsigned char* temps = block + g_bytes;
    evaluate(g, degree_of(g, g_words), temps, stride);
    ops.store(state, temps);
  }
  zorn::sibling::deallocate(block);
  return status;
}

}  // namespace
}  // namespace zorn::generators

using namespace zorn::generators;

extern "C" {

int32_t __pavo_SkipAheadHorner(void* stream_state, PavoJumpClear clear, PavoJumpAdd add, PavoJumpCopy copy,
                               PavoJumpAdvance advance, PavoJumpStore store, PavoJumpConsume consume,
                               uint64_t s, int32_t state_words, int32_t degree, int32_t state_size,
                               int32_t terms, const int32_t* exponents) {
  const JumpOps ops{clear, add, copy, advance, store, consume};
  return jump(stream_state, ops, s, state_words, state_size, {degree, terms, exponents}, 1,
              [&](const uint64_t* g, int64_t top, unsigned char* temps, size_t) {
                if (top < 0) {
                  clear(temps);
                  return;
                }
                // temps = state for the leading coefficient, then one step per lower one.
                copy(temps, stream_state);
                for (int64_t i = top - 1; i >= 0; --i) {
                  advance(temps);
                  if (coefficient(g, i)) add(temps, stream_state);
                }
              });
}

int32_t __pavo_SkipAheadSWin(void* stream_state, PavoJumpClear clear, PavoJumpAdd add, PavoJumpCopy copy,
                             PavoJumpAdvance advance, PavoJumpStore store, PavoJumpConsume consume,
                             uint64_t s, int32_t state_words, int32_t degree, int32_t state_size,
                             int32_t terms, const int32_t* exponents) {
  const JumpOps ops{clear, add, copy, advance, store, consume};
  return jump(stream_state, ops, s, state_words, state_size, {degree, terms, exponents}, 1 + kWindowStates,
              [&](const uint64_t* g, int64_t top, unsigned char* temps, size_t stride) {
                unsigned char* result = temps;
                auto window = [&](int c) { return temps + stride * static_cast<size_t>(1 + c); };
                // window(c) = sum over the set bits b of c of T^b state: built from the
                // powers T^b state, each pattern from the one without its top bit.
                clear(window(0));
                copy(window(1), stream_state);
                for (int b = 1; b < kWindowBits; ++b) {
                  copy(window(1 << b), window(1 << (b - 1)));
                  advance(window(1 << b));
                }
                for (int c = 3; c < kWindowStates; ++c) {
                  const int high = 1 << (31 - __builtin_clz(static_cast<unsigned>(c)));
                  if (c == high) continue;
                  copy(window(c), window(c - high));
                  add(window(c), window(high));
                }
                if (top < 0) {
                  clear(result);
                  return;
                }
                // g from the top in groups of seven coefficients: result = T^7 result + window.
                const int64_t groups = top / kWindowBits + 1;
                for (int64_t k = groups - 1; k >= 0; --k) {
                  int c = 0;
                  for (int b = kWindowBits - 1; b >= 0; --b) {
                    const int64_t i = k * kWindowBits + b;
                    c = (c << 1) | (i <= top && coefficient(g, i) ? 1 : 0);
                  }
                  if (k == groups - 1) {
                    copy(result, window(c));
                    continue;
                  }
                  for (int b = 0; b < kWindowBits; ++b) advance(result);
                  if (c != 0) add(result, window(c));
                }
              });
}

}  // extern "C"
