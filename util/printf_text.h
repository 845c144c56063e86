#pragma once

#include <string>

namespace util {

/// @brief std::snprintf into a std::string: every text with numbers that the monitor shows is
/// produced by a printf format.
[[nodiscard]] std::string printfText(const char* format, ...)
#if defined(__MINGW32__) && !defined(__clang__)
    // mingw-w64's C++ library formats as C99 does (%zu included), not as the system's own.
    __attribute__((format(gnu_printf, 1, 2)))
#elif defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

} // namespace util
