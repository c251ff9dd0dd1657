#pragma once

// Kernels whose group holds two independent chains, each longer than the out-of-order
// window reaches (a division or a square root in the middle, a long polynomial), run
// 1.05-1.3x faster when GCC schedules before register allocation as well as after:
// the chains interleave. The scheduler is pressure-aware so that it does not spill more.
// Scheduling reorders instructions and never reassociates, so the bits stay as they are.
// Where a kernel measured no gain (Log10, Gamma, the float lanes of SinCos) it is left out.

// Around a run of functions (a region of one file).
#define TESS_INTERLEAVE_BEGIN \
  _Pragma("GCC push_options") _Pragma("GCC optimize(\"schedule-insns\", \"sched-pressure\")")
#define TESS_INTERLEAVE_END _Pragma("GCC pop_options")

// On one function, as an attribute: [[TESS_INTERLEAVED]].
#define TESS_INTERLEAVED gnu::optimize("schedule-insns", "sched-pressure")
