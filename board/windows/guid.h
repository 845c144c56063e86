#pragma once

#include "util/hex_digit.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace board::windows {

/// @brief A device interface class identifier, field for field as the system's GUID.
struct InterfaceClassGuid {
    std::uint32_t data1 = 0;
    std::uint16_t data2 = 0;
    std::uint16_t data3 = 0;
    std::array<std::uint8_t, 8> data4{};

    friend constexpr bool operator==(const InterfaceClassGuid&,
                                     const InterfaceClassGuid&) = default;
};

namespace guid_text {

// Reads exactly `digits` hex digits at `at`; no sign, blank or prefix is accepted.
constexpr std::optional<std::uint32_t> hexField(std::string_view text, std::size_t at,
                                                std::size_t digits) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < digits; ++i) {
        const int digit = util::hexDigitValue(static_cast<unsigned char>(text[at + i]));
        if (digit < 0)
            return std::nullopt;
        value = value * 16 + static_cast<std::uint32_t>(digit);
    }
    return value;
}

} // namespace guid_text

/// @brief Reads a GUID in its registry form, "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}" (the
/// braces may be left out, hex digits in either case); nothing else is accepted.
[[nodiscard]] constexpr std::optional<InterfaceClassGuid> parseInterfaceClassGuid(
    std::string_view text) {
    if (text.size() == 38) {
        if (text.front() != '{' || text.back() != '}')
            return std::nullopt;
        text = text.substr(1, 36);
    }
    if (text.size() != 36 || text[8] != '-' || text[13] != '-' || text[18] != '-' ||
        text[23] != '-')
        return std::nullopt;

    const auto data1 = guid_text::hexField(text, 0, 8);
    const auto data2 = guid_text::hexField(text, 9, 4);
    const auto data3 = guid_text::hexField(text, 14, 4);
    if (!data1 || !data2 || !data3)
        return std::nullopt;
    InterfaceClassGuid guid;
    guid.data1 = *data1;
    guid.data2 = static_cast<std::uint16_t>(*data2);
    guid.data3 = static_cast<std::uint16_t>(*data3);
    // The last two groups are the eight bytes of data4 in order: "xxxx-xxxxxxxxxxxx".
    constexpr std::array<std::size_t, 8> kByteAt = {19, 21, 24, 26, 28, 30, 32, 34};
    for (std::size_t i = 0; i < kByteAt.size(); ++i) {
        const auto byte = guid_text::hexField(text, kByteAt[i], 2);
        if (!byte)
            return std::nullopt;
        guid.data4[i] = static_cast<std::uint8_t>(*byte);
    }
    return guid;
}

} // namespace board::windows
