// The generator registry: the current table (16 built-in rows, then registered ones),
// the legacy table, the sub-generator counts, and the identifier mapping.
#include "streams/registry.h"

#include <algorithm>

#include "generators/builtin_rows.h"
#include "streams/stream_object.h"
#include "streams/status.h"

using zorn::generators::BuiltinRow;
namespace gen = zorn::generators;

extern "C" {
ZORN_API PavoBrngProperties __RegBrngs[PAVO_REGISTRY_ROWS];
ZORN_API PavoBrngProperties __RegBrngsNew[PAVO_REGISTRY_ROWS];
}

namespace zorn::streams {
namespace {

constexpr int32_t kIdRowShift = 20;
constexpr uint32_t kSubMask = 0xFFFFF;
constexpr int32_t kLegacyWhFirst = 4;
constexpr int32_t kLegacyWhLast = 276;
constexpr int32_t kLegacySobol = 277;
constexpr int32_t kLegacyNiederr = 278;
constexpr int32_t kCurrentSobol = 5;
constexpr int32_t kCurrentNiederr = 6;

int32_t g_registered_rows = 0;
int32_t g_sub_generators[PAVO_REGISTRY_ROWS];
int32_t g_evolving_bytes[PAVO_REGISTRY_ROWS];
int32_t (*g_check_state[PAVO_REGISTRY_ROWS])(const void*);

// The current-table row that holds the generator of a legacy row.
int32_t current_row_of_legacy(int32_t legacy_row) {
  if (legacy_row < kLegacyWhFirst) return legacy_row;
  if (legacy_row <= kLegacyWhLast) return kLegacyWhFirst;
  return legacy_row == kLegacySobol ? kCurrentSobol : kCurrentNiederr;
}

int32_t clamped_evolving_bytes(const PavoBrngProperties& row, int64_t wanted) {
  const int64_t state_bytes = int64_t{row.state_size} - kStreamHeaderBytes;
  return static_cast<int32_t>(std::max<int64_t>(0, std::min(wanted, state_bytes)));
}

// Filled before any other initialiser of the library runs (priority 101), so that the
// tables read as static data from load on. The rows are defined in other translation
// units, hence the copy.
struct RegistryFiller {
  RegistryFiller() {
    const BuiltinRow* const builtin[PAVO_BUILTIN_ROWS] = {
        &gen::kRowMCG31M1,  &gen::kRowR250,      &gen::kRowMRG32K3A,    &gen::kRowMCG59,
        &gen::kRowWH,       &gen::kRowSobol,     &gen::kRowNiederr,     &gen::kRowMT19937,
        &gen::kRowMT2203,   &gen::kRowIAbstract, &gen::kRowDAbstract,   &gen::kRowSAbstract,
        &gen::kRowSFMT19937, &gen::kRowNondeterm, &gen::kRowARS5,       &gen::kRowPhilox4x32x10};
    for (int32_t row = 0; row < PAVO_BUILTIN_ROWS; ++row) {
      __RegBrngsNew[row] = builtin[row]->properties;
      g_sub_generators[row] = builtin[row]->sub_generators;
      g_evolving_bytes[row] = builtin[row]->evolving_bytes;
      g_check_state[row] = builtin[row]->check_state;
    }
    g_registered_rows = PAVO_BUILTIN_ROWS;
    for (int32_t row = 0; row < kLegacyWhFirst; ++row) __RegBrngs[row] = builtin[row]->properties;
    for (int32_t row = kLegacyWhFirst; row <= kLegacyWhLast; ++row)
      __RegBrngs[row] = gen::kRowWH.properties;
    __RegBrngs[kLegacySobol] = gen::kRowSobol.properties;
    __RegBrngs[kLegacyNiederr] = gen::kRowNiederr.properties;
  }
};
[[gnu::init_priority(101)]] const RegistryFiller g_registry_filler;

bool row_holds_generator(const PavoBrngProperties& row) { return row.init_stream != nullptr; }

}  // namespace

BrngLookup lookup_brng(uint32_t brng_id) {
  BrngLookup found{};
  found.table = __pavoGetBrngBaseOffset(brng_id, &found.row_index, &found.sub);
  if (static_cast<int32_t>(brng_id) >= 0 &&
      __pavoIsBrngValid(found.table, found.row_index, found.sub) == kStatusOk &&
      row_holds_generator(found.table[found.row_index]))
    found.row = &found.table[found.row_index];
  if (found.row != nullptr) {
    const int32_t current =
        found.table == __RegBrngs ? current_row_of_legacy(found.row_index) : found.row_index;
    found.evolving_bytes = clamped_evolving_bytes(*found.row, g_evolving_bytes[current]);
    found.check_state = g_check_state[current];
  }
  return found;
}

const PavoBrngProperties* row_of_stream(const void* stream) {
  return lookup_brng(header_of(stream)->brng_id).row;
}

}  // namespace zorn::streams

using namespace zorn::streams;

extern "C" {

PavoBrngProperties* __pavoGetBrngBaseOffset(uint32_t brng_id, int32_t* row, int32_t* sub) {
  const int32_t id = static_cast<int32_t>(brng_id);
  if (id >= (1 << kIdRowShift)) {
    *row = (id >> kIdRowShift) - 1;
    *sub = static_cast<int32_t>(brng_id & kSubMask);
    return __RegBrngsNew;
  }
  if (id >= kLegacyWhFirst && id <= kLegacyWhLast) {
    *row = kLegacyWhFirst;
    *sub = id - kLegacyWhFirst;
  } else {
    *row = id;  // negative identifiers give a negative row, which no table accepts
    *sub = 0;
  }
  return __RegBrngs;
}

int32_t __pavoIsBrngValid(const PavoBrngProperties* table, int32_t row, int32_t sub) {
  if (row < 0 || sub < 0) return kStatusInvalidBrng;
  if (table == __RegBrngs) return row < PAVO_LEGACY_DEFINED_ROWS ? kStatusOk : kStatusInvalidBrng;
  if (table == __RegBrngsNew)
    return row < g_registered_rows && sub < g_sub_generators[row] ? kStatusOk : kStatusInvalidBrng;
  return kStatusInvalidBrng;
}

int32_t __pavoGetBrngProperties(uint32_t brng_id, PavoBrngProperties* properties) {
  int32_t row = 0, sub = 0;
  const PavoBrngProperties* table = __pavoGetBrngBaseOffset(brng_id, &row, &sub);
  if (static_cast<int32_t>(brng_id) < 0 || __pavoIsBrngValid(table, row, sub) != kStatusOk)
    return kStatusInvalidBrng;
  *properties = table[row];
  return kStatusOk;
}

int32_t __pavoGetNumRegBrngs(void) { return g_registered_rows; }

int32_t __pavoRegisterBrng(const PavoBrngProperties* p) {
  if (p == nullptr) return kStatusBadArgument;
  if (p->state_size < 0) return kStatusBadStateSize;
  if (p->word_size != 4 && p->word_size != 8 && p->word_size != 16) return kStatusBadWordSize;
  if (p->state_words < 1) return kStatusBadStateWords;
  if (p->bits < 1) return kStatusBadBits;
  if (!p->init_stream || !p->gen_single || !p->gen_double || !p->gen_int) return kStatusNullOperation;
  if (g_registered_rows >= PAVO_REGISTRY_ROWS) return kStatusRegistryFull;
  const int32_t row = g_registered_rows;
  __RegBrngsNew[row] = *p;
  g_sub_generators[row] = 1;
  g_evolving_bytes[row] = clamped_evolving_bytes(*p, int64_t{p->state_words} * p->word_size);
  g_registered_rows = row + 1;
  return (row + 1) << kIdRowShift;
}

}  // extern "C"
