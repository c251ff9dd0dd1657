// The accuracy bounds: for each function, type and accuracy slot, the largest error in
// ulps its kernel may show: the bound column of harness/functions.def.
#pragma once

#include <optional>
#include <string_view>

namespace zorn_accuracy {

// Slot bits of a bound line.
constexpr unsigned kLA = 1, kHA = 2, kEP = 4, kAllSlots = kLA | kHA | kEP;

struct Bound {
  std::string_view func;
  std::string_view types;  // type letters the line covers
  unsigned slots;          // kLA | kHA | kEP
  double ulp;
};

// The bound of `func` for type letter `type` in slot 0 (LA), 1 (HA) or 2 (EP); no value
// when the table has no line for it. For complex results it is the normwise bound, and
// part_bound_for gives the per-part bound of the same line (complex_parts.h), no value
// where the line has none.
std::optional<double> bound_for(std::string_view func, char type, int slot);
std::optional<double> part_bound_for(std::string_view func, char type, int slot);

}  // namespace zorn_accuracy
