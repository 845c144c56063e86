#include "cell_typing.h"

#include "output_array.h"
#include "output_grid_text.h"

#include "formats/cell_edit.h"
#include "formats/editor_text.h"
#include "util/hex_digit.h"

#include <cstddef>

namespace transmission {

namespace {

constexpr std::size_t kAddressTextLimit = 3;
constexpr std::size_t kCodeTextLimit = 6;

constexpr std::uint32_t kAddressMask = 0x000000FFu;
constexpr std::uint32_t kCodeMask = 0xFFFFFF00u;

bool isDigitOfBase(char32_t c, int base) {
    const int value = util::hexDigitValue(c);
    return value >= 0 && value < base;
}

bool keyAllowedForBase(char32_t key, int base) {
    return isDigitOfBase(key, base) || formats::isEditingKey(key);
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The shared part of both column rules; `place` puts the number read into the word.
template <typename Place>
bool applyColumnText(std::uint32_t& word, std::string_view text, char32_t lastKey, int base,
                     std::size_t limit, util::Beeper& beeper, Place place) {
    const auto number = keyAllowedForBase(lastKey, base) && formats::characterCount(text) <= limit
                            ? readLeadingNumber(text, base)
                            : std::nullopt;
    if (!number) {
        beeper.beep();
        return false;
    }
    const std::uint32_t updated = place(word, *number);
    const bool changed = updated != word;
    word = updated;
    return changed;
}

} // namespace

std::optional<std::uint32_t> readLeadingNumber(std::string_view text, int base) {
    std::size_t pos = 0;
    while (pos < text.size() && isBlank(text[pos]))
        ++pos;
    if (pos == text.size() || !isDigitOfBase(static_cast<unsigned char>(text[pos]), base))
        return std::nullopt;
    std::uint32_t value = 0;
    for (; pos < text.size() && isDigitOfBase(static_cast<unsigned char>(text[pos]), base); ++pos) {
        const int digit = util::hexDigitValue(static_cast<unsigned char>(text[pos]));
        value = value * static_cast<std::uint32_t>(base) + static_cast<std::uint32_t>(digit);
    }
    return value;
}

bool applyAddressText(std::uint32_t& word, std::string_view text, char32_t lastKey,
                      util::Beeper& beeper) {
    return applyColumnText(word, text, lastKey, 8, kAddressTextLimit, beeper,
                           [](std::uint32_t w, std::uint32_t number) {
                               return (w & kCodeMask) | (number & kAddressMask);
                           });
}

bool applyCodeText(std::uint32_t& word, std::string_view text, char32_t lastKey,
                   util::Beeper& beeper) {
    return applyColumnText(word, text, lastKey, 16, kCodeTextLimit, beeper,
                           [](std::uint32_t w, std::uint32_t number) {
                               return (w & kAddressMask) | ((number << 8) & kCodeMask);
                           });
}

bool OutputCellTyping::applyCellText(board::SharedState& state, int column, int row,
                                     std::string_view text, util::Beeper& beeper) const {
    if (!isDataRow(state, row))
        return false;
    auto& word = currentOutputRecord(state).SOwords[static_cast<std::size_t>(row - 1)];
    switch (column) {
    case AddressColumn: return applyAddressText(word, text, lastKey_, beeper);
    case CodeColumn: return applyCodeText(word, text, lastKey_, beeper);
    default: return false;
    }
}

} // namespace transmission
