#pragma once

#include "cell_edit.h"

#include "util/beeper.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace formats {

/// @brief The editor text without leading and trailing blanks and control characters.
[[nodiscard]] std::string_view trimEditorText(std::string_view utf8);

/// @brief Characters (code points) in UTF-8 text: what the length limits count, so that
/// "км/ч" is 4 characters although it takes 7 bytes.
[[nodiscard]] std::size_t characterCount(std::string_view utf8);

/// @brief UTF-8 text as cp1251 bytes, or nothing when some character has no cp1251 byte
/// (or the text is not valid UTF-8): such text is refused rather than stored as '?'.
[[nodiscard]] std::optional<std::string> toCp1251Exactly(std::string_view utf8);

/// @brief The length limit and numeric read of the number columns: the trimmed text has at
/// most `maxChars` characters and starts with an integer in `base`, taken as unsigned 16-bit
/// (so "-1" is 65535); otherwise beep and nothing.
[[nodiscard]] std::optional<std::uint16_t> readCellNumber(std::string_view utf8Text,
                                                          std::size_t maxChars, int base,
                                                          util::Beeper& beeper);

/// @brief Lowers `value` to `highest` with a beep when it lies above.
void holdAtMost(std::uint16_t& value, std::uint16_t highest, util::Beeper& beeper);

/// @brief Raises `value` to `lowest` with a beep when it lies below.
void holdAtLeast(std::uint16_t& value, std::uint16_t lowest, util::Beeper& beeper);

/// @brief Writes cp1251 text into a fixed-width field, NUL-terminated and zero-filled;
/// the text must be shorter than the field.
template <std::size_t N>
void storeFieldText(std::array<char, N>& field, std::string_view cp1251) {
    field.fill('\0');
    cp1251.copy(field.data(), cp1251.size() < N ? cp1251.size() : N - 1);
}

/// @brief The rule of the typed text columns (label, units): the trimmed text is stored when
/// it has at most N - 1 characters, all of which cp1251 can hold; otherwise beep.
template <std::size_t N>
[[nodiscard]] EditResult editTextField(std::array<char, N>& field, std::string_view utf8Text,
                                       util::Beeper& beeper) {
    static_assert(N >= 2);
    constexpr std::size_t maxChars = N - 1;
    const std::string_view trimmed = trimEditorText(utf8Text);
    const auto cp1251 = characterCount(trimmed) <= maxChars ? toCp1251Exactly(trimmed)
                                                            : std::nullopt;
    if (!cp1251 || cp1251->size() > maxChars) {
        beeper.beep();
        return EditResult::Refused;
    }
    storeFieldText(field, *cp1251);
    return EditResult::Stored;
}

} // namespace formats
