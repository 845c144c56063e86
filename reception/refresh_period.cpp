#include "refresh_period.h"

#include "board/printf_text.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace reception {

namespace {

constexpr std::size_t kLongestParsedText = 4; // characters; longer texts are not read

[[nodiscard]] std::size_t characterCount(std::string_view utf8) {
    return static_cast<std::size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0u) != 0x80u;
    }));
}

} // namespace

std::int32_t appliedRefreshPeriod(std::string_view text, std::int32_t currentPeriod) {
    if (characterCount(text) > kLongestParsedText)
        return kMaxRefreshPeriodMs;

    // At most four characters of up to four UTF-8 bytes each, NUL-terminated for sscanf;
    // four digits cannot overflow an int.
    std::array<char, 4 * kLongestParsedText + 1> buffer{};
    text.substr(0, buffer.size() - 1).copy(buffer.data(), buffer.size() - 1);
    int value = 0;
    if (std::sscanf(buffer.data(), "%d", &value) != 1)
        value = currentPeriod;
    return std::clamp<std::int32_t>(value, kMinRefreshPeriodMs, kMaxRefreshPeriodMs);
}

std::string refreshPeriodText(std::int32_t period) { return board::printfText("%d", period); }

} // namespace reception
