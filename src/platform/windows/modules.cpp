// Loading a sibling from this DLL's folder, and the C runtime's error number.
#include <windows.h>

#include <cwchar>

#include "platform/platform.h"
#include "platform/spin_lock.h"

namespace zorn::platform {

namespace {

constexpr DWORD kMaxPath = 260;
// Search the loaded DLL's own folder for its dependencies and never the current
// directory (LOAD_LIBRARY_SEARCH_DEFAULT_DIRS is 0x1000; 0x2000 is the safe-search rule).
constexpr DWORD kSafeCurrentDirectory = 0x2000;

// Our DLL's folder with its trailing backslash, looked up once; empty when unknown.
const wchar_t* own_directory() {
  static std::atomic<int32_t> lock{0};
  static bool known = false;
  static wchar_t directory[kMaxPath + 1];
  SpinLockGuard guard(lock);
  if (!known) {
    known = true;
    HMODULE self = nullptr;
    DWORD length = 0;
    if (GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                               GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCWSTR>(&own_directory), &self))
      length = GetModuleFileNameW(self, directory, kMaxPath);
    directory[length < kMaxPath ? length : 0] = L'\0';
    wchar_t* backslash = std::wcsrchr(directory, L'\\');
    if (backslash != nullptr)
      backslash[1] = L'\0';
    else
      directory[0] = L'\0';
  }
  return directory[0] != L'\0' ? directory : nullptr;
}

}  // namespace

void* load_library_beside_self(const char* name) {
  const wchar_t* dir = own_directory();
  if (dir == nullptr) return nullptr;
  wchar_t path[kMaxPath];
  const size_t used = std::wcslen(dir);
  if (used >= kMaxPath) return nullptr;
  std::wmemcpy(path, dir, used + 1);
  // A name that does not fit leaves only the directory, whose load then fails.
  const int converted = MultiByteToWideChar(CP_ACP, 0, name, -1, path + used,
                                            static_cast<int>(kMaxPath - used));
  if (converted == 0) path[used] = L'\0';
  return LoadLibraryExW(path, nullptr, kSafeCurrentDirectory);
}

// The C runtime modules an application may have loaded, in the order they are tried;
// the first that is loaded supplies its "_errno".
ErrorNumberAccessor find_error_number_accessor() {
  static const char* const kRuntimes[] = {
      "MSVCR100.DLL", "MSVCR90.DLL",   "MSVCR80.DLL",  "MSVCR71.DLL",
      "MSVCR70.DLL",  "MSVCRT.DLL",    "MSVCR100D.DLL", "MSVCR90D.DLL",
      "MSVCR80D.DLL", "MSVCR71D.DLL",  "MSVCR70D.DLL", "MSVCRTD.DLL"};
  for (const char* runtime : kRuntimes)
    if (HMODULE module = GetModuleHandleA(runtime))
      return reinterpret_cast<ErrorNumberAccessor>(
          reinterpret_cast<void*>(GetProcAddress(module, "_errno")));
  return nullptr;
}

}  // namespace zorn::platform
