// Fuzzes spline tasks: creation, editing by identifier, every construction and
// interpolation and cell search on fuzzed partitions (unsorted, repeated, NaN and
// infinite nodes), values, conditions and sites. The task keeps the caller's
// addresses, so the fuzzer plays a caller that keeps its promise: every array holds
// as much as any node count, function count, spline order and site count it can
// choose needs, and those counts stay within bounds (or are meaningless: zero,
// negative). Everything else is fuzzed, including hints, storage codes, end and
// inner condition kinds, derivative flags and result layouts.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <climits>
#include <cmath>
#include <limits>

#include "zorn/df.h"

namespace {

constexpr int64_t kMaxNodes = 64, kMaxFunctions = 4, kMaxOrder = 8, kMaxSites = 64;
constexpr size_t kPool = 4096;  // more than any ny * order * nx or nsite * ny * orders

constexpr double kValues[] = {0.0, 1.0,  -1.0, 0.5,   2.0,    1e-300, 1e300, -1e300, 3.25, 1e-15,
                              std::numeric_limits<double>::quiet_NaN(), INFINITY, -INFINITY, 7.0, -0.0, 64.0};
constexpr int64_t kCodes[] = {0, 1, 2, 4, 16, 32, 64, 128, 256, 512, 3, 8, 9, -1, INT64_MIN, 0x7FFFFFFF};

using Construct = int32_t (*)(ZornDfTask*, int64_t, int64_t, int64_t);
constexpr Construct kConstructions[] = {
    zorn_df_kernel_dDFLinearSpline1D,      zorn_df_kernel_dDFQuadraticSpline1D,
    zorn_df_kernel_dDFNaturalCubicSpline1D, zorn_df_kernel_dDFDefaultCubicSpline1D,
    zorn_df_kernel_dDFAkimaCubicSpline1D,  zorn_df_kernel_dDFBesselCubicSpline1D,
    zorn_df_kernel_dDFHermiteCubicSpline1D, zorn_df_kernel_dDFHymanCubicSpline1D};

struct Caller {
  std::array<std::array<double, kPool>, 6> reals{};  // nodes, values, conditions, coefficients, sites, results
  std::array<int64_t, kPool> cells{};
  std::array<int32_t, kMaxOrder + 2> flags{};
};

double* real(Caller& c, FuzzedDataProvider& in) { return c.reals[in.ConsumeIntegralInRange(0, 5)].data(); }

int64_t bounded(FuzzedDataProvider& in, int64_t most) {
  return in.ConsumeBool() ? in.ConsumeIntegralInRange<int64_t>(1, most) : in.PickValueInArray<int64_t>({0, -1, INT64_MIN});
}

void fill(Caller& c, FuzzedDataProvider& in) {
  for (size_t k = 0; k < c.reals.size(); ++k)
    for (size_t i = 0; i < kPool; ++i) c.reals[k][i] = k == 0 ? double(i) : kValues[(i * 5 + k) % 16];
  for (size_t i = 0; i < 96 && in.remaining_bytes() > 0; ++i)
    c.reals[i % 6][in.ConsumeIntegralInRange<size_t>(0, kMaxNodes)] = in.PickValueInArray(kValues);
  for (size_t i = 0; i < kPool; ++i) c.cells[i] = int64_t(i % 70) - 1;
  for (auto& f : c.flags) f = in.ConsumeIntegralInRange(0, 1);
}

void edit(ZornDfTask* task, Caller& c, FuzzedDataProvider& in) {
  switch (in.ConsumeIntegralInRange(0, 6)) {
    case 0: {
      const int64_t id = in.ConsumeIntegralInRange<int64_t>(13, 24);
      int64_t value = in.PickValueInArray(kCodes);
      if (id == 14) value = bounded(in, kMaxNodes);
      if (id == 16) value = bounded(in, kMaxFunctions);
      if (id == 18) value = in.ConsumeIntegralInRange<int64_t>(-1, kMaxOrder);
      zorn_df_kernel_iEditVal(task, id, value);
      break;
    }
    case 1: zorn_df_kernel_dEditPtr(task, in.ConsumeIntegralInRange<int64_t>(0, 6), in.ConsumeBool() ? nullptr : real(c, in)); break;
    case 2: zorn_df_kernel_dEditIdxPtr(task, in.PickValueInArray<int64_t>({2, 5, 1}), in.ConsumeIntegralInRange<int64_t>(-1, kMaxFunctions), real(c, in)); break;
    case 3:
      zorn_df_kernel_dEditPPSpline1D(task, in.ConsumeIntegralInRange<int64_t>(-1, kMaxOrder), in.PickValueInArray(kCodes),
                                     in.PickValueInArray(kCodes), in.ConsumeBool() ? nullptr : real(c, in),
                                     in.PickValueInArray(kCodes), in.ConsumeBool() ? nullptr : real(c, in),
                                     c.reals[3].data(), in.PickValueInArray(kCodes));
      break;
    case 4: {
      double* result = nullptr;
      void* entry = nullptr;
      int64_t value = 0;
      zorn_df_kernel_dQueryPtr(task, in.ConsumeIntegralInRange<int64_t>(0, 6), &result);
      zorn_df_kernel_dQueryIdxPtr(task, in.PickValueInArray<int64_t>({2, 5}), in.ConsumeIntegralInRange<int64_t>(-1, 4), &entry);
      zorn_df_kernel_iQueryVal(task, in.ConsumeIntegralInRange<int64_t>(13, 24), &value);
      break;
    }
    case 5:
      kConstructions[in.ConsumeIntegralInRange(0, 7)](task, in.PickValueInArray<int64_t>({1, 0, 2}),
                                                     in.PickValueInArray<int64_t>({0, 1, -1}), 0);
      break;
    default:
      c.reals[in.ConsumeIntegralInRange(0, 5)][in.ConsumeIntegralInRange<size_t>(0, kMaxNodes)] = in.PickValueInArray(kValues);
      break;
  }
}

void evaluate(ZornDfTask* task, Caller& c, FuzzedDataProvider& in) {
  const int64_t nsite = bounded(in, kMaxSites);
  const int64_t site_hint = in.PickValueInArray<int64_t>({0, ZORN_DF_SITES_UNIFORM, ZORN_DF_SITES_SORTED, 1, 8});
  const double* data_hint = in.ConsumeBool() ? nullptr : c.reals[2].data();
  if (in.ConsumeBool()) {
    zorn_df_kernel_dDFSearch1D(task, in.PickValueInArray<int64_t>({0, 1, 2, 3, 4, 5, -1}), nsite, c.reals[4].data(),
                               site_hint, data_hint, c.cells.data(), nullptr, nullptr, nullptr);
    return;
  }
  const int64_t nflags = in.ConsumeIntegralInRange<int64_t>(-1, kMaxOrder + 1);
  zorn_df_kernel_dDFInterpolate1D(task, in.PickValueInArray<int64_t>({0, 1, 2, 4, 3}), in.PickValueInArray<int64_t>({0, 1, 2, 3}),
                                  nsite, c.reals[4].data(), site_hint, nflags, c.flags.data(), data_hint,
                                  c.reals[5].data(), in.PickValueInArray<int64_t>({0, 16, 32, 128, 256, 512, 1}),
                                  in.ConsumeBool() ? nullptr : c.cells.data(), nullptr, nullptr, nullptr, nullptr,
                                  nullptr, nullptr, nullptr, nullptr, nullptr);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  static Caller c;
  fill(c, in);
  ZornDfTask* task = nullptr;
  const int32_t created = zorn_df_kernel_dNewTask1D(&task, bounded(in, kMaxNodes), c.reals[0].data(),
                                                    in.PickValueInArray(kCodes), bounded(in, kMaxFunctions),
                                                    c.reals[1].data(), in.PickValueInArray(kCodes), in.ConsumeBool());
  if (created < 0) {
    zorn_df_kernel_DeleteTask(&task);
    return 0;
  }
  for (int step = 0; step < 40 && in.remaining_bytes() > 0; ++step) {
    if (in.ConsumeIntegralInRange(0, 2) == 0) evaluate(task, c, in);
    else edit(task, c, in);
  }
  evaluate(task, c, in);
  zorn_df_kernel_DeleteTask(&task);
  if (task != nullptr) __builtin_trap();
  return 0;
}
