#include "editor_text.h"

#include "cp1251.h"
#include "numeric_read.h"

#include <algorithm>

namespace formats {
namespace {

bool isBlankOrControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte <= 0x20 || byte == 0x7F;
}

} // namespace

std::string_view trimEditorText(std::string_view utf8) {
    while (!utf8.empty() && isBlankOrControl(utf8.front()))
        utf8.remove_prefix(1);
    while (!utf8.empty() && isBlankOrControl(utf8.back()))
        utf8.remove_suffix(1);
    return utf8;
}

std::size_t characterCount(std::string_view utf8) {
    return static_cast<std::size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

std::optional<std::string> toCp1251Exactly(std::string_view utf8) {
    // The converter turns every character it cannot map, and every malformed sequence,
    // into '?': more question marks out than in means something was lost.
    std::string cp1251 = utf8ToCp1251(utf8);
    if (std::count(cp1251.begin(), cp1251.end(), '?') != std::count(utf8.begin(), utf8.end(), '?'))
        return std::nullopt;
    return cp1251;
}

std::optional<std::uint16_t> readCellNumber(std::string_view utf8Text, std::size_t maxChars,
                                            int base, util::Beeper& beeper) {
    const auto value = characterCount(trimEditorText(utf8Text)) <= maxChars
                           ? readLeadingInteger(utf8Text, base)
                           : std::nullopt;
    if (!value) {
        beeper.beep();
        return std::nullopt;
    }
    return asUnsigned16(*value);
}

void holdAtMost(std::uint16_t& value, std::uint16_t highest, util::Beeper& beeper) {
    if (value > highest) {
        value = highest;
        beeper.beep();
    }
}

void holdAtLeast(std::uint16_t& value, std::uint16_t lowest, util::Beeper& beeper) {
    if (value < lowest) {
        value = lowest;
        beeper.beep();
    }
}

} // namespace formats
