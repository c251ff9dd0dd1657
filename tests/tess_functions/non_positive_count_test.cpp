// A count of zero or less does nothing: through every entry point of every table, with
// unit and other increments, no element is read or written, no status is set and no
// callback runs. Counts near INT32_MIN catch loop bounds computed as n - k in 32 bits.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <vector>

#include "entry_call.h"
#include "zorn/tess.h"

namespace zorn_test {
namespace {

constexpr int32_t kCounts[] = {0, -1, INT32_MIN, INT32_MIN + 1, INT32_MIN + 2};
constexpr size_t kGuardBytes = 256;
constexpr unsigned char kSentinel = 0xA5;

thread_local int g_callbacks = 0;
int32_t count_callback(TessErrorContext*) {
  ++g_callbacks;
  return 1;
}

// Every operand points into one guarded block; a kernel that does nothing leaves it whole.
template <class E>
bool call_leaves_memory_alone(const TableEntry& t, TessKernel fn, int32_t n, int32_t inc) {
  std::vector<unsigned char> block(8 * kGuardBytes, kSentinel);
  auto at = [&](int k) { return block.data() + k * kGuardBytes; };
  const std::vector<int32_t> select(kGuardBytes / sizeof(int32_t), 1);
  EntryOperands<E> o;
  o.a = reinterpret_cast<const E*>(at(0)), o.b = reinterpret_cast<const E*>(at(1));
  o.r1 = reinterpret_cast<E*>(at(2)), o.r2 = reinterpret_cast<E*>(at(3));
  o.real_a = reinterpret_cast<const RealPart<E>*>(at(4));
  o.real_r = reinterpret_cast<RealPart<E>*>(at(5));
  o.inca = o.incb = o.incr1 = o.incr2 = inc;
  o.select = select.data();
  call_entry<E>(t.shape, t.strided, fn, n, o);
  for (unsigned char byte : block)
    if (byte != kSentinel) return false;
  return true;
}

TEST(NonPositiveCount, EveryEntryPointOfEveryTableDoesNothing) {
  const uint32_t saved_mode = _tessSetMode(TESS_ERRMODE_CALLBACK);
  const TessErrorCallBack saved_callback = _tessSetErrorCallBack(count_callback);
  _tessClearErrStatus();
  g_callbacks = 0;
  for (const TableEntry& t : table_catalogue()) {
    for (int e = 0; e < 4; ++e) {
      for (int32_t n : kCounts) {
        for (int32_t inc : {1, 2}) {
          bool untouched = false;
          switch (t.type) {
            case 's': untouched = call_leaves_memory_alone<float>(t, t.entries[e], n, inc); break;
            case 'd': untouched = call_leaves_memory_alone<double>(t, t.entries[e], n, inc); break;
            case 'c': untouched = call_leaves_memory_alone<TessComplex8>(t, t.entries[e], n, inc); break;
            case 'z': untouched = call_leaves_memory_alone<TessComplex16>(t, t.entries[e], n, inc); break;
          }
          EXPECT_TRUE(untouched) << t.type << t.name << " entry " << e << " n=" << n
                                 << " inc=" << inc;
        }
      }
    }
  }
  EXPECT_EQ(_tessGetErrStatus(), TESS_STATUS_OK);
  EXPECT_EQ(g_callbacks, 0);
  _tessSetErrorCallBack(saved_callback);
  _tessSetMode(saved_mode);
}

}  // namespace
}  // namespace zorn_test
