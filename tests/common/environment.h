// Setting and removing environment variables of the test process, on either platform.
#pragma once

#include <cstdlib>

namespace testing_support {

inline void set_env(const char* name, const char* value) {
#if defined(_WIN32)
  _putenv_s(name, value);
#else
  setenv(name, value, 1);
#endif
}

inline void unset_env(const char* name) {
#if defined(_WIN32)
  _putenv_s(name, "");  // an empty value removes the variable
#else
  unsetenv(name);
#endif
}

}  // namespace testing_support
