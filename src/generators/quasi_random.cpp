// The quasi-random engine: seeding into the state or into chunks, the state check, the
// Gray-code generation with the position inside a point, leapfrog and skip-ahead.
#include "generators/quasi_random.h"

#include <algorithm>
#include <bit>
#include <utility>

#include "core_interface/sibling.h"
#include "generators/quasi_random_blocks.h"
#include "streams/status.h"
#include "streams/stream_object.h"

namespace zorn::generators {
namespace {

namespace st = zorn::streams;

// Points 1 to 2^32 - 1 exist: a request of n outputs needs counter + n <= kLastCounter
// and a skip lands at most on kLastSkipTarget, so the step after point 2^32 - 1, which
// would need a 33rd direction number, is never taken.
constexpr uint64_t kLastCounter = 0xFFFFFFFFu;
constexpr uint64_t kLastSkipTarget = 0xFFFFFFFEu;

QuasiHeader& header(void* stream) { return st::state_of<QuasiHeader>(stream); }
const QuasiHeader& header(const void* stream) {
  return *reinterpret_cast<const QuasiHeader*>(st::state_bytes(stream));
}

using Tables = QuasiTables;

struct ChunkBytes {
  uint64_t directions;
  uint64_t values;  // 0 when the values share the directions' chunk
};
ChunkBytes chunk_bytes(const QuasiLayout& layout, uint32_t d) {
  const uint64_t directions = uint64_t{4} * kDirectionBits * d, values = uint64_t{4} * d;
  if (layout.values_chunk == layout.directions_chunk) return {directions + values, 0};
  return {directions, values};
}

// The data of the first chunk with this identifier when it holds exactly `bytes` and is
// the stream's own: generation writes the current values into it, so data shared
// through the read-only table (only a forged image can bring that) is refused.
uint32_t* chunk_data(const void* stream, uint32_t id, uint64_t bytes) {
  for (const PavoChunk* c = st::header_of(stream)->chunks; c != nullptr; c = c->chunk_next)
    if (c->chunk_id == id)
      return c->chunk_size >= 0 && static_cast<uint64_t>(c->chunk_size) == bytes && c->chunk_key[0] == 0 &&
                     c->chunk_key[1] == 0
                 ? static_cast<uint32_t*>(c->chunk_data)
                 : nullptr;
  return nullptr;
}

bool locate_tables(const void* stream, const QuasiLayout& layout, Tables* t) {
  const QuasiHeader& h = header(stream);
  if (h.tables == kBuiltinTables) {
    if (h.dimension > layout.max_dimension) return false;
    auto* values = reinterpret_cast<uint32_t*>(const_cast<unsigned char*>(st::state_bytes(stream)) +
                                               sizeof(QuasiHeader));
    *t = {values, values + layout.max_dimension, layout.max_dimension};
    return true;
  }
  if (h.tables != kCallerTables) return false;
  const ChunkBytes bytes = chunk_bytes(layout, h.dimension);
  uint32_t* directions = chunk_data(stream, layout.directions_chunk, bytes.directions);
  uint32_t* values = bytes.values == 0 ? directions + uint64_t{kDirectionBits} * h.dimension
                                       : chunk_data(stream, layout.values_chunk, bytes.values);
  if (directions == nullptr || values == nullptr) return false;
  *t = {values, directions, h.dimension};
  return true;
}

bool header_consistent(const QuasiHeader& h) {
  if (h.counter == 0 || h.dimension == 0) return false;
  if (h.selected == kAllCoordinates) return h.position < h.dimension;
  return h.selected < h.dimension && h.position == 0;
}

// The tables of a consistent stream, or -3.
int32_t checked_tables(const void* stream, const QuasiLayout& layout, Tables* t) {
  if (!header_consistent(header(stream)) || !locate_tables(stream, layout, t)) return st::kStatusBadArgument;
  return st::kStatusOk;
}

// Index of the direction number that leads from point c to point c + 1.
inline uint32_t flip_index(uint32_t c) { return static_cast<uint32_t>(std::countr_one(c)); }

// Coordinate j of point c.
uint32_t value_at(const Tables& t, uint32_t c, uint32_t j) {
  uint32_t x = 0;
  for (uint32_t gray = c ^ (c >> 1); gray != 0; gray &= gray - 1)
    x ^= t.directions[std::countr_zero(gray) * t.stride + j];
  return x;
}

// All coordinates of point c.
void set_point(const Tables& t, uint32_t d, uint32_t c) {
  std::fill(t.values, t.values + d, 0u);
  for (uint32_t gray = c ^ (c >> 1); gray != 0; gray &= gray - 1) {
    const uint32_t* row = t.directions + std::countr_zero(gray) * t.stride;
    for (uint32_t j = 0; j < d; ++j) t.values[j] ^= row[j];
  }
}

// Whole points counter, counter + 1, ..., each coordinate output and stepped in one pass.
template <typename Out, typename Convert>
Out* step_points(const Tables& t, uint32_t d, uint32_t& c, uint64_t points, Out* __restrict r, Convert convert) {
  uint32_t* __restrict values = t.values;
  for (; points > 0; --points, ++c, r += d) {
    const uint32_t* __restrict row = t.directions + flip_index(c) * t.stride;
    for (uint32_t j = 0; j < d; ++j) {
      r[j] = convert(values[j]);
      values[j] ^= row[j];
    }
  }
  return r;
}

// Writes n outputs, each convert(coordinate value), and advances the stream by them.
// Whole points go to blocks(t, d, counter, points, r) when it takes them (it returns
// whether it did), else point by point.
template <typename Out, typename Convert, typename Blocks>
void draw(QuasiHeader& h, const Tables& t, int32_t n, Out* r, Convert convert, Blocks blocks) {
  uint32_t c = h.counter;
  if (h.selected != kAllCoordinates) {
    const uint32_t k = h.selected;
    uint32_t x = t.values[k];
    for (int32_t i = 0; i < n; ++i, ++c) {
      r[i] = convert(x);
      x ^= t.directions[flip_index(c) * t.stride + k];
    }
    t.values[k] = x;
    h.counter = c;
    return;
  }
  const uint32_t d = h.dimension;
  uint32_t pos = h.position;
  uint64_t left = static_cast<uint64_t>(n);
  while (left > 0) {
    if (pos == 0 && left >= d) {
      const uint32_t points = static_cast<uint32_t>(left / d);
      left %= d;
      if (blocks(t, d, c, points, r)) {
        c += points;
        r += uint64_t{points} * d;
      } else {
        r = step_points(t, d, c, points, r, convert);
      }
      continue;
    }
    const uint32_t take = static_cast<uint32_t>(std::min<uint64_t>(d - pos, left));
    for (uint32_t j = 0; j < take; ++j) r[j] = convert(t.values[pos + j]);
    r += take;
    left -= take;
    pos += take;
    if (pos == d) {
      const uint32_t* row = t.directions + flip_index(c) * t.stride;
      for (uint32_t j = 0; j < d; ++j) t.values[j] ^= row[j];
      ++c;
      pos = 0;
    }
  }
  h.counter = c;
  h.position = pos;
}

template <typename Out, typename Convert, typename Blocks>
int32_t generate(void* stream, const QuasiLayout& layout, int32_t n, Out* r, Convert convert, Blocks blocks) {
  Tables t;
  if (const int32_t status = checked_tables(stream, layout, &t); status != st::kStatusOk) return status;
  if (n <= 0) return st::kStatusOk;
  QuasiHeader& h = header(stream);
  if (h.counter + static_cast<uint64_t>(n) > kLastCounter) return st::kStatusQuasiExhausted;
  draw(h, t, n, r, convert, blocks);
  return st::kStatusOk;
}

template <typename Real>
int32_t generate_reals(void* stream, const QuasiLayout& layout, int32_t n, Real* r, Real a, Real b) {
  const Real scale = (b - a) * static_cast<Real>(0x1p-32);
  return generate(
      stream, layout, n, r, [scale, a](uint32_t x) { return static_cast<Real>(x) * scale + a; },
      [scale, a](const Tables& t, uint32_t d, uint32_t c, uint32_t points, Real* out) {
        const uint32_t length = point_block_length(d);
        if (length == 0 || points < length) return false;
        draw_point_blocks(t, d, c, points, out, scale, a);
        return true;
      });
}

// Private chunk blocks that free themselves unless handed to the stream.
struct OwnedBlock {
  void* p = nullptr;
  ~OwnedBlock() { sibling::deallocate(p); }
  void* release() { return std::exchange(p, nullptr); }
};

int32_t attach(void* stream, uint32_t id, OwnedBlock& block, uint64_t bytes) {
  const int32_t status = __pavoAddChunk(stream, id, nullptr, block.p, static_cast<int32_t>(bytes));
  if (status == st::kStatusOk) block.release();
  return status;
}

// Fresh chunks for caller tables of dimension d; the tables are filled by the caller.
int32_t make_caller_tables(void* stream, const QuasiLayout& layout, uint32_t d, Tables* t) {
  const ChunkBytes bytes = chunk_bytes(layout, d);
  if (bytes.directions > INT32_MAX) return st::kStatusNoMemory;
  OwnedBlock directions{sibling::allocate(bytes.directions)}, values;
  if (directions.p == nullptr) return st::kStatusNoMemory;
  auto* dir_words = static_cast<uint32_t*>(directions.p);
  uint32_t* value_words = dir_words + uint64_t{kDirectionBits} * d;
  if (bytes.values != 0) {
    values.p = sibling::allocate(bytes.values);
    if (values.p == nullptr) return st::kStatusNoMemory;
    value_words = static_cast<uint32_t*>(values.p);
    if (const int32_t status = attach(stream, layout.values_chunk, values, bytes.values); status != st::kStatusOk)
      return status;
  }
  if (const int32_t status = attach(stream, layout.directions_chunk, directions, bytes.directions);
      status != st::kStatusOk) {
    __pavoDeleteChunksById(stream, layout.values_chunk);
    return status;
  }
  *t = {value_words, dir_words, d};
  return st::kStatusOk;
}

}  // namespace

int32_t quasi_seed(void* stream, const QuasiLayout& layout, uint32_t dimension, uint32_t tables,
                   DirectionSource source, const void* context) {
  __pavoDeleteChunksById(stream, layout.directions_chunk);
  __pavoDeleteChunksById(stream, layout.values_chunk);
  QuasiHeader& h = header(stream);
  h = QuasiHeader{1, dimension, kAllCoordinates, 0, tables, {0, 0, 0}};
  Tables t;
  if (tables == kCallerTables) {
    if (const int32_t status = make_caller_tables(stream, layout, dimension, &t); status != st::kStatusOk) {
      h.counter = 0;  // refused by every operation until seeded again
      return status;
    }
  } else {
    locate_tables(stream, layout, &t);
  }
  uint32_t* directions = const_cast<uint32_t*>(t.directions);
  for (uint32_t j = 0; j < dimension; ++j) {
    uint32_t v[kDirectionBits];
    source(context, j, v);
    for (int k = 0; k < kDirectionBits; ++k) directions[k * t.stride + j] = v[k];
    t.values[j] = v[0];
  }
  return st::kStatusOk;
}

int32_t quasi_seed_words(void* stream, const QuasiLayout& layout, int32_t n, const uint32_t* s, bool caller_data,
                         DirectionSource source, const void* context) {
  const bool stated = n >= 1 && s[0] >= 1 && (caller_data || s[0] <= layout.max_dimension);
  return quasi_seed(stream, layout, stated ? s[0] : 1, caller_data ? kCallerTables : kBuiltinTables, source, context);
}

int32_t quasi_check_state(const void* stream, const QuasiLayout& layout) {
  Tables t;
  return checked_tables(stream, layout, &t);
}

int32_t quasi_leapfrog(void* stream, const QuasiLayout& layout, uint32_t k, int32_t n_streams) {
  Tables t;
  if (const int32_t status = checked_tables(stream, layout, &t); status != st::kStatusOk) return status;
  QuasiHeader& h = header(stream);
  if (n_streams != 0x7FFFFFFF || k >= h.dimension) return st::kStatusLeapfrogUnsupported;
  if (h.selected == k) return st::kStatusOk;
  t.values[k] = value_at(t, h.counter, k);
  h.selected = k;
  h.position = 0;
  return st::kStatusOk;
}

int32_t quasi_skip_ahead(void* stream, const QuasiLayout& layout, uint64_t count) {
  Tables t;
  if (const int32_t status = checked_tables(stream, layout, &t); status != st::kStatusOk) return status;
  QuasiHeader& h = header(stream);
  // One coordinate selected: every number is a point. All selected: count / d points
  // and count mod d coordinates, which may finish the current point.
  uint64_t points = count, position = 0;
  if (h.selected == kAllCoordinates) {
    const uint64_t within = h.position + count % h.dimension;
    points = count / h.dimension + within / h.dimension;
    position = within % h.dimension;
  }
  if (points > kLastSkipTarget || h.counter + points > kLastSkipTarget) return st::kStatusSkipAheadUnsupported;
  if (points != 0) {
    h.counter += static_cast<uint32_t>(points);
    if (h.selected == kAllCoordinates)
      set_point(t, h.dimension, h.counter);
    else
      t.values[h.selected] = value_at(t, h.counter, h.selected);
  }
  h.position = static_cast<uint32_t>(position);
  return st::kStatusOk;
}

int32_t quasi_ints(void* stream, const QuasiLayout& layout, int32_t n, uint32_t* r) {
  return generate(
      stream, layout, n, r, [](uint32_t x) { return x; },
      [](const Tables&, uint32_t, uint32_t, uint32_t, uint32_t*) { return false; });
}
int32_t quasi_reals(void* stream, const QuasiLayout& layout, int32_t n, float* r, float a, float b) {
  return generate_reals(stream, layout, n, r, a, b);
}
int32_t quasi_reals(void* stream, const QuasiLayout& layout, int32_t n, double* r, double a, double b) {
  return generate_reals(stream, layout, n, r, a, b);
}

}  // namespace zorn::generators
