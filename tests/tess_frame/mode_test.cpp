// The mode word: the environment variable's grammar, the initial mode, the merge rule
// of SetMode and the service calls.
#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>

#include "tess_frame/mode.h"
#include "common/environment.h"
#include "zorn/tess.h"

namespace {

// The mode a brand-new thread starts with when ZORN_TESS_MODE holds `value`.
uint32_t first_mode_with(const char* value) {
  if (value == nullptr)
    testing_support::unset_env("ZORN_TESS_MODE");
  else
    testing_support::set_env("ZORN_TESS_MODE", value);
  uint32_t mode = 0;
  std::thread([&] { mode = _tessGetMode(); }).join();
  testing_support::unset_env("ZORN_TESS_MODE");
  return mode;
}

int32_t record_nothing(TessErrorContext*) { return 0; }

// Runs `body` on a fresh thread, whose block starts from the initial mode 0x1A02.
template <class Body>
void on_fresh_thread(Body body) {
  testing_support::unset_env("ZORN_TESS_MODE");
  std::thread(body).join();
}

TEST(ModeVariable, InitialModeFromEnvironment) {
  EXPECT_EQ(first_mode_with(nullptr), 0x1A02u);
  EXPECT_EQ(first_mode_with("TESS_EP"), 0x1A03u);
  EXPECT_EQ(first_mode_with("TESS_LA,TESS_ERRMODE_STDERR"), 0x401u);
  EXPECT_EQ(first_mode_with("TESS_TRAP_OVERFLOW"), 0x4001A02u);
  EXPECT_EQ(first_mode_with("TESS_DOUBLE_CONSISTEN"), 0x1A22u);
  // OR-ed values: LA | HA is EP; the default error mode gains the other error bits.
  EXPECT_EQ(first_mode_with("TESS_LA,TESS_HA"), 0x1A03u);
  EXPECT_EQ(first_mode_with("TESS_ERRMODE_DEFAULT,TESS_ERRMODE_STDERR"), 0x1E02u);
}

TEST(ModeVariable, MalformedValuesGiveTheInitialMode) {
  for (const char* bad :
       {"TESS_HA, TESS_LA", "TESS_DOUBLE_CONSISTENT", "TESS_HAX", "HA", "TESS_", "TESS_HA,",
        "TESS_HA,,TESS_LA", "tess_ha", " TESS_HA", "TESS_HA TESS_LA", ""})
    EXPECT_EQ(first_mode_with(bad), 0x1A02u) << '"' << bad << '"';
}

TEST(ModeVariable, GrammarOfTheParser) {
  using zorn::parse_mode_variable;
  EXPECT_EQ(parse_mode_variable("TESS_ERRMODE_NOERR"), 0x2000u);
  EXPECT_EQ(parse_mode_variable("TESS_RESTORE,TESS_TRAP_INVALID,TESS_TRAP_UNDERFLOW"),
            0x9000030u);
  EXPECT_EQ(parse_mode_variable("TESS_DEFAULT_PRECISION"), 0u);  // a value, though zero
  EXPECT_FALSE(parse_mode_variable("TESS_HA,TESS_BOGUS"));
  EXPECT_FALSE(parse_mode_variable("TESS_HA;TESS_LA"));
}

TEST(ModeVariable, OnlyTheFirst255CharactersAreRead) {
  // 30 items of "TESS_LA," fill 240 characters; the keyword of the next item would
  // reach past character 255, so no keyword matches and the value is invalid.
  std::string value;
  for (int i = 0; i < 30; ++i) value += "TESS_LA,";
  EXPECT_EQ(first_mode_with((value + "TESS_ERRMODE_STDERR").c_str()), 0x1A02u);
  // A value longer than the buffer is read as its first 255 characters: here they end
  // with a whole item, so the cut-off "TESS_HA" (which would make the accuracy EP)
  // is not seen.
  EXPECT_EQ(first_mode_with((value + "TESS_LA,TESS_LA,TESS_HA").c_str()), 0x1A01u);
}

TEST(ModeMerge, NonZeroFieldsReplaceZeroFieldsKeep) {
  using zorn::merge_mode;
  EXPECT_EQ(merge_mode(0x1A02, 0), 0x1A02u);
  EXPECT_EQ(merge_mode(0x1A02, 0x100), 0x102u);
  EXPECT_EQ(merge_mode(0x1A02, 0x280000), 0x281A02u);
  EXPECT_EQ(merge_mode(0x281A02, 0x140000), 0x141A02u);
  EXPECT_EQ(merge_mode(0x1A02, 0x10), 0x1A02u);        // consistency is never merged
  EXPECT_EQ(merge_mode(0x1A22, 0x30001), 0x31A21u);    // reserved field merges
  EXPECT_EQ(merge_mode(0x1A02, 0xF0000000u), 0x1A02u);  // bits outside every field
  EXPECT_EQ(merge_mode(0x4001A02, 0x8000000), 0x8001A02u);
}

TEST(ModeServices, SetModeReturnsOldAndMerges) {
  on_fresh_thread([] {
    EXPECT_EQ(_tessSetMode(0), 0x1A02u);
    EXPECT_EQ(_tessSetMode(0x100), 0x1A02u);
    EXPECT_EQ(zorn_tess_kernel_GetMode(), 0x102u);
    EXPECT_EQ(zorn_tess_kernel_SetMode(0x280003), 0x102u);
    EXPECT_TRUE(zorn::mode_flushes_denormals(_tessGetMode()));
    _tessSetMode(0x140000);
    EXPECT_FALSE(zorn::mode_flushes_denormals(_tessGetMode()));
    EXPECT_EQ(zorn_tess_kernel_GetTTableIndex(), 2);
  });
}

TEST(ModeServices, TableIndexOfAGivenModeIgnoresTheThread) {
  on_fresh_thread([] {
    EXPECT_EQ(zorn_tess_kernel_GetTTableIndex(), 1);
    EXPECT_EQ(zorn_tess_kernel_GetTTableIndexM(0xDEADBEEFull, 0x1A01), 0);
    EXPECT_EQ(zorn_tess_kernel_GetTTableIndexM(0, 0x3), 2);
    EXPECT_EQ(_tessGetMode(), 0x1A02u);
  });
}

TEST(ModeServices, ErrorStatusSetGetClear) {
  on_fresh_thread([] {
    EXPECT_EQ(_tessGetErrStatus(), 0);
    EXPECT_EQ(_tessSetErrStatus(3), 0);
    EXPECT_EQ(zorn_tess_kernel_SetErrStatus(-2), 3);
    EXPECT_EQ(zorn_tess_kernel_ClearErrStatus(), -2);
    EXPECT_EQ(_tessGetErrStatus(), 0);
  });
}

TEST(ModeServices, CallbackSetAndClearAdjustTheCallbackBit) {
  on_fresh_thread([] {
    _tessSetMode(0x100);
    EXPECT_EQ(_tessSetErrorCallBack(&record_nothing), nullptr);
    EXPECT_EQ(_tessGetMode(), 0x1102u);
    EXPECT_EQ(zorn_tess_kernel_GetErrorCallBack(), &record_nothing);
    EXPECT_EQ(_tessSetErrorCallBack(nullptr), &record_nothing);
    EXPECT_EQ(_tessGetMode(), 0x102u);
  });
  on_fresh_thread([] {
    // Callback bit alone: clearing it leaves an empty field, which the merge keeps.
    _tessSetMode(0x1000);
    _tessSetErrorCallBack(&record_nothing);
    EXPECT_EQ(zorn_tess_kernel_ClearErrorCallBack(), &record_nothing);
    EXPECT_EQ(_tessGetMode(), 0x1002u);
    EXPECT_EQ(_tessGetErrorCallBack(), nullptr);
  });
}

TEST(ModeServices, ModesArePerThread) {
  on_fresh_thread([] {
    _tessSetMode(TESS_MODE_LA);
    uint32_t other = 0;
    std::thread([&] { other = _tessGetMode(); }).join();
    EXPECT_EQ(other, 0x1A02u);
    EXPECT_EQ(_tessGetMode(), 0x1A01u);
  });
}

TEST(ModeServices, InterfacePointerIsStoredAndReturned) {
  on_fresh_thread([] {
    double whole[4] = {};
    EXPECT_EQ(_tessSetInterfInputVectorPointer(whole), whole);
    EXPECT_EQ(zorn::tess_get_thread_state()->InterfInputVectorPointer, whole);
    EXPECT_EQ(dll_cpu_version(), 1);
  });
}

}  // namespace
