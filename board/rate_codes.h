#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace board {

inline constexpr int kRateCodeCount = 3;

/// Items of the input-rate selectors; the item index is the rate code.
inline constexpr std::array<std::string_view, kRateCodeCount> kInputRateItems = {
    "12..14,5КГц", "48КГц+/-25%", "100КГц+/-1%"};
/// Items of the output-rate selectors; the item index is the rate code.
inline constexpr std::array<std::string_view, kRateCodeCount> kOutputRateItems = {
    "12,5КГц+/-1%", "50КГц+/-1%", "100КГц+/-1%"};

inline constexpr std::array<std::string_view, kRateCodeCount> kInputRateTexts = {
    "частота 12..14,5КГц", "частота 48КГц+/-25%", "частота 100КГц+/-1%"};
inline constexpr std::array<std::string_view, kRateCodeCount> kOutputRateTexts = {
    "частота 12,5КГц+/-1%", "частота 50КГц+/-1%", "частота 100КГц+/-1%"};

/// @brief The rate text for a code; a code outside 0..2 keeps the current text.
[[nodiscard]] constexpr std::string_view rateTextFor(
    const std::array<std::string_view, kRateCodeCount>& texts, std::uint8_t code,
    std::string_view current) {
    return code < kRateCodeCount ? texts[code] : current;
}

} // namespace board
