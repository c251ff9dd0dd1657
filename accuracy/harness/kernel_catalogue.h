// The contiguous vector-math kernels whose results carry a rounding error: every
// function table without the strided (I) variants and without the pack and unpack
// tables, with its kernel slots and argument shape.
#pragma once

#include <string_view>
#include <vector>

#include "tess_frame/entry_signatures.h"
#include "zorn/tess_functions.h"

namespace zorn_accuracy {

enum class Shape {
  kOne,         // n, a, r
  kTwo,         // n, a, b, r
  kPowx,        // n, a, scalar b, r
  kOneTwo,      // n, a, r1, r2
  kOrder,       // n, a, scalar order, r
  kLinearFrac,  // n, a, b, scalea, shifta, scaleb, shiftb, r
  kToReal,      // complex a, real r
  kCis,         // real a, complex r
};

struct KernelTable {
  char type;              // s, d, c, z
  std::string_view func;  // "Exp"
  Shape shape;
  const TessFunctionTable* table;
};

const std::vector<KernelTable>& kernel_catalogue();

constexpr bool is_complex_type(char type) { return type == 'c' || type == 'z'; }
constexpr int precision_of(char type) { return type == 's' || type == 'c' ? 24 : 53; }

// Slot indices of a function table and their names.
constexpr int kSlotCount = 3;
constexpr const char* kSlotNames[kSlotCount] = {"LA", "HA", "EP"};

}  // namespace zorn_accuracy
