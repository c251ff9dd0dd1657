// Printing of the accuracy table: one row per measured kernel.
#pragma once

#include <optional>
#include <string>

#include "harness/kernel_catalogue.h"
#include "harness/measurement.h"

namespace zorn_accuracy {

struct KernelJob {
  KernelTable table;
  int slot = 1;              // the slot whose kernel is measured
  unsigned slot_mask = 0;    // every slot holding that kernel (kLA | kHA | kEP)
  std::optional<double> bound;  // the tightest bound over those slots
  std::optional<double> part_bound;  // complex results: the tightest per-part bound
  Measurement result;
  double seconds = 0;
};

// "LA/HA/EP", "HA", "LA/EP", ...
std::string slot_list(unsigned slot_mask);
bool has_complex_result(const KernelTable& table);
// A job over its bound (or without one); a complex result also over its per-part bound.
bool exceeds_bound(const KernelJob& job);

void print_header();
void print_row(const KernelJob& job);
// One line naming function, type, slots, measured error, bound and argument.
void print_failure(const KernelJob& job);

}  // namespace zorn_accuracy
