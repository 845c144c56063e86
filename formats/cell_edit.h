#pragma once

namespace formats {

/// @brief What an editing rule did with one change of a cell editor's text.
enum class EditResult {
    Stored,  ///< the slot was written (a clamp may also have beeped); repaint the row
    Refused, ///< beeped; the slot keeps its value and the editor keeps its text
    Ignored, ///< the column takes no typed text; nothing stored, no beep
};

/// Control characters that pass every grid key filter besides the column's digits: they
/// edit or paste the text rather than type into it.
inline constexpr char32_t kKeyCopy = 3; // Ctrl+C
inline constexpr char32_t kKeyBackspace = 8;
inline constexpr char32_t kKeyEnter = 13;
inline constexpr char32_t kKeyPaste = 22; // Ctrl+V

/// @brief Copy, backspace, Enter or paste: a key that passes every numeric column's filter.
[[nodiscard]] constexpr bool isEditingKey(char32_t key) {
    return key == kKeyCopy || key == kKeyBackspace || key == kKeyEnter || key == kKeyPaste;
}

/// @brief The key filter of the numeric columns: lastKey is the character of the last key
/// pressed in the grid, before it reached the editor.
[[nodiscard]] constexpr bool keyPassesFilter(char32_t lastKey, char firstDigit, char lastDigit) {
    if (lastKey >= static_cast<char32_t>(firstDigit) && lastKey <= static_cast<char32_t>(lastDigit))
        return true;
    return isEditingKey(lastKey);
}

} // namespace formats
