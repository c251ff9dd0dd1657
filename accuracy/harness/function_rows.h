// The rows of the harness catalogue (harness/functions.def) without their references:
// per function its argument domain, hard cases and bound lines.
#pragma once

#include <cmath>
#include <string_view>
#include <utility>
#include <vector>

#include "harness/bounds.h"
#include "harness/domains.h"

namespace zorn_accuracy {

struct BoundLine {
  std::string_view types;  // type letters the line covers
  unsigned slots;          // kLA | kHA | kEP
  double ulp;              // normwise for complex results
  double part_ulp = NAN;   // complex results: each part the per-part measure covers
};

struct FunctionRow {
  Domain domain;  // domain.func is the function's name
  std::vector<double> hard_values;
  std::vector<std::pair<double, double>> hard_pairs;
  std::vector<BoundLine> bounds;
};

// The row of `func`; null for a name the catalogue does not hold.
const FunctionRow* row_of(std::string_view func);

}  // namespace zorn_accuracy
