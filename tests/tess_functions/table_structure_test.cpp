// The shape of the exported tables: which slots share a kernel, how many distinct
// kernels there are, the constant tables, and the pack and unpack entry points.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <array>

#include "table_catalogue.h"

namespace zorn_test {
namespace {

const TableEntry& find_table(char type, const std::string& name) {
  for (const TableEntry& t : table_catalogue())
    if (t.type == type && t.name == name) return t;
  ADD_FAILURE() << "no table " << type << name;
  return table_catalogue().front();
}

TEST(TableStructure, SlotsShareKernelsExceptForTheSeparateFamilies) {
  for (const TableEntry& t : table_catalogue()) {
    SCOPED_TRACE(std::string(1, t.type) + t.name);
    const TessKernel* k = t.table->slot;
    for (int s = 0; s < 3; ++s) EXPECT_NE(k[s], nullptr);
    if (!t.separate) {
      EXPECT_EQ(k[0], k[1]);
      EXPECT_EQ(k[1], k[2]);
    } else {
      EXPECT_NE(k[0], k[1]);
      EXPECT_NE(k[1], k[2]);
      EXPECT_NE(k[0], k[2]);
    }
  }
}

// The 8-byte mask kernels serve the double and the single complex tables.
TEST(TableStructure, EightByteMaskKernelsAreShared) {
  EXPECT_EQ(find_table('d', "PackM").table->slot[1], find_table('c', "PackM").table->slot[1]);
  EXPECT_EQ(find_table('d', "UnpackM").table->slot[1], find_table('c', "UnpackM").table->slot[1]);
  EXPECT_NE(find_table('s', "PackM").table->slot[1], find_table('d', "PackM").table->slot[1]);
}

TEST(TableStructure, ConstantTablesHoldTheirRowValues) {
  const std::map<std::string, std::array<float, 3>> values = {
      {"C3", {3.0f, 3.0f, 3.0f}},
      {"C111", {111.3f, 111.3f, 111.3f}},
      {"CPI", {111.2f, 111.3f, 111.1f}},
      {"C1", {1.0f, 1.0f, 1.0f}}};
  for (const TableEntry& t : table_catalogue()) {
    const auto& want = values.at(t.constants);
    for (int s = 0; s < 3; ++s) EXPECT_EQ(t.constant_table->value[s], want[s]) << t.name;
  }
}

TEST(TableStructure, UnsuffixedAndHighAccuracyEntriesAreOneFunction) {
  for (const TableEntry& t : table_catalogue()) EXPECT_EQ(t.entries[0], t.entries[1]) << t.name;
}

// ---- pack and unpack, checked on raw bytes through every entry point ----
template <size_t Size>
struct Element {
  unsigned char bytes[Size];
  bool operator==(const Element& o) const { return std::memcmp(bytes, o.bytes, Size) == 0; }
};

template <size_t Size>
std::vector<Element<Size>> distinct_elements(size_t count, unsigned char seed) {
  std::vector<Element<Size>> v(count);
  for (size_t i = 0; i < count; ++i)
    for (size_t b = 0; b < Size; ++b) v[i].bytes[b] = static_cast<unsigned char>(seed + 7 * i + b);
  return v;
}

template <size_t Size>
void check_pack_entry(Shape shape, TessKernel fn) {
  using E = Element<Size>;
  const std::vector<E> a = distinct_elements<Size>(8, 1);
  std::vector<E> y = distinct_elements<Size>(8, 200), want = y;
  const int32_t mask[5] = {1, 0, 7, 0, -1};
  const int32_t ix[4] = {2, 0, 2, 5};
  switch (shape) {
    case Shape::PACK_I:  // y[i] = a[2i]
      reinterpret_cast<void (*)(int32_t, const E*, int32_t, E*)>(fn)(3, a.data(), 2, y.data());
      for (int i = 0; i < 3; ++i) want[i] = a[2 * i];
      break;
    case Shape::PACK_M:  // the selected elements, packed
      reinterpret_cast<void (*)(int32_t, const E*, const int32_t*, E*)>(fn)(5, a.data(), mask, y.data());
      want[0] = a[0], want[1] = a[2], want[2] = a[4];
      break;
    case Shape::PACK_V:  // y[i] = a[ix[i]], repeated indices copy again
      reinterpret_cast<void (*)(int32_t, const E*, const int32_t*, E*)>(fn)(4, a.data(), ix, y.data());
      want[0] = a[2], want[1] = a[0], want[2] = a[2], want[3] = a[5];
      break;
    case Shape::UNPACK_I:  // y[3i] = a[i], from the end backwards with increment -1
      reinterpret_cast<void (*)(int32_t, const E*, E*, int32_t)>(fn)(2, a.data(), y.data(), 3);
      want[0] = a[0], want[3] = a[1];
      reinterpret_cast<void (*)(int32_t, const E*, E*, int32_t)>(fn)(2, a.data() + 4, y.data() + 7, -1);
      want[7] = a[4], want[6] = a[5];
      break;
    case Shape::UNPACK_M:  // unselected elements of y are left alone
      reinterpret_cast<void (*)(int32_t, const E*, E*, const int32_t*)>(fn)(5, a.data(), y.data(), mask);
      want[0] = a[0], want[2] = a[1], want[4] = a[2];
      break;
    case Shape::UNPACK_V:  // y[ix[i]] = a[i], the last of repeated indices stays
      reinterpret_cast<void (*)(int32_t, const E*, E*, const int32_t*)>(fn)(4, a.data(), y.data(), ix);
      want[2] = a[2], want[0] = a[1], want[5] = a[3];
      break;
    default: FAIL();
  }
  EXPECT_TRUE(y == want);
  // A non-positive count does nothing.
  const std::vector<E> before = y;
  reinterpret_cast<void (*)(int32_t, const E*, const void*, E*)>(fn)(-3, a.data(), nullptr, y.data());
  EXPECT_TRUE(y == before);
}

TEST(TableStructure, PackAndUnpackEntriesMoveRawElements) {
  for (const TableEntry& t : table_catalogue()) {
    if (t.shape < Shape::PACK_I) continue;
    SCOPED_TRACE(std::string(1, t.type) + t.name);
    for (TessKernel fn : t.entries) {
      switch (t.type) {
        case 's': check_pack_entry<4>(t.shape, fn); break;
        case 'd':
        case 'c': check_pack_entry<8>(t.shape, fn); break;
        case 'z': check_pack_entry<16>(t.shape, fn); break;
      }
    }
  }
}

// Through the table, the kernels also take 64-bit counts, increments and indices.
TEST(TableStructure, PackKernelsReadSixtyFourBitIntegersUnderAnotherSelector) {
  using Kernel = void (*)(int64_t, const double*, const int64_t*, double*, int32_t);
  const auto pack_v = reinterpret_cast<Kernel>(zorn_tess_kernel_dPackV_ttab.slot[1]);
  const double a[4] = {1.0, 2.0, 3.0, 4.0};
  const int64_t ix[3] = {3, 1, 0};
  double y[3] = {0, 0, 0};
  pack_v(3, a, ix, y, 2);
  EXPECT_EQ(y[0], 4.0);
  EXPECT_EQ(y[1], 2.0);
  EXPECT_EQ(y[2], 1.0);
  // With selector 1 only the low 32 bits of the count are read: 2^32 + 1 is one element.
  double z[2] = {0, 0};
  const int32_t ix32[2] = {2, 3};
  reinterpret_cast<void (*)(int64_t, const double*, const int32_t*, double*, int32_t)>(
      zorn_tess_kernel_dPackV_ttab.slot[0])((int64_t{1} << 32) + 1, a, ix32, z, 1);
  EXPECT_EQ(z[0], 3.0);
  EXPECT_EQ(z[1], 0.0);
}

}  // namespace
}  // namespace zorn_test
