// Fuzzes the parser of the mode environment variable, directly and through the
// environment. A list is accepted exactly when each of its items is accepted alone,
// and then its value is the OR of theirs; a thread's initial mode is the parsed value
// completed with the default accuracy and error mode, or the initial mode when the
// text is refused.
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "tess_frame/mode.h"
#include "zorn/tess.h"

namespace {

void fail() { __builtin_trap(); }

// The OR of the items parsed one by one, or nothing when one of them is refused.
std::optional<uint64_t> parse_items(const std::string& text) {
  uint64_t value = 0;
  size_t start = 0;
  for (;;) {
    const size_t comma = text.find(',', start);
    const auto item = zorn::parse_mode_variable(text.substr(start, comma - start).c_str());
    if (!item) return std::nullopt;
    value |= *item;
    if (comma == std::string::npos) return value;
    start = comma + 1;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  if (text.find('\0') != std::string::npos) return 0;
  const std::optional<uint64_t> whole = zorn::parse_mode_variable(text.c_str());
  // Keywords are matched within the first 255 characters only: items are compared on
  // texts that fit.
  if (size < 255 && whole != parse_items(text)) fail();
  if (whole && zorn::parse_mode_variable((text + ",").c_str())) fail();

  if (size == 0 || size >= 255) return 0;
  // One environment entry whose text is rewritten in place (setenv would leak a copy
  // per input).
  static char entry[300] = "ZORN_TESS_MODE=";
  static const bool placed = putenv(entry) == 0;
  if (!placed) fail();
  std::memcpy(entry + 15, text.c_str(), size + 1);
  uint32_t want = TESS_MODE_INITIAL;
  if (whole) {
    want = static_cast<uint32_t>(*whole);
    if ((want & TESS_MODE_ACCURACY_MASK) == 0) want += TESS_MODE_HA;
    if ((want & TESS_MODE_ERRMODE_MASK) == 0) want += TESS_ERRMODE_DEFAULT;
  }
  if (zorn::initial_mode() != want) fail();
  return 0;
}
