#pragma once

// Keys and editor texts for the keystroke targets: mostly what a user can type into a cell
// (digits of the column, blanks, signs, points, Cyrillic, pasted junk), sometimes raw bytes.

#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace fuzz_typing {

inline constexpr std::array<char32_t, 4> kEditingKeys = {0x03, 0x08, 0x0D, 0x16};

inline constexpr std::array<std::string_view, 16> kPieces = {
    " ", "\t", "-", "+", ".", "e", "E", "0", "км/ч", "°", "\xD0", "\xFF", "\x7F", "\r\n", "€", "ё",
};

/// Characters as the editors count them: UTF-8 continuation bytes do not count.
[[nodiscard]] inline std::size_t characterCount(std::string_view text) {
    std::size_t count = 0;
    for (const char c : text)
        if ((static_cast<unsigned char>(c) & 0xC0u) != 0x80u)
            ++count;
    return count;
}

[[nodiscard]] inline char32_t consumeKey(FuzzedDataProvider& input, std::string_view digits) {
    switch (input.ConsumeIntegralInRange(0, 3)) {
    case 0:
        return kEditingKeys[input.ConsumeIntegralInRange<std::size_t>(0, kEditingKeys.size() - 1)];
    case 1:
        return static_cast<unsigned char>(
            digits[input.ConsumeIntegralInRange<std::size_t>(0, digits.size() - 1)]);
    case 2: return input.ConsumeIntegralInRange<char32_t>(0x20, 0x7E);
    default: return input.ConsumeIntegral<char32_t>();
    }
}

[[nodiscard]] inline std::string consumeText(FuzzedDataProvider& input, std::string_view digits) {
    if (input.ConsumeIntegralInRange(0, 7) == 0)
        return input.ConsumeRandomLengthString(24);
    std::string text;
    const int pieces = input.ConsumeIntegralInRange(0, 12);
    for (int piece = 0; piece < pieces; ++piece) {
        if (input.ConsumeBool())
            text += digits[input.ConsumeIntegralInRange<std::size_t>(0, digits.size() - 1)];
        else
            text += kPieces[input.ConsumeIntegralInRange<std::size_t>(0, kPieces.size() - 1)];
    }
    return text;
}

} // namespace fuzz_typing
