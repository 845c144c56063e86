#pragma once

// Setting and clearing environment variables in tests, on POSIX systems and on Windows,
// whose C library has neither setenv nor unsetenv.

#include <cstdlib>

namespace testing_support {

inline void setEnvironment(const char* name, const char* value) {
#ifdef _WIN32
    ::_putenv_s(name, value);
#else
    ::setenv(name, value, 1);
#endif
}

inline void unsetEnvironment(const char* name) {
#ifdef _WIN32
    // An empty value removes the variable there.
    ::_putenv_s(name, "");
#else
    ::unsetenv(name);
#endif
}

} // namespace testing_support
