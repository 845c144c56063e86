#pragma once

namespace util {

/// @brief The value of one hexadecimal digit, either case; -1 for any other character.
[[nodiscard]] constexpr int hexDigitValue(char32_t c) {
    if (c >= '0' && c <= '9')
        return static_cast<int>(c - '0');
    if (c >= 'a' && c <= 'f')
        return static_cast<int>(c - 'a' + 10);
    if (c >= 'A' && c <= 'F')
        return static_cast<int>(c - 'A' + 10);
    return -1;
}

} // namespace util
