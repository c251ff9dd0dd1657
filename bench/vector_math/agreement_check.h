// Start-up check that every implementation computes its function: a mis-declared peer
// symbol (wrong vector type, wrong lane count, wrong name) returns garbage fast, and
// would make the benchmark meaningless.
#pragma once

namespace bench::vector_math {

// Compares every implementation on a few dozen ordinary arguments per function and
// precision with an extended precision reference and prints each disagreement beyond
// kAgreementUlps to stderr. Returns false if a peer disagrees: that is a declaration
// fault and no timing means anything. Ours disagreeing is a warning only: its time is
// still its time, and the accuracy harness is where accuracy is judged.
constexpr double kAgreementUlps = 8.0;
bool peers_agree();

}  // namespace bench::vector_math
