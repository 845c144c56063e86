#pragma once

#include <string>

namespace board {

/// @brief std::snprintf into a std::string: every text with numbers that the monitor shows is
/// produced by a printf format.
[[nodiscard]] std::string printfText(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

} // namespace board
