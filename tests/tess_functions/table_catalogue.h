// Every function table of the library with its entry points, built from the function
// list, so that the tests iterate the tables rather than a hand-written list.
#pragma once

#include <string>
#include <vector>

#include "tess_frame/entry_signatures.h"
#include "zorn/tess_functions.h"

namespace zorn_test {

enum class Shape {
  ONE, TWO, POWX, ONE_TWO, ORDER, LINEAR_FRAC, TO_REAL, CIS,
  PACK_I, PACK_M, PACK_V, UNPACK_I, UNPACK_M, UNPACK_V
};

struct TableEntry {
  char type;
  std::string name;  // "ExpI"
  std::string func;  // "Exp"
  Shape shape;
  bool strided;
  bool separate;               // one kernel per accuracy slot
  std::string constants;       // "C3", "C111", "CPI", "C1"
  const TessFunctionTable* table;
  const TessConstantTable* constant_table;
  TessKernel entries[4];       // unsuffixed, _HA, slot-0 suffix, slot-2 suffix
};

const std::vector<TableEntry>& table_catalogue();

}  // namespace zorn_test
