#include "input_cell_text.h"

#include "decimal_decode.h"

#include "util/printf_text.h"

#include <array>
#include <bit>

namespace reception {

namespace {

constexpr std::array<std::string_view, kInputColumnCount> kHeaderTexts = {
    "№ ячейки", " АП", "  HEX", "  OCTAL", " M", "  DECIMAL", "  BINARY", "  № цикла"};

// Bits 9..32 of a word: its code, shown as one 24-bit number.
[[nodiscard]] constexpr unsigned dataBits(std::uint32_t word) { return word >> 8; }

} // namespace

std::string_view inputHeaderText(int column) {
    if (column < 0 || column >= kInputColumnCount)
        return {};
    return kHeaderTexts[static_cast<std::size_t>(column)];
}

std::string statusBitsText(std::uint32_t word) {
    const char bit31 = ((word >> 30) & 1u) != 0 ? '1' : '0';
    const char bit30 = ((word >> 29) & 1u) != 0 ? '1' : '0';
    return {' ', bit31, bit30, ' '};
}

std::string binaryDataText(std::uint32_t word) {
    const std::uint32_t data = dataBits(word);
    if (data == 0)
        return "0";
    const int digits = static_cast<int>(std::bit_width(data));
    std::string text(static_cast<std::size_t>(digits), '0');
    for (int i = 0; i < digits; ++i) {
        if (((data >> (digits - 1 - i)) & 1u) != 0)
            text[static_cast<std::size_t>(i)] = '1';
    }
    return text;
}

std::string widestInputCellText(int column) {
    if (column == static_cast<int>(InputColumn::Decimal))
        return widestDecimalText();
    static const ChannelFormatLookup kNoFormats{};
    return inputCellText(column, board::kInputBufferCells - 1, {0xFFFFFFFFu, 0xFFFFFFFFu},
                         kNoFormats);
}

std::string inputCellText(int column, int cellNumber, const board::InputCell& cell,
                          const ChannelFormatLookup& lookup) {
    const std::uint32_t word = cell.word;
    switch (static_cast<InputColumn>(column)) {
    case InputColumn::CellNumber: return util::printfText("%5d", cellNumber);
    case InputColumn::Address: return util::printfText(" %03o", word & 0xFFu);
    case InputColumn::Hex: return util::printfText(" %06x", dataBits(word));
    case InputColumn::Octal: return util::printfText("%08o", dataBits(word));
    case InputColumn::StatusBits: return statusBitsText(word);
    case InputColumn::Decimal: return decodeDecimal(word, lookup);
    case InputColumn::Binary: return binaryDataText(word);
    case InputColumn::Tick: return util::printfText("%10lu", static_cast<unsigned long>(cell.tick));
    }
    return {};
}

} // namespace reception
