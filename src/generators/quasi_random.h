// The engine shared by the base-2 quasi-random generators (Sobol, Niederreiter): the
// points of a d-dimensional sequence in Gray-code order, coordinate by coordinate, from
// 32 direction numbers per dimension. A generator supplies only its seeding: the
// dimension and where each dimension's direction numbers come from.
//
// Point i (i >= 1, the point counter) has in every dimension the XOR of the direction
// numbers V_(b+1) over the set bits b of the Gray code i ^ (i >> 1); going from point i
// to point i + 1 flips the one bit at the lowest zero bit of i. Point 0 is never produced.
#pragma once

#include <cstdint>

#include "generators/init_dispatch.h"
#include "generators/quasi_directions.h"

namespace zorn::generators {

// Where a generator keeps its tables. The built-in tables lie in the state behind the
// header fields: the current values (max_dimension words), then the direction numbers
// (kDirectionBits rows of max_dimension words, row k holding V_(k+1) of every
// dimension). Tables built from caller data, of any dimension, live in chunks of the
// stream so that copy, save and load carry them, with the same layout and stride d.
struct QuasiLayout {
  uint32_t max_dimension;
  uint32_t directions_chunk;
  // Chunk of the current values; when it is directions_chunk, the values follow the
  // direction numbers in that one chunk.
  uint32_t values_chunk;
};

constexpr uint32_t kAllCoordinates = 0xFFFFFFFFu;
constexpr uint32_t kBuiltinTables = 0;
constexpr uint32_t kCallerTables = 1;

// The fixed fields of the state.
struct QuasiHeader {
  uint32_t counter;    // number of the current point, 1 after seeding
  uint32_t dimension;  // d
  uint32_t selected;   // kAllCoordinates, or the one coordinate a leapfrog selected
  uint32_t position;   // next coordinate of the current point (0 when one is selected)
  uint32_t tables;     // kBuiltinTables or kCallerTables
  uint32_t reserved[3];
};

constexpr int32_t quasi_state_bytes(uint32_t max_dimension) {
  return static_cast<int32_t>(sizeof(QuasiHeader) + 4 * (kDirectionBits + 1) * max_dimension);
}

// Writes V_1..V_32 of dimension `index` (0-based) into v.
using DirectionSource = void (*)(const void* context, uint32_t index, uint32_t v[kDirectionBits]);

// Seeds the stream at point 1 with all coordinates selected, its tables in the state or,
// for caller data, in fresh chunks (replacing any the stream held). -4 when a chunk
// cannot be allocated.
int32_t quasi_seed(void* stream, const QuasiLayout& layout, uint32_t dimension, uint32_t tables,
                   DirectionSource source, const void* context);

// Seeds by the rule both generators share: caller data (s[0] dimensions) when the
// generator found it in the seed words, else dimension s[0] when it is 1 to
// max_dimension, else 1.
int32_t quasi_seed_words(void* stream, const QuasiLayout& layout, int32_t n, const uint32_t* s, bool caller_data,
                         DirectionSource source, const void* context);

// The stream's state is one this engine could have made: fields in range and, for caller
// tables, chunks of the right size. Every operation below checks it first and refuses
// an inconsistent state (a corrupted or forged image) with -3.
int32_t quasi_check_state(const void* stream, const QuasiLayout& layout);

int32_t quasi_leapfrog(void* stream, const QuasiLayout& layout, uint32_t k, int32_t n_streams);
int32_t quasi_skip_ahead(void* stream, const QuasiLayout& layout, uint64_t count);

int32_t quasi_ints(void* stream, const QuasiLayout& layout, int32_t n, uint32_t* r);
int32_t quasi_reals(void* stream, const QuasiLayout& layout, int32_t n, float* r, float a, float b);
int32_t quasi_reals(void* stream, const QuasiLayout& layout, int32_t n, double* r, double a, double b);

// init_dispatch hands the methods the stream as const; the quasi-random methods write
// its chunks and state.
inline void* writable_stream(const void* stream) { return const_cast<void*>(stream); }

// The init_stream methods of a generator with this layout. Seeding asks find(n, s,
// &source) whether the seed words hold caller data (n > 1 and s[0] >= 1 then), and
// fill(&source, j, v) for the direction numbers of each dimension.
template <const QuasiLayout& kLayout, typename Source, bool (*find)(int32_t, const uint32_t*, Source*),
          DirectionSource fill>
constexpr InitMethods<QuasiHeader> quasi_methods() {
  return {[](QuasiHeader&, const void* stream, int32_t n, const uint32_t* s) {
            Source source;
            const bool caller_data = n > 1 && s[0] >= 1 && find(n, s, &source);
            return quasi_seed_words(writable_stream(stream), kLayout, n, s, caller_data, fill, &source);
          },
          [](QuasiHeader&, const void* s, uint32_t k, int32_t n) {
            return quasi_leapfrog(writable_stream(s), kLayout, k, n);
          },
          [](QuasiHeader&, const void* s, uint64_t count) {
            return quasi_skip_ahead(writable_stream(s), kLayout, count);
          },
          nullptr};
}

}  // namespace zorn::generators

// The four exported operations of a quasi-random generator.
#define ZORN_DEFINE_QUASI_EXPORTS(name, layout, methods)                                          \
  extern "C" {                                                                                    \
  int32_t __pavoBRng##name##InitStream(uint32_t method, void* stream, int32_t n, const void* params) { \
    return zorn::generators::dispatch_init(methods, method, stream, n, params);                   \
  }                                                                                               \
  int32_t __pavosBRng##name(void* stream, int32_t n, float* r, float a, float b) {                \
    return zorn::generators::quasi_reals(stream, layout, n, r, a, b);                             \
  }                                                                                               \
  int32_t __pavodBRng##name(void* stream, int32_t n, double* r, double a, double b) {             \
    return zorn::generators::quasi_reals(stream, layout, n, r, a, b);                             \
  }                                                                                               \
  int32_t __pavoiBRng##name(void* stream, int32_t n, uint32_t* r) {                               \
    return zorn::generators::quasi_ints(stream, layout, n, r);                                    \
  }                                                                                               \
  }
