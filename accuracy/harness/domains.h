// Where the random arguments of each function come from (the domain column of
// harness/functions.def): the interval of the first argument per precision, the
// interval of the second
// argument where there is one, and the interval of each part of a complex argument.
#pragma once

#include <optional>
#include <string_view>

namespace zorn_accuracy {

// Uniform samples cover [lo, hi]; log-uniform samples take magnitudes from the smallest
// subnormal up to the bound on each side of zero that the interval reaches (from lo
// when the interval lies on one side of zero), so both halves are sampled wherever the
// interval holds both signs.
struct Range {
  double lo = 0;
  double hi = 0;
  bool empty() const { return lo == 0 && hi == 0; }
};

struct Domain {
  std::string_view func;
  Range s;   // single precision first argument
  Range d;   // double precision first argument
  Range bs;  // second argument (two-argument functions); empty: as the first
  Range bd;
  Range c;   // each part of a single precision complex argument; empty: [-10, 10]
  Range z;   // each part of a double precision complex argument; empty: as c
};

// The domain line of `func`; no value for an unknown name.
std::optional<Domain> domain_of(std::string_view func);

// The interval of the first (`second` false) or second argument for type letter `type`
// (s, d for real arguments; c, z for the parts of a complex argument).
Range argument_range(const Domain& domain, char type, bool second);

}  // namespace zorn_accuracy
