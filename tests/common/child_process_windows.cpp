#include <windows.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "common/child_process.h"

namespace testing_support {

namespace {

// Sets (or, with a null value, removes) an environment variable for this process and
// remembers the old value, so that a child can inherit a changed environment.
class ScopedVariable {
 public:
  ScopedVariable(const std::string& name, const char* value) : name_(name) {
    char old[32768];
    const DWORD n = GetEnvironmentVariableA(name.c_str(), old, sizeof old);
    had_ = n > 0 && n < sizeof old;
    if (had_) old_.assign(old, n);
    SetEnvironmentVariableA(name.c_str(), value);
  }
  ~ScopedVariable() { SetEnvironmentVariableA(name_.c_str(), had_ ? old_.c_str() : nullptr); }

 private:
  std::string name_, old_;
  bool had_ = false;
};

}  // namespace

ChildResult run_child_test(const std::string& test,
                           const std::vector<std::pair<std::string, std::string>>& env,
                           const std::string& working_directory) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE read_end = nullptr, write_end = nullptr;
  if (!CreatePipe(&read_end, &write_end, &inherit, 0)) return {-1, 0, "pipe failed"};
  SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string command = std::string("\"") + self + "\" --gtest_filter=" + test +
                        " --gtest_also_run_disabled_tests";
  ChildResult result{0, 0, {}};
  {
    ScopedVariable child("ZORN_TEST_CHILD", "1");
    std::vector<std::unique_ptr<ScopedVariable>> variables;
    for (const auto& [name, value] : env)
      variables.push_back(std::make_unique<ScopedVariable>(name, value.c_str()));
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = write_end;
    startup.hStdError = write_end;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                        working_directory.empty() ? nullptr : working_directory.c_str(),
                        &startup, &process)) {
      CloseHandle(read_end);
      CloseHandle(write_end);
      return {-1, 0, "CreateProcess failed"};
    }
    CloseHandle(write_end);
    char buffer[4096];
    for (DWORD n; ReadFile(read_end, buffer, sizeof buffer, &n, nullptr) && n > 0;)
      result.output.append(buffer, n);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    result.exit_code = static_cast<int>(code);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
  }
  CloseHandle(read_end);
  return result;
}

}  // namespace testing_support
