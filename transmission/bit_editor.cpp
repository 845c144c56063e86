#include "bit_editor.h"

#include "output_array.h"

#include "util/printf_text.h"

namespace transmission {

std::string bitEditorCaption(std::uint16_t index) {
    return util::printfText("Задание кода выходного параметра (индекс %d)",
                            static_cast<int>(index));
}

bool selectWordForBitEditor(board::SharedState& state, int row) {
    if (!isDataRow(state, row))
        return false;
    state.SOparamIndex = static_cast<std::uint16_t>(row - 1);
    return true;
}

void OutputWordBitEditor::show(const board::SharedState& state) {
    index_ = state.SOparamIndex;
    workingWord_ = index_ < kMaxArraySize ? currentOutputRecord(state).SOwords[index_] : 0;
}

bool OutputWordBitEditor::isChecked(int checkBox) const {
    return (workingWord_ & maskOfCheckBox(checkBox)) != 0;
}

void OutputWordBitEditor::setChecked(int checkBox, bool checked) {
    if (checked)
        workingWord_ |= maskOfCheckBox(checkBox);
    else
        workingWord_ &= ~maskOfCheckBox(checkBox);
}

void OutputWordBitEditor::apply(board::SharedState& state) const {
    if (index_ < kMaxArraySize)
        currentOutputRecord(state).SOwords[index_] = workingWord_;
}

} // namespace transmission
