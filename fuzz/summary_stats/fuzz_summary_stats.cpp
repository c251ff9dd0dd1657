// Fuzzes summary-statistics tasks with sequences of edits and computations. The task
// keeps the caller's addresses, so the fuzzer plays a caller that keeps its promise:
// every array it hands over holds as much as any dimension, observation count or
// quantile count it can choose needs, and counts stay within those bounds (or are
// meaningless: zero, negative). Everything else is fuzzed: which identifier points
// where, storage codes, selection flags, data (NaN, infinities, huge and tiny
// values), estimate masks and method words, and changes of the counts between calls.
// Each real parameter has its own array, so that no result is written over an input
// the same computation still reads.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <climits>
#include <cmath>
#include <limits>

#include "zorn/ss.h"

namespace {

constexpr int64_t kMaxDimension = 6, kMaxObservations = 40, kMaxQuantiles = 6;
constexpr size_t kPool = 1024;  // each array: more than any p * n, p * p or p * q needs
constexpr int32_t kLastId = 80;

constexpr int32_t kCountIds[] = {1, 2, 24, 37, 41, 50, 52, 54, 56, 58, 62, 64};
constexpr int32_t kIntegerIds[] = {4, 5, 20, 22, 28, 29, 32, 34, 36, 44, 45, 47, 49, 61, 75, 79};

constexpr double kValues[] = {0.0,  1.0,   -1.0, 0.5,  0.25, 1e300, -1e300, 1e-310, 3.0, -7.5, 1e10,
                              std::numeric_limits<double>::quiet_NaN(), INFINITY, -INFINITY, 2.0, 0.999};
constexpr int64_t kCodes[] = {PAVO_SS_STORAGE_ROWS, PAVO_SS_STORAGE_COLUMNS, PAVO_SS_MATRIX_FULL,
                              PAVO_SS_MATRIX_PACKED, 1, -1, INT32_MIN, INT32_MAX, 0x30000, 3};
constexpr int32_t kMethods[] = {PAVO_SS_METHOD_FAST, PAVO_SS_METHOD_ONE_PASS, PAVO_SS_METHOD_ONE_PASS_OBS,
                                PAVO_SS_METHOD_FROM_SUMS, PAVO_SS_METHOD_FROM_SUMS_ALT, 0, -1, 0x3};

struct Caller {
  std::array<std::array<double, kPool>, kLastId + 1> reals{};  // by parameter identifier
  std::array<std::array<int64_t, kPool>, 4> integers{};  // 32-bit tasks read the low halves
  std::array<int64_t, 4> counts{};
};

int64_t count_value(FuzzedDataProvider& in) {
  switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0: return in.ConsumeIntegralInRange<int64_t>(1, kMaxDimension);
    case 1: return in.ConsumeIntegralInRange<int64_t>(1, kMaxObservations);
    case 2: return in.ConsumeIntegralInRange<int64_t>(1, kMaxQuantiles);
    default: return in.PickValueInArray<int64_t>({0, -1, INT32_MIN});
  }
}

// Dimension and observation counts are bounded by what the arrays hold.
void fill(Caller& c, FuzzedDataProvider& in) {
  for (auto& a : c.reals)
    for (size_t i = 0; i < kPool; ++i) a[i] = kValues[(i * 7 + a.size()) % 16];
  for (size_t i = 0; i < 64 && in.remaining_bytes() > 0; ++i)
    c.reals[in.PickValueInArray({3, 6, 7, 25, 8, 67})][in.ConsumeIntegralInRange<size_t>(0, kPool - 1)] =
        in.PickValueInArray(kValues);
  for (auto& a : c.integers) {
    for (size_t i = 0; i < kPool; ++i) a[i] = i % 3 == 0 ? 0 : 1;
    a[0] = PAVO_SS_STORAGE_ROWS;
    a[1] = PAVO_SS_MATRIX_FULL;
    a[2] = PAVO_SS_MATRIX_PACKED;
  }
  for (size_t i = 0; i < 16 && in.remaining_bytes() > 0; ++i)
    c.integers[i % 4][in.ConsumeIntegralInRange<size_t>(0, 15)] = in.PickValueInArray(kCodes);
  for (auto& n : c.counts) n = count_value(in);
}

double* real(Caller& c, FuzzedDataProvider& in, int32_t id) {
  return in.ConsumeIntegralInRange(0, 3) == 0 ? nullptr : c.reals[static_cast<size_t>(id)].data();
}

void edit(PAVO_SS_TASK task, Caller& c, FuzzedDataProvider& in) {
  int64_t* integer = c.integers[in.ConsumeIntegralInRange(0, 3)].data();
  int64_t* count = &c.counts[in.ConsumeIntegralInRange(0, 3)];
  switch (in.ConsumeIntegralInRange(0, 9)) {
    case 0: {
      const int32_t id = in.ConsumeIntegralInRange(-1, kLastId);
      __pavodSSEditTask(task, id, id < 0 ? nullptr : real(c, in, id));
      break;
    }
    case 1: __pavoiSSEditTask(task, in.PickValueInArray(kCountIds), count); break;
    case 2: __pavoiSSEditTask(task, in.PickValueInArray(kIntegerIds), integer); break;
    case 3: *count = count_value(in); break;  // tasks read counts at each call
    case 4:
      __pavodSSEditMoments(task, real(c, in, 7), real(c, in, 8), real(c, in, 9), real(c, in, 10), real(c, in, 11),
                           real(c, in, 12), real(c, in, 13));
      break;
    case 5:
      __pavodSSEditSums(task, real(c, in, 67), real(c, in, 68), real(c, in, 69), real(c, in, 70), real(c, in, 71),
                        real(c, in, 72), real(c, in, 73));
      break;
    case 6: __pavodSSEditCovCor(task, real(c, in, 7), real(c, in, 19), integer, real(c, in, 21), integer + 1); break;
    case 7: __pavodSSEditCP(task, real(c, in, 7), real(c, in, 67), real(c, in, 74), integer); break;
    case 8: __pavodSSEditQuantiles(task, count, real(c, in, 25), real(c, in, 26), real(c, in, 27), integer + 2); break;
    default: __pavoiSSEditTask(task, in.ConsumeIntegral<int32_t>(), integer); break;
  }
}

void compute(PAVO_SS_TASK task, FuzzedDataProvider& in) {
  const uint64_t mask = in.ConsumeBool() ? in.ConsumeIntegral<uint64_t>() : uint64_t{1} << in.ConsumeIntegralInRange(0, 40);
  const int32_t method = in.ConsumeBool() ? in.PickValueInArray(kMethods) : in.ConsumeIntegral<int32_t>();
  switch (in.ConsumeIntegralInRange(0, 2)) {
    case 0: _pavodSSBasic(task, mask, method, nullptr); break;
    case 1: _pavodSSMinmax(task, mask, method); break;
    default: _pavodSSQuantiles(task, mask, method, nullptr); break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  static Caller c;
  fill(c, in);
  const int32_t width = in.ConsumeBool() ? 1 : 0;
  PAVO_SS_TASK task = nullptr;
  const int32_t created = __pavodSSNewTask(&task, &c.counts[0], &c.counts[1], c.integers[0].data(),
                                           c.reals[3].data(), in.ConsumeBool() ? c.reals[6].data() : nullptr,
                                           in.ConsumeBool() ? c.integers[1].data() : nullptr, width);
  if (created < 0) {
    if (task != nullptr) __builtin_trap();  // a refused task is never handed out
    return 0;
  }
  for (int step = 0; step < 48 && in.remaining_bytes() > 0; ++step) {
    if (in.ConsumeIntegralInRange(0, 3) == 0) compute(task, in);
    else edit(task, c, in);
  }
  compute(task, in);
  __pavoSSDeleteTask(&task);
  if (task != nullptr) __builtin_trap();
  return 0;
}
