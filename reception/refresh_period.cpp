#include "refresh_period.h"

#include "formats/editor_text.h"
#include "formats/numeric_read.h"
#include "util/printf_text.h"

#include <algorithm>

namespace reception {

namespace {

constexpr std::size_t kLongestParsedText = 4; // characters; longer texts are not read

} // namespace

std::int32_t appliedRefreshPeriod(std::string_view text, std::int32_t currentPeriod) {
    if (formats::characterCount(text) > kLongestParsedText)
        return kMaxRefreshPeriodMs;
    // Four characters hold at most four digits, far below the reader's bound.
    const auto value = formats::readLeadingInteger(text, 10);
    const std::int32_t period = value ? static_cast<std::int32_t>(*value) : currentPeriod;
    return std::clamp<std::int32_t>(period, kMinRefreshPeriodMs, kMaxRefreshPeriodMs);
}

std::string refreshPeriodText(std::int32_t period) { return util::printfText("%d", period); }

} // namespace reception
