// The sibling's services: allocation, locks, environment, bounded copy, messages.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "common/environment.h"
#include "zorn/core.h"

namespace {

TEST(SiblingServices, AllocateHonoursAlignmentAndRefusesAbsurdSizes) {
  for (int32_t alignment : {1, 16, 64, 128, 4096}) {
    void* p = zorn_serv_allocate(1000, alignment);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % static_cast<uintptr_t>(alignment), 0u);
    std::memset(p, 0xA5, 1000);
    zorn_serv_deallocate(p);
  }
  EXPECT_EQ(zorn_serv_allocate(UINT64_MAX, 128), nullptr);
  EXPECT_EQ(zorn_serv_allocate(uint64_t{1} << 60, 128), nullptr);
  EXPECT_EQ(zorn_serv_allocate(64, 96), nullptr);  // not a power of two
  zorn_serv_deallocate(nullptr);
}

TEST(SiblingServices, LockGivesMutualExclusion) {
  static int32_t lock_word = 0;
  int64_t counter = 0;
  std::vector<std::thread> threads;
  for (int t = 0; t < 8; ++t)
    threads.emplace_back([&] {
      for (int i = 0; i < 20000; ++i) {
        zorn_serv_lock(&lock_word);
        counter = counter + 1;
        zorn_serv_unlock(&lock_word);
      }
    });
  for (auto& th : threads) th.join();
  EXPECT_EQ(counter, 8 * 20000);
  EXPECT_EQ(lock_word, 0);
}

TEST(SiblingServices, GetenvCopiesAndReportsLength) {
  char buf[8];
  testing_support::unset_env("ZORN_TEST_VARIABLE");
  EXPECT_LT(zorn_serv_getenv("ZORN_TEST_VARIABLE", buf, sizeof buf), 1);
  testing_support::set_env("ZORN_TEST_VARIABLE", "abc");
  EXPECT_EQ(zorn_serv_getenv("ZORN_TEST_VARIABLE", buf, sizeof buf), 3);
  EXPECT_STREQ(buf, "abc");
  testing_support::set_env("ZORN_TEST_VARIABLE", "0123456789");
  EXPECT_EQ(zorn_serv_getenv("ZORN_TEST_VARIABLE", buf, sizeof buf), 10);
  EXPECT_STREQ(buf, "0123456");  // cut to the buffer, terminated
  testing_support::unset_env("ZORN_TEST_VARIABLE");
}

TEST(SiblingServices, MemcpySRefusesOverlongCopies) {
  char dst[4] = {'x', 'x', 'x', 'x'};
  EXPECT_NE(zorn_serv_memcpy_s(dst, sizeof dst, "abcdef", 6), 0);
  EXPECT_EQ(dst[0], 'x');
  EXPECT_EQ(zorn_serv_memcpy_s(dst, sizeof dst, "abcd", 4), 0);
  EXPECT_EQ(std::memcmp(dst, "abcd", 4), 0);
  EXPECT_NE(zorn_serv_memcpy_s(nullptr, 4, "a", 1), 0);
}

TEST(SiblingServices, MessagesShowNameIndexAndValues) {
  testing::internal::CaptureStderr();
  zorn_serv_print(1, 752, 1, "vsExp");
  zorn_serv_print(1, 755, 2, 13, 1000.0);
  zorn_serv_print(1, 748, 2, "vdLn", 4);
  zorn_serv_print(1, 773, 0);
  const std::string out = testing::internal::GetCapturedStderr();
  for (const char* shown : {"vsExp", "overflow", "13", "1000", "vdLn", "per-thread state"})
    EXPECT_NE(out.find(shown), std::string::npos) << shown;
}

TEST(SiblingServices, CpuFeatureQueryAgreesWithCpuid) {
  __builtin_cpu_init();
  EXPECT_EQ(zorn_serv_cpuistolx() != 0, __builtin_cpu_supports("aes") != 0);
}

}  // namespace
