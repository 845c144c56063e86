#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace formats {

/// @brief Converts cp1251 bytes (as stored in records and files) to UTF-8.
/// The one unassigned byte, 0x98, becomes U+FFFD.
[[nodiscard]] std::string cp1251ToUtf8(std::string_view cp1251);

/// @brief The same conversion written at `out`, which has room for three bytes per byte of
/// `cp1251`; returns the end of what was written. For texts made thousands of times a tick.
char* writeCp1251AsUtf8(char* out, std::string_view cp1251);

/// @brief Converts UTF-8 text to cp1251 bytes; characters cp1251 cannot hold, and
/// malformed UTF-8, become '?'.
[[nodiscard]] std::string utf8ToCp1251(std::string_view utf8);

/// @brief Reads a fixed-width text field: up to its first NUL, or the whole field when it
/// holds none.
[[nodiscard]] std::string_view fieldText(const char* field, std::size_t width);

template <std::size_t N>
[[nodiscard]] std::string_view fieldText(const std::array<char, N>& field) {
    return fieldText(field.data(), N);
}

} // namespace formats
