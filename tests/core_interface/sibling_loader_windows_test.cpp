// The sibling loader of the Windows platform layer, linked into this program: it handles
// only names that begin with "zorn_", loads them from the folder of the image that holds
// it (here this program's), and refuses a path longer than the platform's 260 characters.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core_interface/sibling_loader.h"

namespace fs = std::filesystem;

namespace {

fs::path module_file(HMODULE module) {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
  return fs::path(std::wstring(path, length));
}

TEST(SiblingLoader, OnlyZornNamesAreHandled) {
  using zorn::core_interface::load_sibling_library;
  EXPECT_EQ(load_sibling_library(nullptr), nullptr);
  EXPECT_EQ(load_sibling_library("kernel32.dll"), nullptr) << "another DLL takes the platform's search";
  EXPECT_EQ(load_sibling_library("zorn_no_such_library.dll"), nullptr);
}

TEST(SiblingLoader, LoadsFromTheFolderOfItsOwnImage) {
  auto core = static_cast<HMODULE>(zorn::core_interface::load_sibling_library("zorn_core.dll"));
  ASSERT_NE(core, nullptr);
  EXPECT_TRUE(fs::equivalent(module_file(core), module_file(nullptr).parent_path() / "zorn_core.dll"));
  EXPECT_NE(GetProcAddress(core, "zorn_serv_allocate"), nullptr);
  FreeLibrary(core);
}

TEST(SiblingLoader, ANameBeyondThePathLimitIsNotLoaded) {
  // With the folder in front, 260 characters of name cannot fit: only the folder would
  // remain, which is no library.
  const std::string name = "zorn_" + std::string(250, 'x') + ".dll";
  EXPECT_EQ(zorn::core_interface::load_sibling_library(name.c_str()), nullptr);
}

}  // namespace
