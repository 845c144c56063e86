#pragma once

#include "board/shared_state.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace transmission {

inline constexpr int kBitCheckBoxCount = 32;

// Check box N stands for bit 33 - N: CheckBox1 is bit 32 (the most significant),
// CheckBox32 is bit 1 (the least significant, the address's low bit).
[[nodiscard]] constexpr int bitOfCheckBox(int checkBox) { return 33 - checkBox; }
/// @brief The word bit of CheckBox1 ... CheckBox32; 0 for any other number.
[[nodiscard]] constexpr std::uint32_t maskOfCheckBox(int checkBox) {
    return checkBox >= 1 && checkBox <= kBitCheckBoxCount
               ? std::uint32_t{1} << (bitOfCheckBox(checkBox) - 1)
               : 0u;
}

inline constexpr std::string_view kBitEditorDesignCaption = "Задание битов выходного параметра";
inline constexpr std::string_view kBitNumbersOverRow =
    "31   29   27   25   23   21   19   17   15   13   11    9       7    5    3    1";
inline constexpr std::string_view kBitNumberOverCheckBox1 = "32";
inline constexpr std::string_view kAddressLabel = "Адрес Параметра";
inline constexpr std::string_view kCodeLabel = "Код Параметра";

/// @brief "Задание кода выходного параметра (индекс %d)".
[[nodiscard]] std::string bitEditorCaption(std::uint16_t index);

/// @brief A right-button press on grid row `row`: a data row (1 .. array size) makes word
/// row - 1 the one to edit (SOparamIndex) and returns true, so the editor opens; the header
/// row and anything below the last row return false and change nothing.
[[nodiscard]] bool selectWordForBitEditor(board::SharedState& state, int row);

/// @brief The bit editor's data: a working copy of one output word that the 32 check boxes
/// change; only apply() writes it back. Cancel or the close box need no call.
class OutputWordBitEditor {
public:
    /// Starts a showing from the current value of word SOparamIndex of the current channel.
    void show(const board::SharedState& state);

    [[nodiscard]] std::string caption() const { return bitEditorCaption(index_); }
    [[nodiscard]] std::uint32_t workingWord() const { return workingWord_; }

    [[nodiscard]] bool isChecked(int checkBox) const;
    /// A click on CheckBoxN: its bit follows the box's new check state.
    void setChecked(int checkBox, bool checked);

    /// "Применить": the word of the current channel := the working word.
    void apply(board::SharedState& state) const;

private:
    std::uint16_t index_ = 0;
    std::uint32_t workingWord_ = 0;
};

} // namespace transmission
