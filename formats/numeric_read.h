#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace formats {

// The grid editors read numbers the way the C library's scanf conversions do: leading
// white space is skipped, the number is the longest suitable leading part, and whatever
// follows it is ignored. Unlike the C library, the decimal point is always '.', whatever
// the process locale says.

/// @brief Reads a leading integer in base 8 or 10 (like %o and %d): optional sign, at least
/// one digit. Magnitudes beyond 999999999 are held at that bound.
[[nodiscard]] std::optional<long> readLeadingInteger(std::string_view text, int base);

/// @brief Reads a leading floating-point number (like %f): optional sign, digits with an
/// optional decimal point (at least one digit), optional exponent. Infinities, NaNs and hex
/// forms are not numbers here; a value too large for a float is refused, one too small
/// becomes zero, as the C library's float conversion makes it.
[[nodiscard]] std::optional<float> readLeadingFloat(std::string_view text);

/// @brief An integer as the unsigned 16-bit cell the editors keep it in: -1 becomes 65535.
[[nodiscard]] constexpr std::uint16_t asUnsigned16(long value) {
    return static_cast<std::uint16_t>(value);
}

} // namespace formats
