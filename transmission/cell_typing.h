#pragma once

#include "board/shared_state.h"
#include "util/beeper.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace transmission {

/// @brief Reads an unsigned number in the given base (8 or 16) from the start of the text:
/// leading blanks are skipped, reading stops at the first character that is not a digit of
/// the base. No sign and no "0x" prefix is taken; a number beyond 32 bits keeps its low
/// 32 bits. Empty when no digit starts the text.
[[nodiscard]] std::optional<std::uint32_t> readLeadingNumber(std::string_view text, int base);

/// @brief The address rule. lastKey must be an octal digit or one of copy (0x03), paste
/// (0x16), Enter (0x0D), backspace (0x08); then a text of at most 3 characters starting with
/// an octal number sets bits 1-8 of the word to the number's low eight bits. Anything else
/// beeps and leaves the word alone. @return whether the word changed.
[[nodiscard]] bool applyAddressText(std::uint32_t& word, std::string_view text, char32_t lastKey,
                                    util::Beeper& beeper);

/// @brief The code rule: lastKey must be a hexadecimal digit of either case or one of the
/// four editing keys; then a text of at most 6 characters starting with a hexadecimal number
/// sets bits 9-32 of the word to it. Anything else beeps and leaves the word alone.
/// @return whether the word changed.
[[nodiscard]] bool applyCodeText(std::uint32_t& word, std::string_view text, char32_t lastKey,
                                 util::Beeper& beeper);

/// @brief Typing into the output grid's cells. The window reports every typed character
/// (recordKey) and every change of the cell editor's text, plus once more when the editor
/// closes (applyCellText); the word of the current channel follows the text as typed.
class OutputCellTyping {
public:
    /// Every character key typed while the grid or its editor has the focus.
    void recordKey(char32_t key) { lastKey_ = key; }
    [[nodiscard]] char32_t lastKey() const { return lastKey_; }

    /// @brief The editor's whole text (UTF-8) for the cell at grid row `row` (data rows
    /// start at 1) and column 1 (address) or 2 (code). Cells that cannot be edited are
    /// ignored without a beep. @return whether the word changed, so the grid repaints.
    [[nodiscard]] bool applyCellText(board::SharedState& state, int column, int row,
                                     std::string_view text, util::Beeper& beeper) const;

private:
    char32_t lastKey_ = 0;
};

} // namespace transmission
