#include "tess_frame/mode.h"

#include <cstring>

#include "core_interface/sibling.h"

namespace zorn {

namespace {

struct Keyword {
  const char* text;
  size_t length;
  uint64_t value;
};

// Searched in this order; the first keyword that matches wins. "DOUBLE_CONSISTEN" has
// no final T: the keyword is compared over its own length and the next character must
// end the item, so "DOUBLE_CONSISTENT" is rejected.
constexpr Keyword kKeywords[] = {
    {"LA", 2, 0x1},
    {"HA", 2, 0x2},
    {"EP", 2, 0x3},
    {"DEFAULT_PRECISION", 17, 0x0},
    {"FLOAT_CONSISTENT", 16, 0x10},
    {"DOUBLE_CONSISTEN", 16, 0x20},
    {"RESTORE", 7, 0x30},
    {"ERRMODE_IGNORE", 14, 0x100},
    {"ERRMODE_ERRNO", 13, 0x200},
    {"ERRMODE_STDERR", 14, 0x400},
    {"ERRMODE_EXCEPT", 14, 0x800},
    {"ERRMODE_CALLBACK", 16, 0x1000},
    {"ERRMODE_NOERR", 13, 0x2000},
    {"ERRMODE_DEFAULT", 15, 0x1A00},
    {"TRAP_INVALID", 12, 0x1000000},
    {"TRAP_DIVBYZERO", 14, 0x2000000},
    {"TRAP_OVERFLOW", 13, 0x4000000},
    {"TRAP_UNDERFLOW", 14, 0x8000000},
};

constexpr char kPrefix[] = "TESS_";
constexpr size_t kPrefixLength = sizeof kPrefix - 1;
constexpr char kVariable[] = "ZORN_TESS_MODE";
constexpr int32_t kBufferSize = 256;
// Keywords are matched within the first 255 characters, the most the buffer holds.
constexpr size_t kSearchLimit = kBufferSize - 1;

constexpr uint32_t kMergedFields[] = {TESS_MODE_ACCURACY_MASK, TESS_MODE_ERRMODE_MASK,
                                      TESS_MODE_DENORMAL_MASK, TESS_MODE_TRAPS_MASK,
                                      TESS_MODE_RESERVED_MASK};

}  // namespace

std::optional<uint64_t> parse_mode_variable(const char* text) {
  const size_t length = std::strlen(text);
  uint64_t value = 0;
  size_t pos = 0;
  for (;;) {
    if (length - pos < kPrefixLength || std::memcmp(text + pos, kPrefix, kPrefixLength) != 0)
      return std::nullopt;
    pos += kPrefixLength;
    const Keyword* match = nullptr;
    for (const Keyword& k : kKeywords) {
      if (pos + k.length > kSearchLimit || pos + k.length > length) continue;
      if (std::memcmp(text + pos, k.text, k.length) == 0) {
        match = &k;
        break;
      }
    }
    if (match == nullptr) return std::nullopt;
    value |= match->value;
    pos += match->length;
    if (text[pos] == '\0') return value;
    if (text[pos] != ',') return std::nullopt;
    ++pos;
  }
}

uint32_t initial_mode() {
  char buffer[kBufferSize] = {};
  int32_t got;
  {
    StateLock lock(&tess_env_lock);
    got = sibling::zorn_serv_getenv()(kVariable, buffer, kBufferSize);
  }
  buffer[kBufferSize - 1] = '\0';
  const std::optional<uint64_t> parsed = got > 0 ? parse_mode_variable(buffer) : std::nullopt;
  if (!parsed) return TESS_MODE_INITIAL;
  uint32_t mode = static_cast<uint32_t>(*parsed);
  if ((mode & TESS_MODE_ACCURACY_MASK) == 0) mode += TESS_MODE_HA;
  if ((mode & TESS_MODE_ERRMODE_MASK) == 0) mode += TESS_ERRMODE_DEFAULT;
  return mode;
}

uint32_t merge_mode(uint32_t old, uint32_t next) {
  uint32_t merged = old;
  for (uint32_t field : kMergedFields)
    if ((next & field) != 0) merged = (merged & ~field) | (next & field);
  return merged;
}

uint32_t apply_initial_mode(TessThreadState* state) {
  state->Mode = initial_mode();
  return state->Mode;
}

}  // namespace zorn
