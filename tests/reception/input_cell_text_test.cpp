#include "reception/input_cell_text.h"

#include "format_test_helpers.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

using reception::inputCellText;
using reception::InputColumn;

std::string cellText(InputColumn column, int cellNumber, std::uint32_t word, std::uint32_t tick,
                     const reception::ChannelFormatLookup& lookup = {}) {
    return inputCellText(static_cast<int>(column), cellNumber, board::InputCell{word, tick},
                         lookup);
}

TEST(InputCellText, HeaderTexts) {
    const char* expected[] = {"№ ячейки", " АП",       "  HEX",    "  OCTAL",
                              " M",       "  DECIMAL", "  BINARY", "  № цикла"};
    for (int column = 0; column < reception::kInputColumnCount; ++column)
        EXPECT_EQ(reception::inputHeaderText(column), expected[column]) << column;
    EXPECT_EQ(reception::inputHeaderText(-1), "");
    EXPECT_EQ(reception::inputHeaderText(8), "");
}

TEST(InputCellText, ClearedCell) {
    const reception::ChannelFormatLookup lookup;
    const board::InputCell cleared{};
    const char* expected[] = {"    0", " 000", " 000000", "00000000",
                              " 00 ",  " ",    "0",       "         0"};
    for (int column = 0; column < reception::kInputColumnCount; ++column)
        EXPECT_EQ(inputCellText(column, 0, cleared, lookup), expected[column]) << column;
}

struct CellCase {
    InputColumn column;
    int cellNumber;
    std::uint32_t word;
    std::uint32_t tick;
    const char* text;
};

void PrintTo(const CellCase& c, std::ostream* os) {
    *os << "column " << static_cast<int>(c.column) << " word 0x" << std::hex << c.word << std::dec
        << " tick " << c.tick;
}

class CellKnownAnswers : public ::testing::TestWithParam<CellCase> {};

TEST_P(CellKnownAnswers, GivesTheText) {
    const CellCase& c = GetParam();
    EXPECT_EQ(cellText(c.column, c.cellNumber, c.word, c.tick), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Words, CellKnownAnswers,
    ::testing::Values(CellCase{InputColumn::CellNumber, 255, 0, 0, "  255"},
                      CellCase{InputColumn::CellNumber, 7, 0, 0, "    7"},
                      CellCase{InputColumn::Address, 0, 0x12345683u, 0, " 203"},
                      CellCase{InputColumn::Address, 0, 0x000000FFu, 0, " 377"},
                      CellCase{InputColumn::Address, 0, 0x00000005u, 0, " 005"},
                      CellCase{InputColumn::Hex, 0, 0xABCDEF12u, 0, " abcdef"},
                      CellCase{InputColumn::Hex, 0, 0x00010000u, 0, " 000100"},
                      CellCase{InputColumn::Octal, 0, 0xFFFFFF00u, 0, "77777777"},
                      CellCase{InputColumn::Octal, 0, 0x00000800u, 0, "00000010"},
                      CellCase{InputColumn::StatusBits, 0, 0x20000000u, 0, " 01 "},
                      CellCase{InputColumn::StatusBits, 0, 0x40000000u, 0, " 10 "},
                      CellCase{InputColumn::StatusBits, 0, 0x60000000u, 0, " 11 "},
                      CellCase{InputColumn::StatusBits, 0, 0x9FFFFFFFu, 0, " 00 "},
                      CellCase{InputColumn::Binary, 0, 0x00000100u, 0, "1"},
                      CellCase{InputColumn::Binary, 0, 0x000005FFu, 0, "101"},
                      CellCase{InputColumn::Binary, 0, 0x000000FFu, 0, "0"},
                      CellCase{InputColumn::Binary, 0, 0xFFFFFFFFu, 0, "111111111111111111111111"},
                      CellCase{InputColumn::Binary, 0, 0x80000000u, 0, "100000000000000000000000"},
                      CellCase{InputColumn::Tick, 0, 0, 1, "         1"},
                      CellCase{InputColumn::Tick, 0, 0, 4294967295u, "4294967295"}),
    [](const auto& info) {
        return "Column" + std::to_string(static_cast<int>(info.param.column)) + "Case" +
               std::to_string(info.index);
    });

TEST(InputCellText, DecimalColumnDecodesThroughTheLookup) {
    reception::ChannelFormatLookup lookup;
    lookup.slots[0203] = reception_testing::makeFormat("ALT", 0, 28, 18, 90.0f, "deg");
    EXPECT_EQ(cellText(InputColumn::Decimal, 0, 0x08000083u, 0, lookup), " +90.000000  deg    ");
    EXPECT_EQ(cellText(InputColumn::Decimal, 0, 0x08000084u, 0, lookup), " ");
}

TEST(InputCellText, ColumnOutsideTheGridIsEmpty) {
    const reception::ChannelFormatLookup lookup;
    EXPECT_EQ(inputCellText(8, 0, board::InputCell{1, 1}, lookup), "");
    EXPECT_EQ(inputCellText(-1, 0, board::InputCell{1, 1}, lookup), "");
}

} // namespace
