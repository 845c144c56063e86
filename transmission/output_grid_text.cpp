#include "output_grid_text.h"

#include "output_array.h"

#include "util/printf_text.h"

namespace transmission {

std::string indexCellText(int index) { return util::printfText("%5d", index); }

std::string addressCellText(std::uint32_t word) {
    return util::printfText("%03o", static_cast<unsigned>(word & 0xFFu));
}

std::string codeCellText(std::uint32_t word) {
    return util::printfText("%06x", static_cast<unsigned>(word >> 8));
}

std::string widestOutputCellText(int column) {
    constexpr std::uint32_t kWidestWord = 0xFFFFFFFFu;
    switch (column) {
    case IndexColumn: return indexCellText(kMaxArraySize - 1);
    case AddressColumn: return addressCellText(kWidestWord);
    case CodeColumn: return codeCellText(kWidestWord);
    default: return {};
    }
}

std::string outputCellText(const board::SharedState& state, int row, int column) {
    if (column < 0 || column >= kOutputGridColumnCount)
        return {};
    if (row == 0)
        return std::string(kOutputGridHeaders[static_cast<std::size_t>(column)]);
    if (!isDataRow(state, row))
        return {};
    const int index = row - 1;
    const std::uint32_t word = currentOutputRecord(state).SOwords[static_cast<std::size_t>(index)];
    switch (column) {
    case IndexColumn: return indexCellText(index);
    case AddressColumn: return addressCellText(word);
    default: return codeCellText(word);
    }
}

} // namespace transmission
