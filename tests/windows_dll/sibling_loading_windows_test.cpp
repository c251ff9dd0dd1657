// The delay-load hook: zorn_core.dll comes from zorn_generic.dll's own folder, and
// only when the first call that needs it is made, although this program's folder and
// the current directory each hold another zorn_core.dll that the platform's own search
// would find first.
#include <process.h>

#include <cstdlib>

#include "windows_dll/loaded_library.h"

namespace {

using namespace dll_test;

// The delay-load helper's exception for a DLL it cannot load: facility 0x6D, ERROR_MOD_NOT_FOUND.
constexpr DWORD kDelayLoadModuleNotFound = 0xC06D007E;

fs::path loaded_module_file(HMODULE module) {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
  return fs::path(std::wstring(path, length));
}

TEST(SiblingLoading, CoreComesFromTheDllsFolderAtTheFirstCallThatNeedsIt) {
  if (!testing_support::in_child()) {
    const fs::path dll_folder = fresh_folder("zorn-dll"), current = fresh_folder("zorn-cwd");
    fs::copy_file(build_folder() / "zorn_generic.dll", dll_folder / "zorn_generic.dll");
    fs::copy_file(build_folder() / "zorn_core.dll", dll_folder / "zorn_core.dll");
    fs::copy_file(build_folder() / "zorn_core.dll", current / "zorn_core.dll");
    ran_in_fresh_process({{"ZORN_TEST_DLL_FOLDER", dll_folder.string()}}, current.string());
    fs::remove_all(dll_folder);
    fs::remove_all(current);
    return;
  }
  const fs::path dll_folder = std::getenv("ZORN_TEST_DLL_FOLDER");
  ASSERT_EQ(GetModuleHandleW(L"zorn_core.dll"), nullptr) << "this program itself loaded the core";
  Library library(dll_folder / "zorn_generic.dll");
  ASSERT_TRUE(library.loaded());
  EXPECT_EQ(GetModuleHandleW(L"zorn_core.dll"), nullptr) << "the load bound the core eagerly";
  auto get_mode = library.function<GetModeFn>("_tessGetMode");
  ASSERT_NE(get_mode, nullptr);
  EXPECT_EQ(get_mode(), 0x1A02u);  // the first mode read asks the core for the environment
  HMODULE core = GetModuleHandleW(L"zorn_core.dll");
  ASSERT_NE(core, nullptr);
  EXPECT_TRUE(fs::equivalent(loaded_module_file(core), dll_folder / "zorn_core.dll"))
      << loaded_module_file(core);
}

// Without a core beside the DLL the hook returns no handle and the delay-load helper
// falls back to the platform's search, which finds the one in this program's folder.
TEST(SiblingLoading, WithoutACoreBesideTheDllThePlatformsSearchApplies) {
  if (!testing_support::in_child()) {
    const fs::path dll_folder = fresh_folder("zorn-dll-alone");
    fs::copy_file(build_folder() / "zorn_generic.dll", dll_folder / "zorn_generic.dll");
    ran_in_fresh_process({{"ZORN_TEST_DLL_FOLDER", dll_folder.string()}});
    fs::remove_all(dll_folder);
    return;
  }
  Library library(fs::path(std::getenv("ZORN_TEST_DLL_FOLDER")) / "zorn_generic.dll");
  ASSERT_TRUE(library.loaded());
  EXPECT_EQ(library.function<GetModeFn>("_tessGetMode")(), 0x1A02u);
  HMODULE core = GetModuleHandleW(L"zorn_core.dll");
  ASSERT_NE(core, nullptr);
  EXPECT_TRUE(fs::equivalent(loaded_module_file(core), build_folder() / "zorn_core.dll"));
}

// A core found nowhere: a copy of this program runs from, and in, a folder that holds
// only zorn_generic.dll. The DLL loads; its first call that needs the core raises the
// delay-load helper's module-not-found exception, which ends the process.
TEST(SiblingLoading, ACoreFoundNowhereEndsTheProcessAtTheFirstCallThatNeedsIt) {
  if (!testing_support::in_child()) {
    const fs::path alone = fresh_folder("zorn-program-alone");
    const fs::path program = alone / "test_windows_dll.exe";
    fs::copy_file(build_folder() / "test_windows_dll.exe", program);
    fs::copy_file(build_folder() / "zorn_generic.dll", alone / "zorn_generic.dll");
    // Nor in the current directory, which the platform's search also looks at.
    const fs::path current = fs::current_path();
    fs::current_path(alone);
    SetEnvironmentVariableA("ZORN_TEST_CHILD", "1");
    const intptr_t exit_code =
        _wspawnl(_P_WAIT, program.c_str(), L"test_windows_dll.exe",
                 L"--gtest_filter=SiblingLoading.ACoreFoundNowhereEndsTheProcessAtTheFirstCallThatNeedsIt",
                 nullptr);
    SetEnvironmentVariableA("ZORN_TEST_CHILD", nullptr);
    fs::current_path(current);
    EXPECT_EQ(static_cast<DWORD>(exit_code), kDelayLoadModuleNotFound);
    fs::remove_all(alone);
    return;
  }
  // The exception ends this process with its code, before any handler of the test
  // framework could turn it into an ordinary failure.
  AddVectoredExceptionHandler(1, [](EXCEPTION_POINTERS* info) -> LONG {
    if (info->ExceptionRecord->ExceptionCode == kDelayLoadModuleNotFound)
      ExitProcess(kDelayLoadModuleNotFound);
    return EXCEPTION_CONTINUE_SEARCH;
  });
  Library library(build_folder() / "zorn_generic.dll");
  ASSERT_TRUE(library.loaded()) << "the load must not need the core";
  library.function<GetModeFn>("_tessGetMode")();
  ADD_FAILURE() << "the first call returned without a core";
}

}  // namespace
