#include "formats/cp1251.h"
#include "formats/format_cells.h"
#include "formats/format_table.h"
#include "formats/grid_rows.h"

#include "table_fixtures.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using formats_testing::makeFormat;

void expectClearedFrom(const formats::DecimalFormatTable& table, int first) {
    for (int slot = first; slot < formats::kFormatSlots; ++slot) {
        const auto& format = table.slots[slot];
        ASSERT_EQ(format.label[0], '\0') << slot;
        ASSERT_EQ(format.msbBit, 0) << slot;
        ASSERT_EQ(format.lsbBit, 0) << slot;
        std::uint32_t weightBits = 1;
        std::memcpy(&weightBits, &format.msbWeight, sizeof weightBits);
        ASSERT_EQ(weightBits, 0u) << slot; // all four bytes, so no -0.0 either
        ASSERT_EQ(format.units[0], '\0') << slot;
    }
}

TEST(FormatTable, CompletenessNeedsAllFiveFields) {
    const auto complete = makeFormat("ALT", 28, 18, 90.0F, "ft");
    EXPECT_TRUE(formats::isComplete(complete));
    auto f = complete;
    f.label[0] = '\0';
    EXPECT_FALSE(formats::isComplete(f));
    f = complete, f.msbBit = 0;
    EXPECT_FALSE(formats::isComplete(f));
    f = complete, f.lsbBit = 0;
    EXPECT_FALSE(formats::isComplete(f));
    f = complete, f.msbWeight = -0.0F;
    EXPECT_FALSE(formats::isComplete(f));
    f = complete, f.units[0] = '\0';
    EXPECT_FALSE(formats::isComplete(f));
    f = complete, f.msbWeight = -1.0F;
    EXPECT_TRUE(formats::isComplete(f));
}

TEST(FormatTable, CompactionKeepsCompleteFormatsInOrderAndClearsTheRest) {
    formats::DecimalFormatTable table;
    table.slots[0] = makeFormat("A", 28, 18, 90.0F, "deg");
    table.slots[1] = makeFormat("B", 28, 18, 0.0F, "deg", 1); // no weight
    table.slots[2] = makeFormat("C", 20, 9, 1.0F, "ft", 1);
    table.slots[3] = makeFormat("D", 20, 9, 1.0F, "", 1); // no units
    table.slots[4] = makeFormat("E", 29, 9, 2.0F, "kt");
    table.slots[5] = makeFormat("F", 29, 9, 2.0F, "kt"); // has no grid row
    table.formatCount = 4;

    EXPECT_EQ(formats::compactFormats(table, 6), 4);
    ASSERT_EQ(table.formatCount, 3);
    EXPECT_EQ(formats::fieldText(table.slots[0].label), "A");
    EXPECT_EQ(formats::fieldText(table.slots[1].label), "C");
    EXPECT_EQ(table.slots[1].bit29Mode, 1);
    EXPECT_EQ(formats::fieldText(table.slots[2].label), "E");
    expectClearedFrom(table, 3);
    EXPECT_EQ(table.slots[3].bit29Mode, 1); // the drop-down keeps what the slot last held

    // Compacting again changes nothing.
    const auto before = table;
    EXPECT_EQ(formats::compactFormats(table, 4), 4);
    // Byte for byte: compacting must not touch a single field.
    // NOLINTNEXTLINE(bugprone-suspicious-memory-comparison)
    EXPECT_EQ(std::memcmp(&before, &table, sizeof table), 0);
}

TEST(FormatTable, EmptyTableKeepsOneEmptyRow) {
    formats::DecimalFormatTable table;
    table.slots[0] = makeFormat("X", 20, 9, 0.0F, "ft");
    EXPECT_EQ(formats::compactFormats(table, 2), 2);
    EXPECT_EQ(table.formatCount, 0);
    expectClearedFrom(table, 0);
}

TEST(FormatTable, DeleteRemovesTheRowAndEveryIncompleteOne) {
    formats::DecimalFormatTable table;
    table.slots[0] = makeFormat("A", 28, 18, 90.0F, "deg");
    table.slots[1] = makeFormat("B", 28, 18, 90.0F, "deg");
    table.slots[2] = makeFormat("", 28, 18, 90.0F, "deg");
    table.slots[3] = makeFormat("D", 28, 18, 90.0F, "deg");
    table.formatCount = 2;
    EXPECT_EQ(formats::deleteFormatRow(table, 0, 5), 3);
    ASSERT_EQ(table.formatCount, 2);
    EXPECT_EQ(formats::fieldText(table.slots[0].label), "B");
    EXPECT_EQ(formats::fieldText(table.slots[1].label), "D");
    EXPECT_EQ(formats::deleteFormatRow(table, 1, 3), 2);
    EXPECT_EQ(formats::deleteFormatRow(table, 0, 2), 2);
    EXPECT_EQ(table.formatCount, 0);
}

TEST(FormatTable, AddingRowsStopsAt256DataRows) {
    EXPECT_EQ(formats::gridRowsFor(0), 2);
    EXPECT_EQ(formats::gridRowsFor(1), 2);
    EXPECT_EQ(formats::gridRowsFor(5), 6);
    EXPECT_EQ(formats::gridRowsFor(256), 257);
    EXPECT_EQ(formats::gridRowsAfterAdd(2), 3);
    EXPECT_EQ(formats::gridRowsAfterAdd(256), 257);
    EXPECT_EQ(formats::gridRowsAfterAdd(257), 257);
}

TEST(FormatTable, LookupByLabelIsExactAndTakesTheLowestSlot) {
    formats::DecimalFormatTable table;
    table.slots[0] = makeFormat("ALT", 28, 18, 90.0F, "ft");
    table.slots[1] = makeFormat("SPD", 28, 18, 1.0F, "kt");
    table.slots[2] = makeFormat("ALT", 20, 9, 2.0F, "m");
    table.slots[3] = makeFormat("HDG", 20, 9, 2.0F, "deg"); // beyond formatCount
    table.formatCount = 3;
    EXPECT_EQ(formats::findFormatByLabel(table, "ALT"), table.slots.data());
    EXPECT_EQ(formats::findFormatByLabel(table, "SPD"), &table.slots[1]);
    EXPECT_EQ(formats::findFormatByLabel(table, "alt"), nullptr);
    EXPECT_EQ(formats::findFormatByLabel(table, "ALT "), nullptr);
    EXPECT_EQ(formats::findFormatByLabel(table, "AL"), nullptr);
    EXPECT_EQ(formats::findFormatByLabel(table, "HDG"), nullptr);

    // Bytes after the terminating NUL are not part of the label.
    table.slots[1].label = {'S', 'P', 'D', '\0', 'x', 'y', 'z', 'w', 'v'};
    EXPECT_EQ(formats::findFormatByLabel(table, "SPD"), &table.slots[1]);
}

TEST(FormatCells, HeadersAndCellTexts) {
    EXPECT_EQ(formats::kFormatColumnHeaders[0], " метка");
    EXPECT_EQ(formats::kFormatColumnHeaders[1], "29-й бит");
    EXPECT_EQ(formats::kFormatColumnHeaders[5], "единицы измерения");

    const auto format = makeFormat("\xE2\xFB\xF1", 28, 18, 90.0F, "\xEC", 1);
    const char* expected[] = {"выс", "данные", "     28", "     18", " 90.000000", "м"};
    for (int column = 0; column < formats::kFormatColumns; ++column)
        EXPECT_EQ(formats::formatCellText(format, column), expected[column]) << column;
    EXPECT_EQ(formats::formatCellText(format, 6), "");

    const formats::DecimalFormat empty{};
    EXPECT_EQ(formats::formatCellText(empty, formats::kBit29Column), "знак");
    EXPECT_EQ(formats::formatCellText(empty, formats::kMsbColumn), "      0");
    EXPECT_EQ(formats::formatCellText(empty, formats::kWeightColumn), " 0.000000");
}

TEST(FormatCells, DamagedRecordsStillGiveBoundedTexts) {
    formats::DecimalFormat damaged;
    std::memset(&damaged, 0xFF, sizeof damaged); // no NUL anywhere, weight is a NaN
    EXPECT_EQ(formats::formatCellText(damaged, formats::kLabelColumn).size(), 9u * 2);
    EXPECT_EQ(formats::formatCellText(damaged, formats::kUnitsColumn).size(), 7u * 2);
    EXPECT_EQ(formats::formatCellText(damaged, formats::kMsbColumn), "    255");

    damaged.msbWeight = -3.4028235e38F;
    EXPECT_EQ(formats::formatCellText(damaged, formats::kWeightColumn),
              " -340282346638528859811704183484516925440.000000");
}

} // namespace
