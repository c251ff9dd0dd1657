// Every implementation against an extended precision reference on ordinary arguments.
//
// At start-up, a few dozen arguments per function and precision catch a mis-declared
// peer symbol (wrong vector type, lane count or name), which returns garbage fast and
// would make the benchmark meaningless. On request, a larger sample gives each
// implementation's worst error on the benchmark's own arguments.
#pragma once

#include <cstdint>

namespace bench::vector_math {

// Prints each implementation off by more than kAgreementUlps to stderr. Returns false if
// a peer is: a declaration fault, after which no timing means anything. Ours off by more
// is a warning only: its time is still its time, and the accuracy harness is where
// accuracy is judged.
constexpr double kAgreementUlps = 8.0;
bool peers_agree();

// Prints, per function, precision and implementation, the largest error in ulp over
// the first `count` arguments of the benchmark's range, and the argument where it was.
void print_worst_errors(int64_t count);

}  // namespace bench::vector_math
